#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kesh {

// Decodes standard base64 (A-Z a-z 0-9 + /, "=" padding), skipping white
// space anywhere; nullopt for any other character, misplaced padding or a
// length that is not whole groups of four.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

} // namespace kesh
