// Writes movie files for tests, field by field, from the byte layout of the
// format.  It shares no code with the engine's reader, and its own output is
// checked against bytes worked out by hand (moviefile_writer_test.cpp), so a
// misreading of the layout cannot hide in both at once.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace moviefile_test {

using Bytes = std::vector<uint8_t>;

// Bits most significant first; byte fields align to the next whole byte.
class BitWriter {
public:
    void UB(uint32_t value, int nbits)
    {
        for (int i = nbits - 1; i >= 0; --i) {
            cur_ = static_cast<uint8_t>((cur_ << 1) | ((value >> i) & 1));
            if (++used_ == 8) {
                bytes_.push_back(cur_);
                cur_ = 0;
                used_ = 0;
            }
        }
    }
    void SB(int32_t value, int nbits) { UB(static_cast<uint32_t>(value), nbits); }
    void Align()
    {
        if (used_ > 0) UB(0, 8 - used_);
    }
    void UI8(uint32_t v) { Align(); bytes_.push_back(static_cast<uint8_t>(v)); }
    void UI16(uint32_t v) { UI8(v & 0xFF); UI8((v >> 8) & 0xFF); }
    void UI32(uint32_t v) { UI16(v & 0xFFFF); UI16(v >> 16); }
    void Append(const Bytes& b) { Align(); bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void String(const std::string& s) { Align(); for (char ch : s) UI8(uint8_t(ch)); UI8(0); }
    // Colour as red, green, blue (then alpha) bytes.
    void Rgb(uint8_t r, uint8_t g, uint8_t b) { UI8(r); UI8(g); UI8(b); }
    void Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { Rgb(r, g, b); UI8(a); }
    // Colour given as 0xRRGGBBAA.
    void Colour(uint32_t rgba, bool withAlpha)
    {
        Rgb(rgba >> 24, (rgba >> 16) & 0xFF, (rgba >> 8) & 0xFF);
        if (withAlpha) UI8(rgba & 0xFF);
    }
    Bytes Take() { Align(); Bytes out; out.swap(bytes_); return out; }
    size_t Size() const { return bytes_.size(); }

    // Bits a signed field needs to hold every value given (at least 1).
    static int SignedBits(std::initializer_list<int32_t> values)
    {
        int n = 1;
        for (int32_t v : values) {
            int64_t x = v;
            int b = 1;
            while (x < -(int64_t(1) << (b - 1)) || x >= (int64_t(1) << (b - 1))) ++b;
            n = std::max(n, b);
        }
        return n;
    }
    static int UnsignedBits(uint32_t v)
    {
        int b = 0;
        while (b < 32 && (v >> b) != 0) ++b;
        return b;
    }

private:
    Bytes bytes_;
    uint8_t cur_ = 0;
    int used_ = 0;
};

inline void WriteRect(BitWriter& w, int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax)
{
    w.Align();
    int n = BitWriter::SignedBits({xmin, xmax, ymin, ymax});
    w.UB(n, 5);
    w.SB(xmin, n); w.SB(xmax, n); w.SB(ymin, n); w.SB(ymax, n);
    w.Align();
}

struct Matrix {
    int32_t a = 0x10000, b = 0, c = 0, d = 0x10000;   // 16.16
    int32_t tx = 0, ty = 0;                           // twips
    static Matrix Translate(int32_t x, int32_t y) { Matrix m; m.tx = x; m.ty = y; return m; }
    static Matrix Scale(int32_t sx, int32_t sy, int32_t x = 0, int32_t y = 0)
    {
        Matrix m; m.a = sx; m.d = sy; m.tx = x; m.ty = y; return m;
    }
};

// Writes the scale and rotate groups only when they differ from the default.
inline void WriteMatrix(BitWriter& w, const Matrix& m)
{
    w.Align();
    bool scale = m.a != 0x10000 || m.d != 0x10000;
    w.UB(scale, 1);
    if (scale) {
        int n = BitWriter::SignedBits({m.a, m.d});
        w.UB(n, 5); w.SB(m.a, n); w.SB(m.d, n);
    }
    bool rotate = m.b != 0 || m.c != 0;
    w.UB(rotate, 1);
    if (rotate) {
        int n = BitWriter::SignedBits({m.b, m.c});
        w.UB(n, 5); w.SB(m.b, n); w.SB(m.c, n);
    }
    int n = (m.tx == 0 && m.ty == 0) ? 0 : BitWriter::SignedBits({m.tx, m.ty});
    w.UB(n, 5);
    w.SB(m.tx, n); w.SB(m.ty, n);
    w.Align();
}

struct Cxform {
    // red, green, blue, alpha; multipliers 8.8 (256 = 1.0), offsets 0-255 scale
    int32_t mul[4] = {256, 256, 256, 256};
    int32_t add[4] = {0, 0, 0, 0};
};

inline void WriteCxform(BitWriter& w, const Cxform& x, bool withAlpha)
{
    w.Align();
    int channels = withAlpha ? 4 : 3;
    bool hasMul = false, hasAdd = false;
    for (int i = 0; i < channels; ++i) {
        hasMul |= x.mul[i] != 256;
        hasAdd |= x.add[i] != 0;
    }
    int n = 1;
    for (int i = 0; i < channels; ++i) {
        if (hasMul) n = std::max(n, BitWriter::SignedBits({x.mul[i]}));
        if (hasAdd) n = std::max(n, BitWriter::SignedBits({x.add[i]}));
    }
    w.UB(hasAdd, 1);
    w.UB(hasMul, 1);
    w.UB(n, 4);
    if (hasMul) for (int i = 0; i < channels; ++i) w.SB(x.mul[i], n);
    if (hasAdd) for (int i = 0; i < channels; ++i) w.SB(x.add[i], n);
    w.Align();
}

// A tag record: short form for bodies under 63 bytes, else long form.
inline Bytes Tag(int code, const Bytes& body, bool forceLong = false)
{
    BitWriter w;
    if (body.size() < 63 && !forceLong) {
        w.UI16(uint32_t(code) << 6 | uint32_t(body.size()));
    } else {
        w.UI16(uint32_t(code) << 6 | 0x3F);
        w.UI32(uint32_t(body.size()));
    }
    w.Append(body);
    return w.Take();
}


// ---- Shapes ---------------------------------------------------------------

// A style count: one byte, or 0xFF and a UI16 for 255 and more.
inline void WriteStyleCount(BitWriter& w, unsigned n)
{
    if (n < 255) {
        w.UI8(n);
    } else {
        w.UI8(0xFF);
        w.UI16(n);
    }
}

inline void WriteSolidFill(BitWriter& w, uint32_t rgba, bool alpha)
{
    w.UI8(0x00);
    w.Colour(rgba, alpha);
}

struct Stop {
    uint8_t ratio;
    uint32_t rgba;   // 0xRRGGBBAA
};

inline void WriteGradientFill(BitWriter& w, uint8_t type, const Matrix& m, const std::vector<Stop>& stops,
                              bool alpha)
{
    w.UI8(type);
    WriteMatrix(w, m);
    w.UI8(uint32_t(stops.size()));
    for (const Stop& s : stops) {
        w.UI8(s.ratio);
        w.Colour(s.rgba, alpha);
    }
}

inline void WriteBitmapFill(BitWriter& w, uint8_t type, uint16_t id, const Matrix& m)
{
    w.UI8(type);
    w.UI16(id);
    WriteMatrix(w, m);
}

inline void WriteLineStyle(BitWriter& w, uint16_t width, uint32_t rgba, bool alpha)
{
    w.UI16(width);
    w.Colour(rgba, alpha);
}

inline void WriteIndexBits(BitWriter& w, int fillBits, int lineBits)
{
    w.Align();
    w.UB(fillBits, 4);
    w.UB(lineBits, 4);
}

// Style change record.  Negative indices are left out; move is absolute.
struct StyleChange {
    bool move = false;
    int32_t x = 0, y = 0;
    int fill0 = -1, fill1 = -1, line = -1;
    bool newStyles = false;
};

inline void WriteStyleChange(BitWriter& w, const StyleChange& s, int fillBits, int lineBits)
{
    w.UB(0, 1);
    uint32_t flags = (s.move ? 1 : 0) | (s.fill0 >= 0 ? 2 : 0) | (s.fill1 >= 0 ? 4 : 0) | (s.line >= 0 ? 8 : 0) |
                     (s.newStyles ? 16 : 0);
    w.UB(flags, 5);
    if (s.move) {
        int n = BitWriter::SignedBits({s.x, s.y});
        w.UB(n, 5);
        w.SB(s.x, n);
        w.SB(s.y, n);
    }
    if (s.fill0 >= 0) w.UB(s.fill0, fillBits);
    if (s.fill1 >= 0) w.UB(s.fill1, fillBits);
    if (s.line >= 0) w.UB(s.line, lineBits);
}

inline void WriteLine(BitWriter& w, int32_t dx, int32_t dy)
{
    int n = std::max(2, BitWriter::SignedBits({dx, dy}));
    w.UB(1, 1);
    w.UB(1, 1);
    w.UB(n - 2, 4);
    if (dx != 0 && dy != 0) {
        w.UB(1, 1);
        w.SB(dx, n);
        w.SB(dy, n);
    } else if (dx == 0) {
        w.UB(0, 1);
        w.UB(1, 1);
        w.SB(dy, n);
    } else {
        w.UB(0, 1);
        w.UB(0, 1);
        w.SB(dx, n);
    }
}

inline void WriteCurve(BitWriter& w, int32_t cdx, int32_t cdy, int32_t adx, int32_t ady)
{
    int n = std::max(2, BitWriter::SignedBits({cdx, cdy, adx, ady}));
    w.UB(1, 1);
    w.UB(0, 1);
    w.UB(n - 2, 4);
    w.SB(cdx, n);
    w.SB(cdy, n);
    w.SB(adx, n);
    w.SB(ady, n);
}

inline void WriteEndShape(BitWriter& w)
{
    w.UB(0, 6);
    w.Align();
}

// A closed polygon of straight edges through the points (twips), with fill
// index fill1 on its inside and line style line (0 none).
inline void WritePolygon(BitWriter& w, const std::vector<std::pair<int32_t, int32_t>>& pts, int fill1, int line,
                         int fillBits, int lineBits)
{
    StyleChange s;
    s.move = true;
    s.x = pts[0].first;
    s.y = pts[0].second;
    s.fill0 = 0;
    s.fill1 = fill1;
    s.line = line;
    WriteStyleChange(w, s, fillBits, lineBits);
    for (size_t i = 1; i <= pts.size(); ++i) {
        auto a = pts[i - 1], b = pts[i % pts.size()];
        WriteLine(w, b.first - a.first, b.second - a.second);
    }
}

// DefineShape (2), DefineShape2 (22) or DefineShape3 (32, colours with alpha)
// of one filled rectangle in twips.
inline Bytes DefineRectShape(int code, uint16_t id, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t rgba)
{
    bool alpha = code == 32;
    BitWriter w;
    w.UI16(id);
    WriteRect(w, x0, x1, y0, y1);
    WriteStyleCount(w, 1);
    WriteSolidFill(w, rgba, alpha);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 1, 0);
    WritePolygon(w, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, 1, -1, 1, 0);
    WriteEndShape(w);
    return Tag(code, w.Take());
}

// PlaceObject2 with the given parts; negative id/ratio/clip leave them out.
struct Place {
    uint16_t depth = 1;
    int id = -1;
    bool move = false;
    const Matrix* matrix = nullptr;
    const Cxform* cxform = nullptr;
    int ratio = -1;
    const char* name = nullptr;
    int clipDepth = -1;
};

inline Bytes PlaceObject2(const Place& p)
{
    BitWriter w;
    uint32_t flags = (p.move ? 1 : 0) | (p.id >= 0 ? 2 : 0) | (p.matrix ? 4 : 0) | (p.cxform ? 8 : 0) |
                     (p.ratio >= 0 ? 0x10 : 0) | (p.name ? 0x20 : 0) | (p.clipDepth >= 0 ? 0x40 : 0);
    w.UI8(flags);
    w.UI16(p.depth);
    if (p.id >= 0) w.UI16(p.id);
    if (p.matrix) WriteMatrix(w, *p.matrix);
    if (p.cxform) WriteCxform(w, *p.cxform, true);
    if (p.ratio >= 0) w.UI16(p.ratio);
    if (p.name) w.String(p.name);
    if (p.clipDepth >= 0) w.UI16(p.clipDepth);
    return Tag(26, w.Take());
}

inline Bytes RemoveObject2(uint16_t depth)
{
    BitWriter w;
    w.UI16(depth);
    return Tag(28, w.Take());
}


// DefineMorphShape (46): one solid fill morphing between two colours along
// two closed polygons with the same number of corners.
inline Bytes DefineMorphPolygon(uint16_t id, const std::vector<std::pair<int32_t, int32_t>>& from,
                                const std::vector<std::pair<int32_t, int32_t>>& to, uint32_t rgbaFrom,
                                uint32_t rgbaTo)
{
    auto bounds = [](const std::vector<std::pair<int32_t, int32_t>>& pts, BitWriter& w) {
        int32_t x0 = INT32_MAX, x1 = INT32_MIN, y0 = INT32_MAX, y1 = INT32_MIN;
        for (auto [x, y] : pts) {
            x0 = std::min(x0, x); x1 = std::max(x1, x);
            y0 = std::min(y0, y); y1 = std::max(y1, y);
        }
        WriteRect(w, x0, x1, y0, y1);
    };
    BitWriter w;
    w.UI16(id);
    bounds(from, w);
    bounds(to, w);
    BitWriter styles;
    WriteStyleCount(styles, 1);
    styles.UI8(0);
    styles.Colour(rgbaFrom, true);
    styles.Colour(rgbaTo, true);
    WriteStyleCount(styles, 0);
    WriteIndexBits(styles, 1, 0);
    WritePolygon(styles, from, 1, -1, 1, 0);
    WriteEndShape(styles);
    Bytes start = styles.Take();
    BitWriter end;
    WriteIndexBits(end, 0, 0);
    WritePolygon(end, to, 0, -1, 0, 0);
    WriteEndShape(end);
    w.UI32(uint32_t(start.size()));
    w.Append(start);
    w.Append(end.Take());
    return Tag(46, w.Take(), true);
}

// DefineFont2 (48) whose glyphs are closed polygons in the 1024-unit em
// (y grows downwards, the baseline at 0).
inline Bytes DefineFont2(uint16_t id, const std::vector<std::vector<std::pair<int32_t, int32_t>>>& glyphs)
{
    std::vector<Bytes> shapes;
    for (const auto& g : glyphs) {
        BitWriter s;
        WriteIndexBits(s, 1, 0);
        WritePolygon(s, g, 1, -1, 1, 0);
        WriteEndShape(s);
        shapes.push_back(s.Take());
    }
    BitWriter w;
    w.UI16(id);
    w.UI8(0);       // flags: 16-bit offsets
    w.UI8(0);       // language
    w.UI8(4);
    for (char ch : std::string("Test")) w.UI8(uint8_t(ch));
    w.UI16(uint32_t(glyphs.size()));
    uint32_t offset = uint32_t(2 * glyphs.size() + 2);
    for (const Bytes& s : shapes) {
        w.UI16(offset);
        offset += uint32_t(s.size());
    }
    w.UI16(offset);   // code table offset
    for (const Bytes& s : shapes) w.Append(s);
    for (size_t i = 0; i < glyphs.size(); ++i) w.UI8(uint32_t('A' + i));   // 8-bit codes
    return Tag(48, w.Take(), true);
}

struct Glyph {
    uint32_t index;
    int32_t advance;
};

// DefineText (11) or DefineText2 (33): one record of glyphs of one font.
inline Bytes DefineText(int code, uint16_t id, int32_t x0, int32_t x1, int32_t y0, int32_t y1, uint16_t font,
                        uint16_t height, uint32_t rgba, int16_t x, int16_t y, const std::vector<Glyph>& glyphs)
{
    BitWriter w;
    w.UI16(id);
    WriteRect(w, x0, x1, y0, y1);
    WriteMatrix(w, Matrix{});
    w.UI8(4);   // glyph index bits
    w.UI8(12);  // advance bits
    w.UI8(0x80 | 0x08 | 0x04 | 0x01 | 0x02);
    w.UI16(font);
    w.Colour(rgba, code == 33);
    w.UI16(uint16_t(x));
    w.UI16(uint16_t(y));
    w.UI16(height);
    w.UI8(uint32_t(glyphs.size()));
    for (const Glyph& g : glyphs) {
        w.UB(g.index, 4);
        w.SB(g.advance, 12);
    }
    w.Align();
    w.UI8(0);
    return Tag(code, w.Take());
}

// A second-format button: up shows shape 1, over and down show shape 2; one
// condition record per transition code posts an action list whose first
// byte is the code.
inline Bytes DefineButton2(uint16_t id, bool menu)
{
    BitWriter w;
    w.UI16(id);
    w.UI8(menu ? 1 : 0);
    BitWriter records;
    records.UI8(0x01 | 0x08);
    records.UI16(1);
    records.UI16(1);
    WriteMatrix(records, Matrix{});
    WriteCxform(records, Cxform{}, true);
    records.UI8(0x02 | 0x04);
    records.UI16(2);
    records.UI16(2);
    WriteMatrix(records, Matrix{});
    WriteCxform(records, Cxform{}, true);
    records.UI8(0);
    Bytes r = records.Take();
    w.UI16(uint32_t(r.size() + 2));   // offset from this field to the conditions
    w.Append(r);
    for (int code = 0; code <= 8; ++code) {
        w.UI16(code == 8 ? 0 : 7);   // each record: 2 + 2 + 3 bytes
        w.UI16(1u << code);
        w.UI8(0x80 | code);
        w.UI8(0);
        w.UI8(0);
    }
    return Tag(34, w.Take());
}

// Builds a whole movie: header, then tags; Finish fills in the length.
class MovieWriter {
public:
    int32_t width = 11000, height = 8000;   // twips (550 x 400 pixels)
    uint16_t rate = 0x0C00;                 // 12 frames per second
    uint16_t frameCount = 1;
    uint8_t version = 4;

    void Add(const Bytes& tag) { tags_.insert(tags_.end(), tag.begin(), tag.end()); }
    void Add(int code, const Bytes& body) { Add(Tag(code, body)); }
    void ShowFrame() { Add(1, {}); }
    void Background(uint8_t r, uint8_t g, uint8_t b) { Add(9, {r, g, b}); }

    Bytes Finish(bool withEnd = true) const
    {
        BitWriter w;
        w.UI8('F'); w.UI8('W'); w.UI8('S'); w.UI8(version);
        w.UI32(0);
        WriteRect(w, 0, width, 0, height);
        w.UI16(rate);
        w.UI16(frameCount);
        w.Append(tags_);
        if (withEnd) w.UI16(0);
        Bytes out = w.Take();
        uint32_t n = uint32_t(out.size());
        out[4] = n & 0xFF; out[5] = (n >> 8) & 0xFF; out[6] = (n >> 16) & 0xFF; out[7] = n >> 24;
        return out;
    }

private:
    Bytes tags_;
};

// Reads an annotated hex fixture: pairs of hex digits; "#" starts a comment
// that runs to the end of the line.
inline Bytes ReadHexFixture(const std::string& path)
{
    std::ifstream in(path);
    Bytes out;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            for (size_t i = 0; i + 1 < word.size(); i += 2)
                out.push_back(static_cast<uint8_t>(std::strtoul(word.substr(i, 2).c_str(), nullptr, 16)));
    }
    return out;
}

}  // namespace moviefile_test
