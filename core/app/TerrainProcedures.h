#pragma once

#include <string>

#include "app/UserServices.h"
#include "doc/Document.h"
#include "io/FileSystem.h"

namespace kesh {

// The terrain procedures of the editor's menus, written against the user
// services so that the tests answer from a script.
class TerrainProcedures {
public:
    TerrainProcedures(Document& doc, UserServices& user, FileSystem& fs)
        : m_doc(doc), m_user(user), m_fs(fs) {}

    // "지형 만들기...": asks before replacing a set the map has, then a PNG
    // or BMP tile sheet, then its template and terrain names (the dialog
    // opens on the template the sheet's size fits); the sheet's tiles come
    // into the set as one step named "지형 만들기" (mirror images stored
    // once while the map has both flip fields; an empty set first takes the
    // sheet's tile size and colours), and the set made becomes the map's.
    // A cancelled or failed make changes nothing. True when done.
    bool OnMakeTerrain();

    static constexpr const char* kReplaceSet =
        "지도에 이미 지형 세트가 있습니다. 새로 만든 세트로 바꿀까요?";
    // The summary after a make: the terrains and the tiles the set gained.
    static std::string MadeSummary(const std::string& lower, const std::string& upper,
                                   int64_t added, size_t labelled);

private:
    Document& m_doc;
    UserServices& m_user;
    FileSystem& m_fs;
};

} // namespace kesh
