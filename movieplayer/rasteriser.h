// Scan-line rasteriser: fills the edge records of every object of a frame in
// one pass.
//
// Each fill keeps an inside state per scan line (parity, or a winding count
// for rule 2); the fills that are inside form a stack ordered by depth key
// (object sequence << 16 | fill index), and a span is painted only where the
// visible top of that stack changes. Clip layers are fills of kind 3 that
// are never painted but gate the fills linked to them. With anti-aliasing
// all coordinates arrive ×4: four sub-lines are gathered into coverage runs
// and resolved into one pixel row, horizontal coverage in quarter pixels.
// Colours are premultiplied everywhere.
//
// Sampling: an edge covers scan lines y0 <= y < y1, sampled at the integer
// line; a span covers pixels from the rounded x of its left edge up to, not
// including, the rounded x of its right edge. So a rectangle with integer
// corners covers exactly its pixels.
#pragma once

#include "movieplayer/bitmaprecord.h"
#include "movieplayer/chunkallocator.h"
#include "movieplayer/colortransform.h"
#include "movieplayer/curve.h"
#include "movieplayer/pixelformats.h"

#include <vector>

namespace movie {

class Rasteriser;

enum FillKind : uint8_t {
    kFillSolid = 0,
    kFillBitmap = 1,
    kFillGradient = 2,
    kFillClip = 3,
};

enum FillType : uint8_t {
    kTypeLinearGradient = 0x10,
    kTypeRadialGradient = 0x12,
    kTypeBitmapRepeat = 0x40,   // bit 0: clipped rather than repeated
    kTypeBitmapClipped = 0x41,  // bit 1: never smoothed
};

// The end of a clip chain.
inline FillRecord* ClipChainEnd() { return reinterpret_cast<FillRecord*>(uintptr_t{1}); }

struct GradientStop {
    uint8_t ratio = 0;
    uint32_t rgba = 0;  // red in the low byte, straight (not premultiplied)
};

struct GradientRamp {
    ColorRecord c[257];
    uint32_t packed[257];  // the same as 32-bit screen pixels
};

// Four 256-entry channel tables of a colour transform (red, green, blue,
// alpha) and whether pixels must be un-premultiplied first.
struct ChannelTables {
    uint8_t red[256], green[256], blue[256], alpha[256];
    bool unpremultiply = false;
};

struct FillRecord {
    Rasteriser* owner = nullptr;
    FillRecord* next = nullptr;  // next fill of the character
    uint32_t key = 0;
    FillRecord* clipLink = nullptr;
    bool transparent = false;
    uint8_t kind = kFillSolid;
    bool setUpDone = false;
    bool onStack = false;
    int winding = 0;
    uint8_t highlight = 0;
    uint8_t type = 0;
    ColorRecord color = 0;  // solid colour, premultiplied
    SolidPattern pattern;
    bool plainPainter = false;
    // gradient: pixel to gradient space, input scaled by 256
    Fixed ga = 0, gb = 0, gc = 0, gd = 0;
    int64_t gtx = 0, gty = 0;
    int stopCount = 0;
    uint8_t ratios[8] = {};
    uint32_t stopColors[8] = {};
    GradientRamp* ramp = nullptr;
    // bitmap: pixel to bitmap space, 16.16
    BitmapRecord* bitmap = nullptr;
    Fixed ia = 0, ib = 0, ic = 0, id = 0;
    int64_t itx = 0, ity = 0;
    ColorTransform cx;
    ChannelTables* tables = nullptr;
    bool smooth = false;
    // per-pixel colour cache (anti-aliased runs)
    uint32_t cacheKey = 0x80008000u;
    ColorRecord cacheColor = 0;
};

// One bitmap pixel, coordinates clamped into the bitmap (premultiplied).
ColorRecord SampleClamped(const BitmapRecord& b, int x, int y);
// Bilinear sample at (u, v) in 16.16 bitmap pixels on the 8 x 8 weight grid;
// outside neighbours fold onto the edge pixels, negative coordinates count as 0.
ColorRecord SampleSmoothed(const BitmapRecord& b, int64_t u, int64_t v);

class Rasteriser {
public:
    Rasteriser();
    ~Rasteriser();
    Rasteriser(const Rasteriser&) = delete;
    Rasteriser& operator=(const Rasteriser&) = delete;

    // Binds the target and sets the clip rectangle (pixels, half-open:
    // left/top inside, right/bottom outside), intersected with the target.
    void Attach(const PixelTarget& target, int left, int top, int right, int bottom, bool antiAliased);
    void BeginFrame();
    // Buckets the edges and keys the fills of one object; fills get the clip
    // link (null, a clip fill, or ClipChainEnd() for a clip layer's own fill).
    void AddEdges(EdgeRecord* edges, FillRecord* fills, FillRecord* clipLink);
    // Paints the clip rectangle with a solid colour (straight RGBA) as one
    // object; a negative value paints nothing.
    void FillBackground(int64_t rgba);
    void Paint();
    // Frees the fills made since BeginFrame and compacts the pools.
    void EndFrame();

    // Fills (owned by the rasteriser until EndFrame).
    FillRecord* NewSolidFill(uint32_t rgba);
    // stops: up to 8 are used; the matrix maps gradient space (the square
    // -16384..16384) to pixels, tx and ty in pixels as Fixed.
    FillRecord* NewGradientFill(uint8_t type, const GradientStop* stops, int count, const MovieMatrix& toPixels);
    // The matrix maps bitmap pixels to screen pixels, tx and ty as Fixed.
    FillRecord* NewBitmapFill(BitmapRecord* bitmap, uint8_t type, const MovieMatrix& toPixels, const ColorTransform* cx);
    FillRecord* NewClipFill();

    // The colour of a fill at a pixel (premultiplied).
    ColorRecord ColorAt(FillRecord* f, int x, int y);
    // Colours of a fill over pixels x..x+n-1 of row y.
    void FillColors(FillRecord* f, int y, int x, int n, ColorRecord* out);

    // Settings
    bool backgroundPresent = false;
    int ditherMode = 1;
    int solidColorMode = 1;
    bool smoothBitmaps = true;
    int xPatternPhase = 0;
    int yPatternPhase = 0;
    // The fast paths that repeat or copy work already done (repeated
    // anti-aliasing sub-lines, cached gradient rows, direct bitmap spans).
    // Off, the rasteriser computes every span from scratch; the output is
    // the same bit for bit, which the tests check.
    bool fastPaths = true;

    bool AntiAliased() const { return aa_; }
    const PixelTarget& Target() const { return target_; }
    // The clip rectangle in pixels.
    int ClipLeft() const { return pixL_; }
    int ClipTop() const { return pixT_; }
    int ClipRight() const { return pixR_; }
    int ClipBottom() const { return pixB_; }
    // The clip rectangle in edge units (×4 with anti-aliasing), for
    // EdgeSink::cull.
    MovieRect EdgeClip() const { return {clipL_, clipR_, clipT_, clipB_}; }

    // What has been added this frame, for the reference rasteriser.
    struct Object {
        EdgeRecord* edges;
        FillRecord* fills;
    };
    const std::vector<Object>& Objects() const { return objects_; }
    void ReadBackground(int y, int x0, int x1, ColorRecord* out) const;
    // Applies a fill's highlight mode to colour records of row y from x.
    static void ApplyHighlight(int mode, int y, int x, ColorRecord* c, int n);
    void SetUpFill(FillRecord* f);

    struct ActiveEdge;
    struct Run;

private:
    FillRecord* NewFill();
    void SetUpSolid(FillRecord* f);
    void SetUpGradient(FillRecord* f);
    void SetUpBitmap(FillRecord* f);
    void GradientColors(FillRecord* f, int y, int x, int n, ColorRecord* out);
    void GradientSpan32(FillRecord* f, int y, int x0, int x1);
    void GradientSpan32Fast(FillRecord* f, int y, int x0, int x1);
    bool BitmapSpan32(FillRecord* f, int y, int x0, int x1);
    bool PaintConstant(FillRecord** list, int n, int y, int x0, int x1);
    void BitmapColors(FillRecord* f, int y, int x, int n, ColorRecord* out);

    ActiveEdge* Activate(EdgeRecord* e, int y);
    void StepEdge(ActiveEdge* a, int y);
    void InsertActive(ActiveEdge* a);
    void SortActive();

    // Fill rules and the stack.
    void ToggleFill(FillRecord* f, int x);
    void WindFill(FillRecord* f, int dir, int x);
    bool Visible(size_t place) const;
    size_t InsertPlace(const FillRecord* f) const;
    void Change(size_t place, int x);
    int Collect(FillRecord** out, int max) const;

    void PaintSpan(int x0, int x1);
    void PaintList(FillRecord** list, int n, int y, int x0, int x1);
    void CompositeList(FillRecord** list, int n, int y, int x, int count, ColorRecord* buf);

    // Anti-aliasing
    void StartRuns();
    bool StartLine(int y, bool same);
    bool VerticalThroughRow(int y) const;
    void RepeatLine(int s);
    void RecordSpan(int x0, int x1);
    void ResolveRow(int py);
    ColorRecord RunSum(Run* r, int px, int py);
    void AddPartial(int px, ColorRecord sumTimesQuarters, int py);
    void FlushPartial(int py);
    void WriteBlended(int py, int x, int n, ColorRecord* c, bool direct);

    PixelTarget target_;
    PixelWriter writer_ = nullptr;
    PixelReader reader_ = nullptr;
    bool aa_ = false;
    int clipL_ = 0, clipT_ = 0, clipR_ = 0, clipB_ = 0;  // in units (sub-pixels with anti-aliasing)
    int pixL_ = 0, pixT_ = 0, pixR_ = 0, pixB_ = 0;      // in pixels

    std::vector<EdgeRecord*> buckets_;
    ActiveEdge* active_ = nullptr;
    ActiveEdge* lastInsert_ = nullptr;
    std::vector<FillRecord*> stack_;  // top (highest key) first
    std::vector<Object> objects_;
    std::vector<FillRecord*> madeFills_;
    uint32_t sequence_ = 0;
    int y_ = 0;
    int lastX_ = 0;
    bool removed_ = false;  // an edge ended on the previous line

    RecordPool<FillRecord> fills_;
    RecordPool<ActiveEdge> activePool_;
    RecordPool<Run> runs_;
    RecordPool<GradientRamp> ramps_;
    RecordPool<ChannelTables> tables_;
    RecordPool<EdgeRecord> ownEdges_;

    // Rows of linear gradients that do not change down the screen (gc = 0):
    // a span from the same x is the same pixels on every line.
    struct GradientRow {
        const FillRecord* fill = nullptr;
        int x0 = 0, x1 = 0;
        std::vector<uint32_t> pixels;
    };
    GradientRow gradientRows_[4];
    unsigned nextGradientRow_ = 0;
    void ForgetGradientRows();

    Run* runHead_ = nullptr;
    Run* runCursor_ = nullptr;
    // The runs hold one sub-line's recording, repeated on every sub-line
    // since the row's first (pure), and were kept from the previous row
    // (carried).
    bool pure_ = false;
    bool carried_ = false;
    int accPixel_ = -1;
    ColorRecord acc_ = 0;
};

}  // namespace movie
