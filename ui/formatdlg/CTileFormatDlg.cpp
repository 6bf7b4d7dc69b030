#include "formatdlg/CTileFormatDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kesh::ui {

namespace {

constexpr int kMinTileSize = 8;
constexpr int kMaxTileSize = 128;

CFormatDlgBase::Setup TileSetup() {
    CFormatDlgBase::Setup setup;
    setup.title = QStringLiteral("Config");
    setup.widthLabel = QStringLiteral("X Size");
    setup.heightLabel = QStringLiteral("Y Size");
    setup.stepLow = kMinTileSize;
    setup.stepHigh = kMaxTileSize;
    setup.sizeRangeChecked = true;
    setup.itemText = &TileItemText;
    setup.itemCount = kTileItemCount;
    return setup;
}

} // namespace

CTileFormatDlg::CTileFormatDlg(const TileFormatEdit& edit, QWidget* parent)
    : CFormatDlgBase(TileSetup(), ValuesOf(edit, edit.sizesLocked), parent), m_data(edit.data),
      m_originalAttrWidth(edit.attrWidth), m_sizesLocked(edit.sizesLocked) {
    auto* group = new QGroupBox(QStringLiteral(" 타일 속성"), this);
    auto* row = new QHBoxLayout(group);
    m_attrGroup = new QButtonGroup(this);
    const char* const texts[] = {"1 byte", "2 byte", "4 byte"};
    for (int selector = 0; selector < 3; ++selector) {
        auto* button = new QRadioButton(QString::fromUtf8(texts[selector]), group);
        button->setObjectName(QStringLiteral("attr%1").arg(selector));
        m_attrGroup->addButton(button, selector);
        row->addWidget(button);
    }
    // A selector from a damaged descriptor checks no button and is kept unless one is chosen.
    if (QAbstractButton* button = m_attrGroup->button(edit.attrWidth)) {
        button->setChecked(true);
    }
    optionsLayout()->addWidget(group);
    connect(m_attrGroup, &QButtonGroup::idToggled, this, [this] { UpdateLayout(); });
    UpdateLayout();
}

LayoutTable CTileFormatDlg::ComputeLayout() const {
    TileFormat format;
    format.header = shownHeader();
    format.width = shownWidth();
    format.height = shownHeight();
    const int checked = m_attrGroup->checkedId();
    format.attrWidth = checked >= 0 ? checked : m_originalAttrWidth;
    format.items = items();
    TileLayoutData data;
    data.tilesKnown = false;
    return TileLayoutTable(format, m_data.value_or(data));
}

QRadioButton* CTileFormatDlg::attrButton(int selector) const {
    return qobject_cast<QRadioButton*>(m_attrGroup->button(selector));
}

TileFormatEdit CTileFormatDlg::Result() const {
    TileFormatEdit edit;
    GetValues(edit);
    const int checked = m_attrGroup->checkedId();
    edit.attrWidth = checked >= 0 ? checked : m_originalAttrWidth;
    edit.sizesLocked = m_sizesLocked;
    return edit;
}

} // namespace kesh::ui
