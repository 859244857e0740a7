// Mouse input: button tracking, text-field selection, dragging and the
// pan of a zoomed view.  Keys and focus are in focus.cpp.
#include <algorithm>

#include "movieplayer/player/player.h"

namespace movie {

namespace {

// Instance space to buffer units: the instance's matrix, its ancestors',
// then the stage's.
MovieMatrix DeviceMatrix(DisplayList& d, const Instance* inst)
{
    MovieMatrix m = inst->matrix;
    for (const Instance* p = inst->parent; p && p != &d.Root(); p = p->parent) {
        MovieMatrix up;
        MatrixConcatRound(m, p->matrix, up);
        m = up;
    }
    MovieMatrix out;
    MatrixConcatRound(m, d.StageMatrix(), out);
    return out;
}

// A point in buffer pixels mapped into an instance's own twips.
MoviePoint ToInstance(DisplayList& d, const Instance* inst, MoviePoint pixels)
{
    MoviePoint p = d.Antialias() ? PointShift(pixels, 2) : pixels;
    MovieMatrix inv;
    MatrixInvert(DeviceMatrix(d, inst), inv);
    return MatrixMapPoint(inv, p);
}

// Buffer pixels to the coordinates of the space an instance is placed in
// (its parent's).
MoviePoint ToParent(DisplayList& d, const Instance* inst, MoviePoint pixels)
{
    MoviePoint p = d.Antialias() ? PointShift(pixels, 2) : pixels;
    MovieMatrix m = d.StageMatrix();
    if (inst->parent && inst->parent != &d.Root()) m = DeviceMatrix(d, inst->parent);
    MovieMatrix inv;
    MatrixInvert(m, inv);
    return MatrixMapPoint(inv, p);
}

}  // namespace

bool SPlayer::TrackMouse(MoviePoint p, int state, bool update)
{
    const bool down = state == 1;
    bool took = false;
    Instance* hit = display_.HitTest(p);
    Instance* field = display_.focusField;
    Instance* button = nullptr;
    if (hit && hit->Kind() == kCharEditText && hit->editText) {
        EditText& e = *hit->editText;
        if (down && !(field && field->editText && field->editText->Selecting())) {
            if (field != hit) {
                if (field && field->editText) {
                    field->editText->Blur();
                    display_.MarkChanged(field);
                }
                SetFocusObject(nullptr, 0, false);
                display_.focusField = hit;
                e.blink = true;
            }
            e.MouseDown(ToInstance(display_, hit, p), GetTime());
            display_.MarkChanged(hit);
            took = true;
        }
        overText_ = !e.Has(kEditNoSelect);
    } else {
        overText_ = false;
        if (down && field && field->editText && !field->editText->Selecting()) {
            field->editText->Blur();
            display_.MarkChanged(field);
            display_.focusField = nullptr;
        }
        button = display_.HitTestButtons(p);
    }
    Instance* before = display_.TrackedButton();
    if (display_.ButtonTransition(button, down) >= 0) {
        Instance* now = display_.TrackedButton();
        took = took || (down && now);
        display_.focusButton = now;
        ShowFocus(now);
        DoActions();
        if (update) UpdateScreen();
        SetCursor(CursorType());
    } else if (before && down && before == button) {
        took = true;
    }
    const MovieRect screen = GetScreenRect();
    if (RectContainsPoint(screen, p) || RectIsEmpty(screen) || screen.xmax <= screen.xmin) {
        mouse_ = p;
        mouseState_ = state;
    } else {
        mouseState_ = -1;
    }
    return took;
}

void SPlayer::ShowFocus(Instance* inst)
{
    // The focus rectangle is kept in pixels; the dirty list is in buffer units.
    const int shift = display_.Antialias() ? 2 : 0;
    MovieRect old = display_.FocusRect();
    if (!RectIsEmpty(old)) {
        RectShift(old, shift);
        display_.Invalidate(old);
    }
    MovieRect r;
    if (inst && focusRect) {
        r = display_.FocusBounds(inst);
        if (!RectIsEmpty(r)) {
            display_.Invalidate(r);
            r.xmin >>= shift;
            r.ymin >>= shift;
            r.xmax = (r.xmax + (1 << shift) - 1) >> shift;
            r.ymax = (r.ymax + (1 << shift) - 1) >> shift;
        }
    }
    display_.SetFocusRect(r);
}

void SPlayer::MouseMove(int x, int y, bool buttonDown)
{
    const MoviePoint p{x, y};
    const MoviePoint last = mouse_;
    mouse_ = p;
    if (dragged && display_.IsLive(dragged)) MoveDragged();
    Instance* field = display_.focusField;
    if (field && field->editText && field->editText->Selecting()) {
        field->editText->MouseDrag(ToInstance(display_, field, p));
        display_.MarkChanged(field);
        UpdateScreen();
        return;
    }
    if (pendingClick_ && !RectIsEmpty(zoom_)) {
        // Pan the zoomed view by the mouse offset, kept inside the frame.
        const MovieRect screen = GetScreenRect();
        const int32_t sw = std::max(1, screen.xmax - screen.xmin), sh = std::max(1, screen.ymax - screen.ymin);
        const int64_t dx = int64_t(last.x - x) * (int64_t(zoom_.xmax) - zoom_.xmin) / sw;
        const int64_t dy = int64_t(last.y - y) * (int64_t(zoom_.ymax) - zoom_.ymin) / sh;
        MovieRect z = zoom_;
        Timeline* r = Root();
        MovieRect frame{0, 1440, 0, 1440};
        if (r && r->Movie().HeaderRead())
            frame = MovieRect{r->Movie().FrameXMin(), r->Movie().FrameXMax(), r->Movie().FrameYMin(), r->Movie().FrameYMax()};
        const int64_t mx = std::clamp<int64_t>(dx, int64_t(frame.xmin) - z.xmin, int64_t(frame.xmax) - z.xmax);
        const int64_t my = std::clamp<int64_t>(dy, int64_t(frame.ymin) - z.ymin, int64_t(frame.ymax) - z.ymax);
        z.xmin = int32_t(z.xmin + mx);
        z.xmax = int32_t(z.xmax + mx);
        z.ymin = int32_t(z.ymin + my);
        z.ymax = int32_t(z.ymax + my);
        if (!(z == zoom_)) {
            zoom_ = z;
            SetCamera(1);
        }
        return;
    }
    TrackMouse(p, buttonDown ? 1 : 0, true);
    if (dragged) UpdateScreen();
}

void SPlayer::MouseDown(int x, int y)
{
    const MoviePoint p{x, y};
    const bool took = TrackMouse(p, 1, true);
    Instance* field = display_.focusField;
    if (field) UpdateScreen();
    pendingClick_ = !took && !field && !RectIsEmpty(zoom_);
    if (pendingClick_) clickPoint_ = p;
}

void SPlayer::MouseUp(int x, int y)
{
    const MoviePoint p{x, y};
    Instance* field = display_.focusField;
    if (field && field->editText && field->editText->Selecting()) {
        field->editText->MouseUp(ToInstance(display_, field, p));
        display_.MarkChanged(field);
        UpdateScreen();
        return;
    }
    if (pendingClick_) {
        pendingClick_ = false;
        return;
    }
    TrackMouse(p, 0, true);
}

// ---- Dragging -------------------------------------------------------------------

void SPlayer::BeginDrag()
{
    dragOffsetSet_ = false;
    Instance* inst = dragged && display_.IsLive(dragged) ? dragged->GetInstance() : nullptr;
    if (!inst || !inst->parent) return;
    if (!dragLockCentre && mouseState_ >= 0) {
        const MoviePoint m = ToParent(display_, inst, mouse_);
        dragOffset_ = MoviePoint{m.x - inst->matrix.tx, m.y - inst->matrix.ty};
        dragOffsetSet_ = true;
    }
    dropOwner_ = dragged;
    dropTarget_.clear();
}

void SPlayer::MoveDragged()
{
    Instance* inst = dragged->GetInstance();
    if (!inst || !inst->parent) return;
    MoviePoint m = ToParent(display_, inst, mouse_);
    if (!dragLockCentre) {
        if (!dragOffsetSet_) {
            dragOffset_ = MoviePoint{m.x - inst->matrix.tx, m.y - inst->matrix.ty};
            dragOffsetSet_ = true;
        }
        m.x -= dragOffset_.x;
        m.y -= dragOffset_.y;
    }
    if (!RectIsEmpty(dragConstraint)) {
        m.x = std::clamp(m.x, dragConstraint.xmin, std::max(dragConstraint.xmin, dragConstraint.xmax));
        m.y = std::clamp(m.y, dragConstraint.ymin, std::max(dragConstraint.ymin, dragConstraint.ymax));
    }
    if (inst->matrix.tx != m.x || inst->matrix.ty != m.y) {
        inst->matrix.tx = m.x;
        inst->matrix.ty = m.y;
        inst->scriptLocked = true;
        display_.MarkChanged(inst);
    }
    UpdateDropTarget();
}

void SPlayer::UpdateDropTarget()
{
    Instance* inst = dragged ? dragged->GetInstance() : nullptr;
    if (!inst) return;
    dropOwner_ = dragged;
    // What lies under the mouse apart from the dragged sprite itself.
    const bool wasVisible = inst->visible;
    inst->visible = false;
    Instance* under = display_.HitTest(mouse_);
    inst->visible = wasVisible;
    Timeline* target = nullptr;
    for (Instance* i = under; i && i != &display_.Root(); i = i->parent) {
        if (i->sprite || i->boundTimeline) {
            target = i->PlayedBy();
            break;
        }
    }
    dropTarget_ = target ? TargetPath(target) : std::string();
}

// ---- Zoom ----------------------------------------------------------------------

void SPlayer::Zoom(MoviePoint centre, int percent)
{
    Timeline* r = Root();
    if (!r || !r->Movie().HeaderRead()) return;
    const MovieRect frame{r->Movie().FrameXMin(), r->Movie().FrameXMax(), r->Movie().FrameYMin(),
                          r->Movie().FrameYMax()};
    if (percent <= 0) {
        RectSetEmpty(zoom_);
        SetCamera(1);
        return;
    }
    const MovieRect view = RectIsEmpty(zoom_) ? frame : zoom_;
    const MovieRect screen = GetScreenRect();
    // At most one twip per pixel.
    int64_t w = std::max<int64_t>((int64_t(view.xmax) - view.xmin) * percent / 100, screen.xmax - screen.xmin);
    int64_t h = std::max<int64_t>((int64_t(view.ymax) - view.ymin) * percent / 100, screen.ymax - screen.ymin);
    const int64_t fw = int64_t(frame.xmax) - frame.xmin, fh = int64_t(frame.ymax) - frame.ymin;
    if (w >= fw && h >= fh) {
        RectSetEmpty(zoom_);
        SetCamera(1);
        return;
    }
    w = std::min(w, fw);
    h = std::min(h, fh);
    int64_t x0 = std::clamp<int64_t>(centre.x - w / 2, frame.xmin, frame.xmax - w);
    int64_t y0 = std::clamp<int64_t>(centre.y - h / 2, frame.ymin, frame.ymax - h);
    zoom_ = MovieRect{int32_t(x0), int32_t(x0 + w), int32_t(y0), int32_t(y0 + h)};
    SetCamera(1);
}

int SPlayer::CursorType()
{
    if (overText_) return kCursorText;
    if (display_.TrackedButton()) return kCursorButton;
    if (!RectIsEmpty(zoom_)) return kCursorZoomed;
    return kCursorArrow;
}

}  // namespace movie
