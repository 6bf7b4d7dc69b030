#pragma once

#include <cstdint>
#include <optional>

#include <QDockWidget>
#include <QRgb>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "edit/TileDrawing.h"
#include "tileset/TileMatcher.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPushButton;

namespace kesh::ui {

class TileEditCanvas;
class TileEditSwatches;

// The "타일 편집" panel: the current tile enlarged, the drawing tools (연필,
// 직선, 사각형, 채우기, 스포이트), the changes to the whole tile, and a row of
// colours to draw with. Every edit is a request to the document; the panel
// follows the current tile, and says when the tile has become equal to
// another ("타일 N과 같습니다"), offering to merge it into that one.
class CTileEditPanel : public QDockWidget, private DocumentListener {
    Q_OBJECT
public:
    explicit CTileEditPanel(Document& doc, QWidget* parent = nullptr);
    ~CTileEditPanel() override;

    // The colours to draw with: value v of a tile shows entry (first + v)
    // of the colour table. With a palette field in the map's cells, the
    // colours of the brush's palette; else the tile layout's Palette item;
    // else the whole table.
    struct Swatches {
        int first = 0;
        int count = 256;
        bool operator==(const Swatches&) const = default;
    };
    static Swatches SwatchesOf(const Document& doc);
    const Swatches& swatches() const { return m_swatches; }
    // The colour of tile value `value` on screen.
    QRgb ShownColour(int value) const;

    PixelTool tool() const { return m_tool; }
    void SetTool(PixelTool tool);
    // The value the tools draw with (0 .. swatches().count - 1).
    uint8_t colour() const { return m_colour; }
    void SetColour(uint8_t value);

    // The tile shown: the document's current tile.
    int32_t tile() const { return m_doc.currentTile(); }
    int32_t tileWidth() const { return m_doc.tiles().tileWidth(); }
    int32_t tileHeight() const { return m_doc.tiles().tileHeight(); }
    const uint8_t* tilePixels() const;

    // A press of `tool` on pixel `at` of the shown tile (the canvas's left
    // or right button), and the release that ends its drag.
    void PressPixel(Point at, PixelTool tool);
    void ReleasePixel();
    TileDrawing& drawing() { return m_drawing; }

    // Flips, turns or shifts the whole tile.
    void Transform(TileTransform how);
    // 합치기: the tile into the one it equals.
    void MergeIntoEqual();
    // The tile the shown one equals, when the notice shows.
    const std::optional<TileMatch>& equal() const { return m_equal; }

    TileEditCanvas* canvas() const { return m_canvas; }
    TileEditSwatches* swatchRow() const { return m_swatchRow; }
    QAbstractButton* toolButton(PixelTool tool) const;
    QAbstractButton* transformButton(TileTransform how) const;
    QLabel* equalNotice() const { return m_equalNotice; }
    QPushButton* mergeButton() const { return m_merge; }

signals:
    // A merge or an edit to tell the user of ("타일 3을 타일 1에 합쳤습니다.").
    void notice(const QString& text);

private:
    void DocumentChanged(uint32_t changes) override;
    void showEvent(QShowEvent* event) override;
    // Takes the tile and its colours again and, with `match`, looks for a
    // tile it equals (not while a drag is under way).
    void Refresh(bool match = true);
    QWidget* MakeToolRow();
    QWidget* MakeTransformRow();

    Document& m_doc;
    TileDrawing m_drawing{m_doc};
    PixelTool m_tool = PixelTool::Pencil;
    uint8_t m_colour = 1;
    Swatches m_swatches;
    std::optional<TileMatch> m_equal;
    bool m_stale = false; // changed while closed
    TileEditCanvas* m_canvas = nullptr;
    TileEditSwatches* m_swatchRow = nullptr;
    QButtonGroup* m_tools = nullptr;
    QAbstractButton* m_transforms[7] = {};
    QLabel* m_title = nullptr;
    QLabel* m_equalNotice = nullptr;
    QPushButton* m_merge = nullptr;
};

} // namespace kesh::ui
