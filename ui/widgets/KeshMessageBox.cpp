#include "widgets/KeshMessageBox.h"

namespace kesh::ui {

QMessageBox::StandardButton KeshMessageBox(QWidget* parent, const QString& text,
                                           QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromUtf8(kMessageCaption), text, buttons, parent);
    box.setObjectName(QStringLiteral("keshMessageBox"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace kesh::ui
