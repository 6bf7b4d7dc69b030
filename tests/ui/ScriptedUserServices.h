#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/AppServices.h"
#include "app/UserServices.h"

// Answers the editor's questions from a script and records every question
// and message, so widget tests never show a box. Installed for its lifetime.
class ScriptedUserServices : public kesh::UserServices {
public:
    ScriptedUserServices() { kesh::ui::SetAppServices(this); }
    ~ScriptedUserServices() override {
        if (kesh::ui::AppServices() == this) {
            kesh::ui::SetAppServices(nullptr);
        }
    }

    // Queues the answer to the next question (true: Yes or OK).
    void Answer(bool yes) { m_answers.push_back(yes); }

    bool AskYesNo(const std::string& text) override { return Ask(text); }
    bool AskOkCancel(const std::string& text) override { return Ask(text); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> ChooseOpenFile(const kesh::FileDialogOptions&) override {
        ++dialogs;
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const kesh::FileDialogOptions&) override {
        ++dialogs;
        return std::nullopt;
    }
    bool EditTileFormat(kesh::TileFormatEdit&) override {
        ++dialogs;
        return false;
    }
    bool EditMapFormat(kesh::MapFormatEdit&) override {
        ++dialogs;
        return false;
    }

    std::vector<std::string> questions;
    std::vector<std::string> messages;
    int dialogs = 0;

private:
    // Unscripted questions are refused.
    bool Ask(const std::string& text) {
        questions.push_back(text);
        if (m_answers.empty()) {
            return false;
        }
        const bool yes = m_answers.front();
        m_answers.pop_front();
        return yes;
    }

    std::deque<bool> m_answers;
};
