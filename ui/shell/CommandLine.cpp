#include "shell/CommandLine.h"

namespace kesh::ui {

namespace {

CommandLineInfo Fail(const QString& why) {
    CommandLineInfo info;
    info.m_nShellCommand = CommandLineInfo::Error;
    info.m_strError = why;
    return info;
}

} // namespace

CommandLineInfo ParseCommandLine(const QStringList& args) {
    CommandLineInfo info;
    QStringList names; // file names, then the print-to printer, driver and port
    bool flags = true;
    for (const QString& arg : args) {
        if (!flags || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            names << arg;
            continue;
        }
        const QString flag = arg.toLower();
        if (flag == QLatin1String("--")) {
            flags = false;
        } else if (flag == QLatin1String("--help") || flag == QLatin1String("-h")) {
            info.m_nShellCommand = CommandLineInfo::Help;
            return info;
        } else if (flag == QLatin1String("--version")) {
            info.m_nShellCommand = CommandLineInfo::Version;
            return info;
        } else if (flag == QLatin1String("-p")) {
            info.m_nShellCommand = CommandLineInfo::FilePrint;
        } else if (flag == QLatin1String("-pt")) {
            info.m_nShellCommand = CommandLineInfo::FilePrintTo;
        } else if (flag == QLatin1String("-unregister") || flag == QLatin1String("-unregserver")) {
            info.m_nShellCommand = CommandLineInfo::AppUnregister;
        } else {
            return Fail(QStringLiteral("알 수 없는 옵션입니다: %1").arg(arg));
        }
    }

    switch (info.m_nShellCommand) {
    case CommandLineInfo::AppUnregister:
        if (!names.isEmpty()) {
            return Fail(QStringLiteral("-Unregister 에는 파일을 줄 수 없습니다."));
        }
        return info;
    case CommandLineInfo::FilePrint:
        if (names.size() != 1) {
            return Fail(QStringLiteral("-p 에는 지도 파일 하나가 필요합니다."));
        }
        break;
    case CommandLineInfo::FilePrintTo:
        if (names.size() < 2 || names.size() > 4) {
            return Fail(QStringLiteral("-pt 에는 지도 파일과 프린터가 필요합니다."));
        }
        info.m_strPrinterName = names.value(1);
        info.m_strDriverName = names.value(2);
        info.m_strPortName = names.value(3);
        break;
    default:
        if (names.size() > 1) {
            return Fail(QStringLiteral("파일은 하나만 열 수 있습니다."));
        }
        if (names.size() == 1) {
            info.m_nShellCommand = CommandLineInfo::FileOpen;
        }
        break;
    }
    info.m_strFileName = names.value(0);
    return info;
}

QString CommandLineUsage() {
    return QStringLiteral(
        "사용법: kesh [파일]\n"
        "       kesh -p 파일\n"
        "       kesh -pt 파일 프린터\n"
        "       kesh -Unregister\n"
        "\n"
        "2D 게임을 위한 타일 지도 편집기입니다.\n"
        "\n"
        "  파일              지도 파일을 그 옆의 파일포맷(.kmf)에 따라 읽어 엽니다.\n"
        "                    타일 파일(.til)은 그 파일포맷(.ktf)에 따라 타일 세트로 엽니다.\n"
        "                    .kmf 나 .ktf 를 주면 그 옆의 .map 이나 .til 을 엽니다.\n"
        "  -p 파일           지도 파일을 기본 프린터로 인쇄하고 끝냅니다.\n"
        "  -pt 파일 프린터   지도 파일을 그 프린터로 인쇄하고 끝냅니다.\n"
        "  -Unregister, -Unregserver\n"
        "                    저장된 편집기 설정을 지우고 끝냅니다.\n"
        "  --help            이 도움말을 출력합니다.\n"
        "  --version         판 정보를 출력합니다.\n"
        "  --                옵션의 끝: 뒤에 오는 것은 파일 이름입니다.\n"
        "\n"
        "Qt 의 표준 옵션(-platform, -style, ...)도 쓸 수 있습니다.\n");
}

} // namespace kesh::ui
