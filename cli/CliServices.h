#pragma once

#include <ostream>

#include "app/UserServices.h"

namespace kesh::cli {

// What the procedures need of a user, for a tool that runs unattended:
// messages go to standard error, every question is answered No or Cancel,
// and no file chooser or layout dialog is ever confirmed.
class CliServices final : public UserServices {
public:
    explicit CliServices(std::ostream& err) : m_err(err) {}

    bool AskYesNo(const std::string&) override { return false; }
    bool AskOkCancel(const std::string&) override { return false; }
    using UserServices::ShowMessage;
    void ShowMessage(const std::string& text, MessageIcon) override { m_err << text << '\n'; }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override {
        return std::nullopt;
    }
    bool EditTileFormat(TileFormatEdit&) override { return false; }
    bool EditMapFormat(MapFormatEdit&) override { return false; }
    bool EditImportOptions(ImportOptionsEdit&) override { return false; }

private:
    std::ostream& m_err;
};

} // namespace kesh::cli
