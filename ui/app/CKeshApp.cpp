#include "app/CKeshApp.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "app/AppServices.h"
#include "app/CMainFrame.h"

namespace kesh::ui {

CKeshApp::CKeshApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setApplicationName(QStringLiteral("kesh"));
}

CKeshApp::~CKeshApp() = default;

bool CKeshApp::InitInstance() {
    m_pMainWnd = std::make_unique<CMainFrame>();

    // A file named on the command line is opened as the (empty) document:
    // only the caption shows it.
    const QStringList args = arguments().mid(1);
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1Char('-')) || arg.startsWith(QLatin1Char('/'))) {
            const QString flag = arg.mid(1).toLower();
            if (flag == QLatin1String("unregister") || flag == QLatin1String("unregserver")) {
                QSettings settings;
                settings.clear();
                settings.sync();
                Services().ShowMessage(settings.status() == QSettings::NoError
                                           ? "시스템 레지스트리 항목과 INI 파일(만약 있다면)이 "
                                             "삭제되었습니다."
                                           : "모든 시스템 레지스트리 항목(또는 INI 파일)이 "
                                             "삭제되지는 않았습니다.");
                return false;
            }
            continue;
        }
        QFile file(arg);
        if (!file.open(QIODevice::ReadOnly)) {
            Services().ShowMessage("문서 열기 실패.");
            return false;
        }
        m_pMainWnd->SetTitle(QFileInfo(arg).fileName());
        break;
    }

    m_pMainWnd->show();
    return true;
}

} // namespace kesh::ui
