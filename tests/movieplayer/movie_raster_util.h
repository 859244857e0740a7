// Helpers shared by the rasteriser tests: a 32-bit image, shape building
// and a PNG writer for looking at scenes.
#pragma once

#include "movieplayer/curve.h"
#include "movieplayer/rasteriser.h"
#include "movieplayer/reference_rasteriser.h"
#include "movieplayer/stroke.h"

#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

namespace movietest {

using namespace movie;

struct Image {
    int w, h;
    std::vector<uint32_t> px;  // blue | green << 8 | red << 16 | alpha << 24, top row first
    Image(int w_, int h_, uint32_t fill = 0) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, fill) {}
    PixelTarget Target()
    {
        PixelTarget t;
        t.bits = reinterpret_cast<uint8_t*>(px.data());
        t.rowBytes = w * 4;
        t.width = w;
        t.height = h;
        t.format = 7;
        return t;
    }
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    static int R(uint32_t p) { return (p >> 16) & 255; }
    static int G(uint32_t p) { return (p >> 8) & 255; }
    static int B(uint32_t p) { return p & 255; }
    static int A(uint32_t p) { return p >> 24; }
};

inline uint32_t Argb(int r, int g, int b, int a = 255) { return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24; }
inline uint32_t Rgba(int r, int g, int b, int a = 255) { return PackRgba(r, g, b, a); }

// Edges of one object plus their pool.
struct Shape {
    RecordPool<EdgeRecord> pool;
    EdgeSink sink;
    Shape()
    {
        pool.Init(600, false, 0);
        sink.pool = &pool;
    }
    ~Shape() { FreeEdgeList(sink); }
    void Rect(int x0, int y0, int x1, int y1, FillRecord* f, int rule = kRuleOneFillParity)
    {
        AddFillEdge(MakeLine({x0, y0}, {x0, y1}), f, nullptr, rule, sink);
        AddFillEdge(MakeLine({x1, y1}, {x1, y0}), f, nullptr, rule, sink);
    }
    void Poly(const std::vector<MoviePoint>& pts, FillRecord* f, int rule = kRuleOneFillParity)
    {
        for (size_t i = 0; i < pts.size(); ++i) AddFillEdge(MakeLine(pts[i], pts[(i + 1) % pts.size()]), f, nullptr, rule, sink);
    }
    void Add(const Curve& c, FillRecord* f, int rule = kRuleOneFillParity) { AddFillEdge(c, f, nullptr, rule, sink); }
    EdgeRecord* Edges() const { return sink.head; }
};

inline void WritePng(const std::string& path, const Image& img)
{
    auto crc = [](const std::string& s) { return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size()))); };
    auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    auto chunk = [&](const std::string& type, const std::string& data) {
        return be32(static_cast<uint32_t>(data.size())) + type + data + be32(crc(type + data));
    };
    std::string raw;
    for (int y = 0; y < img.h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < img.w; ++x) {
            const uint32_t p = img.At(x, y);
            raw.push_back(char(Image::R(p)));
            raw.push_back(char(Image::G(p)));
            raw.push_back(char(Image::B(p)));
            raw.push_back(char(Image::A(p)));
        }
    }
    uLongf zlen = compressBound(static_cast<uLong>(raw.size()));
    std::string z(zlen, '\0');
    compress(reinterpret_cast<Bytef*>(z.data()), &zlen, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
    z.resize(zlen);
    const std::string ihdr = be32(static_cast<uint32_t>(img.w)) + be32(static_cast<uint32_t>(img.h)) + std::string{8, 6, 0, 0, 0};
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", z) + chunk("IEND", "");
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
}

}  // namespace movietest
