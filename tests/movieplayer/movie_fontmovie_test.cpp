#include "movieplayer/bitmaprecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace movie;

namespace {

// A minimal reader of the movie's bit fields, independent of the engine.
struct Bits {
    const uint8_t* p;
    size_t n;
    size_t pos = 0;  // in bits
    uint32_t U(int k)
    {
        uint32_t v = 0;
        for (int i = 0; i < k; ++i, ++pos) {
            if (pos / 8 >= n) throw std::runtime_error("read past end");
            v = v << 1 | ((p[pos / 8] >> (7 - pos % 8)) & 1);
        }
        return v;
    }
    int32_t S(int k)
    {
        uint32_t v = U(k);
        if (k && (v >> (k - 1)) & 1) v |= ~0u << k;
        return static_cast<int32_t>(v);
    }
};

unsigned U16(const uint8_t* p) { return p[0] | p[1] << 8; }

struct Glyph {
    int records = 0;
    int moves = 0;
    int curves = 0;
    int xmin = 1 << 30, xmax = -(1 << 30), ymin = 1 << 30, ymax = -(1 << 30);
};

// Walks one glyph shape to its end record; throws on malformed data.
Glyph WalkGlyph(const uint8_t* p, size_t n)
{
    Bits b{p, n};
    const int fillBits = b.U(4), lineBits = b.U(4);
    Glyph g;
    int x = 0, y = 0;
    for (;;) {
        ++g.records;
        if (b.U(1) == 0) {
            const unsigned flags = b.U(5);
            if (flags == 0) break;
            if (flags & 1) {
                const int k = b.U(5);
                x = b.S(k);
                y = b.S(k);
                ++g.moves;
            }
            if (flags & 2) b.U(fillBits);
            if (flags & 4) b.U(fillBits);
            if (flags & 8) b.U(lineBits);
            if (flags & 16) throw std::runtime_error("new styles in a glyph");
        } else if (b.U(1) == 1) {
            const int k = b.U(4) + 2;
            if (b.U(1)) {
                x += b.S(k);
                y += b.S(k);
            } else if (b.U(1)) {
                y += b.S(k);
            } else {
                x += b.S(k);
            }
        } else {
            const int k = b.U(4) + 2;
            x += b.S(k);
            y += b.S(k);
            x += b.S(k);
            y += b.S(k);
            ++g.curves;
        }
        g.xmin = std::min(g.xmin, x);
        g.xmax = std::max(g.xmax, x);
        g.ymin = std::min(g.ymin, y);
        g.ymax = std::max(g.ymax, y);
    }
    return g;
}

}  // namespace

TEST(MovieFontMovie, InflatesToTheTwelveFonts)
{
    uint8_t* data = nullptr;
    const long len = InflateFontMovie(&data);
    ASSERT_GT(len, 0);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(len, FontMovieInflatedSize());
    ASSERT_GT(len, 21);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 3), "FWS");
    EXPECT_EQ(data[3], 4);
    EXPECT_EQ(static_cast<long>(data[4] | data[5] << 8 | data[6] << 16 | data[7] << 24), len);
    Bits rect{data + 8, static_cast<size_t>(len - 8)};
    const int nb = rect.U(5);
    const size_t hdr = 8 + (5 + 4 * nb + 7) / 8;
    EXPECT_EQ(U16(data + hdr), 12u << 8);  // frame rate 12
    EXPECT_EQ(U16(data + hdr + 2), 1u);    // one frame

    struct Expect {
        int id;
        const char* name;
        int style;  // bit 0 bold, bit 1 italic
    };
    const Expect fonts[12] = {{1, "Times New Roman", 0}, {3, "Times New Roman", 1}, {5, "Times New Roman", 2},
                              {7, "Times New Roman", 3}, {9, "Arial", 0},           {11, "Arial", 1},
                              {13, "Arial", 2},          {15, "Arial", 3},          {17, "Courier New", 0},
                              {19, "Courier New", 1},    {21, "Courier New", 2},    {23, "Courier New", 3}};
    std::vector<int> codes;
    size_t pos = hdr + 4;
    int fontIndex = 0;
    for (;;) {
        ASSERT_LE(pos + 2, static_cast<size_t>(len));
        const unsigned h = U16(data + pos);
        pos += 2;
        size_t tlen = h & 0x3F;
        if (tlen == 0x3F) {
            tlen = data[pos] | data[pos + 1] << 8 | data[pos + 2] << 16 | static_cast<size_t>(data[pos + 3]) << 24;
            pos += 4;
        }
        const unsigned code = h >> 6;
        codes.push_back(static_cast<int>(code));
        ASSERT_LE(pos + tlen, static_cast<size_t>(len));
        if (code == 48) {
            ASSERT_LT(fontIndex, 12);
            const uint8_t* t = data + pos;
            const Expect& want = fonts[fontIndex++];
            EXPECT_EQ(static_cast<int>(U16(t)), want.id);
            const uint8_t flags = t[2];
            EXPECT_TRUE(flags & 0x80);  // layout
            EXPECT_TRUE(flags & 0x10);  // ANSI
            EXPECT_EQ(flags & 3, want.style);
            const int nameLen = t[4];
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(t + 5), nameLen), want.name);
            const uint8_t* g = t + 5 + nameLen;
            const unsigned glyphs = U16(g);
            EXPECT_EQ(glyphs, 224u);
            const uint8_t* table = g + 2;
            const bool wide = flags & 0x08;
            auto offset = [&](unsigned i) -> size_t {
                return wide ? (table[4 * i] | table[4 * i + 1] << 8 | table[4 * i + 2] << 16 | static_cast<size_t>(table[4 * i + 3]) << 24)
                            : U16(table + 2 * i);
            };
            const size_t codeTable = offset(glyphs);
            const uint8_t* ct = table + codeTable;
            for (unsigned i = 0; i < glyphs; ++i) EXPECT_EQ(ct[i], 32 + i);
            // Every glyph shape parses to its end; letters have outlines.
            for (unsigned i = 0; i < glyphs; ++i) {
                const size_t o = offset(i), e = offset(i + 1);
                ASSERT_LT(o, e);
                Glyph gl;
                ASSERT_NO_THROW(gl = WalkGlyph(table + o, e - o)) << want.id << " glyph " << i;
                const int c = 32 + static_cast<int>(i);
                if (c == 'O' || c == 'e' || c == 0xE9) {
                    EXPECT_GE(gl.moves, 2) << c;  // outer and inner contour
                    EXPECT_GT(gl.curves, 4) << c;
                    EXPECT_GT(gl.ymax - gl.ymin, 300) << c;  // on a 1024 em
                    EXPECT_LT(gl.ymax, 300) << c;            // y points down: ink above the base line
                }
                if (c == ' ') {
                    EXPECT_EQ(gl.moves, 0);
                }
            }
        }
        pos += tlen;
        if (code == 0) break;
    }
    EXPECT_EQ(fontIndex, 12);
    ASSERT_EQ(codes.size(), 15u);
    EXPECT_EQ(codes.front(), 9);   // background colour
    EXPECT_EQ(codes[13], 1);       // show frame
    EXPECT_EQ(codes.back(), 0);    // end
    EXPECT_EQ(pos, static_cast<size_t>(len));
    std::free(data);
}
