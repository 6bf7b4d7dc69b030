#pragma once

#include <memory>

#include <QApplication>

namespace kesh::ui {

class CMainFrame;
struct CommandLineInfo;

// The program's version, "1.0.0".
const char* Version();

// "--help" and "--version" are answered before any window system is
// opened, so they work without a display: true (the program then ends
// with status 0) when the arguments asked for one of them.
bool AnswerWithoutWindow(int argc, char** argv);

// The editor application: opens the settings store, builds the main window
// and acts on the command line.
class CKeshApp : public QApplication {
    Q_OBJECT
public:
    CKeshApp(int& argc, char** argv);
    ~CKeshApp() override;

    // True to run the event loop, false to end the program with exitCode().
    bool InitInstance();
    int exitCode() const { return m_nExitCode; }

    CMainFrame* mainFrame() const { return m_pMainWnd.get(); }

    // Every event, so that memory running out in any command ends that
    // command with "메모리가 부족합니다." rather than the editor.
    bool notify(QObject* receiver, QEvent* event) override;

    // Acts on a parsed command line with `frame` as the main window: shows
    // it (opening a named map or tile file first), or prints, removes the settings,
    // or prints help or the version. True when the editor should go on
    // running; otherwise `exitCode` says how it ended.
    static bool ProcessShellCommand(const CommandLineInfo& info, CMainFrame& frame, int& exitCode);

private:
    std::unique_ptr<CMainFrame> m_pMainWnd;
    int m_nExitCode = 0;
};

} // namespace kesh::ui
