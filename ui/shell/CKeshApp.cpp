#include "shell/CKeshApp.h"

#include <cstdio>
#include <new>

#include <QPrinter>

#include "base/Messages.h"
#include "mapview/CKeshView.h"
#include "shell/AppIcon.h"
#include "shell/AppServices.h"
#include "shell/AppSettings.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandLine.h"
#include "shell/FrameCommands.h"
#include "shell/FrameRecovery.h"
#include "shell/QtTranslation.h"
#include "shell/StartTrace.h"
#include "shell/ViewPrinting.h"

namespace kesh::ui {

const char* Version() {
    return "1.0.0";
}

namespace {

void Print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Prints the map file `path` on `printerName` (the default printer when empty).
bool PrintMapFile(CMainFrame& frame, const QString& path, const QString& printerName) {
    if (!frame.commands().OpenMapFile(path)) {
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty()) {
        printer.setPrinterName(printerName);
    }
    printer.setDocName(frame.document()->GetTitle());
    if (!printer.isValid() || !PrintView(printer, frame.mapView())) {
        Services().ShowMessage(kPrintFailed);
        return false;
    }
    return true;
}

// Prints the help or the version; false for any other command line.
bool PrintInformation(const CommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CommandLineInfo::Help:
        Print(stdout, CommandLineUsage());
        return true;
    case CommandLineInfo::Version:
        Print(stdout, QStringLiteral("kesh %1\n").arg(QString::fromLatin1(Version())));
        return true;
    default:
        return false;
    }
}

} // namespace

bool AnswerWithoutWindow(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    return PrintInformation(ParseCommandLine(args));
}

CKeshApp::CKeshApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QString::fromUtf8(kSettingsOrganization));
    setApplicationName(QString::fromUtf8(kSettingsApplication));
    setApplicationVersion(QString::fromLatin1(Version()));
    setDesktopFileName(QStringLiteral("kesh"));
    setWindowIcon(AppIcon());
    InstallQtTranslation(*this);
}

CKeshApp::~CKeshApp() = default;

bool CKeshApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        // The command's saves failed whole (the old files are as they were);
        // what it had built is freed by now, so the message can be shown.
        try {
            Services().ShowMessage(msg::kOutOfMemory);
        } catch (const std::bad_alloc&) {
            Print(stderr, QString::fromUtf8(msg::kOutOfMemory) + QLatin1Char('\n'));
        }
        return false;
    }
}

bool CKeshApp::InitInstance() {
    const CommandLineInfo info = ParseCommandLine(arguments().mid(1));
    if (PrintInformation(info)) {
        return false;
    }
    switch (info.m_nShellCommand) {
    case CommandLineInfo::Error:
        Print(stderr, QStringLiteral("kesh: %1\n도움말: kesh --help\n").arg(info.m_strError));
        m_nExitCode = 2;
        return false;
    default:
        break;
    }
    m_pMainWnd = std::make_unique<CMainFrame>();
    // SIGTERM and SIGHUP end the editor with a recovery copy of unsaved work.
    m_pMainWnd->recovery().CatchTermination();
    InstallStartTrace(*m_pMainWnd);
    return ProcessShellCommand(info, *m_pMainWnd, m_nExitCode);
}

bool CKeshApp::ProcessShellCommand(const CommandLineInfo& info, CMainFrame& frame, int& exitCode) {
    exitCode = 0;
    switch (info.m_nShellCommand) {
    case CommandLineInfo::FileNew:
        frame.show();
        frame.recovery().OfferRecovery();
        return true;
    case CommandLineInfo::FileOpen:
        // A file that cannot be read has been reported; the editor then
        // starts with the defaults. Work left by a session that ended
        // without saving is offered back afterwards.
        frame.show();
        frame.commands().OpenFile(info.m_strFileName);
        frame.recovery().OfferRecovery();
        return true;
    case CommandLineInfo::FilePrint:
    case CommandLineInfo::FilePrintTo:
        if (!PrintMapFile(frame, info.m_strFileName, info.m_strPrinterName)) {
            exitCode = 1;
        }
        return false;
    case CommandLineInfo::AppUnregister: {
        const QString result = RemoveSettings();
        if (result != QString::fromUtf8(kUnregistered)) {
            exitCode = 1;
        }
        Services().ShowMessage(result.toStdString());
        return false;
    }
    case CommandLineInfo::Help:
    case CommandLineInfo::Version:
    case CommandLineInfo::Error:
        break;
    }
    return false;
}

} // namespace kesh::ui
