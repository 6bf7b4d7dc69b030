#pragma once

#include <memory>

#include <QString>

class QSettings;

namespace kesh::ui {

// The per-user settings store: organisation "Local AppWizard-Generated
// Applications", application "kesh". It holds the main window's placement.
inline constexpr const char* kSettingsOrganization = "Local AppWizard-Generated Applications";
inline constexpr const char* kSettingsApplication = "kesh";

std::unique_ptr<QSettings> OpenSettings();

// The texts the removal of the settings reports.
inline constexpr const char* kUnregistered =
    "시스템 레지스트리 항목과 INI 파일(만약 있다면)이 삭제되었습니다.";
inline constexpr const char* kNotAllUnregistered =
    "모든 시스템 레지스트리 항목(또는 INI 파일)이 삭제되지는 않았습니다.";

// Removes every entry of the store and its file; gives the text to report.
QString RemoveSettings();

} // namespace kesh::ui
