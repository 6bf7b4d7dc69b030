#include "shell/CKeshDoc.h"

namespace kesh::ui {

CKeshDoc::CKeshDoc(QObject* parent) : QObject(parent), m_strTitle(UntitledTitle()) {
    m_data.AddListener(this);
}

CKeshDoc::~CKeshDoc() {
    m_data.RemoveListener(this);
}

QString CKeshDoc::Caption() const {
    return m_strTitle + (m_data.IsModified() ? QStringLiteral("*") : QString()) +
           QStringLiteral(" - kesh");
}

void CKeshDoc::DocumentChanged(uint32_t changes) {
    if (changes & change::kModified) {
        emit captionChanged(Caption());
    }
}

QString CKeshDoc::UntitledTitle() {
    return QStringLiteral("제목없음");
}

bool CKeshDoc::OnNewDocument() {
    SetTitle(UntitledTitle());
    return true;
}

void CKeshDoc::SetTitle(const QString& title) {
    m_strTitle = title;
    emit titleChanged(m_strTitle);
    emit captionChanged(Caption());
}

} // namespace kesh::ui
