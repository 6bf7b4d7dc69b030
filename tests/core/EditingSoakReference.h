#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "edit/MapNavigation.h"
#include "map/MapModel.h"

namespace kesh::test {

// A deliberately plain model of what map editing must do to the cells and
// the editing state, written from the editor's rules and not from its code.
// The soak test drives it beside MapModel/MapEditor and compares after every
// step. Coordinates follow the editor: client pixels are map pixels minus the
// scroll position; the selection is kept in map pixels, inclusive.
struct SoakReference {
    enum Drag { None = 0, Paint = 1, Select = 2, Pan = 3 };
    using Key = MapKey;

    int32_t tw = 1, th = 1; // tile size
    int32_t cw = 0, ch = 0; // client area
    int32_t w = 64, h = 64;
    std::vector<uint16_t> cells = std::vector<uint16_t>(64 * 64, 0xFFFF);
    int32_t cur = 0;
    Rect sel{-2, -2, -1, -1};
    std::optional<Rect> copy;
    int modified = 0;
    int drag = None;
    int32_t anchorCol = 0, anchorRow = 0;
    Point last;
    Point scroll;
    uint16_t tile = 0;

    // What the last operation did, for the repaint checks and the diagnostics:
    // the cells it named (namedAll: every cell) and the cells whose value changed.
    std::vector<int32_t> named;
    bool namedAll = false;
    std::vector<int32_t> changed;

    void beginOp() {
        named.clear();
        changed.clear();
        namedAll = false;
    }
    bool isNamed(int32_t index) const {
        return namedAll || std::find(named.begin(), named.end(), index) != named.end();
    }

    int32_t col() const { return cur % w; }
    int32_t row() const { return cur / w; }
    Point maxScroll() const { return {std::max(w * tw - cw, 0), std::max(h * th - ch, 0)}; }
    Point clampScroll(int64_t x, int64_t y) const {
        const Point m = maxScroll();
        return {int32_t(std::clamp<int64_t>(x, 0, m.x)), int32_t(std::clamp<int64_t>(y, 0, m.y))};
    }
    Rect cellsRect(int32_t c0, int32_t r0, int32_t c1, int32_t r1) const {
        return {c0 * tw, r0 * th, (c1 + 1) * tw - 1, (r1 + 1) * th - 1};
    }

    // The cell under client point p: outside the map counts as the nearest edge.
    int32_t hit(Point p) const {
        const int64_t x = std::clamp<int64_t>(int64_t(p.x) + scroll.x, 0, int64_t(w) * tw - 1);
        const int64_t y = std::clamp<int64_t>(int64_t(p.y) + scroll.y, 0, int64_t(h) * th - 1);
        return int32_t(y / th) * w + int32_t(x / tw);
    }

    void paint(int32_t index) {
        named.push_back(index);
        if (cells[size_t(index)] != tile) {
            cells[size_t(index)] = tile;
            changed.push_back(index);
            modified = 1;
        }
    }

    void lButtonDown(Point p, bool shift, bool enter) {
        if (drag != None)
            return;
        cur = hit(p);
        if (shift || enter) {
            drag = Paint;
            paint(cur);
            return;
        }
        drag = Select;
        anchorCol = col();
        anchorRow = row();
        sel = cellsRect(anchorCol, anchorRow, anchorCol, anchorRow);
    }

    void mouseMove(Point p, Point screen, bool left) {
        if (drag == Pan) {
            scroll = clampScroll(int64_t(scroll.x) + last.x - screen.x,
                                 int64_t(scroll.y) + last.y - screen.y);
            last = screen;
        } else if (drag == Select) {
            // The pointer counts as inside the client area, edges included.
            p.x = std::clamp(p.x, 0, std::max(cw, 0));
            p.y = std::clamp(p.y, 0, std::max(ch, 0));
            const int32_t c = hit(p);
            const int32_t cc = c % w, cr = c / w;
            sel = cellsRect(std::min(cc, anchorCol), std::min(cr, anchorRow),
                            std::max(cc, anchorCol), std::max(cr, anchorRow));
        } else if (drag == Paint && left) {
            cur = hit(p);
            paint(cur);
        }
    }

    void lButtonUp() {
        if (drag == Paint || drag == Select)
            drag = None;
    }
    void rButtonDown(Point screen) {
        if (drag == None) {
            drag = Pan;
            last = screen;
        }
    }
    void rButtonUp() {
        if (drag == Pan)
            drag = None;
    }

    // The tile a double click offers to the tile set, if any.
    std::optional<uint16_t> dblClk(Point p) {
        if (drag != None)
            return std::nullopt;
        cur = hit(p);
        const uint16_t v = cells[size_t(cur)];
        return v != tile ? std::optional<uint16_t>(v) : std::nullopt;
    }

    // Scroll position that shows cell (c, r) wholly, moving as little as possible.
    int64_t showAlong(int64_t corner, int64_t pos, int32_t size, int32_t client) const {
        const int64_t px = corner - pos;
        if (px < 0)
            return pos + px;
        if (px > client - size)
            return pos + px + size - client;
        return pos;
    }

    void keyDown(Key key, Point pointer, bool enter, bool left) {
        if (key == Key::Shift)
            return;
        if (key == Key::Enter && left) {
            pointer.x = std::clamp(pointer.x, 0, std::max(cw - 1, 0));
            pointer.y = std::clamp(pointer.y, 0, std::max(ch - 1, 0));
            lButtonDown(pointer, false, true);
            return;
        }
        const int32_t c = col(), r = row();
        const int32_t page = ch / th;
        int32_t nc = c, nr = r;
        switch (key) {
        case Key::Up:
            if (r == 0)
                return;
            --nr;
            break;
        case Key::Down:
            if (r == h - 1)
                return;
            ++nr;
            break;
        case Key::Left:
            if (c == 0)
                return;
            --nc;
            break;
        case Key::Right:
            if (c == w - 1)
                return;
            ++nc;
            break;
        case Key::Enter:
            if (cells[size_t(cur)] == tile)
                return;
            paint(cur);
            break;
        case Key::PageUp:
            nr = std::max(r - page, 0);
            break;
        case Key::PageDown:
            nr = r + page >= h ? h - 1 : r + page;
            break;
        case Key::Home:
            nc = 0;
            break;
        case Key::End:
            nc = w - 1;
            break;
        case Key::Shift:
            return;
        }
        cur = nr * w + nc;
        const bool pageKey =
            key == Key::PageUp || key == Key::PageDown || key == Key::Home || key == Key::End;
        const int64_t x = showAlong(int64_t(nc) * tw, scroll.x, tw, cw);
        if (pageKey) {
            // The map moves under a current cell that keeps its place on the screen.
            scroll = clampScroll(x, int64_t(scroll.y) + int64_t(nr - r) * th);
            return;
        }
        if (enter || left)
            paint(cur);
        scroll = clampScroll(x, showAlong(int64_t(nr) * th, scroll.y, th, ch));
    }

    void keyUp(Key key) {
        if ((key == Key::Enter || key == Key::Shift) && drag == Paint)
            drag = None;
    }

    void timer(Point pointer, bool left) {
        if (drag != Paint && drag != Select)
            return;
        const int32_t dx = (pointer.x < 10 ? -1 : 0) + (pointer.x > cw - 10 ? 1 : 0);
        const int32_t dy = (pointer.y < 10 ? -1 : 0) + (pointer.y > ch - 10 ? 1 : 0);
        scroll =
            clampScroll(int64_t(scroll.x) + int64_t(dx) * tw, int64_t(scroll.y) + int64_t(dy) * th);
        mouseMove(pointer, {}, left);
    }

    // The selection in cells: pixel edges divided by the tile size, truncating.
    Rect selCells() const { return {sel.left / tw, sel.top / th, sel.right / tw, sel.bottom / th}; }

    void remember() { copy = selCells(); }

    void paste() {
        if (!copy)
            return;
        const std::vector<uint16_t> source = cells;
        const Rect s = *copy;
        const int32_t cx = col(), cy = row();
        for (int32_t r = s.top; r <= s.bottom; ++r)
            for (int32_t c = s.left; c <= s.right; ++c) {
                const int32_t tc = cx + c - s.left, tr = cy + r - s.top;
                if (c < 0 || c >= w || r < 0 || r >= h || tc < 0 || tc >= w || tr < 0 || tr >= h)
                    continue;
                const int32_t t = tr * w + tc;
                named.push_back(t);
                if (cells[size_t(t)] != source[size_t(r * w + c)])
                    changed.push_back(t);
                cells[size_t(t)] = source[size_t(r * w + c)];
            }
        modified = 1;
    }

    void fill() {
        const Rect s = selCells();
        for (int32_t r = std::max(s.top, 0); r <= std::min(s.bottom, h - 1); ++r)
            for (int32_t c = std::max(s.left, 0); c <= std::min(s.right, w - 1); ++c) {
                const int32_t t = r * w + c;
                named.push_back(t);
                if (cells[size_t(t)] != tile)
                    changed.push_back(t);
                cells[size_t(t)] = tile;
            }
        modified = 1; // even when nothing differed
    }

    // Tile `d` left the tile set: its cells become empty, later numbers move down.
    void renumber(int64_t d) {
        if (d < 0 || d >= 0xFFFF)
            return;
        namedAll = true;
        for (uint16_t& v : cells) {
            if (v == d)
                v = 0xFFFF;
            else if (v > d && v != 0xFFFF)
                --v;
        }
        modified = 1;
    }

    // A new grid (File New, or a map read from a file). The current cell keeps
    // its index while that lies in the grid, else its old column and row are
    // brought to the nearest cell; the copy source is cut to the grid; a
    // selection reaching past the right or bottom edge is pulled back onto
    // whole cells inside; the view keeps its scroll position inside the range.
    void replaceGrid(int32_t nw, int32_t nh, std::vector<uint16_t> grid) {
        namedAll = true;
        const int32_t oldW = w;
        w = nw;
        h = nh;
        cells = std::move(grid);
        if (cur >= w * h) {
            const int32_t c = cur % oldW, r = cur / oldW;
            cur = std::min(r, h - 1) * w + std::min(c, w - 1);
        }
        if (copy) {
            copy->left = std::clamp(copy->left, 0, w - 1);
            copy->right = std::clamp(copy->right, 0, w - 1);
            copy->top = std::clamp(copy->top, 0, h - 1);
            copy->bottom = std::clamp(copy->bottom, 0, h - 1);
        }
        if (sel.right >= w * tw || sel.bottom >= h * th) {
            const Rect s = selCells();
            sel = cellsRect(std::clamp(s.left, 0, w - 1), std::clamp(s.top, 0, h - 1),
                            std::clamp(s.right, 0, w - 1), std::clamp(s.bottom, 0, h - 1));
        }
        scroll = clampScroll(scroll.x, scroll.y);
    }
};

} // namespace kesh::test
