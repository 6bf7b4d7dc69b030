#pragma once

#include <QString>
#include <QStringList>

namespace kesh::ui {

// What the command line asks for. Flags begin with a hyphen; anything else
// is a file name (a leading slash is a path, never a flag). "--" ends the
// flags, so a file whose name begins with a hyphen can still be named.
//   kesh [FILE]                    open FILE as the map (a .til as the tile
//                                  set, a .kmf or .ktf its data file), then edit
//   kesh -p FILE                   print the map FILE and end
//   kesh -pt FILE PRINTER [DRIVER [PORT]]   print it on PRINTER and end
//   kesh -Unregister | -Unregserver         remove the settings and end
//   kesh --help | --version
struct CommandLineInfo {
    enum ShellCommand {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        AppUnregister,
        Help,
        Version,
        Error
    };

    ShellCommand m_nShellCommand = FileNew;
    QString m_strFileName;
    QString m_strPrinterName;
    QString m_strDriverName;
    QString m_strPortName;
    // For Error: what was wrong, in English, for the terminal.
    QString m_strError;
};

// Parses the arguments after the program's name (Qt's own options already
// taken out). Flag names are not case-sensitive.
CommandLineInfo ParseCommandLine(const QStringList& args);

// The text "--help" prints.
QString CommandLineUsage();

} // namespace kesh::ui
