#include "CliJson.h"

namespace kesh::cli {

void WriteJsonString(std::ostream& out, std::string_view text) {
    static const char* hex = "0123456789abcdef";
    out << '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out << "\\\"";
            break;
        case '\\':
            out << "\\\\";
            break;
        case '\n':
            out << "\\n";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\t':
            out << "\\t";
            break;
        default:
            if (c < 0x20)
                out << "\\u00" << hex[c >> 4] << hex[c & 15];
            else
                out << ch;
        }
    }
    out << '"';
}

std::ostream& JsonObject::key(std::string_view name) {
    m_out << (m_first ? "\n  " : ",\n  ");
    m_first = false;
    WriteJsonString(m_out, name);
    return m_out << ": ";
}

} // namespace kesh::cli
