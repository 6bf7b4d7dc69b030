#include "app/CKeshApp.h"

int main(int argc, char* argv[]) {
    kesh::ui::CKeshApp theApp(argc, argv);
    if (!theApp.InitInstance()) {
        return theApp.exitCode();
    }
    return theApp.exec();
}
