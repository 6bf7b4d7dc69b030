#include "shell/ImportOptionsMemory.h"

#include <QSettings>

#include "shell/AppSettings.h"

namespace kesh::ui {

namespace {

constexpr const char* kWidth = "Import/TileWidth";
constexpr const char* kHeight = "Import/TileHeight";
constexpr const char* kPalette = "Import/TakePalette";
constexpr const char* kMap = "Import/MakeMap";
constexpr const char* kNearest = "Import/Nearest";
constexpr const char* kPad = "Import/Pad";

QString Key(const char* key) {
    return QString::fromLatin1(key);
}

void Recall(const QSettings& settings, const char* key, bool& value) {
    value = settings.value(Key(key), value).toBool();
}

} // namespace

void RecallImportOptions(ImportOptionsEdit& edit) {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (!edit.sizeLocked) {
        bool wideOk = false;
        bool highOk = false;
        const int width = settings->value(Key(kWidth)).toInt(&wideOk);
        const int height = settings->value(Key(kHeight)).toInt(&highOk);
        if (wideOk && highOk && width > 0 && height > 0) {
            edit.tileWidth = width;
            edit.tileHeight = height;
        }
    }
    const bool ticked = edit.takePalette;
    Recall(*settings, kPalette, edit.takePalette);
    edit.takePalette = edit.takePalette || ticked;
    Recall(*settings, kMap, edit.makeMap);
    Recall(*settings, kNearest, edit.nearest);
    Recall(*settings, kPad, edit.pad);
}

void RememberImportOptions(const ImportOptionsEdit& edit) {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (!edit.sizeLocked) {
        settings->setValue(Key(kWidth), edit.tileWidth);
        settings->setValue(Key(kHeight), edit.tileHeight);
    }
    settings->setValue(Key(kPalette), edit.takePalette);
    settings->setValue(Key(kMap), edit.makeMap);
    settings->setValue(Key(kNearest), edit.nearest);
    settings->setValue(Key(kPad), edit.pad);
}

} // namespace kesh::ui
