#include "text/Cp949.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace kesh {

namespace {

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [in, in + inLeft) as possible into `out`; returns
    // 0 when all of it was converted, else errno of the stop (EILSEQ, EINVAL).
    int convert(const char*& in, size_t& inLeft, std::string& out) {
        char buffer[256];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            char* src = const_cast<char*>(in);
            const size_t r = iconv(m_cd, &src, &inLeft, &dst, &dstLeft);
            const int err = errno;
            in = src;
            out.append(buffer, sizeof buffer - dstLeft);
            if (r == static_cast<size_t>(-1) && err != E2BIG)
                return err;
        }
        return 0;
    }

    void resetState() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// Byte length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

} // namespace

std::optional<std::string> Utf8ToCp949(std::string_view utf8) {
    Converter conv("CP949", "UTF-8");
    if (!conv.ok())
        return std::nullopt;
    std::string out;
    const char* in = utf8.data();
    size_t left = utf8.size();
    if (conv.convert(in, left, out) != 0)
        return std::nullopt;
    return out;
}

std::string Cp949ToUtf8(std::string_view cp949) {
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    Converter conv("UTF-8", "CP949");
    std::string out;
    if (!conv.ok()) {
        out.reserve(cp949.size());
        for (char c : cp949) {
            if (static_cast<unsigned char>(c) < 0x80)
                out.push_back(c);
            else
                out.append(kReplacement);
        }
        return out;
    }
    const char* in = cp949.data();
    size_t left = cp949.size();
    while (left > 0) {
        if (conv.convert(in, left, out) == 0)
            break;
        // An invalid or cut-off sequence: replace its first byte, go on after it.
        out.append(kReplacement);
        ++in;
        --left;
        conv.resetState();
    }
    return out;
}

size_t Cp949Length(std::string_view utf8) {
    Converter conv("CP949", "UTF-8");
    size_t length = 0;
    std::string scratch;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            length += 2; // CR LF is one line break
            i += 2;
            continue;
        }
        if (lead == '\n') {
            length += 2; // stored as CR LF
            ++i;
            continue;
        }
        if (lead < 0x80) {
            ++length;
            ++i;
            continue;
        }
        const size_t n = std::min(Utf8SequenceLength(lead), utf8.size() - i);
        size_t bytes = 1; // no CP949 form (or not valid UTF-8): one byte
        if (conv.ok()) {
            scratch.clear();
            const char* in = utf8.data() + i;
            size_t left = n;
            if (conv.convert(in, left, scratch) == 0 && !scratch.empty())
                bytes = scratch.size();
            else
                conv.resetState();
        }
        length += bytes;
        i += n;
    }
    return length;
}

} // namespace kesh
