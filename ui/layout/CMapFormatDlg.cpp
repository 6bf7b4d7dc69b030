#include "layout/CMapFormatDlg.h"

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
    setup.itemCount = kMapItemCount;
    return setup;
}

} // namespace

CMapFormatDlg::CMapFormatDlg(const MapFormatEdit& edit, bool lockSize, QWidget* parent)
    : CFormatDlgBase(MapSetup(), ValuesOf(edit, lockSize), parent) {}

MapFormatEdit CMapFormatDlg::Result() const {
    MapFormatEdit edit;
    GetValues(edit);
    return edit;
}

} // namespace kesh::ui
