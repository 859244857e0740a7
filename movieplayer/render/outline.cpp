#include "movieplayer/render/outline.h"

#include <algorithm>
#include <cmath>

#include "movieplayer/character/character.h"
#include "movieplayer/character/morph.h"
#include "movieplayer/stream/movie_buffer.h"
#include "movieplayer/stream/tag_codes.h"

namespace movie {

namespace {

// The current fill and line styles of a walk, and what they make.
struct WalkState {
    int fill0 = 0, fill1 = 0, line = 0;
    int a = 0, b = 0, rule = 1;
    bool hasFill = false;
    bool stroking = false;

    void ChooseFills(bool glyph, bool morph)
    {
        a = fill0;
        b = fill1;
        if (a == 0 && b != 0) {
            a = b;
            b = 0;
        }
        if (morph && a == b) b = 0;
        rule = (a && b) ? kRuleTwoFillsParity : (glyph ? kRuleWinding : kRuleOneFillParity);
        hasFill = a != 0 || b != 0;
    }
};

void ChangeStyles(const ShapeRecord& r, const ShapeReader& reader, const MovieMatrix& m, bool glyph, bool morph,
                  WalkState& s, OutlineSink& sink)
{
    if (r.flags & ShapeRecord::kNewStyles) {
        s.fill0 = s.fill1 = s.line = 0;
        sink.Styles(reader.Fills(), reader.Lines(), reader.StyleBase());
    }
    if (r.flags & ShapeRecord::kFill0) s.fill0 = r.fill0;
    if (r.flags & ShapeRecord::kFill1) s.fill1 = r.fill1;
    if (r.flags & (ShapeRecord::kFill0 | ShapeRecord::kFill1 | ShapeRecord::kNewStyles)) s.ChooseFills(glyph, morph);
    if (r.flags & (ShapeRecord::kLine | ShapeRecord::kNewStyles)) {
        if (r.flags & ShapeRecord::kLine) s.line = r.lineStyle;
        if (s.stroking) sink.EndStroke();
        s.stroking = false;
        if (s.line > 0 && size_t(s.line) <= reader.Lines().size()) {
            const LineStyle& l = reader.Lines()[size_t(s.line) - 1];
            if (!morph || l.width > 0) {
                sink.BeginStroke(s.line, MapLineWidth(m, l.width));
                s.stroking = true;
            }
        }
    }
}

void Edge(const Curve& c, WalkState& s, OutlineSink& sink)
{
    if (s.hasFill) sink.FillEdge(c, s.a, s.b, s.rule);
    if (s.stroking) sink.StrokeSegment(c);
}

Curve CurveOf(const ShapeRecord& r)
{
    return r.line ? MakeLine(r.start, r.end) : MakeCurve(r.start, r.control, r.end);
}

}  // namespace

int32_t MapLineWidth(const MovieMatrix& m, uint16_t width)
{
    // The length of (w, w) through the matrix, divided by sqrt 2, rounded at
    // the end.  Mapping the vector to whole units first (as MatrixMapLength
    // does) truncates twice: at 1/20 pixel per twip a 40-twip (2 pixel) line
    // came out 1 pixel wide and a 4-pixel one 3.
    if (width == 0) return 0;
    double vx = double(width) * (double(m.a) + double(m.c)) / 65536.0;
    double vy = double(width) * (double(m.b) + double(m.d)) / 65536.0;
    double w = std::hypot(vx, vy) / std::sqrt(2.0);
    int32_t r = SaturateDouble(w + 0.5);
    return r < 1 ? 1 : r;
}

int SplitMonotonicY(const Curve& c, Curve out[2])
{
    int32_t lo = std::min(c.start.y, c.end.y), hi = std::max(c.start.y, c.end.y);
    if (c.isLine || (c.control.y >= lo && c.control.y <= hi)) {
        out[0] = c;
        return 1;
    }
    int32_t den = c.start.y + c.end.y - 2 * c.control.y;
    if (den == 0) {
        out[0] = c;
        return 1;
    }
    Fixed t = FixedDiv(c.start.y - c.control.y, den);
    if (t <= 0 || t >= kFixedOne) {
        out[0] = c;
        return 1;
    }
    SplitAt(c, t, out[0], out[1]);
    return 2;
}

void WalkShape(ShapeReader& reader, const MovieMatrix& matrix, const OutlineOptions& options, OutlineSink& sink)
{
    WalkState s;
    if (!options.glyph) sink.Styles(reader.Fills(), reader.Lines(), reader.StyleBase());
    for (;;) {
        const ShapeRecord& r = reader.Next();
        if (r.flags == ShapeRecord::kEnd) break;
        if (r.flags == ShapeRecord::kEdge) Edge(CurveOf(r), s, sink);
        else ChangeStyles(r, reader, matrix, options.glyph, options.morph, s, sink);
    }
    if (s.stroking) sink.EndStroke();
}

void WalkMorph(ShapeReader& start, ShapeReader& end, const MovieMatrix& matrix, Fixed t, OutlineSink& sink)
{
    WalkState s;
    sink.Styles(start.Fills(), start.Lines(), start.StyleBase());
    for (;;) {
        const ShapeRecord& r = start.Next();
        if (r.flags == ShapeRecord::kEnd) break;
        if (r.flags != ShapeRecord::kEdge) {
            ChangeStyles(r, start, matrix, false, true, s, sink);
            continue;
        }
        const ShapeRecord* e = &end.Next();
        while (e->flags != ShapeRecord::kEdge && e->flags != ShapeRecord::kEnd) e = &end.Next();
        if (e->flags == ShapeRecord::kEnd) {
            // The end shape ran out: the rest of the start shape stands as it is.
            Edge(CurveOf(r), s, sink);
            continue;
        }
        MoviePoint p0 = InterpolatePoint(r.start, e->start, t);
        MoviePoint p1 = InterpolatePoint(r.end, e->end, t);
        Curve c = (r.line && e->line) ? MakeLine(p0, p1) : MakeCurve(p0, InterpolatePoint(r.control, e->control, t), p1);
        Edge(c, s, sink);
    }
    if (s.stroking) sink.EndStroke();
}

namespace {

// Static text records (after the text's matrix and the two bit counts):
// UI8 flags (0 ends): 0x08 font id UI16, 0x04 colour (RGB, RGBA in the
// second format), 0x01 x offset SI16, 0x02 y offset SI16, 0x08 height UI16;
// then UI8 glyph count and per glyph UB[glyphBits] index, SB[advanceBits]
// advance.  Glyph shapes sit in the font's offset table.
void WalkText(const Character& text, const CharacterDictionary& dict, const MovieMatrix& m, OutlineSink& sink)
{
    StreamCursor c = text.Cursor();
    MovieMatrix textMatrix = ReadMatrix(c);
    MovieMatrix full;
    MatrixConcatRound(textMatrix, m, full);
    unsigned glyphBits = c.UI8(), advanceBits = c.UI8();
    if (glyphBits > 32 || advanceBits > 32) return;
    bool alpha = text.tagCode == kTagDefineText2;
    const Character* font = nullptr;
    Fixed scale = 0;
    int32_t x = 0, y = 0;
    // Each record takes at least two bytes, so the loop ends with the tag.
    while (!c.AtEnd()) {
        uint8_t flags = c.UI8();
        if (flags == 0 || c.Overrun()) break;
        uint16_t fontId = 0;
        if (flags & 0x08) fontId = c.UI16();
        if (flags & 0x04) sink.TextColour(c.Colour(alpha));
        if (flags & 0x01) x = c.SI16();
        if (flags & 0x02) y = c.SI16();
        if (flags & 0x08) {
            const Character* f = dict.Find(fontId);
            font = f && f->kind == kCharFont ? f : nullptr;
            scale = Fixed(c.UI16()) * 64;
        }
        unsigned count = c.UI8();
        for (unsigned i = 0; i < count && !c.Overrun(); ++i) {
            uint32_t index = c.UB(glyphBits);
            int32_t advance = c.SB(advanceBits);
            if (font && index < font->glyphCount && font->movie) {
                bool wide = font->fontFlags & 0x08;
                StreamCursor table = font->Cursor();
                size_t tablePos = table.Pos();
                table.Skip(index * (wide ? 4 : 2));
                uint32_t offset = wide ? table.UI32() : table.UI16();
                if (!table.Overrun() && offset < table.End() - tablePos) {
                    StreamCursor glyph(table.Data(), tablePos + offset, table.End());
                    MovieMatrix g = MatrixScale(scale, scale);
                    g.tx = x;
                    g.ty = y;
                    MovieMatrix gm;
                    MatrixConcatRound(g, full, gm);
                    ShapeReader reader(glyph, gm, ShapeFormat{});
                    reader.ReadIndexBits(1);
                    OutlineOptions o;
                    o.glyph = true;
                    WalkShape(reader, gm, o, sink);
                }
            }
            x = SaturateToInt32(int64_t(x) + advance);
        }
        c.Align();
    }
}

}  // namespace

bool WalkCharacter(const Character& ch, const CharacterDictionary& dict, const MovieMatrix& m, uint16_t ratio,
                   OutlineSink& sink)
{
    switch (ch.kind) {
    case kCharShape: {
        ShapeFormat f;
        f.alpha = ch.tagCode == kTagDefineShape3;
        ShapeReader reader(ch.Cursor(), m, f);
        if (!reader.ReadStyles()) return true;
        WalkShape(reader, m, OutlineOptions{}, sink);
        return true;
    }
    case kCharMorphShape: {
        ShapeFormat f;
        f.alpha = true;
        f.morph = true;
        f.ratio = ratio;
        StreamCursor all = ch.Cursor();
        size_t endEdges = ch.morphEndEdges > all.End() ? all.End() : ch.morphEndEdges;
        if (endEdges < all.Pos()) return true;
        ShapeReader start(StreamCursor(all.Data(), all.Pos(), endEdges), m, f);
        ShapeReader end(StreamCursor(all.Data(), endEdges, all.End()), m, f);
        if (!start.ReadStyles()) return true;
        end.ReadIndexBits();
        WalkMorph(start, end, m, ratio, sink);
        return true;
    }
    case kCharText:
        WalkText(ch, dict, m, sink);
        return true;
    default:
        return false;
    }
}

}  // namespace movie
