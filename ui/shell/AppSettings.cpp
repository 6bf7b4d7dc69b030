#include "shell/AppSettings.h"

#include <QFile>
#include <QSettings>

namespace kesh::ui {

std::unique_ptr<QSettings> OpenSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromUtf8(kSettingsOrganization),
                                       QString::fromUtf8(kSettingsApplication));
}

QString RemoveSettings() {
    QString fileName;
    bool cleared = false;
    {
        const std::unique_ptr<QSettings> settings = OpenSettings();
        fileName = settings->fileName();
        settings->clear();
        settings->sync();
        cleared = settings->status() == QSettings::NoError;
    }
    // An emptied store may leave an empty file behind; that goes too.
    const bool removed = !QFile::exists(fileName) || QFile::remove(fileName);
    return QString::fromUtf8(cleared && removed ? kUnregistered : kNotAllUnregistered);
}

} // namespace kesh::ui
