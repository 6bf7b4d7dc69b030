#pragma once

#include <QString>

// The short messages the status bar shows for a few seconds after a command
// did what it was asked, before the usual prompt comes back.
namespace kesh::ui::notice {

// How long a notice stays, in milliseconds.
inline constexpr int kShownMs = 2500;

// "을" after a word that ends in a consonant as it is read, "를" after a
// vowel: "town.map" reads "...맵" and takes "을", "sheet.png" takes "를".
QString ObjectParticle(const QString& word);
// "town.map을 저장했습니다." for a file written at `path`.
QString Saved(const QString& path);
QString Copied();
QString Pasted();
QString PaletteLoaded();
QString ImageImported();
QString TmxImported();
// A click on the map made tile `tile` the current one.
QString TilePicked(int tile);

} // namespace kesh::ui::notice
