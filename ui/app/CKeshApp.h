#pragma once

#include <memory>

#include <QApplication>

namespace kesh::ui {

class CMainFrame;

// The editor application: opens the settings store, builds the main window
// and acts on the command line.
class CKeshApp : public QApplication {
    Q_OBJECT
public:
    CKeshApp(int& argc, char** argv);
    ~CKeshApp() override;

    // True to run the event loop, false to end the program.
    bool InitInstance();

    CMainFrame* mainFrame() const { return m_pMainWnd.get(); }

private:
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

} // namespace kesh::ui
