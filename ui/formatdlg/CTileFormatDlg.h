#pragma once

#include <optional>

#include "app/UserServices.h"
#include "formatdlg/CFormatDlgBase.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class QSpinBox;

namespace kesh::ui {

class PlatformPresetCombo;

// The "Config" dialog: tile size, attribute width, the items of a tile file
// and its header string. Sizes lie in 8 to 128; they are greyed when locked.
// The console items (Pixels, Palette) share one set of parameters, chosen
// below the attribute width while the list holds such an item and shown in
// their list lines. A platform preset fills the size (unless locked), the
// items and those parameters.
class CTileFormatDlg : public CFormatDlgBase {
    Q_OBJECT
public:
    explicit CTileFormatDlg(const TileFormatEdit& edit, QWidget* parent = nullptr);

    // The edited values (after OK). The header is empty unless its check box is set.
    TileFormatEdit Result() const;

    // The radio button of attribute width selector 0, 1 or 2.
    QRadioButton* attrButton(int selector) const;
    // The parameters of the Pixels and Palette items: the pixel and colour
    // encodings (by TileEncodings.h's names, in enum order), P and K.
    QComboBox* pixelCombo() const { return m_pixelCombo; }
    QComboBox* colourCombo() const { return m_colourCombo; }
    QSpinBox* paletteCountBox() const { return m_paletteCount; }
    QSpinBox* coloursBox() const { return m_colours; }
    PlatformPresetCombo* presetCombo() const { return m_preset; }
    // "타일 한도": 1 to the most the map's cell item numbers.
    QSpinBox* tileLimitBox() const { return m_tileLimit; }

protected:
    LayoutTable ComputeLayout() const override;
    QString ItemLine(uint8_t code) const override;
    void ItemsChanged() override;

private:
    QGroupBox* BuildParams(const TileItemParams& params);
    void BuildTileLimit(const TileFormatEdit& edit);
    // The limit the layout keeps: its own while the box shows what it
    // opened on, none (the cell item's) when set to the most.
    uint32_t ChosenTileLimit() const;
    // The parameters as the controls show them.
    TileItemParams ShownParams() const;
    void OnParamsChanged();
    void UsePreset(const TileFormat& tiles);

    std::optional<TileLayoutData> m_data;
    QButtonGroup* m_attrGroup = nullptr;
    AttrWidth m_originalAttrWidth = 0;
    bool m_sizesLocked = false;
    QComboBox* m_pixelCombo = nullptr;
    QComboBox* m_colourCombo = nullptr;
    QSpinBox* m_paletteCount = nullptr;
    QSpinBox* m_colours = nullptr;
    PlatformPresetCombo* m_preset = nullptr;
    QSpinBox* m_tileLimit = nullptr;
    uint32_t m_originalLimit = 0;
    int m_openedLimit = 0;
    int64_t m_storedTiles = -1;
};

} // namespace kesh::ui
