#pragma once

#include <string>

namespace kesh {

// Why a system call failed, in Korean, for the line below a failed save's
// path: the reason for the error number `error` (errno); "" for 0.
std::string SystemReason(int error);

} // namespace kesh
