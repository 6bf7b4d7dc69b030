#include "layout/CMapFormatDlg.h"

namespace kesh::ui {

namespace {

// The arrows step through this range; typed sizes are not bounded here.
constexpr int kMapStepLow = 1;
constexpr int kMapStepHigh = 32767;

CFormatDlgBase::Values ValuesOf(const MapFormatEdit& edit, bool lockSize) {
    CFormatDlgBase::Values values;
    values.hasHeader = edit.hasHeader;
    values.header = edit.header;
    values.width = edit.width;
    values.height = edit.height;
    values.items = edit.items;
    values.lockSize = lockSize;
    return values;
}

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
    edit.hasHeader = hasHeader();
    edit.header = edit.hasHeader ? headerBytes() : std::string();
    edit.width = width();
    edit.height = height();
    edit.items = items();
    return edit;
}

} // namespace kesh::ui
