#pragma once

#include <ostream>

#include "app/UserServices.h"

namespace kesh {

// The user services when nobody is there to answer: every question is
// answered No or Cancel and no file chooser or layout dialog is ever
// confirmed, so nothing changes that nobody agreed to. Messages go to
// `messages` one a line (kesh-cli: standard error), or nowhere without one
// (the editor before its main frame installs the dialogs).
class UnattendedServices final : public UserServices {
public:
    explicit UnattendedServices(std::ostream* messages = nullptr) : m_messages(messages) {}

    bool AskYesNo(const std::string&) override { return false; }
    Answer AskYesNoCancel(const std::string&, const std::string&) override {
        return Answer::Cancel;
    }
    bool AskOkCancel(const std::string&) override { return false; }
    using UserServices::ShowMessage;
    void ShowMessage(const std::string& text, MessageIcon) override {
        if (m_messages)
            *m_messages << text << '\n';
    }
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
    std::ostream* m_messages;
};

} // namespace kesh
