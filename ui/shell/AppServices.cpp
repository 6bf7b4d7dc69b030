#include "shell/AppServices.h"

namespace kesh::ui {

namespace {

UserServices* g_services = nullptr;

// Used while nothing is installed: refuses everything, so no question can
// lead to a change nobody agreed to.
class RefusingServices : public UserServices {
public:
    bool AskYesNo(const std::string&) override { return false; }
    bool AskOkCancel(const std::string&) override { return false; }
    void ShowMessage(const std::string&, MessageIcon) override {}
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override {
        return std::nullopt;
    }
    bool EditTileFormat(TileFormatEdit&) override { return false; }
    bool EditMapFormat(MapFormatEdit&) override { return false; }
    bool EditImportOptions(ImportOptionsEdit&) override { return false; }
};

} // namespace

UserServices* AppServices() {
    return g_services;
}

void SetAppServices(UserServices* services) {
    g_services = services;
}

UserServices& Services() {
    static RefusingServices refusing;
    return g_services ? *g_services : refusing;
}

} // namespace kesh::ui
