// Button characters on the display list: their records become child
// instances per state, and mouse transitions post the actions of the
// matching condition.
//
// Button record: UI8 state flags (0 ends the list: 0x01 up, 0x02 over,
// 0x04 down, 0x08 hit test), UI16 character id, UI16 depth offset, MATRIX,
// and in the second button format a CXFORM with alpha.  The second format
// starts its records with a UI16 offset to the condition records (each a
// UI16 offset to the next, 0 for the last, a UI16 condition mask, then the
// actions); the first format follows its records with one action list.
#include <initializer_list>

#include "movieplayer/character/character.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/stream/records.h"
#include "movieplayer/stream/tag_codes.h"

namespace movie {

namespace {

constexpr int kStateMask[5] = {0x00, 0x01, 0x02, 0x04, 0x02};

int MaskOf(int state)
{
    return state >= 0 && state < 5 ? kStateMask[state] : 0;
}

CharacterDictionary* DictionaryOf(const Instance* inst)
{
    Timeline* t = inst->context;
    return t && t->RootTimeline() ? &t->RootTimeline()->Dictionary() : nullptr;
}

struct ButtonRecord {
    int flags = 0;
    uint16_t id = 0;
    uint16_t depth = 0;
    MovieMatrix matrix;
    ColorTransform cxform;
};

// Reads the next record; false at the end of the list.
bool NextRecord(StreamCursor& c, bool second, ButtonRecord* r)
{
    r->flags = c.UI8();
    if (r->flags == 0 || c.Overrun()) return false;
    r->id = c.UI16();
    r->depth = c.UI16();
    r->matrix = ReadMatrix(c);
    if (second) r->cxform = ReadColorTransform(c, true);
    else ColorTransformInit(r->cxform);
    return !c.Overrun();
}

}  // namespace

void DisplayList::ApplyButtonState(Instance* button, int oldState, int newState)
{
    Character* ch = button->character;
    CharacterDictionary* dict = DictionaryOf(button);
    if (!ch || !dict) return;
    bool second = ch->tagCode == kTagDefineButton2;
    int oldMask = MaskOf(oldState), newMask = MaskOf(newState);
    ColorTransform buttonCx;
    ColorTransformInit(buttonCx);
    if (ch->cxformPos && ch->movie) {
        StreamCursor cx(ch->movie->Data(), ch->cxformPos, ch->movie->Received());
        buttonCx = ReadColorTransform(cx, false);
    }
    for (int pass = 0; pass < 2; ++pass) {
        StreamCursor c = ch->Cursor();
        if (second) c.UI16();
        ButtonRecord r;
        // A list of records is bounded by its tag; 256 records per pass is
        // more than any button has, and stops a pathological one early.
        for (int n = 0; n < 256 && NextRecord(c, second, &r); ++n) {
            uint16_t depth = uint16_t(r.depth + button->depth);
            bool was = (r.flags & oldMask) != 0, is = (r.flags & newMask) != 0;
            if (pass == 0 && was && !is) {
                RemoveObject(button, depth);
            } else if (pass == 1 && is && !was) {
                Placement p;
                p.character = dict->Find(r.id);
                // A button that shows itself would nest without end.
                if (!p.character || p.character == ch || p.character->kind == kCharButton) continue;
                p.depth = depth;
                p.matrix = r.matrix;
                p.cxform = second ? r.cxform : buttonCx;
                PlaceObject(button, p);
            }
        }
    }
}

void DisplayList::PostButtonActions(Instance* button, int code)
{
    Character* ch = button->character;
    if (!ch || !ch->movie || !button->context) return;
    StreamCursor c = ch->Cursor();
    if (ch->tagCode == kTagDefineButton2) {
        size_t offsetPos = c.Pos();
        uint16_t offset = c.UI16();
        if (offset == 0) return;
        size_t pos = offsetPos + offset;
        // Each condition record moves forward, so the walk ends.
        while (pos + 4 <= c.End()) {
            StreamCursor r(c.Data(), pos, c.End());
            uint16_t next = r.UI16();
            uint16_t mask = r.UI16();
            size_t end = next ? pos + next : c.End();
            if (end > c.End()) end = c.End();
            if (mask & (1u << code)) actions_.Post(pos + 4, end, button->context);
            if (next == 0) break;
            pos += next;
        }
    } else if (code == 3) {
        ButtonRecord r;
        while (NextRecord(c, false, &r)) {
        }
        if (!c.Overrun()) actions_.Post(c.Pos(), c.End(), button->context);
    }
}

int DisplayList::ButtonTransition(Instance* hit, bool down)
{
    if (!tracked_ && trackState_ != kButtonIdle) trackState_ = kButtonIdle;
    if (hit && hit->Kind() != kCharButton) hit = nullptr;
    Instance* b = trackState_ == kButtonIdle ? hit : tracked_;
    if (!b) return -1;
    bool menu = b->character && b->character->trackAsMenu;
    bool over = hit == b;
    int code = -1;
    switch (trackState_) {
    case kButtonIdle:
        if (over && (!down || menu)) code = down ? 7 : 0;
        break;
    case kButtonOverUp:
        if (!over) code = 1;
        else if (down) code = 2;
        break;
    case kButtonOverDown:
        if (!over) code = menu ? 8 : 4;
        else if (!down) code = 3;
        break;
    case kButtonOutDown:
        if (!down) code = 6;
        else if (over) code = 5;
        break;
    default:
        break;
    }
    if (code < 0) return -1;
    static const int kNewState[9] = {kButtonOverUp, kButtonIdle,   kButtonOverDown,
                                     kButtonOverUp, kButtonOutDown, kButtonOverDown,
                                     kButtonIdle,   kButtonOverDown, kButtonIdle};
    int newState = kNewState[code];
    int oldVisual = b->buttonState;
    b->buttonState = newState;
    ApplyButtonState(b, oldVisual, newState);
    PostButtonActions(b, code);
    trackState_ = newState;
    if (newState == kButtonIdle) {
        tracked_ = nullptr;
        trackedId_ = TrackedIdentity{};
        // The mouse may now be over another button.
        if (hit && hit != b) ButtonTransition(hit, down);
    } else {
        tracked_ = b;
        trackedId_ = TrackedIdentity{b->parent, b->character, b->depth, b->ratio};
    }
    return code;
}

}  // namespace movie
