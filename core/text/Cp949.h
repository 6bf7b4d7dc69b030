#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kesh {

// Code page 949 (Unified Hangul Code), the encoding of header strings in
// kesh's files. Conversions go through iconv.

// UTF-8 text to CP949 bytes; nullopt when a character has no CP949 form.
std::optional<std::string> Utf8ToCp949(std::string_view utf8);
// CP949 bytes to UTF-8 text; bytes that are not valid CP949 become U+FFFD.
std::string Cp949ToUtf8(std::string_view cp949);
// Bytes the text takes in CP949 (a Hangul syllable 2, ASCII 1; a line
// break written as CR LF counts 2). Characters without a CP949 form count 1.
size_t Cp949Length(std::string_view utf8);

} // namespace kesh
