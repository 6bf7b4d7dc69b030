#pragma once

#include <memory>

#include <QMainWindow>
#include <QPointer>

class QStatusBar;
class QToolBar;

namespace kesh::ui {

class CKeshView;
class CSplitterWnd;
class CTile1View;
class CTileInfoBar;
class QtUserServices;

// The main window: tool bar, status bar, the tile attribute bar docked on the
// right, and a splitter with the map view on the left and the tile set view
// on the right. Commands reach the views through the frame.
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

    // The view that receives commands first: the map view at start-up, then
    // whichever view last had the focus.
    QWidget* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(QWidget* view);

    // The document's title; the caption shows it before " - kesh".
    void SetTitle(const QString& title);
    QString GetTitle() const { return m_title; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnCreate();
    void OnCreateClient();
    // Gives the map column its first width once the splitter has its size.
    void ApplyInitialColumns();

    QStatusBar* m_wndStatusBar = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    CSplitterWnd* m_wndSplitter = nullptr;
    CTileInfoBar* m_wndTileInfoBar = nullptr;
    QPointer<QWidget> m_pActiveView;
    QString m_title;
    int m_mapColumnWidth = 0;
    bool m_columnsApplied = false;
    std::unique_ptr<QtUserServices> m_services;
};

} // namespace kesh::ui
