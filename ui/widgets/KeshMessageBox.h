#pragma once

#include <QMessageBox>
#include <QString>

namespace kesh::ui {

// Every message and question of the editor carries the program's name as caption.
inline constexpr const char* kMessageCaption = "kesh";

// Shows a modal message box and returns the button that closed it.
QMessageBox::StandardButton KeshMessageBox(QWidget* parent, const QString& text,
                                           QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons);

} // namespace kesh::ui
