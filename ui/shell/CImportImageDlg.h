#pragma once

#include <QDialog>

#include "app/UserServices.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class QVBoxLayout;

namespace kesh::ui {

class PlatformPresetCombo;

// The options of "이미지에서 타일 가져오기...": the tile size (shown but
// fixed while the tile set has tiles), whether the picture's palette is
// taken, whether a map is made, nearest colours or a new palette built from
// the picture (with or without dithering) and padding. Shows the
// picture's size and how many tiles it gives. While the map's layout has a
// palette field, "팔레트 P개 × 색 K개" with a preset that fills P, K, the
// area that shares a palette and the tile size.
class CImportImageDlg : public QDialog {
    Q_OBJECT
public:
    explicit CImportImageDlg(const ImportOptionsEdit& edit, QWidget* parent = nullptr);

    // The values as they stand.
    ImportOptionsEdit Result() const;

    QSpinBox* widthBox() const { return m_width; }
    QSpinBox* heightBox() const { return m_height; }
    QCheckBox* paletteBox() const { return m_palette; }
    QCheckBox* mapBox() const { return m_map; }
    QCheckBox* nearestBox() const { return m_nearest; }
    QCheckBox* newPaletteBox() const { return m_newPalette; }
    QCheckBox* ditherBox() const { return m_dither; }
    QCheckBox* padBox() const { return m_pad; }
    // Only while the map's layout has both flip fields; null otherwise.
    QCheckBox* flipsBox() const { return m_flips; }
    QLabel* gridLabel() const { return m_grid; }
    // Only while sub-palettes are offered; null otherwise.
    QCheckBox* subPalettesBox() const { return m_subPalettes; }
    QSpinBox* palettesBox() const { return m_palettes; }
    QSpinBox* coloursBox() const { return m_colours; }
    PlatformPresetCombo* presetCombo() const { return m_preset; }

private:
    // The grid of tiles the picture gives at the size shown.
    void UpdateGrid();
    // A new palette leaves the picture's palette and the nearest colours
    // out; dithering goes with it only.
    void UpdateColourChoices();
    // The "팔레트 P개 × 색 K개" row, with its preset.
    void BuildSubPalettes(QVBoxLayout* layout);

    ImportOptionsEdit m_edit;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QCheckBox* m_palette = nullptr;
    QCheckBox* m_map = nullptr;
    QCheckBox* m_nearest = nullptr;
    QCheckBox* m_newPalette = nullptr;
    QCheckBox* m_dither = nullptr;
    QCheckBox* m_pad = nullptr;
    QCheckBox* m_flips = nullptr;
    QLabel* m_grid = nullptr;
    QCheckBox* m_subPalettes = nullptr;
    QSpinBox* m_palettes = nullptr;
    QSpinBox* m_colours = nullptr;
    PlatformPresetCombo* m_preset = nullptr;
    int m_area = 1;
};

} // namespace kesh::ui
