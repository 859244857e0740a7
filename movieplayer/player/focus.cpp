// Keys and keyboard focus: button key actions, Tab order, arrow keys among
// buttons, pressing the focused button and handing keys to the focused
// text field.
#include <algorithm>

#include "movieplayer/character/character.h"
#include "movieplayer/player/player.h"
#include "movieplayer/stream/tag_codes.h"

namespace movie {

namespace {

void CollectFocusable(Instance* parent, std::vector<Instance*>& out)
{
    for (Instance* c = parent->children; c; c = c->next) {
        if (!c->visible) continue;
        const int k = c->Kind();
        if (k == kCharButton || (k == kCharEditText && c->editText && !c->editText->ReadOnly())) out.push_back(c);
        CollectFocusable(c, out);
    }
}

// Tab order: left to right in thirds of a twip, top to bottom in halves.
int64_t TabKey(DisplayList& d, Instance* inst)
{
    const MovieRect b = d.FocusBounds(inst, true);
    if (RectIsEmpty(b)) return 0;
    return int64_t(b.xmin) / 3 + int64_t(b.ymin) * 2;
}

}  // namespace

void SPlayer::BuildFocusList()
{
    focusList_.clear();
    CollectFocusable(&display_.Root(), focusList_);
    std::vector<std::pair<int64_t, Instance*>> keyed;
    keyed.reserve(focusList_.size());
    for (Instance* i : focusList_) keyed.push_back({TabKey(display_, i), i});
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) focusList_[i] = keyed[i].second;
}

void SPlayer::SetFocusObject(Instance* inst, int mouseState, bool update)
{
    (void)mouseState;
    if (Instance* f = display_.focusField) {
        if (f->editText) f->editText->Blur();
        display_.MarkChanged(f);
    }
    display_.focusField = nullptr;
    display_.focusButton = nullptr;
    ShowFocus(nullptr);
    if (inst && inst->Kind() == kCharEditText && inst->editText) {
        display_.focusField = inst;
        inst->editText->Focus();
        display_.MarkChanged(inst);
    } else if (inst && inst->Kind() == kCharButton) {
        display_.focusButton = inst;
        ShowFocus(inst);
    }
    if (update) UpdateScreen();
}

void SPlayer::FocusNext()
{
    BuildFocusList();
    if (focusList_.empty()) return;
    Instance* cur = display_.focusField ? display_.focusField : display_.focusButton;
    Instance* next = focusList_.front();
    if (cur) {
        const int64_t key = TabKey(display_, cur);
        for (Instance* i : focusList_) {
            if (TabKey(display_, i) > key) {
                next = i;
                break;
            }
        }
    }
    SetFocusObject(next, 0, false);
}

void SPlayer::FocusPrevious()
{
    BuildFocusList();
    if (focusList_.empty()) return;
    Instance* cur = display_.focusField ? display_.focusField : display_.focusButton;
    Instance* prev = focusList_.back();
    if (cur) {
        const int64_t key = TabKey(display_, cur);
        for (auto it = focusList_.rbegin(); it != focusList_.rend(); ++it) {
            if (TabKey(display_, *it) < key) {
                prev = *it;
                break;
            }
        }
    }
    SetFocusObject(prev, 0, false);
}

void SPlayer::FocusDirection(int d)
{
    BuildFocusList();
    Instance* cur = display_.focusField ? display_.focusField : display_.focusButton;
    const MovieRect c = cur ? display_.FocusBounds(cur, true) : MovieRect{0, 0, 0, 0};
    auto onSide = [&](const MovieRect& r) {
        switch (d) {
        case 0: return r.ymax < c.ymin || r.ymax < c.ymax;
        case 1: return c.ymax < r.ymin || c.ymax < r.ymax;
        case 2: return c.xmax < r.xmin || c.xmax < r.xmax;
        default: return r.xmax < c.xmin || r.xmin < c.xmin;
        }
    };
    auto across = [&](const MovieRect& r) {
        return d <= 1 ? (r.xmin < c.xmax && c.xmin < r.xmax) : (r.ymin < c.ymax && c.ymin < r.ymax);
    };
    Instance* best = nullptr;
    MovieRect bestRect;
    for (Instance* i : focusList_) {
        if (i == cur) continue;
        const MovieRect r = display_.FocusBounds(i, true);
        if (RectIsEmpty(r) || !onSide(r)) continue;
        bool better = !best;
        if (best) {
            const bool oa = across(r), ob = across(bestRect);
            if (oa != ob) {
                better = oa;
            } else if (d == 1 && (r.ymin >= c.ymax) != (bestRect.ymin >= c.ymax)) {
                better = r.ymin >= c.ymax;
            } else {
                better = RectDistance(r, c) <= RectDistance(bestRect, c);
            }
        }
        if (better) {
            best = i;
            bestRect = r;
        }
    }
    if (best) SetFocusObject(best, 0, false);
}

bool SPlayer::ButtonKeyActions(int code)
{
    if (code <= 0 || code > 127) return false;
    BuildFocusList();
    for (Instance* b : focusList_) {
        Character* ch = b->character;
        if (b->Kind() != kCharButton || !ch || ch->tagCode != kTagDefineButton2 || !ch->movie || !b->context) continue;
        StreamCursor c = ch->Cursor();
        const size_t offsetPos = c.Pos();
        const uint16_t offset = c.UI16();
        if (offset == 0 || c.Overrun()) continue;
        // Condition records only move forward, so the walk ends.
        for (size_t pos = offsetPos + offset; pos + 4 <= c.End();) {
            StreamCursor r(c.Data(), pos, c.End());
            const uint16_t next = r.UI16();
            const uint16_t condition = r.UI16();
            size_t end = next ? std::min(pos + next, c.End()) : c.End();
            if ((condition >> 9) == code) {
                display_.Actions().Post(pos + 4, end, b->context);
                DoActions();
                UpdateScreen();
                return true;
            }
            if (next == 0) break;
            pos += next;
        }
    }
    return false;
}

void SPlayer::PressFocusedButton()
{
    Instance* b = display_.focusButton;
    if (!b) return;
    // Over, press and release, as a click would; then back to what the
    // mouse is over.
    if (display_.TrackedButton() != b) display_.ButtonTransition(b, false);
    if (display_.TrackedButton() == b) display_.ButtonTransition(b, true);
    if (display_.TrackedButton() == b) display_.ButtonTransition(b, false);
    DoActions();
    Instance* under = mouseState_ >= 0 ? display_.HitTestButtons(mouse_) : nullptr;
    display_.ButtonTransition(under, false);
    DoActions();
    if (!display_.focusButton) FocusNext();
    else ShowFocus(display_.focusButton);
}

bool SPlayer::HandleKey(int code, int modifiers)
{
    if (!loaded_) return false;
    if (ButtonKeyActions(code)) return true;
    if (code == kKeyTab) {
        if (modifiers & kModShift) FocusPrevious();
        else FocusNext();
        UpdateScreen();
        return true;
    }
    Instance* button = display_.focusButton;
    Instance* field = display_.focusField;
    if (button && !field) {
        if (focusRect && !RectIsEmpty(display_.FocusRect())) {
            const int direction = code == kKeyLeft ? 3 : code == kKeyRight ? 2 : code == kKeyUp ? 0 : code == kKeyDown ? 1 : -1;
            if (direction >= 0) {
                FocusDirection(direction);
                UpdateScreen();
                return true;
            }
        }
        if (code == kKeyEnter || code == ' ') PressFocusedButton();
        UpdateScreen();
        return true;
    }
    if (field && field->editText) {
        const bool changed = field->editText->Key(code, modifiers, *this);
        FieldEdited(field, changed);
        return true;
    }
    return false;
}

void SPlayer::BlinkCaret()
{
    Instance* f = display_.focusField;
    if (!f || !f->editText) return;
    f->editText->blink = !f->editText->blink;
    display_.MarkChanged(f);
    UpdateScreen();
}

}  // namespace movie
