#include "mapview/CKeshView.h"

#include <optional>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace kesh::ui {

// Mouse and keyboard editing of the map. The editing itself is MapEditor's;
// the view feeds it the events with the tile size and the current tile, then
// repaints, scrolls and grabs the mouse as it answers.

namespace {

std::optional<MapKey> ToMapKey(int key) {
    switch (key) {
    case Qt::Key_Up:
        return MapKey::Up;
    case Qt::Key_Down:
        return MapKey::Down;
    case Qt::Key_Left:
        return MapKey::Left;
    case Qt::Key_Right:
        return MapKey::Right;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return MapKey::Enter;
    case Qt::Key_PageUp:
        return MapKey::PageUp;
    case Qt::Key_PageDown:
        return MapKey::PageDown;
    case Qt::Key_Home:
        return MapKey::Home;
    case Qt::Key_End:
        return MapKey::End;
    case Qt::Key_Shift:
        return MapKey::Shift;
    default:
        return std::nullopt;
    }
}

Point ToPoint(QPoint p) {
    return {p.x(), p.y()};
}

} // namespace

void CKeshView::SetTool(MapTool* tool) {
    if (m_bToolStroke) {
        // The stroke under way ends with the tool it began with.
        m_bToolStroke = false;
        viewport()->releaseMouse();
        m_tool->Release();
    }
    if (m_tool != tool) {
        m_tool = tool;
        emit toolChanged(tool);
    }
}

MapToolPoint CKeshView::ToolPoint(QPoint client, Qt::KeyboardModifiers modifiers) const {
    MapToolPoint at;
    at.modifiers = modifiers;
    const int32_t w = m_tiles.tileWidth();
    const int32_t h = m_tiles.tileHeight();
    const int32_t cw = cellWidth();
    const int32_t ch = cellHeight();
    if (w <= 0 || h <= 0 || cw <= 0 || ch <= 0) {
        return at;
    }
    const QPoint screen = GetScrollPosition() + client;
    // Floor division, so a point left of or above the map stays outside it.
    const auto floorDiv = [](int64_t a, int64_t b) {
        return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
    };
    at.pixelX = floorDiv(int64_t{screen.x()} * w, cw);
    at.pixelY = floorDiv(int64_t{screen.y()} * h, ch);
    at.cellX = floorDiv(at.pixelX, w);
    at.cellY = floorDiv(at.pixelY, h);
    at.inside = m_map.hasCells() && at.cellX >= 0 && at.cellY >= 0 &&
                at.cellX < m_map.width() && at.cellY < m_map.height();
    return at;
}

Viewport CKeshView::CurrentViewport() const {
    const QSize client = viewport()->size();
    return {ToPoint(GetScrollPosition()), client.width(), client.height()};
}

TileContext CKeshView::CurrentTile() const {
    // Painting writes the document's current tile, cut to the 16 bits a cell holds.
    return ZoomedTile(
        {m_tiles.tileWidth(), m_tiles.tileHeight(), static_cast<uint16_t>(m_doc.currentTile())},
        m_zoomStep);
}

InputState CKeshView::CurrentKeys(Qt::KeyboardModifiers modifiers) const {
    return {modifiers.testFlag(Qt::ShiftModifier), m_bEnterDown, m_bLeftDown};
}

QPoint CKeshView::PointerClient() const {
    return viewport()->mapFromGlobal(m_ptPointer);
}

void CKeshView::TrackPointer(const QMouseEvent* event) {
    m_ptPointer = event->globalPosition().toPoint();
    m_bLeftDown = event->buttons().testFlag(Qt::LeftButton);
}

void CKeshView::Apply(const MapUpdate& update) {
    if (update.scrollTo) {
        ScrollToPosition({update.scrollTo->x, update.scrollTo->y});
    }
    if (update.repaintAll) {
        viewport()->update();
    } else if (!update.dirty.empty()) {
        const QPoint scroll = GetScrollPosition();
        for (const Rect& r : update.dirty) {
            viewport()->update(
                QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).translated(-scroll));
        }
    }
    // A tile picked from the map becomes current, if the set has it.
    if (update.pickedTile && *update.pickedTile < m_doc.tiles().count()) {
        m_doc.SetCurrentTile(*update.pickedTile);
        emit currentTilePicked(*update.pickedTile);
    }
    SyncCapture();
}

void CKeshView::SyncTimer() {
    const int mode = m_editor.dragMode();
    const bool wanted = mode == DragPaint || mode == DragSelect;
    if (wanted && !m_timer.isActive()) {
        m_timer.start();
    } else if (!wanted && m_timer.isActive()) {
        m_timer.stop();
    }
}

void CKeshView::SyncCapture() {
    SyncTimer();
    QWidget* target = viewport();
    if (m_editor.capturing()) {
        if (QWidget::mouseGrabber() != target && target->isVisible()) {
            target->grabMouse();
        }
    } else if (QWidget::mouseGrabber() == target) {
        target->releaseMouse();
    }
}

void CKeshView::mousePressEvent(QMouseEvent* event) {
    TrackPointer(event);
    // A click makes this the active view, whatever it does to the map.
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    switch (event->button()) {
    case Qt::LeftButton: {
        if (m_tool != nullptr && m_tool->Press(ToolPoint(pos, event->modifiers()))) {
            m_bToolStroke = true;
            viewport()->grabMouse();
            break;
        }
        InputState keys = CurrentKeys(event->modifiers());
        if (m_bPaintTool) {
            // The paint tool paints with the plain button; Alt selects.
            const bool alt = event->modifiers().testFlag(Qt::AltModifier);
            keys.shift = !alt;
            keys.enter = keys.enter && !alt;
        }
        {
            const ScreenSelection screen(*this);
            Apply(m_editor.LButtonDown(ToPoint(pos), keys, CurrentViewport(), CurrentTile()));
        }
        UpdateReadout();
        break;
    }
    case Qt::RightButton:
        // Panning needs a map to move.
        if (CurrentTile().valid() && m_map.hasCells()) {
            m_editor.RButtonDown(ToPoint(m_ptPointer));
        }
        SyncCapture();
        break;
    default:
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    event->accept();
}

void CKeshView::mouseMoveEvent(QMouseEvent* event) {
    TrackPointer(event);
    if (m_bToolStroke) {
        m_tool->Move(ToolPoint(event->position().toPoint(), event->modifiers()));
        UpdateReadout();
        event->accept();
        return;
    }
    {
        const ScreenSelection screen(*this);
        Apply(m_editor.MouseMove(ToPoint(event->position().toPoint()), ToPoint(m_ptPointer),
                                 m_bLeftDown, CurrentViewport(), CurrentTile()));
    }
    UpdateReadout();
    event->accept();
}

void CKeshView::mouseReleaseEvent(QMouseEvent* event) {
    TrackPointer(event);
    switch (event->button()) {
    case Qt::LeftButton:
        if (m_bToolStroke) {
            m_bToolStroke = false;
            viewport()->releaseMouse();
            m_tool->Release();
            break;
        }
        m_editor.LButtonUp();
        break;
    case Qt::RightButton:
        m_editor.RButtonUp();
        break;
    default:
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    SyncCapture();
    UpdateReadout();
    event->accept();
}

void CKeshView::mouseDoubleClickEvent(QMouseEvent* event) {
    TrackPointer(event);
    // Only the left button's double click means anything; the others are
    // not taken for a second press either.
    if (event->button() == Qt::LeftButton) {
        const ScreenSelection screen(*this);
        Apply(m_editor.LButtonDblClk(ToPoint(event->position().toPoint()), CurrentViewport(),
                                     CurrentTile()));
    }
    SyncTimer();
    event->accept();
}

bool CKeshView::FlipBrush(const QKeyEvent* event) {
    // X and Y alone flip the brush, while the layout has that flip.
    const Qt::KeyboardModifiers other =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const uint16_t bit = event->key() == Qt::Key_X   ? cellbit::kHFlip
                         : event->key() == Qt::Key_Y ? cellbit::kVFlip
                                                     : 0;
    if (bit == 0 || other != Qt::NoModifier || (m_map.format().AttrMask() & bit) == 0) {
        return false;
    }
    m_doc.SetBrushAttr(uint16_t(m_doc.brushAttr() ^ bit));
    return true;
}

void CKeshView::keyPressEvent(QKeyEvent* event) {
    if (FlipBrush(event)) {
        event->accept();
        return;
    }
    const std::optional<MapKey> key = ToMapKey(event->key());
    if (!key) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (*key == MapKey::Enter && !event->isAutoRepeat()) {
        m_bEnterDown = true;
    }
    // An empty answer (a move off the map's edge) repaints nothing.
    const ScreenSelection screen(*this);
    Apply(m_editor.KeyDown(*key, ToPoint(PointerClient()), CurrentKeys(event->modifiers()),
                           CurrentViewport(), CurrentTile()));
    event->accept();
}

void CKeshView::keyReleaseEvent(QKeyEvent* event) {
    const std::optional<MapKey> key = ToMapKey(event->key());
    if (key != MapKey::Enter && key != MapKey::Shift) {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    // A held key repeats as release and press pairs: only the real release counts.
    if (!event->isAutoRepeat()) {
        if (key == MapKey::Enter) {
            m_bEnterDown = false;
        }
        m_editor.KeyUp(*key);
        SyncCapture();
    }
    event->accept();
}

void CKeshView::focusOutEvent(QFocusEvent* event) {
    // The release of a key held while the focus leaves goes elsewhere.
    m_bEnterDown = false;
    SyncTimer();
    QAbstractScrollArea::focusOutEvent(event);
}

void CKeshView::OnTimer(int id) {
    const int mode = m_editor.dragMode();
    if (id != m_nTimer || (mode != DragPaint && mode != DragSelect)) {
        SyncTimer();
        return;
    }
    {
        const ScreenSelection screen(*this);
        Apply(m_editor.Timer(ToPoint(PointerClient()), m_bLeftDown, CurrentViewport(),
                             CurrentTile()));
    }
    UpdateReadout();
}

void CKeshView::RememberRegion() {
    const ScreenSelection screen(*this);
    m_editor.RememberRegion(CurrentTile());
}

void CKeshView::PasteRegion() {
    Apply(m_editor.PasteRegion());
}

void CKeshView::FillRegion() {
    const ScreenSelection screen(*this);
    Apply(m_editor.FillRegion(CurrentTile()));
}

void CKeshView::FlipRegion(bool horizontal) {
    const ScreenSelection screen(*this);
    Apply(m_editor.FlipRegion(CurrentTile(), horizontal));
}

} // namespace kesh::ui
