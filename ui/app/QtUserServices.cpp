#include "app/QtUserServices.h"

#include "app/KeshMessageBox.h"
#include "layout/CMapFormatDlg.h"
#include "layout/CTileFormatDlg.h"

#include <QFileDialog>

namespace kesh::ui {

bool QtUserServices::AskYesNo(const std::string& text) {
    return KeshMessageBox(m_parent, QString::fromStdString(text), QMessageBox::Question,
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtUserServices::AskOkCancel(const std::string& text) {
    return KeshMessageBox(m_parent, QString::fromStdString(text), QMessageBox::Warning,
                          QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtUserServices::ShowMessage(const std::string& text) {
    KeshMessageBox(m_parent, QString::fromStdString(text), QMessageBox::Warning, QMessageBox::Ok);
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
    const QStringList nameFilters = NameFilters(options.filters);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    // A pattern such as "*.map" is already served by the filters.
    const QString initialName = QString::fromStdString(options.initialName);
    if (!initialName.isEmpty() && !initialName.contains(QLatin1Char('*')) &&
        !initialName.contains(QLatin1Char('?'))) {
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

} // namespace kesh::ui
