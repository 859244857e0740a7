// Drawing the display list: every instance that meets a dirty rectangle
// has its outline walked into edge records and fill records, which the
// rasteriser paints in one pass per rectangle.
//
// Fill records live for one rasteriser frame, so edges (which point at
// them) are built for each rectangle drawn and freed after it.  Measured on
// the benchmark's frame of 400 curved blobs, walking outlines and building
// and freeing edges is under 5% of a frame; painting is the rest.
#include <algorithm>
#include <vector>

#include "movieplayer/character/bitmap_decode.h"
#include "movieplayer/character/character.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/render/edit_draw.h"
#include "movieplayer/render/outline.h"
#include "movieplayer/stroke.h"

namespace movie {

namespace {

// Style space (gradient square, bitmap pixels, in twips through the style's
// matrix) to buffer pixels, translation as Fixed pixels, as fill set-up wants
// it.  With anti-aliasing the instance matrix maps to quarter pixels, hence
// the extra factor 1/4.
MovieMatrix ToPixels(const MovieMatrix& style, const MovieMatrix& m, bool aa)
{
    auto mul = [](int64_t a, int64_t b) { return a * b / 65536; };
    int shift = aa ? 2 : 0;
    MovieMatrix r;
    r.a = SaturateToInt32((mul(style.a, m.a) + mul(style.b, m.c)) >> shift);
    r.b = SaturateToInt32((mul(style.a, m.b) + mul(style.b, m.d)) >> shift);
    r.c = SaturateToInt32((mul(style.c, m.a) + mul(style.d, m.c)) >> shift);
    r.d = SaturateToInt32((mul(style.c, m.b) + mul(style.d, m.d)) >> shift);
    r.tx = SaturateToInt32((int64_t(style.tx) * m.a + int64_t(style.ty) * m.c + (int64_t(m.tx) << 16)) >> shift);
    r.ty = SaturateToInt32((int64_t(style.tx) * m.b + int64_t(style.ty) * m.d + (int64_t(m.ty) << 16)) >> shift);
    return r;
}

// Builds the edges and fills of one character.
class DrawSink : public OutlineSink {
public:
    DrawSink(Rasteriser& r, EdgeSink& edges, const MovieMatrix& m, const ColorTransform& cx, bool aa,
             FillRecord* clipFill, const CharacterDictionary& dict, const Timeline* root)
        : r_(r), edges_(edges), m_(m), cx_(cx), aa_(aa), clip_(clipFill), dict_(dict), root_(root),
          stroke_(edges, aa)
    {
    }

    FillRecord* Fills() const { return head_; }

    void Styles(const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines, int) override
    {
        fills_.clear();
        lines_.clear();
        for (const FillStyle& f : fills) fills_.push_back(clip_ ? clip_ : MakeFill(f));
        for (const LineStyle& l : lines)
            lines_.push_back(clip_ ? nullptr : Keep(r_.NewSolidFill(ColorTransformApplyRgba(cx_, l.colour))));
    }

    void TextColour(uint32_t rgba) override
    {
        text_ = clip_ ? clip_ : Keep(r_.NewSolidFill(ColorTransformApplyRgba(cx_, rgba)));
        textMode_ = true;
    }

    void FillEdge(const Curve& c, int a, int b, int rule) override
    {
        FillRecord* fa = Lookup(a);
        FillRecord* fb = Lookup(b);
        if (!fa) {
            fa = fb;
            fb = nullptr;
        }
        if (!fa) return;
        if (rule == kRuleTwoFillsParity && !fb) rule = kRuleOneFillParity;
        AddFillEdge(c, fa, fb, rule, edges_);
    }

    void BeginStroke(int line, int32_t width) override
    {
        FillRecord* f = line > 0 && size_t(line) <= lines_.size() ? lines_[size_t(line) - 1] : nullptr;
        stroking_ = f != nullptr;
        if (stroking_) stroke_.Begin(width, f);
    }
    void StrokeSegment(const Curve& c) override
    {
        if (stroking_) stroke_.AddSegment(c);
    }
    void EndStroke() override
    {
        if (stroking_) stroke_.End();
        stroking_ = false;
    }

private:
    FillRecord* Keep(FillRecord* f)
    {
        if (!f || f == clip_) return f;
        f->next = nullptr;
        if (tail_) tail_->next = f;
        else head_ = f;
        tail_ = f;
        return f;
    }

    FillRecord* Lookup(int i) const
    {
        if (i <= 0) return nullptr;
        if (textMode_) return i == 1 ? text_ : nullptr;
        return size_t(i) <= fills_.size() ? fills_[size_t(i) - 1] : nullptr;
    }

    FillRecord* MakeFill(const FillStyle& s)
    {
        if (s.IsGradient()) {
            GradientStop stops[kMaxGradientStops];
            for (int i = 0; i < s.stopCount; ++i)
                stops[i] = GradientStop{s.stops[i].ratio, ColorTransformApplyRgba(cx_, s.stops[i].colour)};
            return Keep(r_.NewGradientFill(s.type, stops, s.stopCount, ToPixels(s.matrix, m_, aa_)));
        }
        if (s.IsBitmap()) {
            Character* c = dict_.Find(s.bitmapId);
            std::shared_ptr<DecodedBitmap> bm = c ? Timeline::Bitmap(c, root_) : nullptr;
            BitmapRecord* rec = bm ? bm->Record() : nullptr;
            // A bitmap that is missing or cannot be decoded leaves no fill.
            if (!rec) return nullptr;
            bitmaps_.push_back(bm);
            return Keep(r_.NewBitmapFill(rec, s.type, ToPixels(s.matrix, m_, aa_), cx_.flags ? &cx_ : nullptr));
        }
        return Keep(r_.NewSolidFill(ColorTransformApplyRgba(cx_, s.colour)));
    }

    Rasteriser& r_;
    EdgeSink& edges_;
    MovieMatrix m_;
    ColorTransform cx_;
    bool aa_;
    FillRecord* clip_;
    const CharacterDictionary& dict_;
    const Timeline* root_;
    StrokeBuilder stroke_;
    bool stroking_ = false;
    std::vector<FillRecord*> fills_;
    std::vector<FillRecord*> lines_;
    FillRecord* text_ = nullptr;
    bool textMode_ = false;
    FillRecord* head_ = nullptr;
    FillRecord* tail_ = nullptr;
    // Bitmaps stay alive while the frame that samples them is painted.
    std::vector<std::shared_ptr<DecodedBitmap>> bitmaps_;

public:
    std::vector<std::shared_ptr<DecodedBitmap>>& Bitmaps() { return bitmaps_; }
};

struct Frame {
    Rasteriser& r;
    RecordPool<EdgeRecord>& pool;
    MovieRect clip;   // buffer units
    bool aa;
    std::vector<EdgeRecord*> lists;   // freed after painting
    std::vector<std::shared_ptr<DecodedBitmap>> bitmaps;
};

bool Guard(const MovieRect& b)
{
    return !RectIsEmpty(b) && (b.xmin < -32000 || b.ymin < -32000 || b.xmax > 32000 || b.ymax > 32000);
}

// Adds the edges of one instance's own character.  With clipFill every fill
// becomes that clip fill and lines are left out.
FillRecord* AddCharacter(Frame& f, Instance* inst, const MovieMatrix& m, const ColorTransform& cx,
                         FillRecord* clipLink, FillRecord* clipFill)
{
    if (!inst->character || RectIsEmpty(inst->deviceBounds) || !RectTestIntersect(inst->deviceBounds, f.clip))
        return nullptr;
    Timeline* ctx = inst->context;
    if (!ctx || !ctx->RootTimeline()) return nullptr;
    const Timeline* root = ctx->RootTimeline();
    EdgeSink edges;
    edges.pool = &f.pool;
    edges.guard = Guard(inst->deviceBounds);
    edges.cull = f.r.EdgeClip();
    DrawSink sink(f.r, edges, m, cx, f.aa, clipFill, const_cast<Timeline*>(root)->Dictionary(), root);
    if (inst->editText) {
        WalkEditText(*inst->editText, inst->display && inst->display->focusField == inst, m, sink);
    } else if (!WalkCharacter(*inst->character, const_cast<Timeline*>(root)->Dictionary(), m, inst->ratio, sink)) {
        return nullptr;
    }
    inst->boundsRegistered = true;
    for (auto& b : sink.Bitmaps()) f.bitmaps.push_back(b);
    if (!edges.head) return nullptr;
    f.lists.push_back(edges.head);
    if (clipFill) return clipFill;
    if (sink.Fills()) f.r.AddEdges(edges.head, sink.Fills(), clipLink);
    return nullptr;
}

void DrawChildren(Frame& f, Instance* parent, const MovieMatrix& pm, const ColorTransform& pcx, FillRecord* clipLink);

// A clip layer: the outline of the instance and of everything under it
// becomes one clip fill.  Returns null when nothing of it lies in the clip.
void AddClipSubtree(Frame& f, Instance* inst, const MovieMatrix& pm, FillRecord* clipFill, bool* any)
{
    if (!inst->visible) return;
    MovieMatrix m;
    MatrixConcatRound(inst->matrix, pm, m);
    ColorTransform none;
    ColorTransformInit(none);
    if (AddCharacter(f, inst, m, none, nullptr, clipFill)) *any = true;
    for (Instance* c = inst->children; c; c = c->next) AddClipSubtree(f, c, m, clipFill, any);
}

void DrawInstance(Frame& f, Instance* inst, const MovieMatrix& pm, const ColorTransform& pcx, FillRecord* clipLink)
{
    MovieMatrix m;
    MatrixConcatRound(inst->matrix, pm, m);
    ColorTransform cx = pcx;
    ColorTransformConcat(cx, inst->cxform);
    AddCharacter(f, inst, m, cx, clipLink, nullptr);
    DrawChildren(f, inst, m, cx, clipLink);
}

void DrawChildren(Frame& f, Instance* parent, const MovieMatrix& pm, const ColorTransform& pcx, FillRecord* clipLink)
{
    for (Instance* c = parent->children; c;) {
        if (!c->visible) {
            c = c->next;
            continue;
        }
        if (!c->clipDepth) {
            DrawInstance(f, c, pm, pcx, clipLink);
            c = c->next;
            continue;
        }
        uint16_t clipDepth = c->clipDepth;
        FillRecord* clipFill = f.r.NewClipFill();
        bool any = false;
        if (clipFill) {
            // Edges of the whole clip subtree gather under one clip fill,
            // added once as its own object.
            size_t before = f.lists.size();
            AddClipSubtree(f, c, pm, clipFill, &any);
            if (any) {
                // Chain the edge lists of the subtree into one.
                EdgeRecord* head = nullptr;
                for (size_t i = f.lists.size(); i-- > before;) {
                    EdgeRecord* list = f.lists[i];
                    EdgeRecord* last = list;
                    while (last->next) last = last->next;
                    last->next = head;
                    head = list;
                }
                f.lists.resize(before);
                f.lists.push_back(head);
                clipFill->next = nullptr;
                f.r.AddEdges(head, clipFill, clipLink ? clipLink : ClipChainEnd());
            }
        }
        // The layers it clips: nothing of them shows where the clip shape
        // does not reach, also when none of it lies in this rectangle.
        Instance* s = c->next;
        for (; s && s->depth <= clipDepth; s = s->next)
            if (any && s->visible) DrawInstance(f, s, pm, pcx, clipFill);
        c = s;
    }
}

}  // namespace

void DisplayList::AttachBuffer(CBitBuffer* buffer)
{
    buffer_ = buffer;
    if (buffer && buffer->HasBits()) SetStageSize(buffer->Bitmap()->width, buffer->Bitmap()->height);
    else SetStageSize(0, 0);
    InvalidateStage();
}

void DisplayList::Draw()
{
    UpdatePass();
    PrepareDirty();
    RectSetEmpty(blitRect_);
    for (int i = 0; i < dirtyCount_; ++i) {
        MovieRect r = dirty_[i];
        if (antialias_) {
            r.xmin >>= 2;
            r.ymin >>= 2;
            r.xmax = (r.xmax + 3) >> 2;
            r.ymax = (r.ymax + 3) >> 2;
        }
        blitRect_ = RectUnion(blitRect_, r);
        DrawRect(r);
    }
    ClearDirty();
}

void DisplayList::DrawRect(const MovieRect& pixels)
{
    if (!buffer_ || !buffer_->HasBits() || RectIsEmpty(pixels)) return;
    PixelTarget target = buffer_->Target();
    raster_.ditherMode = antialias_ ? 2 : 1;
    raster_.smoothBitmaps = antialias_;
    raster_.Attach(target, pixels.xmin, pixels.ymin, pixels.xmax + 1, pixels.ymax + 1, antialias_);
    raster_.BeginFrame();
    raster_.backgroundPresent = true;
    if (background_ != 0) raster_.FillBackground(int64_t(background_ | 0xFF000000u));

    Frame f{raster_, edgePool_, pixels, antialias_, {}, {}};
    if (antialias_) RectShift(f.clip, 2);
    ColorTransform cx;
    ColorTransformInit(cx);
    DrawChildren(f, &root_, stageMatrix_, cx, nullptr);

    // The focus frame: four opaque yellow bars along the inside.
    std::vector<EdgeRecord*> focusLists;
    if (!RectIsEmpty(focusRect_)) {
        MovieRect fr = focusRect_;
        int w = 3;
        if (antialias_) {
            RectShift(fr, 2);
            w = 12;
        }
        FillRecord* yellow = raster_.NewSolidFill(PackRgba(255, 255, 0, 255));
        if (yellow) {
            EdgeSink e;
            e.pool = &edgePool_;
            const MovieRect bars[4] = {{fr.xmin, fr.xmax, fr.ymin, fr.ymin + w},
                                       {fr.xmin, fr.xmax, fr.ymax - w, fr.ymax},
                                       {fr.xmin, fr.xmin + w, fr.ymin + w, fr.ymax - w},
                                       {fr.xmax - w, fr.xmax, fr.ymin + w, fr.ymax - w}};
            for (const MovieRect& b : bars) {
                AddFillEdge(MakeLine({b.xmin, b.ymin}, {b.xmin, b.ymax}), yellow, nullptr, kRuleOneFillParity, e);
                AddFillEdge(MakeLine({b.xmax, b.ymin}, {b.xmax, b.ymax}), yellow, nullptr, kRuleOneFillParity, e);
            }
            yellow->next = nullptr;
            if (e.head) {
                raster_.AddEdges(e.head, yellow, nullptr);
                f.lists.push_back(e.head);
            }
        }
    }

    if (paintHook_) paintHook_(raster_);
    raster_.Paint();
    raster_.EndFrame();
    for (EdgeRecord* head : f.lists) {
        EdgeSink s;
        s.pool = &edgePool_;
        s.head = head;
        FreeEdgeList(s);
    }
}

void DisplayList::Compact()
{
    instances_.Compact();
    edgePool_.Compact();
}

}  // namespace movie
