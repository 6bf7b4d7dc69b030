#pragma once

#include <QDialog>

#include "doc/DocumentListener.h"

class QLabel;
class QListView;
class QPushButton;
class QSpinBox;

namespace kesh {
class Document;
}

namespace kesh::ui {

class NearPairsModel;
class TilePainter;

// "비슷한 타일 찾기...": the pairs of tiles that differ in at most N pixels
// (N from 1 to 16, 2 at first), each drawn side by side with the cells that
// show it. "합치기" merges the selected pair, the less used tile into the
// more used one (the higher number into the lower when both are used as
// often), as one step; "모두 합치기" merges every pair the same way. The list
// is found again whenever the tiles or the cells change, so that no row
// names a tile that has moved, even under the summary's message box.
class CNearTilesDlg : public QDialog, private DocumentListener {
    Q_OBJECT
public:
    CNearTilesDlg(Document& doc, TilePainter& painter, QWidget* parent = nullptr);
    ~CNearTilesDlg() override;

    QSpinBox* differingBox() const { return m_differing; }
    QListView* pairList() const { return m_list; }
    const NearPairsModel& pairs() const { return *m_model; }
    QPushButton* mergeButton() const { return m_merge; }
    QPushButton* mergeAllButton() const { return m_mergeAll; }
    // What the last merge did, or how many pairs there are.
    QLabel* noteLabel() const { return m_note; }

    // The buttons' handlers.
    void MergeSelected();
    void MergeAll();
    // Finds the pairs again, keeping the selection's row where it can (done
    // by itself whenever the document's tiles or cells change).
    void Refresh();

private:
    void DocumentChanged(uint32_t changes) override;
    void UpdateButtons();
    int SelectedRow() const;

    Document& m_doc;
    NearPairsModel* m_model = nullptr;
    QSpinBox* m_differing = nullptr;
    QListView* m_list = nullptr;
    QPushButton* m_merge = nullptr;
    QPushButton* m_mergeAll = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace kesh::ui
