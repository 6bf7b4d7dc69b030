#pragma once

#include <array>
#include <cstdint>

#include <QDockWidget>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPainter;

namespace kesh::ui {

class CTile1View;

// The dockable panel that shows the current tile: a scaled preview, its
// number and its 32 attribute bits. A display only, unless attribute editing
// is switched on: then a click on one of the bits the tile set stores
// toggles that bit of the current tile, as a step of the document's history.
// Its tile number is the one the map editor paints with.
class CTileInfoBar : public QDockWidget {
    Q_OBJECT
public:
    explicit CTileInfoBar(QWidget* parent = nullptr);
    ~CTileInfoBar() override;

    // Shows the view's current tile. A number that names no tile only
    // updates m_tileNumber: the controls keep what they showed.
    void Refresh(CTile1View* view);

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
    int32_t bit(int b) const { return m_bits[size_t(b)]; }
    uint32_t attribute() const { return m_attribute; }
    CTile1View* view() const { return m_view; }

    // The number of the tile shown; the map editor paints with it.
    int32_t m_tileNumber = 0;

private:
    // Fills the number box and the check boxes from the fields.
    void UpdateData();
    // Enables the boxes that editing may change, and says why the others are not.
    void UpdateEnabled();
    // A click on bit `b`'s box while editing.
    void ToggleBit(int b, bool on);
    QWidget* BuildContents();

    uint32_t m_attribute = 0;
    const uint8_t* m_pixels = nullptr;
    QPointer<CTile1View> m_view;
    QWidget* m_preview = nullptr;
    std::array<int32_t, 32> m_bits{};
    QLineEdit* m_numberBox = nullptr;
    std::array<QCheckBox*, 32> m_bitBoxes{};
    bool m_editing = false;
};

// The one tile attribute bar, created by the main frame; null before that
// (and again once the bar is gone).
extern CTileInfoBar* g_wndTileInfoBar;

} // namespace kesh::ui
