// The two import commands as the menus run them, with scripted answers, and
// the image import's options dialog.
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "app/ImportProcedures.h"
#include "base/Messages.h"
#include "doc/CommandNames.h"
#include "raster/PngWriter.h"
#include "mapview/CKeshView.h"
#include "raster/PngWriter.h"
#include "formatdlg/PlatformPresetCombo.h"
#include "shell/CImportImageDlg.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "support/TmxSamples.h"
#include "tileview/CTile1View.h"

using namespace kesh::ui;
using Lines = std::vector<std::string>;

class ImportCommandsTest : public QObject {
    Q_OBJECT

    InstalledUserServices* user = nullptr;
    CMainFrame* frame = nullptr;
    kesh::test::TempDir* dir = nullptr;

    kesh::Document& doc() { return frame->document()->data(); }
    kesh::MapModel& map() { return doc().map(); }
    kesh::TileSet& tiles() { return doc().tiles(); }
    void run(int id) { frame->action(id)->trigger(); }

    // A picture of two tiles side by side: tile 1 of the set and a new one.
    std::string Picture() {
        const auto tile = kesh::test::TilePixels(16, 16, 1);
        const auto other = kesh::test::TilePixels(16, 16, 9);
        const std::string path = dir->file("level.png");
        kesh::test::WriteBytes(
            path,
            *kesh::EncodeIndexedPng(32, 16, tiles().colourTable(), [&](int64_t y, uint8_t* out) {
                std::copy_n(tile.data() + y * 16, 16, out);
                std::copy_n(other.data() + y * 16, 16, out + 16);
            }));
        return path;
    }

private slots:
    void initTestCase() { IsolateSettings(); }

    void init() {
        user = new InstalledUserServices;
        dir = new kesh::test::TempDir;
        frame = new CMainFrame;
        frame->resize(900, 600);
        QVERIFY(ShowActive(*frame));
        kesh::test::MakeTiles(tiles(), 16, 16, 3);
        for (int i = 0; i < 3; ++i) {
            tiles().tiles().SetAttributeAt(i, 0);
        }
    }

    void cleanup() {
        QVERIFY(user->allUsed());
        doc().MarkSaved(); // nothing to ask about when the window goes
        delete frame;
        delete dir;
        delete user;
    }

    void imageImportFromTheTileMenuMakesAMapAndUndoTakesItBack() {
        map().cells()[0] = 2;
        frame->mapView()->document().MarkChanged();
        const std::vector<uint16_t> oldCells = map().cells();
        user->openFile(Picture()).acceptImport(
            [](kesh::ImportOptionsEdit& e) { e.makeMap = true; });
        user->no(); // the map above is changed: not saved
        run(ID_TILE_IMPORTIMAGE);
        QCOMPARE(user->transcript().size(), size_t(4));
        QCOMPARE(user->transcript()[2], std::string("yesno: ") + kesh::msg::kAskSaveChanged);
        QCOMPARE(tiles().count(), 4);
        QCOMPARE(map().cells(), (std::vector<uint16_t>{1, 3}));
        QCOMPARE(doc().file().name, std::string("Untitled.map"));
        QVERIFY(frame->action(ID_EDIT_UNDO)->isEnabled());
        QVERIFY(frame->action(ID_EDIT_UNDO)
                    ->statusTip()
                    .endsWith(QString::fromUtf8(kesh::command::kImportImage)));

        run(ID_EDIT_UNDO);
        QCOMPARE(tiles().count(), 3);
        QCOMPARE(map().cells(), oldCells);
        run(ID_EDIT_REDO);
        QCOMPARE(map().cells(), (std::vector<uint16_t>{1, 3}));
    }

    void tmxImportFromTheMapMenuReplacesMapAndTiles() {
        kesh::TileSet source;
        kesh::test::MakeTiles(source, 8, 8, 2);
        kesh::test::MemoryLoader files;
        const std::vector<uint16_t> cells{1, 0, 0, 1};
        const std::string tmx = kesh::test::MakeTmx(source, 2, 2, cells, {}, files);
        for (const auto& [name, bytes] : files.files) {
            kesh::test::WriteBytes(dir->file(name), bytes);
        }
        kesh::test::WriteBytes(dir->file("a.tmx"), {tmx.begin(), tmx.end()});
        user->openFile(dir->file("a.tmx"));
        run(ID_MAP_IMPORTTMX);
        QCOMPARE(user->transcript(), (Lines{"open: *.tmx"}));
        QCOMPARE(tiles().tileWidth(), 8);
        QCOMPARE(frame->tileView()->tileWidth(), 8);
        QCOMPARE(map().cells(), cells);
        QVERIFY(doc().IsModified());
        run(ID_EDIT_UNDO);
        QCOMPARE(tiles().tileWidth(), 16);
        QCOMPARE(tiles().count(), 3);
        QCOMPARE(map().width(), 64);
        QVERIFY(!doc().IsModified());
    }

    void theOptionsDialogLocksTheSizeOfASetWithTiles() {
        kesh::ImportOptionsEdit edit;
        edit.tileWidth = 16;
        edit.tileHeight = 16;
        edit.imageWidth = 40;
        edit.imageHeight = 32;
        edit.sizeLocked = true;
        CImportImageDlg locked(edit);
        QVERIFY(!locked.widthBox()->isEnabled());
        QCOMPARE(locked.gridLabel()->text(),
                 QStringLiteral("이미지의 크기가 타일 크기의 배수가 아닙니다."));
        locked.padBox()->setChecked(true);
        QCOMPARE(locked.gridLabel()->text(), QStringLiteral("가로 3개, 세로 2개"));

        edit.sizeLocked = false;
        CImportImageDlg open(edit);
        QVERIFY(open.widthBox()->isEnabled());
        open.widthBox()->setValue(8);
        open.mapBox()->setChecked(true);
        open.nearestBox()->setChecked(true);
        QCOMPARE(open.gridLabel()->text(), QStringLiteral("가로 5개, 세로 2개"));
        const kesh::ImportOptionsEdit result = open.Result();
        QCOMPARE(result.tileWidth, 8);
        QVERIFY(result.makeMap && result.nearest && !result.pad && !result.takePalette);
    }

    void aNewPaletteLeavesThePicturesPaletteAndTheNearestColoursOut() {
        kesh::ImportOptionsEdit edit;
        edit.imageWidth = 32;
        edit.imageHeight = 32;
        CImportImageDlg dlg(edit);
        QVERIFY(!dlg.ditherBox()->isEnabled());
        dlg.newPaletteBox()->setChecked(true);
        QVERIFY(!dlg.paletteBox()->isEnabled() && !dlg.nearestBox()->isEnabled());
        dlg.ditherBox()->setChecked(true);
        kesh::ImportOptionsEdit result = dlg.Result();
        QVERIFY(result.newPalette && result.dither);
        dlg.newPaletteBox()->setChecked(false);
        QVERIFY(dlg.paletteBox()->isEnabled() && dlg.nearestBox()->isEnabled());
        QVERIFY(!dlg.ditherBox()->isEnabled());
    }

    // "뒤집힌 타일도 같은 타일로" is there only for a layout with both flip fields.
    void mirrorMatchingIsOfferedOnlyWithFlipFields() {
        kesh::ImportOptionsEdit edit;
        edit.imageWidth = 32;
        edit.imageHeight = 32;
        CImportImageDlg without(edit);
        QVERIFY(!without.flipsBox());
        QVERIFY(!without.Result().flips);
        edit.flipsOffered = true;
        CImportImageDlg with(edit);
        QVERIFY(with.flipsBox());
        with.flipsBox()->setChecked(true);
        QVERIFY(with.Result().flips);
    }

    // "팔레트 P개 × 색 K개" is there only while offered, opens on the values
    // the procedure gives, and a preset fills P, K, the area and the tile size.
    void subPalettesReachTheOptions() {
        kesh::ImportOptionsEdit edit;
        edit.imageWidth = 64;
        edit.imageHeight = 32;
        QVERIFY(!CImportImageDlg(edit).subPalettesBox());
        edit.subPalettesOffered = true;
        edit.palettes = 8;
        edit.coloursPerPalette = 16;
        CImportImageDlg dlg(edit);
        QVERIFY(dlg.subPalettesBox() && !dlg.subPalettesBox()->isChecked());
        QCOMPARE(dlg.palettesBox()->value(), 8);
        QCOMPARE(dlg.coloursBox()->value(), 16);
        dlg.subPalettesBox()->setChecked(true);
        dlg.palettesBox()->setValue(3);
        dlg.coloursBox()->setValue(128); // P's limit follows K: 2
        kesh::ImportOptionsEdit result = dlg.Result();
        QVERIFY(result.subPalettes);
        QCOMPARE(result.palettes, 2);
        QCOMPARE(result.coloursPerPalette, 128);
        QCOMPARE(result.paletteArea, 1);

        edit.subPalettes = false;
        CImportImageDlg nes(edit);
        nes.presetCombo()->choose(QStringLiteral("nes"));
        result = nes.Result();
        QVERIFY(result.subPalettes);
        QCOMPARE(result.palettes, 4);
        QCOMPARE(result.coloursPerPalette, 4);
        QCOMPARE(result.paletteArea, 2);
        QCOMPARE(result.tileWidth, 8);
        QCOMPARE(result.tileHeight, 8);
    }
};

QTEST_MAIN(ImportCommandsTest)
#include "ImportCommandsTest.moc"
