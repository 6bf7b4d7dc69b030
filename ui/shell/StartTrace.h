#pragma once

namespace kesh::ui {

class CMainFrame;

// For measuring how fast the editor starts (bench/StartTime.sh): with the
// environment variable KESH_TRACE_START set, prints to standard error, in
// milliseconds since the epoch, when the main window is first shown on screen
// ("kesh-trace shown MS") and when the map view has first been drawn
// ("kesh-trace map-drawn MS"). Without it nothing is installed.
void InstallStartTrace(CMainFrame& frame);

} // namespace kesh::ui
