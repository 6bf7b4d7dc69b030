#pragma once

#include <array>
#include <cstdint>

#include <QDockWidget>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPainter;

namespace kesh::ui {

class TilePainter;

// The dockable panel that shows the document's current tile: a scaled
// preview (flipped as the brush is), its number and its 32 attribute bits,
// and, while the map's layout has cell fields, the brush's palette number
// and priority, which the user sets here. A display only, unless
// attribute editing is switched on: then a click on one of the bits the tile
// set stores toggles that bit of the current tile, as a step of the
// document's history.
class CTileInfoBar : public QDockWidget, private DocumentListener {
    Q_OBJECT
public:
    CTileInfoBar(Document& doc, TilePainter& tiles, QWidget* parent = nullptr);
    ~CTileInfoBar() override;

    // Shows the document's current tile. A number that names no tile only
    // updates the number shown by tileNumber(): the controls keep what they
    // showed. Done whenever the document's tiles or current tile change.
    void Refresh();

    // Unlocks (or locks again) the check boxes of the bits the tile set stores.
    void SetEditing(bool on);
    bool editing() const { return m_editing; }

    // Where a tile of size `tile` is drawn in a preview of client size
    // `control`: scaled keeping its proportions and centred.
    static QRect FitPreview(QSize control, QSize tile);

    // Paints the preview control, whose client size is `client`.
    void OnPaintPreview(QPainter& dc, QSize client);

    QWidget* previewControl() const { return m_preview; }
    QLineEdit* numberBox() const { return m_numberBox; }
    QCheckBox* bitBox(int bit) const;
    // The brush's palette number and priority (Document::brushAttr), shown
    // while the map's layout has those fields.
    QSpinBox* paletteBox() const { return m_paletteBox; }
    QCheckBox* priorityBox() const { return m_priorityBox; }
    int32_t bit(int b) const { return m_bits[size_t(b)]; }
    uint32_t attribute() const { return m_attribute; }
    // The number of the tile shown: the document's current tile.
    int32_t tileNumber() const { return m_tileNumber; }

private:
    void DocumentChanged(uint32_t changes) override;
    // Fills the number box and the check boxes from the fields.
    void UpdateData();
    // Enables the boxes that editing may change, and says why the others are not.
    void UpdateEnabled();
    // A click on bit `b`'s box while editing.
    void ToggleBit(int b, bool on);
    QWidget* BuildContents();
    // Shows the brush's fields the map's layout has, with their values.
    void UpdateBrush();
    void SetBrushBits(uint16_t mask, uint16_t bits);

    Document& m_doc;
    TilePainter& m_tiles;
    int32_t m_tileNumber = 0;
    uint32_t m_attribute = 0;
    QWidget* m_preview = nullptr;
    std::array<int32_t, 32> m_bits{};
    QLineEdit* m_numberBox = nullptr;
    std::array<QCheckBox*, 32> m_bitBoxes{};
    bool m_editing = false;
    QLabel* m_paletteLabel = nullptr;
    QSpinBox* m_paletteBox = nullptr;
    QCheckBox* m_priorityBox = nullptr;
};

} // namespace kesh::ui
