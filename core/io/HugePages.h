#pragma once

#include <cstddef>

namespace kesh {

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes)
// with huge pages, before the buffer is first written. On a virtual machine
// every page fault is costly; a 32 MiB grid then takes 16 faults instead of
// 8,192. Only a hint: nothing changes where it is not supported.
void AdviseHugePages(void* data, size_t bytes);

} // namespace kesh
