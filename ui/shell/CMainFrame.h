#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "shell/RecentFiles.h"
#include "widgets/LockKeys.h"

class QLabel;
class QMenu;
class QMimeData;
class QStatusBar;
class QToolBar;

namespace kesh::ui {

class CKeshDoc;
class UndoActions;
class CKeshView;
class CSplitterWnd;
class CTile1View;
class CPaletteBar;
class CTileInfoBar;
class CTerrainPanel;
class TerrainCommands;
class CTileEditPanel;
class PixelMapTool;
class FrameCommands;
class FrameRecovery;
class QtUserServices;
class TilePainter;
class TileBudgetPane;

// The main window: menu bar, tool bar, status bar, the tile attribute bar
// and the palette panel docked on the right, and a splitter with the map
// view on the left and the tile set view on the right. Menu items, keys and
// tool buttons all come to OnCommand; the map and tile commands go on to
// FrameCommands.
// Construction and layout are in CMainFrame.cpp, the menus, keys and bars in
// CMainFrameMenus.cpp.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The map column's width for a frame whose client area is `clientWidth` wide.
    static int MapColumnWidth(int clientWidth) { return clientWidth * 2 / 3; }

    CSplitterWnd* splitter() const { return m_wndSplitter; }
    CKeshView* mapView() const;
    CTile1View* tileView() const;
    QToolBar* toolBar() const { return m_wndToolBar; }
    QStatusBar* statusBarWidget() const { return m_wndStatusBar; }
    CTileInfoBar* tileInfoBar() const { return m_wndTileInfoBar; }
    CPaletteBar* paletteBar() const { return m_wndPaletteBar; }
    CTerrainPanel* terrainPanel() const { return m_wndTerrainPanel; }
    TerrainCommands& terrainCommands() const { return *m_terrain; }
    CTileEditPanel* tileEditPanel() const { return m_wndTileEditPanel; }
    CKeshDoc* document() const { return m_pDocument; }
    FrameCommands& commands() const { return *m_commands; }
    FrameRecovery& recovery() const { return *m_recovery; }

    // The action of command `id` (menu item, tool button or key), or null.
    QAction* action(int id) const { return m_actions.value(id); }
    // The texts of the three lock indicators, in status bar order.
    QLabel* indicator(int index) const { return m_indicators[size_t(index)]; }
    QLabel* idlePane() const { return m_idlePane; }
    // The status bar pane that tells the cell and tile under the pointer.
    QLabel* pointerPane() const { return m_pointerPane; }
    // The status bar pane that tells the map's zoom: "150%".
    QLabel* zoomPane() const { return m_zoomPane; }
    // The status bar pane of the tile budget: "타일 187 / 256".
    TileBudgetPane* budgetPane() const { return m_budgetPane; }

    // Runs command `id` as if its menu item was chosen.
    void OnCommand(int id);

    // The view that receives commands first: the map view at start-up, then
    // whichever view last had the focus.
    QWidget* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(QWidget* view);

    // The document's title; the caption shows it before " - kesh".
    void SetTitle(const QString& title);
    QString GetTitle() const;

    // Shows "CAP", "NUM" and "SCRL" for the locks that are on; all blank
    // when the window system does not say.
    void UpdateLockIndicators(const std::optional<LockKeyStates>& states);

    // The "최근 파일" submenu of the map menu and the list it shows.
    QMenu* recentFilesMenu() const { return m_recentMenu; }
    const RecentFiles& recentFiles() const { return m_recent; }
    // Opens a recent file as the command line does; one that is gone is
    // reported as a failed open and taken off the list.
    void OpenRecentFile(const QString& path);
    // The first dropped file the editor opens (.map, .kmf, .til, .ktf, in
    // any case), or an empty string.
    static QString DroppedFile(const QMimeData* data);

    // Writes the window's size and place, the map column's width and where
    // the bars are docked to the settings store (done when the window closes).
    void SaveFramePlacement() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A dropped map or tile file opens as the command line opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnCreate();
    void OnCreateClient();
    // Gives the map column its first width once the splitter has its size:
    // the width it had last time, or two thirds of the client width.
    void ApplyInitialColumns();
    void LoadFramePlacement();

    // CMainFrameMenus.cpp
    QAction* CreateAction(int id, const QString& text);
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    // The View item of the palette panel.
    void ConnectPaletteBar();
    void CreateAccelerators();
    // Each tool button's tip names its first key: "지도열기 (Ctrl+O)".
    void NameKeysInToolTips();
    void OnNextPane(int step);
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnAppAbout();
    // CMainFrameView.cpp: zoom, grid, paint tool and the pointer pane.
    void CreateViewCommands();
    // Runs the zoom, grid and paint tool commands; false for the others.
    bool OnViewCommand(int id);
    // Keeps the zoom steps and the grid for the next start.
    void SaveViewSettings() const;
    // CMainFrameTiles.cpp: the budget pane, usage, 타일 바꾸기.
    void CreateTileCommands();
    // Runs the usage and replace commands; false for the others.
    bool OnTileCommand(int id);
    void OnTileReplace();
    // CMainFrameTerrain.cpp: the terrain panel and its commands.
    void CreateTerrainCommands();
    bool OnTerrainCommand(int id);
    // CMainFrameTileEdit.cpp: the 타일 편집 panel and the 픽셀 그리기 tool.
    void CreateTileEdit();
    // Runs the panel's and the pixel tool's commands; false for the others
    // (the paint tool's goes on after turning the pixel tool off).
    bool OnTileEditCommand(int id);
    // CMainFrameFiles.cpp: recent files, drops and the recovery copy.
    void SetUpFiles();
    void UpdateRecentFiles(const std::function<void(RecentFiles&)>& change);
    void RebuildRecentMenu();

    // The view that printing draws: the active one, else the map view.
    QWidget* PrintedView() const;

    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    CSplitterWnd* m_wndSplitter = nullptr;
    CTileInfoBar* m_wndTileInfoBar = nullptr;
    CPaletteBar* m_wndPaletteBar = nullptr;
    CTerrainPanel* m_wndTerrainPanel = nullptr;
    std::unique_ptr<TerrainCommands> m_terrain;
    CTileEditPanel* m_wndTileEditPanel = nullptr;
    std::unique_ptr<PixelMapTool> m_pixelTool;
    CKeshDoc* m_pDocument = nullptr;
    // Draws the tiles for both views and the attribute bar.
    std::unique_ptr<TilePainter> m_tilePainter;
    std::unique_ptr<FrameCommands> m_commands;
    std::unique_ptr<UndoActions> m_undoActions;
    QHash<int, QAction*> m_actions;
    QLabel* m_idlePane = nullptr;
    QLabel* m_pointerPane = nullptr;
    QLabel* m_zoomPane = nullptr;
    TileBudgetPane* m_budgetPane = nullptr;
    std::array<QLabel*, 3> m_indicators{};
    QTimer m_lockTimer;
    QPointer<QWidget> m_pActiveView;
    int m_mapColumnWidth = 0;
    int m_savedMapColumn = -1;
    bool m_columnsApplied = false;
    std::unique_ptr<QtUserServices> m_services;
    QMenu* m_recentMenu = nullptr;
    RecentFiles m_recent;
    FrameRecovery* m_recovery = nullptr;
};

} // namespace kesh::ui
