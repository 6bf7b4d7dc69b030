#include "shell/CKeshApp.h"

int main(int argc, char* argv[]) {
    if (kesh::ui::AnswerWithoutWindow(argc, argv)) {
        return 0;
    }
    kesh::ui::CKeshApp theApp(argc, argv);
    if (!theApp.InitInstance()) {
        return theApp.exitCode();
    }
    return theApp.exec();
}
