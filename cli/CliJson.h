#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace kesh::cli {

// Writes `text` (UTF-8) as a JSON string, quotes included.
void WriteJsonString(std::ostream& out, std::string_view text);

// Writes one JSON object member by member, on one line each:
//   {
//     "kind": "map",
//     ...
//   }
class JsonObject {
public:
    explicit JsonObject(std::ostream& out) : m_out(out) { m_out << '{'; }
    ~JsonObject() { m_out << (m_first ? "}\n" : "\n}\n"); }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    // Starts a member; the caller then writes its value to stream().
    std::ostream& key(std::string_view name);
    void string(std::string_view name, std::string_view value) {
        WriteJsonString(key(name), value);
    }
    void number(std::string_view name, int64_t value) { key(name) << value; }
    std::ostream& stream() { return m_out; }

private:
    std::ostream& m_out;
    bool m_first = true;
};

} // namespace kesh::cli
