// Builds the engine's built-in font movie from the Liberation fonts and
// writes it, zlib-compressed, as a C++ source file.
//
// The movie: format version 4, 550 x 400 pixels, 12 frames per second, one
// frame holding a background colour, twelve DefineFont2 fonts (layout and
// ANSI flags, the 224 Windows-1252 codes 32-255, glyphs on a 1024-unit em
// square) and a show-frame tag. Liberation Serif, Sans and Mono have the
// metrics of the faces whose names the fonts carry.
//
//   make_font_movie FONT_DIR OUTPUT.cpp
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct BitWriter {
    std::vector<uint8_t> bytes;
    int used = 8;  // bits used in the last byte
    void Put(uint32_t v, int n)
    {
        for (int i = n - 1; i >= 0; --i) {
            if (used == 8) {
                bytes.push_back(0);
                used = 0;
            }
            if ((v >> i) & 1) bytes.back() |= static_cast<uint8_t>(0x80 >> used);
            ++used;
        }
    }
    void PutSigned(int32_t v, int n) { Put(static_cast<uint32_t>(v) & ((n >= 32) ? 0xFFFFFFFFu : ((1u << n) - 1)), n); }
    void Align() { used = 8; }
};

int SignedBits(int32_t v)
{
    int n = 1;
    while (v < -(1 << (n - 1)) || v >= (1 << (n - 1))) ++n;
    return n;
}

int SignedBits(std::initializer_list<int32_t> vs)
{
    int n = 2;
    for (int32_t v : vs) n = std::max(n, SignedBits(v));
    return n;
}

void Put16(std::vector<uint8_t>& o, uint32_t v)
{
    o.push_back(v & 255);
    o.push_back((v >> 8) & 255);
}

void Put32(std::vector<uint8_t>& o, uint32_t v)
{
    Put16(o, v & 0xFFFF);
    Put16(o, v >> 16);
}

void PutTag(std::vector<uint8_t>& o, int code, const std::vector<uint8_t>& body)
{
    if (body.size() < 63) {
        Put16(o, static_cast<uint32_t>(code << 6 | body.size()));
    } else {
        Put16(o, static_cast<uint32_t>(code << 6 | 0x3F));
        Put32(o, static_cast<uint32_t>(body.size()));
    }
    o.insert(o.end(), body.begin(), body.end());
}

void PutRect(BitWriter& w, int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax)
{
    const int n = SignedBits({xmin, xmax, ymin, ymax});
    w.Put(static_cast<uint32_t>(n), 5);
    w.PutSigned(xmin, n);
    w.PutSigned(xmax, n);
    w.PutSigned(ymin, n);
    w.PutSigned(ymax, n);
    w.Align();
}

// Unicode of each Windows-1252 code 0x80-0x9F; 0 where the code is unused.
const uint32_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

uint32_t UnicodeOf(int code) { return code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : static_cast<uint32_t>(code); }

// Writes one glyph as a SHAPE: 1 fill bit, 0 line bits, y pointing down.
struct GlyphWriter {
    BitWriter w;
    double scale = 1;
    int32_t px = 0, py = 0;  // pen in em units
    bool first = true;

    int32_t X(FT_Pos v) const { return static_cast<int32_t>(std::lround(v * scale)); }
    int32_t Y(FT_Pos v) const { return -static_cast<int32_t>(std::lround(v * scale)); }

    void Move(int32_t x, int32_t y)
    {
        // Style change: no new styles, no line style, fill style 1 on the
        // first contour only, move-to.
        w.Put(0, 1);
        w.Put(0, 1);
        w.Put(0, 1);
        w.Put(first ? 1 : 0, 1);
        w.Put(0, 1);
        w.Put(1, 1);
        const int n = SignedBits({x, y});
        w.Put(static_cast<uint32_t>(n), 5);
        w.PutSigned(x, n);
        w.PutSigned(y, n);
        if (first) w.Put(1, 1);
        first = false;
        px = x;
        py = y;
    }
    void Line(int32_t x, int32_t y)
    {
        const int32_t dx = x - px, dy = y - py;
        if (dx == 0 && dy == 0) return;
        const int n = SignedBits({dx, dy});
        w.Put(1, 1);
        w.Put(1, 1);
        w.Put(static_cast<uint32_t>(n - 2), 4);
        w.Put(1, 1);  // general line
        w.PutSigned(dx, n);
        w.PutSigned(dy, n);
        px = x;
        py = y;
    }
    void Conic(int32_t cx, int32_t cy, int32_t x, int32_t y)
    {
        const int32_t cdx = cx - px, cdy = cy - py, adx = x - cx, ady = y - cy;
        if ((cdx == 0 && cdy == 0) || (adx == 0 && ady == 0)) {
            Line(x, y);
            return;
        }
        const int n = SignedBits({cdx, cdy, adx, ady});
        w.Put(1, 1);
        w.Put(0, 1);
        w.Put(static_cast<uint32_t>(n - 2), 4);
        w.PutSigned(cdx, n);
        w.PutSigned(cdy, n);
        w.PutSigned(adx, n);
        w.PutSigned(ady, n);
        px = x;
        py = y;
    }
};

int OnMove(const FT_Vector* to, void* user)
{
    auto* g = static_cast<GlyphWriter*>(user);
    g->Move(g->X(to->x), g->Y(to->y));
    return 0;
}

int OnLine(const FT_Vector* to, void* user)
{
    auto* g = static_cast<GlyphWriter*>(user);
    g->Line(g->X(to->x), g->Y(to->y));
    return 0;
}

int OnConic(const FT_Vector* c, const FT_Vector* to, void* user)
{
    auto* g = static_cast<GlyphWriter*>(user);
    g->Conic(g->X(c->x), g->Y(c->y), g->X(to->x), g->Y(to->y));
    return 0;
}

int OnCubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    // TrueType outlines have no cubic pieces; approximate by one quadratic
    // through the mean of the two control points should one ever appear.
    auto* g = static_cast<GlyphWriter*>(user);
    g->Conic(g->X((c1->x + c2->x) / 2), g->Y((c1->y + c2->y) / 2), g->X(to->x), g->Y(to->y));
    return 0;
}

struct Face {
    int id;
    const char* name;
    const char* file;
    bool bold, italic;
};

const Face kFaces[12] = {
    {1, "Times New Roman", "LiberationSerif-Regular.ttf", false, false},
    {3, "Times New Roman", "LiberationSerif-Bold.ttf", true, false},
    {5, "Times New Roman", "LiberationSerif-Italic.ttf", false, true},
    {7, "Times New Roman", "LiberationSerif-BoldItalic.ttf", true, true},
    {9, "Arial", "LiberationSans-Regular.ttf", false, false},
    {11, "Arial", "LiberationSans-Bold.ttf", true, false},
    {13, "Arial", "LiberationSans-Italic.ttf", false, true},
    {15, "Arial", "LiberationSans-BoldItalic.ttf", true, true},
    {17, "Courier New", "LiberationMono-Regular.ttf", false, false},
    {19, "Courier New", "LiberationMono-Bold.ttf", true, false},
    {21, "Courier New", "LiberationMono-Italic.ttf", false, true},
    {23, "Courier New", "LiberationMono-BoldItalic.ttf", true, true},
};

bool BuildFont(FT_Library lib, const std::string& dir, const Face& f, std::vector<uint8_t>& body)
{
    FT_Face face;
    if (FT_New_Face(lib, (dir + "/" + f.file).c_str(), 0, &face)) {
        std::fprintf(stderr, "cannot open %s/%s\n", dir.c_str(), f.file);
        return false;
    }
    const double scale = 1024.0 / face->units_per_EM;
    std::vector<std::vector<uint8_t>> shapes;
    std::vector<int16_t> advances;
    std::vector<std::vector<uint8_t>> bounds;
    for (int code = 32; code < 256; ++code) {
        GlyphWriter g;
        g.scale = scale;
        g.w.Put(1, 4);  // fill bits
        g.w.Put(0, 4);  // line bits
        const uint32_t uc = UnicodeOf(code);
        const FT_UInt index = uc ? FT_Get_Char_Index(face, uc) : 0;
        int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
        int16_t advance = 0;
        if (index && FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0) {
            FT_Outline_Funcs funcs{OnMove, OnLine, OnConic, OnCubic, 0, 0};
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &g);
            FT_BBox box;
            FT_Outline_Get_CBox(&face->glyph->outline, &box);
            if (face->glyph->outline.n_points > 0) {
                xmin = g.X(box.xMin);
                xmax = g.X(box.xMax);
                ymin = g.Y(box.yMax);
                ymax = g.Y(box.yMin);
            }
            advance = static_cast<int16_t>(std::lround(face->glyph->metrics.horiAdvance * scale));
        }
        g.w.Put(0, 6);  // end of shape
        g.w.Align();
        shapes.push_back(g.w.bytes);
        advances.push_back(advance);
        BitWriter r;
        PutRect(r, xmin, xmax, ymin, ymax);
        bounds.push_back(r.bytes);
    }
    const size_t n = shapes.size();
    size_t shapeBytes = 0;
    for (auto& s : shapes) shapeBytes += s.size();
    const bool wide = (n + 1) * 2 + shapeBytes > 0xFFFF;
    Put16(body, static_cast<uint32_t>(f.id));
    body.push_back(static_cast<uint8_t>(0x80 | 0x10 | (wide ? 0x08 : 0) | (f.italic ? 0x02 : 0) | (f.bold ? 0x01 : 0)));
    body.push_back(0);  // language code (reserved in version 4)
    body.push_back(static_cast<uint8_t>(std::string(f.name).size()));
    body.insert(body.end(), f.name, f.name + std::string(f.name).size());
    Put16(body, static_cast<uint32_t>(n));
    const size_t entry = wide ? 4 : 2;
    size_t offset = (n + 1) * entry;
    for (auto& s : shapes) {
        wide ? Put32(body, static_cast<uint32_t>(offset)) : Put16(body, static_cast<uint32_t>(offset));
        offset += s.size();
    }
    wide ? Put32(body, static_cast<uint32_t>(offset)) : Put16(body, static_cast<uint32_t>(offset));  // code table
    for (auto& s : shapes) body.insert(body.end(), s.begin(), s.end());
    for (int code = 32; code < 256; ++code) body.push_back(static_cast<uint8_t>(code));
    Put16(body, static_cast<uint32_t>(std::lround(face->ascender * scale)));
    Put16(body, static_cast<uint32_t>(std::lround(-face->descender * scale)));
    Put16(body, static_cast<uint32_t>(std::lround((face->height - face->ascender + face->descender) * scale)));
    for (int16_t a : advances) Put16(body, static_cast<uint16_t>(a));
    for (auto& b : bounds) body.insert(body.end(), b.begin(), b.end());
    Put16(body, 0);  // no kerning pairs
    FT_Done_Face(face);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_font_movie FONT_DIR OUTPUT.cpp\n");
        return 2;
    }
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) return 1;
    std::vector<uint8_t> tags;
    PutTag(tags, 9, {255, 255, 255});  // white background
    for (const Face& f : kFaces) {
        std::vector<uint8_t> body;
        if (!BuildFont(lib, argv[1], f, body)) {
            FT_Done_FreeType(lib);
            return 1;
        }
        PutTag(tags, 48, body);
    }
    FT_Done_FreeType(lib);
    PutTag(tags, 1, {});  // show frame
    PutTag(tags, 0, {});  // end

    std::vector<uint8_t> movie = {'F', 'W', 'S', 4, 0, 0, 0, 0};
    BitWriter frame;
    PutRect(frame, 0, 11000, 0, 8000);
    movie.insert(movie.end(), frame.bytes.begin(), frame.bytes.end());
    Put16(movie, 12 << 8);  // 12 frames per second, 8.8
    Put16(movie, 1);
    movie.insert(movie.end(), tags.begin(), tags.end());
    const uint32_t len = static_cast<uint32_t>(movie.size());
    for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<uint8_t>(len >> (8 * i));

    uLongf zlen = compressBound(len);
    std::vector<uint8_t> z(zlen);
    if (compress2(z.data(), &zlen, movie.data(), len, 9) != Z_OK) return 1;

    FILE* out = std::fopen(argv[2], "w");
    if (!out) return 1;
    std::fprintf(out, "// Generated by movieplayer/tools/make_font_movie; do not edit.\n");
    std::fprintf(out, "namespace movie {\nextern const unsigned char kFontMovieCompressed[];\n");
    std::fprintf(out, "extern const unsigned long kFontMovieCompressedSize;\nextern const unsigned long kFontMovieSize;\n");
    std::fprintf(out, "const unsigned long kFontMovieSize = %lu;\n", static_cast<unsigned long>(len));
    std::fprintf(out, "const unsigned long kFontMovieCompressedSize = %lu;\n", static_cast<unsigned long>(zlen));
    std::fprintf(out, "const unsigned char kFontMovieCompressed[] = {\n");
    for (uLongf i = 0; i < zlen; ++i) std::fprintf(out, "%u,%s", z[i], (i % 24 == 23) ? "\n" : "");
    std::fprintf(out, "\n};\n}  // namespace movie\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
