#include "formatdlg/CMapFormatDlg.h"

namespace kesh::ui {

namespace {

// The arrows step through this range; typed sizes are not bounded here.
constexpr int kMapStepLow = 1;
constexpr int kMapStepHigh = 32767;

CFormatDlgBase::Setup MapSetup() {
    CFormatDlgBase::Setup setup;
    setup.title = QStringLiteral("Map Property");
    setup.widthLabel = QStringLiteral("Width");
    setup.heightLabel = QStringLiteral("Height");
    setup.stepLow = kMapStepLow;
    setup.stepHigh = kMapStepHigh;
    setup.sizeRangeChecked = false;
    setup.itemText = &MapItemText;
    setup.itemCount = kPlainMapItemCount;
    return setup;
}

} // namespace

CMapFormatDlg::CMapFormatDlg(const MapFormatEdit& edit, bool lockSize, QWidget* parent)
    : CFormatDlgBase(MapSetup(), ValuesOf(edit, lockSize), parent), m_tiles(edit.tiles),
      m_data(edit.data) {
    UpdateLayout();
}

LayoutTable CMapFormatDlg::ComputeLayout() const {
    MapFormat format;
    format.header = shownHeader();
    format.width = shownWidth();
    format.height = shownHeight();
    format.items = items();
    MapLayoutData data;
    data.tiles.tilesKnown = false;
    return MapLayoutTable(format, m_tiles, m_data.value_or(data));
}

MapFormatEdit CMapFormatDlg::Result() const {
    MapFormatEdit edit;
    GetValues(edit);
    return edit;
}

} // namespace kesh::ui
