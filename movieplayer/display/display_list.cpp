#include "movieplayer/display/display_list.h"

#include <algorithm>

#include "movieplayer/character/character.h"
#include "movieplayer/character/morph.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/stream/records.h"
#include "movieplayer/stream/tag_codes.h"
#include "movieplayer/text/edit_text.h"

namespace movie {

Instance::Instance() = default;
Instance::~Instance() = default;

int Instance::Kind() const
{
    return character ? character->kind : -1;
}

DisplayList::DisplayList()
{
    instances_.Init(32, false, 0x55555555u);
    edgePool_.Init(600, true, 0x22222222u);
    root_.display = this;
    stageMatrix_ = MatrixIdentity();
    SetStageSize(0, 0);
}

DisplayList::~DisplayList()
{
    while (root_.children) Destroy(root_.children);
    for (Rebuild& r : rebuilds_)
        while (r.old) {
            Instance* i = r.old;
            r.old = i->next;
            i->next = nullptr;
            i->parent = nullptr;
            Destroy(i);
        }
}

// ---- Instances ------------------------------------------------------------

Instance* DisplayList::FindDepth(Instance* parent, uint16_t depth) const
{
    for (Instance* i = parent->children; i; i = i->next)
        if (i->depth == depth) return i;
    return nullptr;
}

void DisplayList::LinkBefore(Instance* parent, Instance* inst)
{
    Instance** link = &parent->children;
    while (*link && (*link)->depth < inst->depth) link = &(*link)->next;
    inst->next = *link;
    *link = inst;
    inst->parent = parent;
}

void DisplayList::MarkChanged(Instance* inst)
{
    inst->needsUpdate = true;
    updatePending_ = true;
}

std::string DisplayList::NextInstanceName()
{
    return "instance" + std::to_string(++nameCounter_);
}

static int SpriteNesting(const Instance* parent)
{
    int n = 0;
    for (const Instance* p = parent; p; p = p->parent)
        if (p->sprite) ++n;
    return n;
}

Instance* DisplayList::PlaceObject(Instance* parent, const Placement& p)
{
    if (!parent || !p.character) return nullptr;
    int kind = p.character->kind;
    // A sprite that places itself, directly or through others, would nest
    // without end; deep nesting is refused.
    if (kind == kCharSprite && SpriteNesting(parent) >= kMaxSpriteNesting) return nullptr;
    if (instanceCount_ >= instanceLimit_) return nullptr;
    Instance* inst = instances_.New();
    if (!inst) return nullptr;
    ++instanceCount_;
    inst->display = this;
    inst->character = p.character;
    inst->depth = p.depth;
    inst->ratio = p.ratio;
    inst->clipDepth = (p.flags & kPlaceClipDepth) ? p.clipDepth : 0;
    inst->matrix = p.matrix;
    inst->cxform = p.cxform;
    inst->context = parent->PlayedBy() ? parent->PlayedBy() : parent->context;
    if (kind == kCharSprite)
        inst->name = p.name ? p.name : NextInstanceName();
    else if (p.name)
        inst->name = p.name;
    LinkBefore(parent, inst);
    MarkChanged(inst);

    if (kind == kCharButton) {
        int state = kButtonIdle;
        if (trackedId_.character == p.character && trackedId_.parent == parent && trackedId_.depth == p.depth &&
            trackedId_.ratio == p.ratio && trackedId_.character) {
            state = trackState_;
            tracked_ = inst;
        }
        inst->buttonState = kButtonNone;
        ApplyButtonState(inst, kButtonNone, state);
        inst->buttonState = state;
    } else if (kind == kCharSprite && inst->context) {
        inst->sprite = Timeline::CreateSprite(this, *inst->context, *p.character, inst);
        if (inst->sprite) inst->sprite->Seek(0);
    } else if (kind == kCharEditText) {
        fields_.push_back(inst);
        if (fieldHook_) fieldHook_(inst);
    }
    return inst;
}

Instance* DisplayList::MoveObject(Instance* parent, const Placement& p)
{
    if (!parent) return nullptr;
    Instance* inst = FindDepth(parent, p.depth);
    if (!inst || inst->scriptLocked) return nullptr;
    MarkChanged(inst);
    if ((p.flags & kPlaceCharacter) && p.character && p.character != inst->character) {
        int oldKind = inst->Kind(), newKind = p.character->kind;
        bool special = oldKind == kCharSprite || oldKind == kCharButton || newKind == kCharSprite ||
                       newKind == kCharButton;
        if (oldKind == newKind || !special) inst->character = p.character;
    }
    if (p.flags & kPlaceMatrix) inst->matrix = p.matrix;
    if (p.flags & kPlaceCxform) inst->cxform = p.cxform;
    if (p.flags & kPlaceRatio) inst->ratio = p.ratio;
    return inst;
}

void DisplayList::RemoveObject(Instance* parent, uint16_t depth)
{
    if (!parent) return;
    Instance* inst = FindDepth(parent, depth);
    if (inst) Destroy(inst);
}

void DisplayList::InvalidateBounds(Instance* inst)
{
    if (inst->boundsRegistered && !RectIsEmpty(inst->deviceBounds)) Invalidate(inst->deviceBounds);
    inst->boundsRegistered = false;
}

void DisplayList::Destroy(Instance* inst)
{
    InvalidateBounds(inst);
    while (inst->children) Destroy(inst->children);
    if (inst->sprite) {
        inst->sprite->Detach();
        inst->sprite.reset();
    }
    if (inst->boundTimeline) {
        inst->boundTimeline->Detach();
        inst->boundTimeline = nullptr;
    }
    if (tracked_ == inst) tracked_ = nullptr;
    if (focusButton == inst) focusButton = nullptr;
    if (focusField == inst) focusField = nullptr;
    if (inst->Kind() == kCharEditText) fields_.erase(std::remove(fields_.begin(), fields_.end(), inst), fields_.end());
    if (Instance* parent = inst->parent) {
        for (Instance** link = &parent->children; *link; link = &(*link)->next) {
            if (*link == inst) {
                *link = inst->next;
                break;
            }
        }
    }
    inst->~Instance();
    instances_.Delete(inst);
    --instanceCount_;
}

void DisplayList::BeginRebuild(Instance* parent)
{
    rebuilds_.push_back({parent, parent->children});
    parent->children = nullptr;
}

bool DisplayList::Rebuilding(const Instance* parent) const
{
    for (const Rebuild& r : rebuilds_)
        if (r.parent == parent) return true;
    return false;
}

void DisplayList::EndRebuild()
{
    if (rebuilds_.empty()) return;
    Rebuild r = rebuilds_.back();
    rebuilds_.pop_back();
    Instance* parent = r.parent;
    Instance* old = r.old;
    while (old) {
        Instance* o = old;
        old = o->next;
        o->next = nullptr;
        o->parent = parent;
        Instance* n = FindDepth(parent, o->depth);
        bool keepOld = false;
        if (n) {
            bool same = n->character == o->character && n->ratio == o->ratio && n->clipDepth == o->clipDepth;
            bool differ = !(n->matrix == o->matrix) || !ColorTransformEqual(n->cxform, o->cxform);
            auto adopt = [&] {
                if (!o->scriptLocked) {
                    o->matrix = n->matrix;
                    o->cxform = n->cxform;
                    MarkChanged(o);
                }
            };
            if (same) {
                if (!differ) {
                    keepOld = true;
                } else if (o->Kind() == kCharSprite) {
                    keepOld = true;
                    adopt();
                }
            } else {
                bool bothMovies = (o->Kind() == kCharSprite || o->Kind() == kCharLoadedMovie) &&
                                  (n->Kind() == kCharSprite || n->Kind() == kCharLoadedMovie);
                if (n->ratio == o->ratio && bothMovies) {
                    keepOld = true;
                    if (differ) adopt();
                }
            }
            if (keepOld) {
                if (tracked_ == n) tracked_ = o;
                Destroy(n);
            }
        } else if (o->depth >= 0x4000) {
            keepOld = true;   // created by a script
        }
        if (keepOld) {
            LinkBefore(parent, o);
        } else {
            Destroy(o);   // not linked: Destroy only invalidates and frees it
        }
    }
}

void DisplayList::ResetTracking()
{
    tracked_ = nullptr;
    trackState_ = kButtonIdle;
    trackedId_ = TrackedIdentity{};
}

void DisplayList::SaveFocus()
{
    if (focusSaves_++ > 0) return;
    savedFocus_ = SavedFocus{};
    if (!focusField || !focusField->editText) return;
    const EditText& e = *focusField->editText;
    savedFocus_ = SavedFocus{true, e.variable, focusField->depth, e.anchor, e.caret, e.scroll, e.hscroll};
}

void DisplayList::RestoreFocus()
{
    if (focusSaves_ == 0 || --focusSaves_ > 0) return;
    SavedFocus s = savedFocus_;
    savedFocus_ = SavedFocus{};
    if (!s.valid || focusField || s.variable.empty()) return;
    for (Instance* f : fields_) {
        if (!f->editText || f->depth != s.depth) continue;
        const std::string& v = f->editText->variable;
        bool same = v.size() == s.variable.size() &&
                    std::equal(v.begin(), v.end(), s.variable.begin(), [](char a, char b) {
                        auto low = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
                        return low(a) == low(b);
                    });
        if (!same) continue;
        EditText& e = *f->editText;
        int n = int(e.Text().size());
        e.anchor = std::clamp(s.anchor, 0, n);
        e.caret = std::clamp(s.caret, 0, n);
        e.SetScroll(s.scroll);
        e.hscroll = std::clamp(s.hscroll, 0, n);
        e.blink = true;
        e.showSelection = true;
        focusField = f;
        MarkChanged(f);
        return;
    }
}

// ---- Stage, camera and background ------------------------------------------

void DisplayList::SetStageSize(int width, int height)
{
    stageWidth_ = width;
    stageHeight_ = height;
    int w = width > 0 ? width : 2000, h = height > 0 ? height : 2000;
    int scale = antialias_ ? 4 : 1;
    stageRect_ = MovieRect{0, w * scale, 0, h * scale};
}

void DisplayList::SetCamera(const MovieRect& source, const MovieRect& destination, bool antialias, int scaleMode)
{
    MovieRect dst = destination;
    if (antialias) RectShift(dst, 2);
    // Frame rectangles come from 30-bit fields and may be inverted; every
    // difference and the translation are formed in 64 bits and saturated.
    auto span = [](int32_t lo, int32_t hi) { return SaturateToInt32(std::max<int64_t>(int64_t{hi} - lo, 16)); };
    auto mid = [](int32_t lo, int32_t hi) { return SaturateToInt32(lo + (int64_t{hi} - lo) / 2); };
    int32_t sw = span(source.xmin, source.xmax), sh = span(source.ymin, source.ymax);
    int32_t dw = span(dst.xmin, dst.xmax), dh = span(dst.ymin, dst.ymax);
    Fixed sx = FixedDiv(dw, sw), sy = FixedDiv(dh, sh);
    switch (scaleMode & 0x0F) {
    case 0: sx = sy = std::min(sx, sy); break;
    case 1: sx = sy = std::max(sx, sy); break;
    case 2: break;
    default: sx = sy = antialias ? 13107 : 3276; break;
    }
    int32_t ax, sax, ay, say;
    if (scaleMode & 0x10) {
        ax = dst.xmin;
        sax = source.xmin;
    } else if (scaleMode & 0x20) {
        ax = dst.xmax;
        sax = source.xmax;
    } else {
        ax = mid(dst.xmin, dst.xmax);
        sax = mid(source.xmin, source.xmax);
    }
    if (scaleMode & 0x40) {
        ay = dst.ymin;
        say = source.ymin;
    } else if (scaleMode & 0x80) {
        ay = dst.ymax;
        say = source.ymax;
    } else {
        ay = mid(dst.ymin, dst.ymax);
        say = mid(source.ymin, source.ymax);
    }
    MovieMatrix m;
    m.a = sx;
    m.d = sy;
    m.b = m.c = 0;
    // The translation is a device coordinate: rounded, not truncated.
    m.tx = SaturateToInt32(int64_t{ax} - ((int64_t{sax} * sx + 0x8000) >> 16));
    m.ty = SaturateToInt32(int64_t{ay} - ((int64_t{say} * sy + 0x8000) >> 16));
    if (m == stageMatrix_ && antialias == antialias_) return;
    stageMatrix_ = m;
    antialias_ = antialias;
    SetStageSize(stageWidth_, stageHeight_);
    InvalidateStage();
    MarkChanged(&root_);
}

void DisplayList::SetBackground(uint32_t colour, int priority)
{
    if (priority <= backgroundPriority_) return;
    background_ = colour;
    backgroundPriority_ = priority;
    InvalidateStage();
}

void DisplayList::ResetBackground(int priority)
{
    if (priority > 1) return;
    background_ = kBackgroundWhite;
    backgroundPriority_ = 0;
}

// ---- Dirty rectangles -------------------------------------------------------

static int64_t Area(const MovieRect& r)
{
    if (RectIsEmpty(r)) return 0;
    return int64_t(r.xmax - r.xmin) * int64_t(r.ymax - r.ymin);
}

void DisplayList::InvalidateStage()
{
    Invalidate(stageRect_);
}

void DisplayList::Invalidate(MovieRect r)
{
    if (RectIsEmpty(r)) return;
    RectInset(r, antialias_ ? -8 : -2);
    r = RectIntersect(r, stageRect_);
    if (RectIsEmpty(r)) return;
    dirty_[dirtyCount_] = r;
    dirtyArea_[dirtyCount_] = Area(r);
    ++dirtyCount_;
    dirtyUnion_ = RectUnion(dirtyUnion_, r);
    MergeOnce(dirtyCount_ == kMaxDirty);
}

// Merges one pair: with forced, the pair whose union adds the least area;
// else the first pair whose union is smaller than the two areas together.
bool DisplayList::MergeOnce(bool forced)
{
    int bi = -1, bj = -1;
    int64_t best = 0;
    for (int i = 0; i < dirtyCount_; ++i) {
        for (int j = i + 1; j < dirtyCount_; ++j) {
            int64_t u = Area(RectUnion(dirty_[i], dirty_[j]));
            int64_t waste = u - dirtyArea_[i] - dirtyArea_[j];
            if (forced) {
                if (bi < 0 || waste < best) {
                    bi = i;
                    bj = j;
                    best = waste;
                }
            } else if (waste < 0) {
                bi = i;
                bj = j;
                break;
            }
        }
        if (!forced && bi >= 0) break;
    }
    if (bi < 0) return false;
    dirty_[bi] = RectUnion(dirty_[bi], dirty_[bj]);
    dirtyArea_[bi] = Area(dirty_[bi]);
    dirty_[bj] = dirty_[dirtyCount_ - 1];
    dirtyArea_[bj] = dirtyArea_[dirtyCount_ - 1];
    --dirtyCount_;
    return true;
}

void DisplayList::PrepareDirty()
{
    while (MergeOnce(false)) {
    }
    // Overlapping pairs become disjoint: of the three horizontal bands of a
    // pair, the middle one joins the upper or the lower, whichever wastes less.
    for (int i = 0; i < dirtyCount_; ++i) {
        for (int j = i + 1; j < dirtyCount_; ++j) {
            MovieRect a = dirty_[i], b = dirty_[j];
            bool overlap = a.xmin < b.xmax && b.xmin < a.xmax && a.ymin < b.ymax && b.ymin < a.ymax;
            if (!overlap) continue;
            if (a.ymin > b.ymin) std::swap(a, b);   // a starts higher
            int32_t midTop = b.ymin, midBottom = std::min(a.ymax, b.ymax);
            // Bands: upper [a.ymin, b.ymin) of a; middle [b.ymin, midBottom) of
            // both; lower [midBottom, max) of whichever reaches further down.
            MovieRect upper{a.xmin, a.xmax, a.ymin, midTop};
            MovieRect middle{std::min(a.xmin, b.xmin), std::max(a.xmax, b.xmax), midTop, midBottom};
            const MovieRect& low = a.ymax > b.ymax ? a : b;
            MovieRect lower{low.xmin, low.xmax, midBottom, std::max(a.ymax, b.ymax)};
            MovieRect up1 = RectUnion(upper.ymin < upper.ymax ? upper : middle, middle);
            int64_t wasteUp = Area(up1) - Area(upper) - Area(middle);
            MovieRect lo1 = RectUnion(middle, lower.ymin < lower.ymax ? lower : middle);
            int64_t wasteLow = Area(lo1) - Area(lower) - Area(middle);
            MovieRect r1, r2;
            if (wasteUp <= wasteLow) {
                r1 = up1;
                r2 = lower;
            } else {
                r1 = upper;
                r2 = lo1;
            }
            auto usable = [](const MovieRect& r) { return !RectIsEmpty(r) && r.ymin < r.ymax && r.xmin < r.xmax; };
            if (usable(r1) && usable(r2)) {
                dirty_[i] = r1;
                dirty_[j] = r2;
            } else {
                dirty_[i] = usable(r1) ? r1 : r2;
                dirty_[j] = dirty_[dirtyCount_ - 1];
                --dirtyCount_;
            }
            dirtyArea_[i] = Area(dirty_[i]);
            if (j < dirtyCount_) dirtyArea_[j] = Area(dirty_[j]);
            i = -1;   // start over: the new pieces may meet others
            break;
        }
    }
}

void DisplayList::ClearDirty()
{
    dirtyCount_ = 0;
    RectSetEmpty(dirtyUnion_);
}

// ---- Update pass ------------------------------------------------------------

MovieRect DisplayList::ComputeBounds(const Instance& inst, const MovieMatrix& m)
{
    MovieRect r;
    if (!inst.character) return r;
    if (inst.character->kind == kCharMorphShape)
        return MatrixMapRect(m, RectInterpolate(inst.character->bounds, inst.character->endBounds, inst.ratio));
    if (RectIsEmpty(inst.character->bounds)) return r;
    return MatrixMapRect(m, inst.character->bounds);
}

void DisplayList::UpdateWalk(Instance* inst, const MovieMatrix& parentMatrix, bool changed)
{
    MovieMatrix m;
    MatrixConcatRound(inst->matrix, parentMatrix, m);
    changed = changed || inst->needsUpdate;
    if (changed) {
        InvalidateBounds(inst);
        inst->deviceBounds = ComputeBounds(*inst, m);
        if (!RectIsEmpty(inst->deviceBounds)) {
            Invalidate(inst->deviceBounds);
            inst->boundsRegistered = true;
        }
        inst->needsUpdate = false;
    }
    for (Instance* c = inst->children; c; c = c->next) UpdateWalk(c, m, changed);
}

void DisplayList::UpdatePass()
{
    if (!updatePending_) return;
    updatePending_ = false;
    bool changed = root_.needsUpdate;
    root_.needsUpdate = false;
    for (Instance* c = root_.children; c; c = c->next) UpdateWalk(c, stageMatrix_, changed);
}

// ---- Timelines ---------------------------------------------------------------

void DisplayList::RegisterContext(Timeline* t)
{
    t->registrySlot = contexts_.size();
    contexts_.push_back(t);
    live_.insert(t);
}

void DisplayList::UnregisterContext(Timeline* t)
{
    actions_.Cancel(t);
    live_.erase(t);
    // The slot is found directly: a frame that removes thousands of sprites
    // must not search the registry for each.
    if (t->registrySlot < contexts_.size() && contexts_[t->registrySlot] == t) contexts_[t->registrySlot] = nullptr;
    t->registrySlot = SIZE_MAX;
}

size_t DisplayList::ContextCount() const
{
    return size_t(std::count_if(contexts_.begin(), contexts_.end(), [](Timeline* t) { return t != nullptr; }));
}

void DisplayList::StepTimelines()
{
    // Timelines registered during the walk start on their own first frame
    // and wait for the next tick; ones that go away leave a null behind.
    size_t n = contexts_.size();
    for (size_t i = 0; i < n && i < contexts_.size(); ++i)
        if (Timeline* t = contexts_[i]) t->Step();
    contexts_.erase(std::remove(contexts_.begin(), contexts_.end(), nullptr), contexts_.end());
    for (size_t i = 0; i < contexts_.size(); ++i) contexts_[i]->registrySlot = i;
}

}  // namespace movie

namespace movie {

Instance* DisplayList::CloneSprite(Instance* source, uint16_t depth, const char* name)
{
    if (!source || !source->parent || source->Kind() != kCharSprite) return nullptr;
    Placement p;
    p.character = source->character;
    p.depth = depth;
    p.ratio = source->ratio;
    p.clipDepth = source->clipDepth;
    p.matrix = source->matrix;
    p.cxform = source->cxform;
    p.name = name;
    p.flags = kPlaceCharacter | kPlaceMatrix | kPlaceCxform | kPlaceRatio | (name ? kPlaceName : 0) |
              (source->clipDepth ? kPlaceClipDepth : 0);
    return PlaceObject(source->parent, p);
}

MovieRect DisplayList::SubtreeBounds(Instance* inst, const MovieMatrix& m)
{
    MovieRect r = ComputeBounds(*inst, m);
    for (Instance* c = inst->children; c; c = c->next) {
        MovieMatrix cm;
        MatrixConcatRound(c->matrix, m, cm);
        r = RectUnion(r, SubtreeBounds(c, cm));
    }
    return r;
}

MovieRect DisplayList::FocusBounds(Instance* inst, bool stageTwips)
{
    MovieRect r;
    if (!inst || (inst->Kind() != kCharButton && inst->Kind() != kCharEditText)) return r;
    MovieMatrix m = inst->matrix;
    for (Instance* p = inst->parent; p && p != &root_; p = p->parent) {
        MovieMatrix up;
        MatrixConcatRound(m, p->matrix, up);
        m = up;
    }
    MovieMatrix stage = m;
    if (!stageTwips) MatrixConcatRound(m, stageMatrix_, stage);
    if (inst->Kind() == kCharEditText) return MatrixMapRect(stage, inst->character->bounds);
    // A button: the bounds of its up-state records' characters.
    Character* ch = inst->character;
    Timeline* t = inst->context;
    if (!t || !t->RootTimeline()) return r;
    const CharacterDictionary& dict = t->RootTimeline()->Dictionary();
    StreamCursor c = ch->Cursor();
    bool second = ch->tagCode == kTagDefineButton2;
    if (second) c.UI16();
    for (int n = 0; n < 256; ++n) {
        int flags = c.UI8();
        if (flags == 0 || c.Overrun()) break;
        uint16_t id = c.UI16();
        c.UI16();
        MovieMatrix rm = ReadMatrix(c);
        if (second) ReadColorTransform(c, true);
        if (c.Overrun()) break;
        const Character* rc = dict.Find(id);
        if (!(flags & 0x01) || !rc || RectIsEmpty(rc->bounds)) continue;
        MovieMatrix full;
        MatrixConcatRound(rm, stage, full);
        r = RectUnion(r, MatrixMapRect(full, rc->bounds));
    }
    return r;
}

}  // namespace movie
