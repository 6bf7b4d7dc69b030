#pragma once

class QCoreApplication;

namespace kesh::ui {

// Loads Qt's own Korean texts (the file dialogs, the buttons of the message
// boxes, the overwrite question) from Qt's translations folder, whatever the
// user's locale: the editor speaks Korean throughout. False when the
// translation is not installed; Qt's English texts then stay.
bool InstallQtTranslation(QCoreApplication& app);

} // namespace kesh::ui
