#include "image/PaletteFile.h"

#include <charconv>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace kesh {

namespace {

constexpr std::string_view kGimp = "GIMP Palette";
constexpr std::string_view kJasc = "JASC-PAL";

// The file's lines without their line ends (LF or CR LF).
std::vector<std::string_view> LinesOf(std::span<const uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<std::string_view> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

// Reads the next unsigned decimal number, skipping blanks before it.
bool NextNumber(std::string_view& s, int& value) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end == s.data())
        return false;
    s.remove_prefix(size_t(end - s.data()));
    return s.empty() || IsSpace(s.front());
}

// "R G B" with each 0-255; `rest` is what follows (a GIMP colour's name).
bool ParseColour(std::string_view line, uint8_t* rgb, std::string_view& rest) {
    for (int i = 0; i < 3; ++i) {
        int v = -1;
        if (!NextNumber(line, v) || v < 0 || v > 255)
            return false;
        rgb[i] = uint8_t(v >> 2);
    }
    rest = Trim(line);
    return true;
}

Status BadLine(size_t index) {
    return Status::Fail(std::string(msg::kPaletteFileBadLine) + std::to_string(index + 1));
}

Status ReadGimp(const std::vector<std::string_view>& lines, Palette& out) {
    size_t count = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        if (line.empty() || line.front() == '#' || line.starts_with("Name:") ||
            line.starts_with("Columns:"))
            continue;
        std::string_view rest;
        if (count == 256 || !ParseColour(line, &out.rgb[3 * count], rest))
            return BadLine(i);
        ++count;
    }
    return Status::Ok();
}

Status ReadJasc(const std::vector<std::string_view>& lines, Palette& out) {
    if (lines.size() < 3 || Trim(lines[1]) != "0100")
        return BadLine(lines.size() < 2 ? lines.size() : 1);
    std::string_view countText = Trim(lines[2]);
    int count = -1;
    if (!NextNumber(countText, count) || !countText.empty() || count < 1 || count > 256)
        return BadLine(2);
    size_t read = 0;
    for (size_t i = 3; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        if (line.empty())
            continue;
        std::string_view rest;
        if (read == size_t(count) || !ParseColour(line, &out.rgb[3 * read], rest) || !rest.empty())
            return BadLine(i);
        ++read;
    }
    if (read != size_t(count))
        return BadLine(lines.size());
    return Status::Ok();
}

} // namespace

bool IsPaletteFile(std::span<const uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return text.starts_with(kGimp) || text.starts_with(kJasc);
}

Status LoadPaletteFile(std::span<const uint8_t> bytes, Palette& palette) {
    const std::vector<std::string_view> lines = LinesOf(bytes);
    if (lines.empty())
        return BadLine(0);
    const std::string_view first = Trim(lines[0]);
    Palette result;
    Status st = Status::Fail(msg::kPaletteFileBadLine);
    if (first == kGimp)
        st = ReadGimp(lines, result);
    else if (first == kJasc)
        st = ReadJasc(lines, result);
    else
        st = BadLine(0);
    if (st)
        palette = result;
    return st;
}

} // namespace kesh
