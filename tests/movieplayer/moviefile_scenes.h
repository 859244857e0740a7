// Test movies built with the fixture writer: one per kind of content the
// engine draws.  Render tests, the fuzz corpus and the command-line tool's
// test use the same scenes.
#pragma once

#include <zlib.h>

#include <string>
#include <utility>
#include <vector>

#include "movieplayer/moviefile_writer.h"

namespace moviefile_test {

inline Bytes Zlib(const Bytes& raw)
{
    uLongf n = compressBound(uLong(raw.size()));
    Bytes out(n);
    compress(out.data(), &n, raw.data(), uLong(raw.size()));
    out.resize(n);
    return out;
}

// A shape of one fill over a rectangle: solid, gradient or bitmap.
inline Bytes DefineFilledRect(uint16_t id, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                              void (*fill)(BitWriter&))
{
    BitWriter w;
    w.UI16(id);
    WriteRect(w, x0, x1, y0, y1);
    WriteStyleCount(w, 1);
    fill(w);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 1, 0);
    WritePolygon(w, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, 1, -1, 1, 0);
    WriteEndShape(w);
    return Tag(32, w.Take());
}

// A 2 x 2 lossless bitmap (32-bit, with alpha): red, green / blue, half-white.
inline Bytes DefineLosslessBitmap(uint16_t id)
{
    BitWriter w;
    w.UI16(id);
    w.UI8(5);
    w.UI16(2);
    w.UI16(2);
    w.Append(Zlib({255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128, 128, 128, 128}));
    return Tag(36, w.Take());
}

struct SceneMovie {
    std::string name;
    Bytes file;
};

inline std::vector<SceneMovie> Scenes()
{
    std::vector<SceneMovie> out;
    auto place = [](MovieWriter& w, uint16_t depth, int id, const Matrix* m = nullptr) {
        Place p;
        p.depth = depth;
        p.id = id;
        p.matrix = m;
        w.Add(PlaceObject2(p));
    };
    {
        // Rectangles on whole and half pixels, a curve and a stroke.
        MovieWriter w;
        w.Background(255, 255, 255);
        w.Add(DefineRectShape(2, 1, 200, 200, 1000, 1000, 0xFF0000FF));
        w.Add(DefineRectShape(32, 2, 1210, 210, 2010, 1010, 0x0000FF80));
        BitWriter c;
        c.UI16(3);
        WriteRect(c, 0, 4000, 0, 4000);
        WriteStyleCount(c, 1);
        WriteSolidFill(c, 0x00AA00FF, false);
        WriteStyleCount(c, 1);
        WriteLineStyle(c, 60, 0x000000FF, false);
        WriteIndexBits(c, 1, 1);
        StyleChange s;
        s.move = true;
        s.x = 2400;
        s.y = 2400;
        s.fill1 = 1;
        s.line = 1;
        WriteStyleChange(c, s, 1, 1);
        WriteCurve(c, 800, -800, 800, 800);
        WriteLine(c, -1600, 0);
        WriteEndShape(c);
        w.Add(Tag(22, c.Take()));
        place(w, 1, 1);
        place(w, 2, 2);
        place(w, 3, 3);
        w.ShowFrame();
        out.push_back({"shapes", w.Finish()});
    }
    {
        // Linear and radial gradients, a lossless bitmap fill.
        MovieWriter w;
        w.Add(DefineFilledRect(1, 0, 0, 4000, 2000, [](BitWriter& b) {
            WriteGradientFill(b, 0x10, Matrix::Scale(0x20000 / 16 * 1, 0x20000 / 16, 2000, 1000),
                              {{0, 0xFF0000FF}, {255, 0x0000FFFF}}, true);
        }));
        w.Add(DefineFilledRect(2, 0, 2000, 4000, 6000, [](BitWriter& b) {
            WriteGradientFill(b, 0x12, Matrix::Scale(0x20000 / 16, 0x20000 / 16, 2000, 4000),
                              {{0, 0xFFFFFFFF}, {128, 0x00FF0080}, {255, 0x00000000}}, true);
        }));
        w.Add(DefineLosslessBitmap(9));
        w.Add(DefineFilledRect(3, 4000, 0, 8000, 4000, [](BitWriter& b) {
            WriteBitmapFill(b, 0x41, 9, Matrix::Scale(0x140000 * 100, 0x140000 * 100, 4000, 0));
        }));
        place(w, 1, 1);
        place(w, 2, 2);
        place(w, 3, 3);
        w.ShowFrame();
        out.push_back({"fills", w.Finish()});
    }
    {
        // A morph placed at three ratios, static text in a font, a sprite,
        // and placement and removal across frames.
        MovieWriter w;
        w.frameCount = 3;
        w.Add(DefineMorphPolygon(1, {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}},
                                 {{0, 0}, {3000, 0}, {3000, 2000}, {0, 2000}}, 0xFF0000FF, 0x0000FFFF));
        w.Add(DefineFont2(2, {{{0, -1024}, {512, -1024}, {512, 0}, {0, 0}},
                              {{0, -512}, {512, -1024}, {512, 0}}}));
        w.Add(DefineText(33, 3, 0, 6000, 0, 2000, 2, 800, 0x00000080, 200, 7000,
                         {{0, 500}, {1, 500}, {0, 500}}));
        w.Add(DefineRectShape(2, 4, 0, 0, 400, 400, 0x8080FFFF));
        Place inner;
        inner.depth = 1;
        inner.id = 4;
        Bytes sprite;
        {
            BitWriter s;
            s.UI16(5);
            s.UI16(2);
            s.Append(PlaceObject2(inner));
            s.Append(Tag(1, {}));
            Matrix m = Matrix::Translate(400, 0);
            Place mv;
            mv.depth = 1;
            mv.move = true;
            mv.matrix = &m;
            s.Append(PlaceObject2(mv));
            s.Append(Tag(1, {}));
            s.UI16(0);
            sprite = Tag(39, s.Take(), true);
        }
        w.Add(sprite);
        for (int i = 0; i < 3; ++i) {
            Place m;
            m.depth = uint16_t(1 + i);
            m.id = 1;
            m.ratio = i == 0 ? 0 : i == 1 ? 0x8000 : 0xFFFF;
            Matrix at = Matrix::Translate(i * 3500, 0);
            m.matrix = &at;
            w.Add(PlaceObject2(m));
        }
        place(w, 5, 3);
        Matrix spriteAt = Matrix::Translate(6000, 3000);
        place(w, 6, 5, &spriteAt);
        w.ShowFrame();
        w.Add(RemoveObject2(2));
        w.ShowFrame();
        w.Add(RemoveObject2(6));
        w.ShowFrame();
        out.push_back({"timeline", w.Finish()});
    }
    {
        // A button over two shapes, and a half-transparent glyph wound twice.
        MovieWriter w;
        w.Add(DefineRectShape(2, 1, 0, 0, 2000, 2000, 0xFF0000FF));
        w.Add(DefineRectShape(2, 2, 0, 0, 2000, 2000, 0x00FF00FF));
        w.Add(DefineButton2(3, false));
        w.Add(DefineFont2(4, {{{0, -1024}, {512, -1024}, {512, 0}, {0, 0}, {0, -1024}, {512, -1024}, {512, 0},
                               {0, 0}}}));
        w.Add(DefineText(33, 5, 0, 4000, 0, 2000, 4, 1024, 0x0000FF80, 3000, 2000, {{0, 600}}));
        Matrix at = Matrix::Translate(4000, 3000);
        place(w, 1, 3, &at);
        place(w, 2, 5);
        w.ShowFrame();
        out.push_back({"button_text", w.Finish()});
    }
    return out;
}

}  // namespace moviefile_test
