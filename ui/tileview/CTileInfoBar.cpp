#include "tileview/CTileInfoBar.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "tileview/TilePainter.h"

namespace kesh::ui {

namespace {

// The panel is laid out in dialog units of 2 x 2 pixels.
constexpr int kUnit = 2;
QRect Units(int left, int top, int width, int height) {
    return {left * kUnit, top * kUnit, width * kUnit, height * kUnit};
}

// The preview area: a black frame whose inside the bar paints.
class PreviewControl : public QWidget {
public:
    PreviewControl(CTileInfoBar* bar, QWidget* parent) : QWidget(parent), m_bar(bar) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter dc(this);
        m_bar->OnPaintPreview(dc, size());
    }

private:
    CTileInfoBar* m_bar;
};

QLabel* Label(const QString& text, const QRect& where, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(where);
    return label;
}

} // namespace

CTileInfoBar::CTileInfoBar(Document& doc, TilePainter& tiles, QWidget* parent)
    : QDockWidget(parent), m_doc(doc), m_tiles(tiles) {
    setObjectName(QStringLiteral("tileInfoBar"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    setWidget(BuildContents());
    m_doc.AddListener(this);
    Refresh();
}

CTileInfoBar::~CTileInfoBar() {
    m_doc.RemoveListener(this);
}

void CTileInfoBar::DocumentChanged(uint32_t changes) {
    if (changes & (change::kTiles | change::kColours | change::kTileLayout | change::kCurrentTile |
                   change::kReplaced)) {
        Refresh();
    }
    if (changes & (change::kCurrentTile | change::kMapLayout | change::kReplaced)) {
        UpdateBrush();
        m_preview->update();
    }
}

QWidget* CTileInfoBar::BuildContents() {
    auto* page = new QWidget(this);
    page->setFixedSize(100 * kUnit, 172 * kUnit);

    m_preview = new PreviewControl(this, page);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setGeometry(Units(7, 7, 86, 64));

    Label(QStringLiteral("타일 번호"), Units(7, 74, 36, 9), page);
    m_numberBox = new QLineEdit(page);
    m_numberBox->setObjectName(QStringLiteral("tileNumber"));
    m_numberBox->setGeometry(Units(43, 74, 49, 12));
    m_numberBox->setReadOnly(true);
    m_numberBox->setAlignment(Qt::AlignCenter);

    auto* group = new QGroupBox(QStringLiteral("타일 속성 Bits"), page);
    group->setGeometry(Units(7, 88, 86, 51));

    static const char* const kFirst[4] = {"  0", "  8", "16", "24"};
    static const char* const kLast[4] = {"  7", "15", "23", "31"};
    for (int row = 0; row < 4; ++row) {
        const int top = 100 + 10 * row;
        Label(QString::fromLatin1(kFirst[row]), Units(10, top, 8, 8), page);
        Label(QString::fromLatin1(kLast[row]), Units(82, row == 1 ? top + 1 : top, 10, 8), page);
        for (int col = 0; col < 8; ++col) {
            const int b = row * 8 + col;
            auto* box = new QCheckBox(page);
            box->setObjectName(QStringLiteral("bit%1").arg(b < 27 ? 1020 + b : 1022 + b));
            box->setGeometry(Units(18 + 8 * col, top, 8, 8));
            box->setEnabled(false);
            connect(box, &QCheckBox::clicked, this, [this, b](bool on) { ToggleBit(b, on); });
            m_bitBoxes[size_t(b)] = box;
        }
    }

    // The brush's cell fields, below the tile's bits.
    m_paletteLabel = Label(QStringLiteral("팔레트"), Units(7, 143, 36, 9), page);
    m_paletteBox = new QSpinBox(page);
    m_paletteBox->setObjectName(QStringLiteral("brushPalette"));
    m_paletteBox->setGeometry(Units(43, 142, 49, 12));
    connect(m_paletteBox, &QSpinBox::valueChanged, this, [this](int palette) {
        SetBrushBits(cellbit::kPaletteMask, cellbit::WithPalette(0, palette));
    });
    m_priorityBox = new QCheckBox(QStringLiteral("우선순위"), page);
    m_priorityBox->setObjectName(QStringLiteral("brushPriority"));
    m_priorityBox->setGeometry(Units(7, 157, 86, 10));
    connect(m_priorityBox, &QCheckBox::clicked, this,
            [this](bool on) { SetBrushBits(cellbit::kPriority, on ? cellbit::kPriority : 0); });
    UpdateBrush();
    return page;
}

void CTileInfoBar::UpdateBrush() {
    const MapFormat& format = m_doc.map().format();
    const uint16_t mask = format.AttrMask();
    const bool palette = (mask & cellbit::kPaletteMask) != 0;
    const bool priority = (mask & cellbit::kPriority) != 0;
    const uint16_t attr = m_doc.brushAttr();
    m_paletteLabel->setVisible(palette);
    m_paletteBox->setVisible(palette);
    m_priorityBox->setVisible(priority);
    const QSignalBlocker quiet(m_paletteBox);
    // Only the layout's palettes can be chosen (the NES table's four too).
    m_paletteBox->setRange(0, palette ? format.PaletteCount() - 1 : 0);
    m_paletteBox->setValue(cellbit::PaletteOf(attr));
    m_priorityBox->setChecked((attr & cellbit::kPriority) != 0);
}

void CTileInfoBar::SetBrushBits(uint16_t mask, uint16_t bits) {
    m_doc.SetBrushAttr(uint16_t((m_doc.brushAttr() & ~mask) | (bits & mask)));
}

QCheckBox* CTileInfoBar::bitBox(int bit) const {
    return bit >= 0 && bit < 32 ? m_bitBoxes[size_t(bit)] : nullptr;
}

void CTileInfoBar::Refresh() {
    const TileSet& set = m_doc.tiles();
    m_tileNumber = m_doc.currentTile();
    if (!set.tiles().PixelsAt(m_tileNumber)) {
        return;
    }
    m_attribute = set.tiles().AttributeAt(m_tileNumber);
    const int attrWidth = set.format().attrWidth;
    const int shown = attrWidth == 0 ? 8 : attrWidth == 1 ? 16 : 32;
    // Bits beyond the attribute width keep what they showed.
    for (int b = 0; b < shown; ++b) {
        m_bits[size_t(b)] = (m_attribute >> b) & 1u;
    }
    UpdateData();
    UpdateEnabled();
    m_preview->update();
}

void CTileInfoBar::SetEditing(bool on) {
    m_editing = on;
    UpdateEnabled();
}

void CTileInfoBar::UpdateEnabled() {
    const bool tile = m_doc.tiles().tiles().PixelsAt(m_tileNumber) != nullptr;
    const int attrWidth = m_doc.tiles().format().attrWidth;
    const int stored = attrWidth == 0 ? 8 : attrWidth == 1 ? 16 : 32;
    for (int b = 0; b < 32; ++b) {
        QCheckBox* box = m_bitBoxes[size_t(b)];
        box->setEnabled(m_editing && tile && b < stored);
        box->setToolTip(
            m_editing && b >= stored
                ? QStringLiteral("이 타일 세트의 파일은 속성을 %1비트까지만 저장합니다. "
                                 "타일 파일포맷 변경에서 속성 크기를 넓히세요.")
                      .arg(stored)
                : QString());
    }
}

void CTileInfoBar::ToggleBit(int b, bool on) {
    if (!m_editing) {
        return;
    }
    const uint32_t mask = 1u << b;
    const uint32_t attribute = on ? m_attribute | mask : m_attribute & ~mask;
    // The document tells this bar, which shows the new word.
    if (!m_doc.SetTileAttribute(m_tileNumber, attribute)) {
        UpdateData();
    }
}

void CTileInfoBar::UpdateData() {
    m_numberBox->setText(QString::number(m_tileNumber));
    for (int b = 0; b < 32; ++b) {
        const int32_t state = m_bits[size_t(b)];
        m_bitBoxes[size_t(b)]->setChecked(state == 1 || state == 2);
    }
}

QRect CTileInfoBar::FitPreview(QSize control, QSize tile) {
    const int W = control.width();
    const int H = control.height();
    const int w = tile.width();
    const int h = tile.height();
    if (w <= 0 || h <= 0) {
        return {};
    }
    int dw = static_cast<int>(w * (double(H) / h));
    int dh = H;
    if (dw > W) {
        dw = W;
        dh = static_cast<int>(h * (double(W) / w));
    }
    return {(W - dw) / 2, (H - dh) / 2, dw, dh};
}

void CTileInfoBar::OnPaintPreview(QPainter& dc, QSize client) {
    const int W = client.width();
    const int H = client.height();
    dc.setPen(Qt::black);
    dc.setBrush(Qt::NoBrush);
    dc.drawRect(0, 0, W - 1, H - 1);
    const QRect fit = FitPreview(client, {m_tiles.tileWidth(), m_tiles.tileHeight()});
    if (fit.isEmpty()) {
        return;
    }
    const int x = fit.x();
    const int y = fit.y();
    // White margins inside the frame, beside or above and below the tile.
    if (x > y) {
        dc.fillRect(QRect(QPoint(1, 1), QPoint(x - 1, H - 2)), Qt::white);
        dc.fillRect(QRect(QPoint(x + fit.width(), 1), QPoint(W - 2, H - 2)), Qt::white);
    } else {
        dc.fillRect(QRect(QPoint(1, 1), QPoint(W - 2, y - 1)), Qt::white);
        dc.fillRect(QRect(QPoint(1, y + fit.height()), QPoint(W - 2, H - 2)), Qt::white);
    }
    // As the brush paints it: flipped, in its palette's colours.
    const MapModel& map = m_doc.map();
    m_tiles.DrawCell(dc, m_tileNumber, uint16_t(m_doc.brushAttr() & map.format().AttrMask()),
                     map.format().cells.coloursPerPalette, x, y, fit.width() - 1, fit.height() - 1);
}

} // namespace kesh::ui
