#pragma once

#include <string>
#include <vector>

#include "doc/Document.h"
#include "support/CellMaps.h"

// Small documents for the tile workshop: tiles of 2 x 2 written as four
// digits ("1223": top row 1 2, bottom row 2 3), and a row of cells.
namespace kesh::test {

inline std::vector<uint8_t> Pixels2x2(const std::string& digits) {
    std::vector<uint8_t> p;
    for (const char c : digits)
        p.push_back(uint8_t(c - '0'));
    return p;
}

// `tiles` of 2 x 2 (attribute 0) and one row of `cells`; with `attrs`, the
// SNES cell fields (flips) and those attribute words.
inline void MakeWorkshop(Document& doc, const std::vector<std::string>& tiles,
                         const std::vector<uint16_t>& cells,
                         const std::vector<uint16_t>& attrs = {}) {
    doc.tiles().format().width = 2;
    doc.tiles().format().height = 2;
    doc.tiles().InitTileSet();
    for (const std::string& t : tiles)
        doc.tiles().tiles().Append(Pixels2x2(t).data(), 0);
    if (attrs.empty()) {
        (void)doc.map().AllocateCells(int32_t(cells.size()), 1);
    } else {
        cellmaps::UseSnesCells(doc.map(), int32_t(cells.size()), 1);
        doc.map().attrs() = attrs;
    }
    doc.map().cells() = cells;
}

// The tiles of `doc` written back as digits.
inline std::vector<std::string> TileDigits(const Document& doc) {
    std::vector<std::string> out;
    for (int t = 0; t < doc.tiles().count(); ++t) {
        const uint8_t* p = doc.tiles().tiles().PixelsAt(t);
        std::string s;
        for (int i = 0; i < doc.tiles().tiles().tileSize(); ++i)
            s += char('0' + p[i]);
        out.push_back(s);
    }
    return out;
}

} // namespace kesh::test
