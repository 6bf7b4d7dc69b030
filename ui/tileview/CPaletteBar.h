#pragma once

#include <cstdint>
#include <vector>

#include <QDockWidget>
#include <QRgb>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

class QLabel;

namespace kesh::ui {

// The "팔레트" panel: the tile set's palettes as rows of swatches, in the
// colours the editor shows (as the console shows them while the tile layout
// has a Palette item), the brush's palette marked. A click on a row makes it
// the brush's palette through the document, as the attribute bar's palette
// box does. Greyed, with a note, while neither the map's layout has a
// palette field nor the tile layout a Palette item.
class CPaletteBar : public QDockWidget, private DocumentListener {
    Q_OBJECT
public:
    explicit CPaletteBar(Document& doc, QWidget* parent = nullptr);
    ~CPaletteBar() override;

    // What the panel shows. With a Palette item its P palettes of K
    // colours; else, with a palette field, the palettes a cell can choose,
    // each as many colours as a palette number steps over.
    struct Rows {
        int palettes = 0;  // rows, 0 for none
        int colours = 0;   // swatches a row
        int choosable = 0; // rows 0.. a click can choose: the map's palettes
        int marked = -1;   // the brush's palette, -1 when it has none shown
        bool operator==(const Rows&) const = default;
    };
    static Rows RowsOf(const Document& doc);
    const Rows& rows() const { return m_rows; }

    // The swatch area, and where row `palette` lies in it.
    QWidget* swatches() const { return m_swatches; }
    QRect RowRect(int palette) const;
    // Where swatch `colour` of row `palette` lies in it.
    QRect SwatchRect(int palette, int colour) const;
    // The row at `y` in the swatch area, or -1.
    int PaletteAt(int y) const;
    // What a click on row `palette` does: makes it the brush's palette when
    // the map can hold it; else nothing.
    void ChoosePalette(int palette);

    // Draws the swatch area (its paint event).
    void PaintSwatches(QPainter& dc, const QRect& dirty) const;

private:
    void DocumentChanged(uint32_t changes) override;
    // Takes the rows and, with `colours`, the colours again.
    void Refresh(bool colours);

    Document& m_doc;
    Rows m_rows;
    std::vector<QRgb> m_colours; // the shown colour table
    QWidget* m_swatches = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace kesh::ui
