#include <QAction>
#include <QCheckBox>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "mapview/CKeshView.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "support/TestTiles.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"

using namespace kesh::ui;

namespace {

// The middle of cell (col, row) with 32 x 32 tiles and the map unscrolled.
QPoint CellPoint(int col, int row) {
    return {col * 32 + 16, row * 32 + 16};
}

} // namespace

// Undo and redo as the user reaches them: keys, the edit menu, its prompts.
class UndoRedoTest : public QObject {
    Q_OBJECT

    InstalledUserServices* user = nullptr;
    CMainFrame* frame = nullptr;

    kesh::Document& doc() { return frame->document()->data(); }
    kesh::MapModel& map() { return doc().map(); }
    kesh::MapViewState& state() { return frame->mapView()->viewState(); }
    uint16_t cell(int col, int row) { return map().cells()[size_t(row * map().width() + col)]; }
    QAction* undo() { return frame->action(ID_EDIT_UNDO); }
    QAction* redo() { return frame->action(ID_EDIT_REDO); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods) { QTest::keyClick(frame->mapView(), k, mods); }

private slots:
    void initTestCase() { IsolateSettings(); }

    void init() {
        user = new InstalledUserServices;
        frame = new CMainFrame;
        frame->resize(900, 600);
        QVERIFY(ShowActive(*frame));
        kesh::test::MakeTiles(frame->document()->data().tiles(), 32, 32, 3);
        frame->tileView()->SelectTile(2);
        frame->SetActiveView(frame->mapView());
    }

    void cleanup() {
        QVERIFY(user->allUsed());
        doc().MarkSaved(); // nothing to ask about when the window goes
        delete frame;
        delete user;
    }

    void everyKeyUndoesAndRedoesAFill() {
        QVERIFY(!undo()->isEnabled());
        QVERIFY(!redo()->isEnabled());
        state().m_rcSelect = {0, 0, 63, 63}; // cells (0, 0) to (1, 1)
        frame->action(ID_EDIT_FILL)->trigger();
        QCOMPARE(cell(1, 1), uint16_t(2));
        QVERIFY(undo()->isEnabled());
        QCOMPARE(undo()->statusTip(), QStringLiteral("실행 취소: 채우기"));

        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(cell(1, 1), kesh::kEmptyCell);
        QVERIFY(!undo()->isEnabled());
        QVERIFY(redo()->isEnabled());
        QCOMPARE(redo()->statusTip(), QStringLiteral("다시 실행: 채우기"));
        QVERIFY(!doc().IsModified());

        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(cell(1, 1), uint16_t(2));
        key(Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(cell(0, 0), kesh::kEmptyCell);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(cell(0, 0), uint16_t(2));
        QVERIFY(doc().IsModified());
    }

    void aShiftDragIsOneStep() {
        QWidget* vp = frame->mapView()->viewport();
        QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, CellPoint(0, 0));
        QTest::mouseMove(vp, CellPoint(1, 0));
        QTest::mouseMove(vp, CellPoint(2, 1));
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::ShiftModifier, CellPoint(2, 1));
        QCOMPARE(cell(2, 1), uint16_t(2));
        QCOMPARE(undo()->statusTip(), QStringLiteral("실행 취소: 그리기"));
        undo()->trigger();
        QCOMPARE(cell(0, 0), kesh::kEmptyCell);
        QCOMPARE(cell(1, 0), kesh::kEmptyCell);
        QCOMPARE(cell(2, 1), kesh::kEmptyCell);
        QVERIFY(!undo()->isEnabled());
    }

    void deletingATileIsUndoneFromTheMenu() {
        map().cells()[0] = 1;
        map().cells()[1] = 2;
        frame->tileView()->SelectTile(1);
        frame->SetActiveView(frame->tileView());
        user->ok();
        QTest::keyClick(frame->tileView(), Qt::Key_Delete);
        QCOMPARE(frame->tileView()->GetTileCount(), 2);
        QCOMPARE(cell(0, 0), kesh::kEmptyCell);
        QCOMPARE(cell(1, 0), uint16_t(1));
        QCOMPARE(undo()->statusTip(), QStringLiteral("실행 취소: 타일 삭제"));
        undo()->trigger();
        QCOMPARE(frame->tileView()->GetTileCount(), 3);
        QCOMPARE(frame->tileView()->current(), 1);
        QCOMPARE(cell(0, 0), uint16_t(1));
        QCOMPARE(cell(1, 0), uint16_t(2));
    }

    void theCaptionMarksAChangedMap() {
        QCOMPARE(frame->windowTitle(), QStringLiteral("제목없음 - kesh"));
        state().m_rcSelect = {0, 0, 31, 31};
        frame->action(ID_EDIT_FILL)->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("제목없음* - kesh"));
        undo()->trigger();
        QCOMPARE(frame->windowTitle(), QStringLiteral("제목없음 - kesh"));
        redo()->trigger();
        frame->SetTitle(QStringLiteral("town.map"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("town.map* - kesh"));
        doc().MarkSaved();
        QCOMPARE(frame->windowTitle(), QStringLiteral("town.map - kesh"));
    }

    void attributeBitsAreEditedOnlyWhenSwitchedOnAndWithinTheStoredWidth() {
        CTileInfoBar* bar = frame->tileInfoBar();
        QVERIFY(!bar->bitBox(0)->isEnabled()); // off: the bar only shows
        doc().tiles().format().attrWidth = 1;  // 16 bits stored
        QAction* item = frame->action(ID_TILE_EDITATTR);
        item->trigger();
        QVERIFY(item->isChecked());
        QVERIFY(bar->bitBox(15)->isEnabled());
        QVERIFY(!bar->bitBox(16)->isEnabled());
        QVERIFY(bar->bitBox(16)->toolTip().contains(QStringLiteral("16비트")));

        const uint32_t before = frame->tileView()->tileSet().tiles().AttributeAt(2);
        QTest::mouseClick(bar->bitBox(9), Qt::LeftButton);
        QCOMPARE(frame->tileView()->tileSet().tiles().AttributeAt(2), before ^ (1u << 9));
        QCOMPARE(bar->bitBox(9)->isChecked(), bool((before >> 9 & 1) == 0));
        QVERIFY(doc().IsModified());
        QCOMPARE(undo()->statusTip(), QStringLiteral("실행 취소: 타일 속성 변경"));
        undo()->trigger();
        QCOMPARE(frame->tileView()->tileSet().tiles().AttributeAt(2), before);
        QCOMPARE(bar->bitBox(9)->isChecked(), bool(before >> 9 & 1));

        item->trigger();
        QVERIFY(!bar->bitBox(9)->isEnabled());
    }

    void saveUndoRedoFollowsTheChangedFlag() {
        state().m_rcSelect = {0, 0, 31, 31};
        frame->action(ID_EDIT_FILL)->trigger();
        doc().MarkSaved(); // as a successful save does
        QVERIFY(!doc().IsModified());
        undo()->trigger();
        QVERIFY(doc().IsModified());
        redo()->trigger();
        QVERIFY(!doc().IsModified());
    }
};

QTEST_MAIN(UndoRedoTest)
#include "UndoRedoTest.moc"
