#include "shell/CKeshDoc.h"

namespace kesh::ui {

CKeshDoc::CKeshDoc(QObject* parent) : QObject(parent), m_strTitle(UntitledTitle()) {}

QString CKeshDoc::UntitledTitle() {
    return QStringLiteral("제목없음");
}

bool CKeshDoc::OnNewDocument() {
    m_strPathName.clear();
    SetTitle(UntitledTitle());
    return true;
}

void CKeshDoc::SetTitle(const QString& title) {
    m_strTitle = title;
    emit titleChanged(m_strTitle);
}

} // namespace kesh::ui
