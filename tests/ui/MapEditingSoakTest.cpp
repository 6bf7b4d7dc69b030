#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>

#include "InstalledUserServices.h"
#include "ViewHarness.h"
#include "support/SoakRandom.h"

// A seeded run of random mouse and key events through the map view, as a
// user would send them (buttons and keys pressed before they are released),
// with the region commands and tile picks among them. After every event the
// view must hold a sound state: the current cell in the grid, the selection
// on whole cells inside the map, cells changed only by the events that may
// change them, a drag only while its button is down and the mouse grabbed
// exactly during a drag. KESH_SOAK_SEED and KESH_SOAK_EVENTS replay or
// lengthen a run.

using kesh::DragNone;
using kesh::DragPaint;
using kesh::DragPan;
using kesh::DragSelect;
using kesh::test::EnvNumber;
using kesh::test::Rng;

namespace {

constexpr uint64_t kDefaultSeed = 0x6D6170; // "map"
constexpr uint64_t kDefaultEvents = 4000;
constexpr int kTile = 16;
constexpr int kMapWidth = 48;
constexpr int kMapHeight = 40;
constexpr int kClientWidth = 300;
constexpr int kClientHeight = 200;
constexpr size_t kLogSize = 24;

// The offscreen platform cannot grab the mouse and says so at every grab;
// the view's own record of the grab is what the checks look at.
QtMessageHandler g_previousHandler = nullptr;

void DropGrabWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("does not support grabbing the mouse"))) {
        g_previousHandler(type, context, text);
    }
}

// What an event may do to the cells.
enum class Change { None, Paint, Paste };

class Soak {
public:
    Soak(ViewHarness& h, uint64_t seed) : m_h(h), m_rng(seed) {}

    // Sends one random event; returns what it may change.
    Change Step() {
        m_before = map().cells();
        m_tileBefore = CurrentTile();
        const int mode = m_h.map->dragMode();
        const int pick = m_rng.below(100);
        if (pick < 10) {
            return m_left ? Release(Qt::LeftButton) : Press(Qt::LeftButton);
        }
        if (pick < 15) {
            return m_right ? Release(Qt::RightButton) : Press(Qt::RightButton);
        }
        if (pick < 42) {
            const QPoint to = RandomPoint();
            QTest::mouseMove(vp(), to);
            m_pointer = to;
            Log("move", to);
            return mode == DragPaint && m_left ? Change::Paint : Change::None;
        }
        if (pick < 45) {
            return DoubleClick();
        }
        if (pick < 60) {
            static constexpr std::array<Qt::Key, 4> kArrows = {Qt::Key_Up, Qt::Key_Down,
                                                               Qt::Key_Left, Qt::Key_Right};
            Key(kArrows[size_t(m_rng.below(4))], true, "arrow");
            return m_enter || m_left ? Change::Paint : Change::None;
        }
        if (pick < 67) {
            m_enter = !m_enter;
            Key(Qt::Key_Return, m_enter, "enter");
            return m_enter ? Change::Paint : Change::None;
        }
        if (pick < 69) {
            if (!m_enter) {
                return Change::None;
            }
            // A held key repeats as a release and a press, both marked so.
            SendRepeat(QEvent::KeyRelease);
            SendRepeat(QEvent::KeyPress);
            Log("enter repeat");
            return Change::Paint;
        }
        if (pick < 75) {
            m_shift = !m_shift;
            Key(Qt::Key_Shift, m_shift, "shift");
            return Change::None;
        }
        if (pick < 80) {
            static constexpr std::array<Qt::Key, 4> kPages = {Qt::Key_PageUp, Qt::Key_PageDown,
                                                              Qt::Key_Home, Qt::Key_End};
            Key(kPages[size_t(m_rng.below(4))], true, "page");
            return Change::None;
        }
        if (pick < 82) {
            m_h.map->RememberRegion();
            Log("remember");
            return Change::None;
        }
        if (pick < 84) {
            m_h.map->PasteRegion();
            Log("paste");
            return Change::Paste;
        }
        if (pick < 85) {
            m_h.map->FillRegion();
            Log("fill");
            return Change::Paint;
        }
        if (pick < 88) {
            const int tile = m_rng.below(m_h.tiles->GetTileCount() + 1);
            m_h.tiles->SelectTile(tile);
            Log("select tile " + std::to_string(tile));
            return Change::None;
        }
        if (pick < 91) {
            // Let the 10 ms timer run, with the pointer near an edge now and then.
            if (m_left && m_rng.chance(50)) {
                const QPoint edge(m_rng.chance(50) ? m_rng.range(-20, 9)
                                                   : m_rng.range(kClientWidth - 10, 340),
                                  m_rng.range(-20, kClientHeight + 20));
                QTest::mouseMove(vp(), edge);
                m_pointer = edge;
            }
            const int ms = m_rng.range(11, 25);
            QTest::qWait(ms);
            m_waited += ms;
            Log("wait " + std::to_string(ms) + " ms", m_pointer);
            return m_left ? Change::Paint : Change::None;
        }
        // Pending events, among them perhaps a timer tick that paints.
        QCoreApplication::processEvents();
        Log("idle");
        return m_left ? Change::Paint : Change::None;
    }

    // Empty when the view is sound after an event that may change `change`.
    std::string Check(Change change) const {
        const kesh::MapModel& m = map();
        const kesh::MapViewState& vs = state();
        if (vs.m_nCurCell < 0 || vs.m_nCurCell >= m.cellCount()) {
            return "current cell " + std::to_string(vs.m_nCurCell) + " outside the grid";
        }
        const kesh::Rect s = vs.m_rcSelect;
        if (s != kesh::Rect{-2, -2, -1, -1}) {
            const bool whole = s.left % kTile == 0 && s.top % kTile == 0 &&
                               (s.right + 1) % kTile == 0 && (s.bottom + 1) % kTile == 0;
            const bool inside = s.left >= 0 && s.top >= 0 && s.left <= s.right &&
                                s.top <= s.bottom && s.right < kMapWidth * kTile &&
                                s.bottom < kMapHeight * kTile;
            if (!whole || !inside) {
                return "selection " + RectText(s) + " is not whole cells inside the map";
            }
        }
        std::string cells = CheckCells(change);
        if (!cells.empty()) {
            return cells;
        }
        const int mode = m_h.map->dragMode();
        if ((mode == DragPaint || mode == DragSelect) && !m_left) {
            return "drag " + std::to_string(mode) + " without the left button";
        }
        if (mode == DragPan && !m_right) {
            return "panning without the right button";
        }
        const bool grabbed = QWidget::mouseGrabber() == vp();
        if (grabbed != (mode != DragNone)) {
            return "mouse grab " + std::to_string(grabbed) + " in drag " + std::to_string(mode);
        }
        const QPoint scroll = m_h.map->GetScrollPosition();
        if (scroll.x() < 0 || scroll.y() < 0 || scroll.x() > kMapWidth * kTile - kClientWidth ||
            scroll.y() > kMapHeight * kTile - kClientHeight) {
            return "scroll position out of range";
        }
        return {};
    }

    std::string LogText() const {
        std::string text;
        for (const std::string& line : m_log) {
            text += "  " + line + "\n";
        }
        return text;
    }

    int waited() const { return m_waited; }
    bool CellsChanged() const { return map().cells() != m_before; }

    // Ends every drag and lets go of all keys and buttons.
    void ReleaseAll() {
        if (m_left) {
            Release(Qt::LeftButton);
        }
        if (m_right) {
            Release(Qt::RightButton);
        }
        if (m_enter) {
            m_enter = false;
            Key(Qt::Key_Return, false, "enter");
        }
        if (m_shift) {
            m_shift = false;
            Key(Qt::Key_Shift, false, "shift");
        }
    }

private:
    const kesh::MapModel& map() const { return m_h.map->map(); }
    const kesh::MapViewState& state() const { return m_h.map->viewState(); }
    QWidget* vp() const { return m_h.map->viewport(); }
    Qt::KeyboardModifiers Modifiers() const { return m_shift ? Qt::ShiftModifier : Qt::NoModifier; }
    uint16_t CurrentTile() const { return static_cast<uint16_t>(m_h.bar->tileNumber()); }

    QPoint RandomPoint() {
        if (m_rng.chance(50)) {
            // A short step, as a hand moves.
            return m_pointer + QPoint(m_rng.range(-24, 24), m_rng.range(-24, 24));
        }
        if (m_rng.chance(80)) {
            return {m_rng.below(kClientWidth), m_rng.below(kClientHeight)};
        }
        return {m_rng.range(-40, kClientWidth + 40), m_rng.range(-40, kClientHeight + 40)};
    }

    Change Press(Qt::MouseButton button) {
        const bool left = button == Qt::LeftButton;
        const bool mayPaint = left && m_h.map->dragMode() == DragNone && (m_shift || m_enter);
        const QPoint at = m_rng.chance(70) ? m_pointer : RandomPoint();
        QTest::mousePress(vp(), button, Modifiers(), at);
        m_pointer = at;
        (left ? m_left : m_right) = true;
        Log(left ? "left press" : "right press", at);
        return mayPaint ? Change::Paint : Change::None;
    }

    Change Release(Qt::MouseButton button) {
        const bool left = button == Qt::LeftButton;
        QTest::mouseRelease(vp(), button, Modifiers(), m_pointer);
        (left ? m_left : m_right) = false;
        Log(left ? "left release" : "right release", m_pointer);
        return Change::None;
    }

    Change DoubleClick() {
        if (m_left || m_right) {
            return Change::None;
        }
        const bool mayPaint = m_h.map->dragMode() == DragNone && (m_shift || m_enter);
        const QPoint at = RandomPoint();
        QTest::mousePress(vp(), Qt::LeftButton, Modifiers(), at);
        QTest::mouseRelease(vp(), Qt::LeftButton, Modifiers(), at);
        QTest::mouseDClick(vp(), Qt::LeftButton, Modifiers(), at);
        QTest::mouseRelease(vp(), Qt::LeftButton, Modifiers(), at);
        m_pointer = at;
        Log("double click", at);
        return mayPaint ? Change::Paint : Change::None;
    }

    // Sent as they are: QTest would add Shift presses and releases of its own.
    void Key(Qt::Key key, bool press, const char* what) {
        QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Modifiers());
        QApplication::sendEvent(m_h.map, &event);
        Log(std::string(what) + (press ? " down" : " up"));
    }

    void SendRepeat(QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Return, Modifiers(), QString(), true);
        QApplication::sendEvent(m_h.map, &event);
    }

    std::string CheckCells(Change change) const {
        const std::vector<uint16_t>& now = map().cells();
        if (now.size() != m_before.size()) {
            return "the grid changed size";
        }
        bool changed = false;
        for (size_t i = 0; i < now.size(); ++i) {
            if (now[i] == m_before[i]) {
                continue;
            }
            changed = true;
            const std::string where = "cell " + std::to_string(i) + " became " +
                                      std::to_string(now[i]) + " (was " +
                                      std::to_string(m_before[i]) + ")";
            switch (change) {
            case Change::None:
                return where + " in an event that paints nothing";
            case Change::Paint:
                // A double click may pick a new current tile after painting.
                if (now[i] != m_tileBefore && now[i] != CurrentTile()) {
                    return where + ", not the current tile";
                }
                break;
            case Change::Paste:
                if (std::find(m_before.begin(), m_before.end(), now[i]) == m_before.end()) {
                    return where + ", a value the map did not hold";
                }
                break;
            }
        }
        if (changed && !m_h.doc.IsModified()) {
            return "cells changed but the map is not marked changed";
        }
        return {};
    }

    static std::string RectText(const kesh::Rect& r) {
        return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
               std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
    }

    void Log(const std::string& what, QPoint at = QPoint(-9999, -9999)) {
        std::string line = what;
        if (at != QPoint(-9999, -9999)) {
            line += " at " + std::to_string(at.x()) + ", " + std::to_string(at.y());
        }
        line += " [drag " + std::to_string(m_h.map->dragMode()) + ", cell " +
                std::to_string(state().m_nCurCell) + "]";
        m_log.push_back(line);
        if (m_log.size() > kLogSize) {
            m_log.pop_front();
        }
    }

    ViewHarness& m_h;
    Rng m_rng;
    std::vector<uint16_t> m_before;
    uint16_t m_tileBefore = 0;
    QPoint m_pointer{kClientWidth / 2, kClientHeight / 2};
    bool m_left = false, m_right = false, m_shift = false, m_enter = false;
    int m_waited = 0;
    std::deque<std::string> m_log;
};

} // namespace

class MapEditingSoakTest : public QObject {
    Q_OBJECT
private slots:
    void randomEventsKeepTheViewSound() {
        const uint64_t seed = EnvNumber("KESH_SOAK_SEED", kDefaultSeed);
        const uint64_t events = EnvNumber("KESH_SOAK_EVENTS", kDefaultEvents);
        InstalledUserServices services;
        ViewHarness h(kClientWidth, 100, kClientHeight);
        QVERIFY(h.exposed);
        kesh::TileSet& set = h.doc.tiles();
        set.format().width = kTile;
        set.format().height = kTile;
        set.InitTileSet();
        h.AddTiles(6, 20);
        QVERIFY(h.doc.map().AllocateCells(kMapWidth, kMapHeight).ok());
        h.map->viewport()->repaint();

        g_previousHandler = qInstallMessageHandler(DropGrabWarnings);
        QElapsedTimer clock;
        clock.start();
        Soak soak(h, seed);
        std::array<int, 4> inMode{};
        int changing = 0;
        for (uint64_t step = 0; step < events; ++step) {
            const Change change = soak.Step();
            ++inMode[size_t(h.map->dragMode() & 3)];
            changing += soak.CellsChanged() ? 1 : 0;
            const std::string fault = soak.Check(change);
            if (!fault.empty()) {
                const std::string text = "seed " + std::to_string(seed) + ", event " +
                                         std::to_string(step) + ": " + fault + "\nlast events:\n" +
                                         soak.LogText();
                QFAIL(text.c_str());
            }
        }
        soak.ReleaseAll();
        qInstallMessageHandler(g_previousHandler);
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(services.calls().empty()); // editing the map asks and tells nothing
        qInfo("%llu events with seed %llu in %lld ms (%d ms of timer waits); after them "
              "%d none, %d paint, %d select, %d pan; %d events changed cells",
              static_cast<unsigned long long>(events), static_cast<unsigned long long>(seed),
              static_cast<long long>(clock.elapsed()), soak.waited(), inMode[DragNone],
              inMode[DragPaint], inMode[DragSelect], inMode[DragPan], changing);
        // The run has to have reached every state to mean anything.
        if (events >= 1000) {
            QVERIFY(inMode[DragPaint] > 0 && inMode[DragSelect] > 0 && inMode[DragPan] > 0);
            QVERIFY(changing > 0);
        }
    }
};

QTEST_MAIN(MapEditingSoakTest)
#include "MapEditingSoakTest.moc"
