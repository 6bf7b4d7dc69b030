#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "EditingSoak.h"
#include "support/TestTiles.h"

// The soak run's driver: which operation comes next and how each event is
// sent to the editor and to the reference. The seed is printed; set
// KESH_SOAK_SEED and KESH_SOAK_STEPS to replay or lengthen a run.

namespace kesh::test {

namespace {

constexpr uint64_t kDefaultSeed = 0x6B657368; // "kesh"
constexpr uint64_t kDefaultSteps = 200000;

// How often each operation comes, by drag state (none, paint, select, pan).
// Save and Open are scheduled instead. File New and the layout command come
// only between drags (a drag ends when its grid is replaced; the editor's own
// tests cover that, and the reference here does not model it).
constexpr std::array<std::array<int, kOpCount>, 4> kWeights = {{
    // LD LDP LU RD RU Mv Tm Dbl Arr Ent Pg Sh KU Rem Pst Fil Pick Odd Add Del Ren New Fmt Rsz Scr
    {40, 40, 4, 12, 4, 8, 4, 12, 64, 20, 24, 4, 8, 16, 16, 12, 16, 4, 8, 6, 3, 1, 2, 4, 4, 0, 0},
    {1, 1, 6, 1, 1, 40, 12, 1, 4, 2, 1, 1, 4, 1, 1, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 1, 8, 1, 1, 40, 12, 1, 4, 2, 2, 1, 1, 2, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 1, 1, 1, 8, 40, 2, 1, 2, 1, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
}};

} // namespace

void EditingSoak::Run() {
    for (m_step = 0; m_step < m_steps && !m_failed; ++m_step) {
        if (m_step % kStepsPerSession == 0)
            startSession();
        Op op = draw();
        if (m_step >= m_nextSave && m_ref.drag == SoakReference::None) {
            op = m_rng.chance(40) && !m_files.empty() ? Op::Open : Op::Save;
            m_nextSave = m_step + uint64_t(m_rng.range(1000, 4000));
        }
        m_ref.beginOp();
        step(op);
        if (m_failed)
            return;
        if (const std::string wrong = checkState(); !wrong.empty())
            fail(wrong);
    }
}

void EditingSoak::startSession() {
    ++m_session;
    m_files.clear();
    const int32_t tw = m_rng.chance(25) ? m_rng.range(1, 3) : m_rng.range(4, 40);
    const int32_t th = m_rng.chance(25) ? m_rng.range(1, 3) : m_rng.range(4, 40);
    m_editor.reset();
    m_doc = std::make_unique<Document>();
    m_map = &m_doc->map();
    m_editor = std::make_unique<MapEditor>(*m_doc);
    const int count = m_rng.range(0, 20);
    kesh::test::MakeTiles(tiles(), tw, th, count);
    m_nextSeed = count;
    m_ref = SoakReference();
    m_ref.tw = tw;
    m_ref.th = th;
    m_view = Viewport{{0, 0}, clientSize(tw), clientSize(th)};
    m_ref.cw = m_view.clientWidth;
    m_ref.ch = m_view.clientHeight;
    m_tc = TileContext{tw, th, 0};
    setTile(count > 0 ? 0 : kEmptyCell);
    m_items = m_map->format().items;
    m_header.clear();
    m_hasFile = false;
    m_path.clear();
    m_nextSave = m_step + uint64_t(m_rng.range(200, 2000));
}

Op EditingSoak::draw() {
    const auto& weights = kWeights[size_t(m_ref.drag)];
    int total = 0;
    for (int w : weights)
        total += w;
    int pick = m_rng.below(total);
    for (size_t i = 0; i < kOpCount; ++i) {
        if (pick < weights[i])
            return Op(i);
        pick -= weights[i];
    }
    return Op::Move;
}

int32_t EditingSoak::clientSize(int32_t tile) {
    switch (m_rng.below(8)) {
    case 0:
        return m_rng.below(tile + 1); // smaller than a tile, even nothing
    case 1:
        return m_rng.range(1, 25); // about the auto-scroll bands
    default:
        return m_rng.range(tile, 1200);
    }
}

Point EditingSoak::clientPoint() {
    switch (m_rng.below(10)) {
    case 0:
        return {m_rng.range(-5000, 5000), m_rng.range(-5000, 5000)};
    case 1:
        return edgePoint();
    default:
        return {m_rng.range(-2 * m_ref.tw, m_ref.cw + 2 * m_ref.tw),
                m_rng.range(-2 * m_ref.th, m_ref.ch + 2 * m_ref.th)};
    }
}

// A point in or just beyond the auto-scroll bands.
Point EditingSoak::edgePoint() {
    const auto along = [this](int32_t client) {
        switch (m_rng.below(3)) {
        case 0:
            return m_rng.range(-30, 14);
        case 1:
            return m_rng.range(client - 14, client + 30);
        default:
            return m_rng.range(0, std::max(client, 0));
        }
    };
    return {along(m_ref.cw), along(m_ref.ch)};
}

void EditingSoak::step(Op op) {
    switch (op) {
    case Op::LDown:
    case Op::LDownPaint:
    case Op::LUp:
    case Op::RDown:
    case Op::RUp:
    case Op::Move:
    case Op::Timer:
    case Op::DblClk:
        return mouse(op);
    case Op::Arrow:
    case Op::Enter:
    case Op::Page:
    case Op::ShiftKey:
    case Op::KeyUp:
        return key(op);
    case Op::Remember: {
        log(op);
        m_editor->RememberRegion(m_tc);
        m_ref.remember();
        return;
    }
    case Op::Paste:
    case Op::Fill: {
        log(op);
        const int32_t oldCur = m_ref.cur;
        const Rect oldSel = m_ref.sel;
        const bool hadSource = m_ref.copy.has_value();
        MapUpdate u = op == Op::Paste ? m_editor->PasteRegion() : m_editor->FillRegion(m_tc);
        if (op == Op::Paste)
            m_ref.paste();
        else
            m_ref.fill();
        // Both repaint the whole view; a paste with nothing remembered does nothing.
        if ((op == Op::Fill || hadSource) && !u.repaintAll)
            return fail("region command did not repaint the view");
        return editorOp(u, oldCur, oldSel, op == Op::Paste && !hadSource);
    }
    case Op::PickTile:
    case Op::OddTile:
    case Op::AddTile:
    case Op::DeleteTile:
    case Op::Renumber:
        return tileOp(op);
    case Op::NewMap:
        return newMap();
    case Op::ChangeFormat:
        return changeFormat();
    case Op::Resize:
    case Op::ScrollBar: {
        // The view's own business: a new client size or a scroll bar drag.
        if (op == Op::Resize) {
            m_view.clientWidth = m_ref.cw = clientSize(m_ref.tw);
            m_view.clientHeight = m_ref.ch = clientSize(m_ref.th);
        }
        const Point max = m_ref.maxScroll();
        const Point to =
            op == Op::Resize ? m_view.scroll : Point{m_rng.range(0, max.x), m_rng.range(0, max.y)};
        m_view.scroll = m_ref.scroll = m_ref.clampScroll(to.x, to.y);
        log(op, m_view.clientWidth, m_view.clientHeight, m_view.scroll.x, m_view.scroll.y);
        return;
    }
    case Op::Save:
        return save();
    case Op::Open:
        return open();
    case Op::Count:
        break;
    }
}

void EditingSoak::mouse(Op op) {
    const int32_t oldCur = m_ref.cur;
    const Rect oldSel = m_ref.sel;
    const int drag = m_ref.drag;
    MapUpdate u;
    bool mustBeEmpty = false;
    switch (op) {
    case Op::LDown:
    case Op::LDownPaint: {
        const Point p = clientPoint();
        InputState keys;
        if (op == Op::LDownPaint) {
            keys.shift = m_rng.chance(60);
            keys.enter = !keys.shift || m_rng.chance(30);
        }
        log(op, p.x, p.y, keys.shift, keys.enter);
        u = m_editor->LButtonDown(p, keys, m_view, m_tc);
        m_ref.lButtonDown(p, keys.shift, keys.enter);
        mustBeEmpty = drag != SoakReference::None;
        break;
    }
    case Op::LUp:
    case Op::RUp: {
        log(op);
        const bool ended = op == Op::LUp ? m_editor->LButtonUp() : m_editor->RButtonUp();
        if (op == Op::LUp)
            m_ref.lButtonUp();
        else
            m_ref.rButtonUp();
        if (ended != (drag != m_ref.drag))
            return fail("button up reported the wrong result");
        break;
    }
    case Op::RDown: {
        const Point screen{m_rng.range(-3000, 3000), m_rng.range(-3000, 3000)};
        log(op, screen.x, screen.y);
        if (m_editor->RButtonDown(screen) != (drag == SoakReference::None))
            return fail("RButtonDown reported the wrong result");
        m_ref.rButtonDown(screen);
        break;
    }
    case Op::Move: {
        const Point p = m_rng.chance(80) ? clientPoint() : edgePoint();
        const Point screen =
            m_rng.chance(90)
                ? Point{m_ref.last.x + m_rng.range(-80, 80), m_ref.last.y + m_rng.range(-80, 80)}
                : Point{m_rng.range(-5000, 5000), m_rng.range(-5000, 5000)};
        const bool left = m_rng.chance(85);
        log(op, p.x, p.y, screen.x, screen.y, left);
        u = m_editor->MouseMove(p, screen, left, m_view, m_tc);
        m_ref.mouseMove(p, screen, left);
        mustBeEmpty = drag == SoakReference::None;
        break;
    }
    case Op::Timer: {
        const Point p = m_rng.chance(70) ? edgePoint() : clientPoint();
        const bool left = m_rng.chance(85);
        log(op, p.x, p.y, left);
        u = m_editor->Timer(p, left, m_view, m_tc);
        m_ref.timer(p, left);
        mustBeEmpty = drag == SoakReference::None || drag == SoakReference::Pan;
        break;
    }
    case Op::DblClk: {
        const Point p = clientPoint();
        log(op, p.x, p.y);
        u = m_editor->LButtonDblClk(p, m_view, m_tc);
        const auto picked = m_ref.dblClk(p);
        if (u.pickedTile != picked)
            return fail("double click offered the wrong tile");
        // The tile set takes a number that names one of its tiles.
        if (picked && *picked < tiles().count() && *picked != tiles().current()) {
            tiles().setCurrent(*picked);
            setTile(*picked);
        }
        mustBeEmpty = drag != SoakReference::None;
        break;
    }
    default:
        break;
    }
    editorOp(u, oldCur, oldSel, mustBeEmpty);
}

void EditingSoak::key(Op op) {
    using Key = SoakReference::Key;
    const int32_t oldCur = m_ref.cur;
    const Rect oldSel = m_ref.sel;
    const Point oldScroll = m_ref.scroll;
    Key k = Key::Shift;
    switch (op) {
    case Op::Arrow:
        k = std::array{Key::Up, Key::Down, Key::Left, Key::Right}[size_t(m_rng.below(4))];
        break;
    case Op::Enter:
        k = Key::Enter;
        break;
    case Op::Page:
        k = std::array{Key::PageUp, Key::PageDown, Key::Home, Key::End}[size_t(m_rng.below(4))];
        break;
    case Op::KeyUp:
        k = std::array{Key::Enter, Key::Shift, Key::Up, Key::Home}[size_t(m_rng.below(4))];
        break;
    default:
        break;
    }
    const int drag = m_ref.drag;
    if (op == Op::KeyUp) {
        log(op, int32_t(k));
        m_ref.keyUp(k);
        if (m_editor->KeyUp(k) != (drag != m_ref.drag))
            fail("KeyUp reported the wrong result");
        return;
    }
    InputState keys;
    keys.shift = m_rng.chance(10);
    keys.enter = k == Key::Enter || m_rng.chance(30);
    keys.leftButton = m_ref.drag == SoakReference::Paint || m_ref.drag == SoakReference::Select
                          ? m_rng.chance(90)
                          : m_rng.chance(15);
    const Point pointer = clientPoint();
    log(op, pointer.x, pointer.y, int32_t(k), keys.shift + 2 * keys.enter + 4 * keys.leftButton);
    const MapUpdate u = m_editor->KeyDown(k, pointer, keys, m_view, m_tc);
    m_ref.keyDown(k, pointer, keys.enter, keys.leftButton);
    // A key that does nothing does not even repaint (page keys always redraw the frame).
    const bool idle = m_ref.cur == oldCur && m_ref.changed.empty() && m_ref.scroll == oldScroll &&
                      m_ref.sel == oldSel && m_ref.drag == drag && !IsPageKey(k);
    editorOp(u, oldCur, oldSel, idle);
}

void EditingSoak::editorOp(const MapUpdate& u, int32_t oldCur, const Rect& oldSel,
                           bool mustBeEmpty) {
    if (mustBeEmpty && !u.empty())
        return fail("an event that does nothing asked for a repaint or scroll");
    applyScroll(u);
    if (const std::string wrong = checkUpdate(u, oldCur, oldSel); !wrong.empty())
        fail(wrong);
}

void EditingSoak::tileOp(Op op) {
    const int count = tiles().count();
    switch (op) {
    case Op::PickTile:
        if (count > 0) {
            const int n = m_rng.below(count);
            m_doc->SetCurrentTile(n);
            setTile(uint16_t(n));
        }
        log(op, m_tc.current);
        return;
    case Op::OddTile: {
        // Numbers that name no tile are legal cell values and paint as such.
        const std::array<int32_t, 4> odd = {kEmptyCell, count + m_rng.below(8), 0xFFFE,
                                            m_rng.below(0x10000)};
        setTile(uint16_t(odd[size_t(m_rng.below(4))]));
        log(op, m_tc.current);
        return;
    }
    case Op::AddTile:
        if (count < 300) {
            const auto pixels = kesh::test::TilePixels(m_ref.tw, m_ref.th, m_nextSeed);
            tiles().tiles().AddUnique(pixels.data(), uint32_t(100 + m_nextSeed++));
            tiles().touch();
        }
        log(op, tiles().count());
        return;
    case Op::DeleteTile: {
        // What the tile set view's Delete key asks of the document.
        if (count == 0)
            return log(op, -1);
        const int d = m_rng.below(count);
        log(op, d, count);
        m_doc->SetCurrentTile(d);
        if (!m_doc->DeleteTile(d) || tiles().count() != count - 1)
            return fail("the document did not delete tile " + std::to_string(d));
        m_ref.renumber(d);
        m_ref.modified = 1;
        setTile(uint16_t(tiles().current()));
        return;
    }
    case Op::Renumber: {
        // A number that names no tile: the document refuses, nothing changes.
        const std::array<int32_t, 4> numbers = {count + m_rng.below(8), 0xFFFE, 0xFFFF,
                                                -1 - m_rng.below(3)};
        const int32_t d = numbers[size_t(m_rng.below(4))];
        log(op, d);
        if (m_doc->DeleteTile(d))
            fail("the document deleted tile " + std::to_string(d) + " of " + std::to_string(count));
        return;
    }
    default:
        return;
    }
}

TEST(EditingSoakTest, RandomEditingMatchesThePlainModel) {
    const uint64_t seed = EnvNumber("KESH_SOAK_SEED", kDefaultSeed);
    const uint64_t steps = EnvNumber("KESH_SOAK_STEPS", kDefaultSteps);
    std::printf("[ soak     ] seed %llu (KESH_SOAK_SEED), %llu steps (KESH_SOAK_STEPS)\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(steps));
    const auto start = std::chrono::steady_clock::now();
    EditingSoak soak(seed, steps);
    soak.Run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ soak     ] %llu steps, %llu saves, %llu reopens in %.2f s\n",
                static_cast<unsigned long long>(steps),
                static_cast<unsigned long long>(soak.saves()),
                static_cast<unsigned long long>(soak.reopens()), seconds);
}

} // namespace kesh::test
