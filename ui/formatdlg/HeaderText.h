#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace kesh::ui {

// A header string as edited in a layout dialog: the text shown (lines
// separated by '\n') and the code page 949 bytes stored (lines separated by CR LF).
struct HeaderText {
    QString text;
    std::string bytes;
    bool changed = false; // the text had to be cut or had characters replaced
};

// The longest start of `text` whose code page 949 form fits in `maxBytes`
// (a Hangul syllable counts 2, a line break 2). Characters without a code
// page 949 form become '?'. The cut never splits a character.
HeaderText FitHeaderText(const QString& text, std::size_t maxBytes);

// Header bytes as the dialog shows them: CR LF becomes a line break.
QString HeaderBytesToText(const std::string& bytes);

} // namespace kesh::ui
