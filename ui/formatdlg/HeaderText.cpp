#include "formatdlg/HeaderText.h"

#include "text/Cp949.h"

#include <QList>

namespace kesh::ui {

namespace {

std::string ToFileLineBreaks(const QString& text) {
    QString withCrLf = text;
    withCrLf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return withCrLf.toStdString();
}

} // namespace

HeaderText FitHeaderText(const QString& text, std::size_t maxBytes) {
    // Usual case: everything converts and fits.
    if (auto bytes = Utf8ToCp949(ToFileLineBreaks(text)); bytes && bytes->size() <= maxBytes) {
        return {text, std::move(*bytes), false};
    }

    // Walk the characters, replacing the unconvertible ones, until the next would not fit.
    HeaderText fitted;
    fitted.changed = true;
    std::size_t length = 0;
    for (const char32_t codePoint : text.toUcs4()) {
        QString character = QString::fromUcs4(&codePoint, 1);
        std::size_t size = 2;
        if (codePoint != U'\n') {
            if (!Utf8ToCp949(character.toStdString())) {
                character = QStringLiteral("?");
            }
            size = Cp949Length(character.toStdString());
        }
        if (length + size > maxBytes) {
            break;
        }
        length += size;
        fitted.text += character;
    }
    fitted.bytes = Utf8ToCp949(ToFileLineBreaks(fitted.text)).value_or(std::string());
    return fitted;
}

QString HeaderBytesToText(const std::string& bytes) {
    QString text = QString::fromStdString(Cp949ToUtf8(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace kesh::ui
