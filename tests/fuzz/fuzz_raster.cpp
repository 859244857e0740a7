// fuzz-links: wb_movieplayer
//
// Arbitrary outlines, strokes and fills through the edge builder and the
// rasteriser: any coordinates (guard mode included), fill rules, clip
// chains, gradients with any stops and bitmaps with any matrix, with and
// without anti-aliasing, on 32-, 16- and 8-bit targets.
#include "movieplayer/bitbuffer.h"
#include "movieplayer/curve.h"
#include "movieplayer/rasteriser.h"
#include "movieplayer/stroke.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace movie;

namespace {

struct Input {
    const uint8_t* p;
    size_t n;
    size_t i = 0;
    uint8_t U8() { return i < n ? p[i++] : 0; }
    int16_t S16()
    {
        const int lo = U8(), hi = U8();
        return static_cast<int16_t>(lo | hi << 8);
    }
    uint32_t U32() { return uint32_t(U8()) | uint32_t(U8()) << 8 | uint32_t(U8()) << 16 | uint32_t(U8()) << 24; }
    bool More() const { return i < n; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in{data, size};
    const uint8_t mode = in.U8();
    const bool aa = mode & 1;
    const int depth = (mode & 6) == 2 ? 16 : (mode & 6) == 4 ? 8 : 32;
    uint32_t palette[256];
    for (int k = 0; k < 256; ++k) palette[k] = uint32_t(k) * 0x010101u;
    CBitBuffer buffer;
    if (!buffer.Create(depth, 40, 30, palette, 256)) return 0;
    Rasteriser r;
    r.ditherMode = (mode >> 3) & 3;
    r.solidColorMode = (mode >> 5) % 3;
    r.Attach(buffer.Target(), in.U8() % 8, in.U8() % 8, 40 - in.U8() % 8, 30 - in.U8() % 8, aa);
    r.BeginFrame();
    if (mode & 0x80) r.FillBackground(in.U32());

    BitmapRecord bitmap;
    ColorTable table;
    table.count = 256;
    for (int k = 0; k < 256; ++k) table.entries[k] = 0xFF000000u | palette[k];
    bitmap.Init(in.U8() % 6, 1 + in.U8() % 9, 1 + in.U8() % 9, &table);

    RecordPool<EdgeRecord> pool;
    pool.Init(600, false, 0);
    std::vector<EdgeSink> sinks;
    sinks.reserve(8);
    FillRecord* lastClip = nullptr;
    for (int object = 0; object < 8 && in.More(); ++object) {
        const uint8_t kind = in.U8();
        FillRecord* fill = nullptr;
        switch (kind & 3) {
        case 0: fill = r.NewSolidFill(in.U32()); break;
        case 1: {
            GradientStop stops[12];
            const int count = in.U8() % 13;
            for (int k = 0; k < count; ++k) stops[k] = {in.U8(), in.U32()};
            const MovieMatrix m{in.S16() * 16, in.S16(), in.S16(), in.S16() * 16, in.S16() << 12, in.S16() << 12};
            fill = r.NewGradientFill((kind & 4) ? kTypeRadialGradient : kTypeLinearGradient, stops, count, m);
            break;
        }
        case 2: {
            const MovieMatrix m{in.S16() * 32, in.S16(), in.S16(), in.S16() * 32, in.S16() << 12, in.S16() << 12};
            fill = r.NewBitmapFill(&bitmap, static_cast<uint8_t>(0x40 | ((kind >> 2) & 3)), m, nullptr);
            break;
        }
        default: fill = r.NewClipFill(); break;
        }
        if (!fill) continue;
        fill->highlight = (kind >> 4) & 3;
        sinks.emplace_back();
        EdgeSink& sink = sinks.back();
        sink.pool = &pool;
        sink.guard = kind & 0x40;
        sink.cull = r.EdgeClip();
        const int pieces = in.U8() % 12;
        const int rule = in.U8() % 3;
        if (kind & 0x80) {
            StrokeBuilder stroke(sink, aa);
            stroke.Begin(in.U8(), fill);
            for (int k = 0; k < pieces; ++k) {
                const MoviePoint a{in.S16(), in.S16()}, c{in.S16(), in.S16()}, b{in.S16(), in.S16()};
                stroke.AddSegment((in.U8() & 1) ? MakeLine(a, b) : MakeCurve(a, c, b));
            }
            if (pieces == 0) stroke.AddPoint({in.S16(), in.S16()});
            stroke.End();
        } else {
            for (int k = 0; k < pieces; ++k) {
                const MoviePoint a{in.S16(), in.S16()}, c{in.S16(), in.S16()}, b{in.S16(), in.S16()};
                AddFillEdge((in.U8() & 1) ? MakeLine(a, b) : MakeCurve(a, c, b), fill, nullptr, rule, sink);
            }
        }
        FillRecord* link = fill->kind == kFillClip ? ClipChainEnd() : ((kind & 8) ? lastClip : nullptr);
        r.AddEdges(sink.head, fill, link);
        if (fill->kind == kFillClip) lastClip = fill;
    }
    r.Paint();
    r.EndFrame();
    for (EdgeSink& s : sinks) FreeEdgeList(s);
    return 0;
}
