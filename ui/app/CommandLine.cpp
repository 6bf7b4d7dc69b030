#include "app/CommandLine.h"

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
            return Fail(QStringLiteral("unknown option: %1").arg(arg));
        }
    }

    switch (info.m_nShellCommand) {
    case CommandLineInfo::AppUnregister:
        if (!names.isEmpty()) {
            return Fail(QStringLiteral("-Unregister takes no file"));
        }
        return info;
    case CommandLineInfo::FilePrint:
        if (names.size() != 1) {
            return Fail(QStringLiteral("-p needs exactly one map file"));
        }
        break;
    case CommandLineInfo::FilePrintTo:
        if (names.size() < 2 || names.size() > 4) {
            return Fail(QStringLiteral("-pt needs a map file and a printer"));
        }
        info.m_strPrinterName = names.value(1);
        info.m_strDriverName = names.value(2);
        info.m_strPortName = names.value(3);
        break;
    default:
        if (names.size() > 1) {
            return Fail(QStringLiteral("only one file can be opened"));
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
        "Usage: kesh [FILE]\n"
        "       kesh -p FILE\n"
        "       kesh -pt FILE PRINTER\n"
        "       kesh -Unregister\n"
        "\n"
        "Tile map editor for 2D games.\n"
        "\n"
        "  FILE              open the map FILE (read through its .kmf layout), or\n"
        "                    a tile file FILE.til as the tile set (through its .ktf);\n"
        "                    a FILE.kmf or FILE.ktf opens the .map or .til beside it\n"
        "  -p FILE           print the map FILE on the default printer and end\n"
        "  -pt FILE PRINTER  print the map FILE on PRINTER and end\n"
        "  -Unregister, -Unregserver\n"
        "                    remove the editor's stored settings and end\n"
        "  --help            show this help and end\n"
        "  --version         show the version and end\n"
        "  --                end of options: what follows is a file name\n"
        "\n"
        "The standard Qt options (-platform, -style, ...) are accepted as well.\n");
}

} // namespace kesh::ui
