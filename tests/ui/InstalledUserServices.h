#pragma once

#include <string>

#include <QTest>

#include "shell/AppServices.h"
#include "support/ScriptedUserServices.h"

// The shared scripted services, installed as the editor's services for the
// object's lifetime. A question, file chooser or dialog that was not
// scripted fails the running test (and gets the cautious answer).
class InstalledUserServices : public kesh::test::ScriptedUserServices {
public:
    InstalledUserServices() {
        setFailureHook(
            [](const std::string& what) { QTest::qFail(what.c_str(), __FILE__, __LINE__); });
        kesh::ui::SetAppServices(this);
    }
    ~InstalledUserServices() override {
        if (kesh::ui::AppServices() == this) {
            kesh::ui::SetAppServices(nullptr);
        }
    }
    InstalledUserServices(const InstalledUserServices&) = delete;
    InstalledUserServices& operator=(const InstalledUserServices&) = delete;
};
