#pragma once

#include <QDialog>
#include <QImage>

#include "app/UserServices.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace kesh::ui {

// The dialog of "지형 만들기...": the chosen tile sheet shown with the
// chosen template's grid over it, the template (16타일 모서리 or 47타일
// 블롭) and the two terrain names; for a blob sheet the lower is the
// background the cells of the upper lie on. Says when the sheet's size does
// not fit the template. Only gathers the answers; TerrainProcedures does
// the rest.
class CMakeTerrainDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMakeTerrainDlg(const MakeTerrainEdit& edit, QWidget* parent = nullptr);

    MakeTerrainEdit Result() const;

    QComboBox* templateBox() const { return m_template; }
    QLineEdit* lowerEdit() const { return m_lower; }
    QLineEdit* upperEdit() const { return m_upper; }
    QLabel* preview() const { return m_preview; }
    QLabel* fitLabel() const { return m_fit; }

private:
    // The preview and the names' captions for the template chosen.
    void TemplateChanged();

    MakeTerrainEdit m_edit;
    QImage m_sheet;
    QComboBox* m_template = nullptr;
    QLineEdit* m_lower = nullptr;
    QLineEdit* m_upper = nullptr;
    QLabel* m_lowerCaption = nullptr;
    QLabel* m_upperCaption = nullptr;
    QLabel* m_preview = nullptr;
    QLabel* m_fit = nullptr;
};

} // namespace kesh::ui
