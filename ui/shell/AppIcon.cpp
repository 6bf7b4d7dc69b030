#include "shell/AppIcon.h"

#include <QImageReader>

// The icon files are built into the program's library; naming the resource
// here keeps the linker from dropping them.
static void InitIconResources() {
    Q_INIT_RESOURCE(kesh);
}

namespace kesh::ui {

QIcon BuiltInAppIcon() {
    static const bool initialised = (InitIconResources(), true);
    (void)initialised;
    if (QImageReader::supportedImageFormats().contains("svg")) {
        return QIcon(QStringLiteral(":/icons/kesh.svg"));
    }
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/kesh-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QIcon AppIcon() {
    return QIcon::fromTheme(QStringLiteral("kesh"), BuiltInAppIcon());
}

} // namespace kesh::ui
