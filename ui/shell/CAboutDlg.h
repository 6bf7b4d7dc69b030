#pragma once

#include <QDialog>

class QPushButton;

namespace kesh::ui {

// The About box: the program's icon, its name and version, and one button.
// The button, Enter, Escape and the close box all close it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QPushButton* okButton() const { return m_ok; }

    // Converts dialog units (a quarter of the average character width across,
    // an eighth of the character height down) to pixels for `font`.
    static QRect DialogUnits(const QFont& font, int x, int y, int width, int height);

private:
    QPushButton* m_ok = nullptr;
};

} // namespace kesh::ui
