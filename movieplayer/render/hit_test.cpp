// Hit tests: a point is inside an instance when it lies in its device
// bounds and, casting a ray towards +x, the fills of the edges the ray
// crosses leave some fill inside (parity for shape fills, winding count for
// glyphs), or when it lies within half a line's width of a stroked edge.
#include <map>

#include "movieplayer/character/character.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/render/outline.h"
#include "movieplayer/stream/records.h"
#include "movieplayer/stream/tag_codes.h"

namespace movie {

namespace {

class HitSink : public OutlineSink {
public:
    HitSink(MoviePoint p, int32_t minStroke) : p_(p), minStroke_(minStroke) {}

    void Styles(const std::vector<FillStyle>&, const std::vector<LineStyle>&, int styleBase) override
    {
        base_ = styleBase;
    }
    void TextColour(uint32_t) override { base_ += 1 << 20; }   // each colour is a fill of its own

    void FillEdge(const Curve& c, int a, int b, int rule) override
    {
        Curve pieces[2];
        int n = SplitMonotonicY(c, pieces);
        for (int i = 0; i < n; ++i) {
            if (Crossings(pieces[i], p_) & 1) {
                if (rule == kRuleWinding) {
                    winding_[base_ + a] += pieces[i].end.y > pieces[i].start.y ? 1 : -1;
                } else {
                    parity_[base_ + a] ^= 1;
                    if (rule == kRuleTwoFillsParity && b) parity_[base_ + b] ^= 1;
                }
            }
        }
    }
    void BeginStroke(int, int32_t width) override { half_ = std::max(width, minStroke_) / 2 + 1; }
    void StrokeSegment(const Curve& c) override
    {
        if (!strokeHit_ && Nearest(c, p_, half_) != -0x10000) strokeHit_ = true;
    }

    bool Inside() const
    {
        if (strokeHit_) return true;
        for (const auto& [key, v] : parity_)
            if (v) return true;
        for (const auto& [key, v] : winding_)
            if (v) return true;
        return false;
    }

private:
    MoviePoint p_;
    int32_t minStroke_;
    int base_ = 0;
    int32_t half_ = 1;
    bool strokeHit_ = false;
    std::map<int, int> parity_;
    std::map<int, int> winding_;
};

const CharacterDictionary* DictionaryOf(const Instance* inst)
{
    Timeline* t = inst->context;
    return t && t->RootTimeline() ? &t->RootTimeline()->Dictionary() : nullptr;
}

bool OutlineHolds(const Character& ch, const CharacterDictionary& dict, const MovieMatrix& m, uint16_t ratio,
                  MoviePoint p, bool antialias)
{
    HitSink sink(p, antialias ? 4 : 1);
    if (!WalkCharacter(ch, dict, m, ratio, sink)) return false;
    return sink.Inside();
}

bool InstanceHolds(const Instance* inst, const MovieMatrix& m, MoviePoint p, bool antialias)
{
    if (!inst->character || RectIsEmpty(inst->deviceBounds) || !RectContainsPoint(inst->deviceBounds, p))
        return false;
    const CharacterDictionary* dict = DictionaryOf(inst);
    if (!dict) return false;
    if (inst->Kind() == kCharEditText) {
        // The second flags byte after the bounds: 0x10 no selection.
        StreamCursor c = inst->character->Cursor();
        c.UI8();
        if (c.UI8() & 0x10) return false;
        MovieMatrix inv;
        MatrixInvert(m, inv);
        return RectContainsPoint(inst->character->bounds, MatrixMapPoint(inv, p));
    }
    return OutlineHolds(*inst->character, *dict, m, inst->ratio, p, antialias);
}

// The topmost hit among the children of parent (later siblings win).
Instance* HitChildren(Instance* parent, const MovieMatrix& pm, MoviePoint p, bool antialias, bool buttons)
{
    Instance* hit = nullptr;
    for (Instance* c = parent->children; c; c = c->next) {
        if (!c->visible) continue;
        MovieMatrix m;
        MatrixConcatRound(c->matrix, pm, m);
        if (c->clipDepth) {
            if (!InstanceHolds(c, m, p, antialias)) {
                uint16_t clip = c->clipDepth;
                while (c->next && c->next->depth <= clip) c = c->next;
            }
            continue;
        }
        Instance* h = nullptr;
        if (buttons && c->Kind() == kCharButton) {
            // The records with the hit-test state bit, placed as the button
            // would place them.
            Character* ch = c->character;
            const CharacterDictionary* dict = DictionaryOf(c);
            StreamCursor cur = ch->Cursor();
            bool second = ch->tagCode == kTagDefineButton2;
            if (second) cur.UI16();
            for (int n = 0; n < 256 && dict; ++n) {
                int flags = cur.UI8();
                if (flags == 0 || cur.Overrun()) break;
                uint16_t id = cur.UI16();
                cur.UI16();
                MovieMatrix rm = ReadMatrix(cur);
                if (second) ReadColorTransform(cur, true);
                if (cur.Overrun()) break;
                const Character* rc = dict->Find(id);
                if (!(flags & 0x08) || !rc || rc->kind == kCharButton) continue;
                MovieMatrix full;
                MatrixConcatRound(rm, m, full);
                MovieRect bounds = MatrixMapRect(full, rc->bounds);
                if (rc->kind != kCharMorphShape && (RectIsEmpty(bounds) || !RectContainsPoint(bounds, p))) continue;
                if (OutlineHolds(*rc, *dict, full, 0, p, antialias)) {
                    h = c;
                    break;
                }
            }
        } else if (InstanceHolds(c, m, p, antialias)) {
            h = c;
        }
        if (!h && c->children) h = HitChildren(c, m, p, antialias, buttons);
        if (h) hit = buttons ? (h->Kind() == kCharButton ? h : hit) : h;
    }
    return hit;
}

}  // namespace

Instance* DisplayList::HitTest(MoviePoint p)
{
    if (antialias_) p = PointShift(p, 2);
    UpdatePass();
    return HitChildren(&root_, stageMatrix_, p, antialias_, false);
}

Instance* DisplayList::HitTestButtons(MoviePoint p)
{
    if (antialias_) p = PointShift(p, 2);
    if (!RectContainsPoint(stageRect_, p)) return nullptr;
    UpdatePass();
    return HitChildren(&root_, stageMatrix_, p, antialias_, true);
}

}  // namespace movie
