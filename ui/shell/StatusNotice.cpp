#include "shell/StatusNotice.h"

#include <QFileInfo>

namespace kesh::ui::notice {

namespace {

// File types named by how they are read: "맵", "틸", "팔" end in a consonant.
bool EndsInConsonant(const QString& word) {
    const QString lower = word.toLower();
    const qsizetype dot = lower.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && dot + 1 < lower.size()) {
        const QString ext = lower.mid(dot + 1);
        for (const char* reads : {"map", "til", "pal", "gpl", "kmf", "ktf"}) {
            if (ext == QLatin1String(reads)) {
                return true;
            }
        }
        for (const char* reads : {"bmp", "png", "pcx", "tmx", "h", "py"}) {
            if (ext == QLatin1String(reads)) {
                return false;
            }
        }
    }
    if (lower.isEmpty()) {
        return false;
    }
    const char16_t last = lower.back().unicode();
    if (last >= 0xAC00 && last <= 0xD7A3) {
        return (last - 0xAC00) % 28 != 0; // a final consonant (jongseong)
    }
    // Letters and digits as their Korean names end: 엘, 엠, 엔, 알; 영, 일, 삼, 육, 칠, 팔.
    return QStringLiteral("lmnr013678").contains(QChar(last));
}

} // namespace

QString ObjectParticle(const QString& word) {
    return EndsInConsonant(word) ? QStringLiteral("을") : QStringLiteral("를");
}

QString Saved(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name + ObjectParticle(name) + QStringLiteral(" 저장했습니다.");
}

QString Copied() {
    return QStringLiteral("선택영역을 기억했습니다.");
}

QString Pasted() {
    return QStringLiteral("기억된 선택영역을 붙여넣었습니다.");
}

QString PaletteLoaded() {
    return QStringLiteral("팔렛을 읽어왔습니다.");
}

QString ImageImported() {
    return QStringLiteral("이미지에서 타일을 가져왔습니다.");
}

QString TmxImported() {
    return QStringLiteral("TMX 지도를 가져왔습니다.");
}

QString TilePicked(int tile) {
    return QStringLiteral("현재 타일: 타일 %1").arg(tile);
}

} // namespace kesh::ui::notice
