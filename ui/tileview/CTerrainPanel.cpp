#include "tileview/CTerrainPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "tileview/TerrainSchematic.h"

namespace kesh::ui {

namespace {

constexpr int kSample = 32;   // a sample tile's side in the list
constexpr int kGapSide = 22;  // a missing combination's picture
constexpr int kGapPitch = 26; // from one picture to the next
constexpr int kGapMargin = 4;

class GapPictures : public QWidget {
public:
    explicit GapPictures(CTerrainPanel* panel) : m_panel(panel) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return m_panel->GapsHeight(width); }
    QSize sizeHint() const override { return {4 * kGapPitch, heightForWidth(4 * kGapPitch)}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter dc(this);
        m_panel->PaintGaps(dc, width());
    }

private:
    CTerrainPanel* m_panel;
};

int PerLine(int width) {
    return std::max(1, (width - 2 * kGapMargin) / kGapPitch);
}

} // namespace

CTerrainPanel::CTerrainPanel(Document& doc, TilePainter& tiles, QWidget* parent)
    : QDockWidget(parent), m_doc(doc), m_tiles(tiles) {
    setObjectName(QStringLiteral("terrainPanel"));
    setWindowTitle(QStringLiteral("지형"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                QDockWidget::DockWidgetClosable);
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    m_note = new QLabel(QStringLiteral("지형 세트가 없습니다. 타일 메뉴의 \"지형 만들기...\"로 "
                                       "만들 수 있습니다."),
                        page);
    m_note->setWordWrap(true);
    m_list = new QListWidget(page);
    m_list->setObjectName(QStringLiteral("terrainList"));
    m_list->setIconSize({kSample + 12, kSample});
    m_variants = new QCheckBox(QStringLiteral("무작위 변형"), page);
    m_flips = new QCheckBox(QStringLiteral("무작위 뒤집기"), page);
    m_gapTitle = new QLabel(page);
    m_gapTitle->setObjectName(QStringLiteral("gapTitle"));
    auto* scroll = new QScrollArea(page);
    m_gapView = new GapPictures(this);
    m_gapView->setObjectName(QStringLiteral("gapPictures"));
    scroll->setWidget(m_gapView);
    scroll->setWidgetResizable(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_note, m_list, m_variants, m_flips, m_gapTitle, scroll})
        column->addWidget(w);
    setWidget(page);

    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != m_terrain) {
            m_terrain = row;
            emit terrainChosen(row);
        }
    });
    connect(m_variants, &QCheckBox::toggled, this, [this] { OptionsChanged(); });
    connect(m_flips, &QCheckBox::toggled, this, [this] { OptionsChanged(); });
    m_doc.AddListener(this);
    Refresh();
}

CTerrainPanel::~CTerrainPanel() {
    m_doc.RemoveListener(this);
}

void CTerrainPanel::ChooseTerrain(int terrain) {
    if (terrain >= 0 && terrain < m_list->count())
        m_list->setCurrentRow(terrain);
}

void CTerrainPanel::DocumentChanged(uint32_t changes) {
    if (changes & (change::kTerrain | change::kReplaced | change::kTiles | change::kColours |
                   change::kMapLayout | change::kTileLayout))
        Refresh();
}

void CTerrainPanel::OptionsChanged() {
    TerrainOptions options = m_doc.terrain().options();
    options.randomVariants = m_variants->isChecked();
    options.randomFlips = options.randomVariants && m_flips->isChecked() && m_doc.mapFlips() != 0;
    if (!(options == m_doc.terrain().options()))
        m_doc.SetTerrainOptions(options);
}

void CTerrainPanel::Refresh() {
    const TerrainSet& set = m_doc.terrain().set();
    const int count = int(set.terrains.size());
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (int t = 0; t < count; ++t) {
            QPixmap icon(kSample + 12, kSample);
            icon.fill(Qt::transparent);
            QPainter dc(&icon);
            const int sample = SampleTile(set, t);
            if (sample >= 0)
                m_tiles.DrawTile(dc, sample, 0, 0, kSample, kSample);
            dc.fillRect(kSample + 4, 4, 8, kSample - 8, TerrainColour(t));
            dc.end();
            m_list->addItem(
                new QListWidgetItem(QIcon(icon), QString::fromStdString(set.terrains[size_t(t)])));
        }
        // The choice stays while the set has it; a new set paints its upper terrain.
        if (m_terrain < 0 || m_terrain >= count)
            m_terrain = count > 1 ? 1 : count - 1;
        m_list->setCurrentRow(m_terrain);
    }
    const TerrainOptions& options = m_doc.terrain().options();
    const bool flipsOffered = m_doc.mapFlips() != 0;
    {
        const QSignalBlocker quietVariants(m_variants);
        const QSignalBlocker quietFlips(m_flips);
        m_variants->setChecked(options.randomVariants);
        m_flips->setChecked(options.randomFlips);
    }
    m_note->setVisible(count == 0);
    m_list->setVisible(count > 0);
    m_variants->setEnabled(count > 0);
    m_flips->setEnabled(count > 0 && flipsOffered);
    m_flips->setToolTip(flipsOffered ? QString()
                                     : QStringLiteral("지도 레이아웃에 뒤집기 필드가 없습니다."));
    m_gaps = TerrainGaps(set, m_doc.mapFlips());
    m_gapTitle->setText(count == 0 ? QString()
                                   : QStringLiteral("없는 조합: %1개").arg(m_gaps.size()));
    m_gapView->updateGeometry();
    m_gapView->update();
}

int CTerrainPanel::GapsHeight(int width) const {
    const int lines = (int(m_gaps.size()) + PerLine(width) - 1) / PerLine(width);
    return 2 * kGapMargin + lines * kGapPitch;
}

void CTerrainPanel::PaintGaps(QPainter& dc, int width) const {
    const TerrainKind kind = m_doc.terrain().set().kind;
    const int perLine = PerLine(width);
    for (size_t i = 0; i < m_gaps.size(); ++i) {
        const int x = kGapMargin + int(i % size_t(perLine)) * kGapPitch;
        const int y = kGapMargin + int(i / size_t(perLine)) * kGapPitch;
        DrawTerrainSchematic(dc, QRect(x, y, kGapSide, kGapSide), kind, m_gaps[i].label);
    }
}

} // namespace kesh::ui
