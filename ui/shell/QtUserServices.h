#pragma once

#include "app/UserServices.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace kesh::ui {

// The editor's questions, messages, file choosers and layout dialogs.
class QtUserServices : public UserServices {
public:
    explicit QtUserServices(QWidget* parent = nullptr) : m_parent(parent) {}

    // The window the boxes and dialogs are modal to.
    void SetParentWidget(QWidget* parent) { m_parent = parent; }

    bool AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text, const std::string& detail) override;
    bool AskOkCancel(const std::string& text) override;
    using UserServices::ShowMessage;
    void ShowMessage(const std::string& text, MessageIcon icon) override;

    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override;

    bool EditTileFormat(TileFormatEdit& edit) override;
    bool EditMapFormat(MapFormatEdit& edit) override;
    bool EditImportOptions(ImportOptionsEdit& edit) override;
    bool EditMakeTerrain(MakeTerrainEdit& edit) override;

    // "256 PCX files|*.pcx" becomes the name filter "256 PCX files (*.pcx)";
    // patterns separated by ';' are separated by spaces.
    static QStringList NameFilters(const std::vector<std::string>& filters);
    // The name filters a dialog shows for `options`, and in `selected` the
    // one it starts on: the first that lists the pattern of an initial name
    // such as "*.map" (a filter for that pattern is put first when none does).
    static QStringList DialogFilters(const FileDialogOptions& options, QString& selected);

private:
    std::optional<std::string> ChooseFile(const FileDialogOptions& options, bool save);

    QPointer<QWidget> m_parent;
};

} // namespace kesh::ui
