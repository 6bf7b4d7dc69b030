#include "shell/QtUserServices.h"

#include "formatdlg/CMapFormatDlg.h"
#include "formatdlg/CTileFormatDlg.h"
#include "shell/CImportImageDlg.h"
#include "shell/CMakeTerrainDlg.h"
#include "shell/ImportOptionsMemory.h"
#include "widgets/KeshMessageBox.h"

#include <QFileDialog>
#include <QPushButton>

namespace kesh::ui {

bool QtUserServices::AskYesNo(const std::string& text) {
    return KeshMessageBox(m_parent, QString::fromStdString(text), QMessageBox::Question,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

UserServices::Answer QtUserServices::AskYesNoCancel(const std::string& text,
                                                    const std::string& detail) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kMessageCaption),
                    QString::fromStdString(text + "\n" + detail),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setObjectName(QStringLiteral("keshMessageBox"));
    // Korean whether or not Qt's own translation is installed; Escape and
    // the close box take the Cancel button, never No.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("예"));
    box.button(QMessageBox::No)->setText(QStringLiteral("아니요"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("취소"));
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtUserServices::AskOkCancel(const std::string& text) {
    return KeshMessageBox(m_parent, QString::fromStdString(text), QMessageBox::Question,
                          QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtUserServices::ShowMessage(const std::string& text, MessageIcon icon) {
    KeshMessageBox(m_parent, QString::fromStdString(text),
                   icon == MessageIcon::None ? QMessageBox::NoIcon : QMessageBox::Warning,
                   QMessageBox::Ok);
}

QStringList QtUserServices::NameFilters(const std::vector<std::string>& filters) {
    QStringList nameFilters;
    for (const std::string& filter : filters) {
        const QString line = QString::fromStdString(filter);
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        if (bar < 0) {
            nameFilters << line;
            continue;
        }
        QString patterns = line.mid(bar + 1).trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        nameFilters << QStringLiteral("%1 (%2)").arg(line.left(bar).trimmed(), patterns);
    }
    return nameFilters;
}

namespace {

bool IsPattern(const QString& name) {
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// Whether the name filter "description (p1 p2)" lists `pattern`.
bool ListsPattern(const QString& filter, const QString& pattern) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) {
        return filter.split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(pattern);
    }
    return filter.mid(open + 1, close - open - 1)
        .split(QLatin1Char(' '), Qt::SkipEmptyParts)
        .contains(pattern, Qt::CaseInsensitive);
}

} // namespace

QStringList QtUserServices::DialogFilters(const FileDialogOptions& options, QString& selected) {
    QStringList filters = NameFilters(options.filters);
    selected.clear();
    const QString initialName = QString::fromStdString(options.initialName);
    if (!IsPattern(initialName)) {
        selected = filters.value(0);
        return filters;
    }
    for (const QString& filter : filters) {
        if (ListsPattern(filter, initialName)) {
            selected = filter;
            return filters;
        }
    }
    filters.prepend(initialName);
    selected = initialName;
    return filters;
}

std::optional<std::string> QtUserServices::ChooseFile(const FileDialogOptions& options, bool save) {
    QFileDialog dialog(m_parent);
    // Qt's own dialog, so that the default suffix and the overwrite question always apply.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(options.defaultExtension));
    if (save && !options.confirmOverwrite) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    QString selected;
    const QStringList nameFilters = DialogFilters(options, selected);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        dialog.selectNameFilter(selected);
    }
    // A pattern such as "*.map" has chosen the filter above; only a real
    // name goes into the name box.
    const QString initialName = QString::fromStdString(options.initialName);
    if (!initialName.isEmpty() && !IsPattern(initialName)) {
        dialog.selectFile(initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

std::optional<std::string> QtUserServices::ChooseOpenFile(const FileDialogOptions& options) {
    return ChooseFile(options, false);
}

std::optional<std::string> QtUserServices::ChooseSaveFile(const FileDialogOptions& options) {
    return ChooseFile(options, true);
}

bool QtUserServices::EditTileFormat(TileFormatEdit& edit) {
    CTileFormatDlg dialog(edit, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    edit = dialog.Result();
    return true;
}

bool QtUserServices::EditMapFormat(MapFormatEdit& edit) {
    CMapFormatDlg dialog(edit, edit.sizesLocked, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    edit = dialog.Result();
    return true;
}

bool QtUserServices::EditImportOptions(ImportOptionsEdit& edit) {
    ImportOptionsEdit shown = edit;
    RecallImportOptions(shown);
    CImportImageDlg dialog(shown, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    edit = dialog.Result();
    RememberImportOptions(edit);
    return true;
}

bool QtUserServices::EditMakeTerrain(MakeTerrainEdit& edit) {
    CMakeTerrainDlg dialog(edit, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    edit = dialog.Result();
    return true;
}

} // namespace kesh::ui
