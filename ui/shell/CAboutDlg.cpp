#include "shell/CAboutDlg.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "shell/AppIcon.h"

namespace kesh::ui {

namespace {

// A text at its place, widened or heightened when the font needs more room
// than the place gives, so that it is never cut.
void PlaceText(QLabel* label, const QRect& where) {
    const QSize needed = label->sizeHint();
    label->setGeometry(where.left(), where.top(), std::max(where.width(), needed.width()),
                       std::max(where.height(), needed.height()));
}

} // namespace

QRect CAboutDlg::DialogUnits(const QFont& font, int x, int y, int width, int height) {
    const QFontMetrics metrics(font);
    const int baseX = std::max(metrics.averageCharWidth(), 1);
    const int baseY = std::max(metrics.height(), 1);
    return {x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8};
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("aboutDlg"));
    setWindowTitle(QStringLiteral("Varno ??"));
    setModal(true);
    const QFont& f = font();
    const QRect box = DialogUnits(f, 0, 0, 152, 79);
    setFixedSize(box.size());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    const QRect iconRect = DialogUnits(f, 11, 17, 20, 20);
    icon->setGeometry(iconRect);
    icon->setAlignment(Qt::AlignCenter);
    const int side = std::min(iconRect.width(), iconRect.height());
    icon->setPixmap(AppIcon().pixmap(QSize(side, side)));

    auto* name = new QLabel(QStringLiteral("Varno"), this);
    name->setObjectName(QStringLiteral("name"));
    PlaceText(name, DialogUnits(f, 35, 7, 73, 10));

    auto* version = new QLabel(QStringLiteral("Ver 1.0"), this);
    version->setObjectName(QStringLiteral("version"));
    PlaceText(version, DialogUnits(f, 50, 34, 26, 9));

    m_ok = new QPushButton(QStringLiteral("확인"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setGeometry(DialogUnits(f, 113, 7, 32, 14));
    m_ok->setDefault(true);
    m_ok->setFocus();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace kesh::ui
