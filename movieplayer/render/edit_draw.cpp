#include "movieplayer/render/edit_draw.h"

#include <algorithm>

#include "movieplayer/character/character.h"
#include "movieplayer/render/outline.h"
#include "movieplayer/stream/movie_buffer.h"
#include "movieplayer/text/edit_text.h"

namespace movie {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr int32_t kPixel = 20;   // twips

// A rectangle's sides, wound clockwise (reverse: anticlockwise), for the
// winding rule: a reversed rectangle inside another cuts a hole.
void Rect(OutlineSink& sink, const MovieMatrix& m, const MovieRect& r, bool reverse = false)
{
    if (r.xmax <= r.xmin || r.ymax <= r.ymin) return;
    MoviePoint p[4] = {MatrixMapPointRound(m, {r.xmin, r.ymin}), MatrixMapPointRound(m, {r.xmax, r.ymin}),
                       MatrixMapPointRound(m, {r.xmax, r.ymax}), MatrixMapPointRound(m, {r.xmin, r.ymax})};
    if (reverse) std::swap(p[1], p[3]);
    for (int i = 0; i < 4; ++i) sink.FillEdge(MakeLine(p[i], p[(i + 1) % 4]), 1, 0, kRuleWinding);
}

void Glyph(OutlineSink& sink, const EditText& e, int glyph, int32_t x, int32_t baseline, const MovieMatrix& m)
{
    const Character* font = e.font.Glyphs();
    size_t end = 0;
    const size_t start = e.font.GlyphShape(glyph, &end);
    if (!font || !font->movie || !start) return;
    // Glyphs are drawn on a 1024-unit em scaled to the font height.
    const Fixed scale = Fixed(int64_t(e.font.Height()) * 64);
    MovieMatrix g = MatrixScale(scale, scale);
    g.tx = x;
    g.ty = baseline;
    MovieMatrix gm;
    MatrixConcatRound(g, m, gm);
    StreamCursor c(font->movie->Data(), start, std::min(end, font->movie->Received()));
    ShapeReader reader(c, gm, ShapeFormat{});
    reader.ReadIndexBits(1);
    OutlineOptions o;
    o.glyph = true;
    WalkShape(reader, gm, o, sink);
}

}  // namespace

void WalkEditText(const EditText& e, bool focused, const MovieMatrix& m, OutlineSink& sink)
{
    if (e.Has(kEditBorder)) {
        sink.TextColour(kWhite);
        Rect(sink, m, e.bounds);
        sink.TextColour(kBlack);
        Rect(sink, m, e.bounds);
        MovieRect inner = e.bounds;
        inner.xmin += kPixel;
        inner.xmax -= kPixel;
        inner.ymin += kPixel;
        inner.ymax -= kPixel;
        Rect(sink, m, inner, true);
    }
    const MovieRect area = e.Area();
    const int first = e.scroll, last = std::min(e.LineCount(), e.scroll + e.VisibleLines());
    const int s0 = e.SelectionStart(), s1 = e.SelectionEnd();
    const bool selection = e.showSelection && focused && s0 < s1;
    const int32_t step = e.LineStep();
    // Characters shown on a line: from its start (or the sideways scroll)
    // up to the first that would pass the text area's right side.
    auto shownEnd = [&](int line, int from) {
        int i = from;
        for (; i < e.LineEnd(line); ++i)
            if (e.CharX(i) + e.AdvanceOf(e.Shown(i)) > area.xmax + kPixel) break;
        return i;
    };
    auto shownStart = [&](int line) { return line == 0 ? std::max(e.LineStart(0), e.hscroll) : e.LineStart(line); };
    if (selection) {
        sink.TextColour(kBlack);
        for (int l = first; l < last; ++l) {
            const int from = shownStart(l), to = shownEnd(l, from);
            const int a = std::max(s0, from), b = std::min(s1, to);
            if (a >= b) continue;
            const int32_t top = e.LineTop(l);
            Rect(sink, m, MovieRect{e.CharX(a), e.CharX(b - 1) + e.AdvanceOf(e.Shown(b - 1)), top, top + step});
        }
    }
    const uint32_t textColour = e.colour;
    int current = -1;   // 0 text colour, 1 white
    for (int l = first; l < last; ++l) {
        const int from = shownStart(l), to = shownEnd(l, from);
        const int32_t baseline = e.LineTop(l) + e.font.Ascent();
        for (int i = from; i < to; ++i) {
            const int glyph = e.font.GlyphOf(e.Shown(i));
            if (glyph < 0) continue;
            const int want = selection && i >= s0 && i < s1 ? 1 : 0;
            if (want != current) {
                sink.TextColour(want ? kWhite : textColour);
                current = want;
            }
            Glyph(sink, e, glyph, e.CharX(i), baseline, m);
        }
    }
    if (focused && e.blink && !e.ReadOnly()) {
        const int line = e.LineOf(e.caret);
        if (line >= first && line < last) {
            const int32_t x = e.CharX(e.caret), top = e.LineTop(line);
            sink.TextColour(textColour);
            Rect(sink, m, MovieRect{x, x + kPixel, top, top + e.font.LineHeight()});
        }
    }
}

}  // namespace movie
