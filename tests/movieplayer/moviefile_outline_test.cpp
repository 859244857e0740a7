// Outlines of shapes, morphs and static text, and hit tests on them.
#include <gtest/gtest.h>

#include "movieplayer/character/character.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/moviefile_writer.h"
#include "movieplayer/render/outline.h"
#include "movieplayer/render/outline_rect.h"

using namespace moviefile_test;
using namespace movie;

namespace {

struct Logged {
    Curve c;
    int a, b, rule;
};

class LogSink : public OutlineSink {
public:
    std::vector<Logged> edges;
    std::vector<uint32_t> colours;
    std::vector<int32_t> strokes;
    int segments = 0;
    void FillEdge(const Curve& c, int a, int b, int rule) override { edges.push_back({c, a, b, rule}); }
    void TextColour(uint32_t rgba) override { colours.push_back(rgba); }
    void BeginStroke(int, int32_t width) override { strokes.push_back(width); }
    void StrokeSegment(const Curve&) override { ++segments; }
};

struct Scene {
    DisplayList display;
    std::unique_ptr<Timeline> root = Timeline::CreateRoot(&display, 0);

    explicit Scene(MovieWriter& w)
    {
        w.ShowFrame();
        Bytes file = w.Finish();
        root->Append(file.data(), file.size());
        // Twips to pixels.
        display.SetStageSize(550, 400);
        display.SetCamera(MovieRect{0, 11000, 0, 8000}, MovieRect{0, 550, 0, 400}, false, 0);
        display.StepTimelines();
    }
    Character* Find(uint16_t id) { return root->Dictionary().Find(id); }
    Instance* At(uint16_t depth) { return display.FindDepth(root->GetInstance(), depth); }
};

MovieMatrix Pixels()
{
    return MatrixScale(3276, 3276);   // 1/20
}

}  // namespace

TEST(MovieOutline, ARectangleShapeGivesItsFourSides)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 200, 400, 2200, 1400, 0xFF0000FF));
    Scene s(w);
    LogSink log;
    MovieMatrix m = MatrixScale(0x10000 / 4, 0x10000 / 4);
    ASSERT_TRUE(WalkCharacter(*s.Find(1), s.root->Dictionary(), m, 0, log));
    ASSERT_EQ(log.edges.size(), 4u);
    EXPECT_EQ(log.edges[0].c.start, (MoviePoint{50, 100}));
    EXPECT_EQ(log.edges[0].c.end, (MoviePoint{550, 100}));
    EXPECT_EQ(log.edges[2].c.end, (MoviePoint{50, 350}));
    for (const Logged& e : log.edges) {
        EXPECT_EQ(e.a, 1);
        EXPECT_EQ(e.b, 0);
        EXPECT_EQ(e.rule, kRuleOneFillParity);
        EXPECT_TRUE(e.c.isLine);
    }
}

TEST(MovieOutline, StrokesGetTheirWidthMapped)
{
    BitWriter w;
    w.UI16(1);
    WriteRect(w, 0, 2000, 0, 2000);
    WriteStyleCount(w, 0);
    WriteStyleCount(w, 1);
    WriteLineStyle(w, 100, 0x000000FF, false);
    WriteIndexBits(w, 0, 1);
    WritePolygon(w, {{0, 0}, {2000, 0}, {2000, 2000}}, -1, 1, 0, 1);
    WriteEndShape(w);
    MovieWriter m;
    m.Add(Tag(2, w.Take()));
    Scene s(m);
    LogSink log;
    WalkCharacter(*s.Find(1), s.root->Dictionary(), Pixels(), 0, log);
    EXPECT_TRUE(log.edges.empty());
    ASSERT_EQ(log.strokes.size(), 1u);
    // 100 twips are 5 pixels (the truncated 1/20 scale, 3276, makes 4.998).
    EXPECT_EQ(log.strokes[0], 5);
    EXPECT_EQ(MapLineWidth(Pixels(), 40), 2);    // a 2-pixel line stays 2
    EXPECT_EQ(MapLineWidth(Pixels(), 1), 1);     // the thinnest is 1
    EXPECT_EQ(MapLineWidth(Pixels(), 0), 0);
    EXPECT_EQ(log.segments, 3);
}

TEST(MovieOutline, MorphAtThreeRatios)
{
    MovieWriter w;
    w.Add(DefineMorphPolygon(4, {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}},
                             {{0, 0}, {3000, 0}, {3000, 2000}, {0, 2000}}, 0xFF0000FF, 0x0000FFFF));
    Scene s(w);
    Character* morph = s.Find(4);
    ASSERT_NE(morph, nullptr);
    EXPECT_EQ(morph->kind, kCharMorphShape);
    struct Case {
        uint16_t ratio;
        MoviePoint corner;   // the far corner, in twips
    };
    for (Case c : {Case{0, {1000, 1000}}, Case{0x8000, {2000, 1500}}, Case{0xFFFF, {2999, 1999}}}) {
        LogSink log;
        WalkCharacter(*morph, s.root->Dictionary(), MatrixIdentity(), c.ratio, log);
        ASSERT_EQ(log.edges.size(), 4u) << c.ratio;
        EXPECT_EQ(log.edges[1].c.end, c.corner) << c.ratio;
    }
    // Bounds follow the ratio.
    Placement p;
    p.character = morph;
    p.ratio = 0x8000;
    Instance* inst = s.display.PlaceObject(s.root->GetInstance(), p);
    MovieRect b = DisplayList::ComputeBounds(*inst, MatrixIdentity());
    EXPECT_EQ(b, (MovieRect{0, 2000, 0, 1500}));
}

TEST(MovieOutline, StaticTextPlacesScaledGlyphs)
{
    // Glyph 0: a square 512 wide and 1024 tall standing on the baseline.
    MovieWriter w;
    w.Add(DefineFont2(3, {{{0, -1024}, {512, -1024}, {512, 0}, {0, 0}}}));
    w.Add(DefineText(11, 5, 0, 4000, 0, 2000, 3, 512, 0x00FF00FF, 100, 600, {{0, 300}, {0, 300}}));
    Scene s(w);
    Character* text = s.Find(5);
    ASSERT_NE(text, nullptr);
    LogSink log;
    WalkCharacter(*text, s.root->Dictionary(), MatrixIdentity(), 0, log);
    ASSERT_EQ(log.colours.size(), 1u);
    EXPECT_EQ(log.colours[0], PackRgba(0, 255, 0, 255));
    ASSERT_EQ(log.edges.size(), 8u);
    // Height 512 twips: half the em.  First glyph at x 100, baseline 600.
    EXPECT_EQ(log.edges[0].c.start, (MoviePoint{100, 88}));
    EXPECT_EQ(log.edges[0].c.end, (MoviePoint{356, 88}));
    EXPECT_EQ(log.edges[0].rule, kRuleWinding);
    // The second glyph is 300 twips further on.
    EXPECT_EQ(log.edges[4].c.start, (MoviePoint{400, 88}));
}

TEST(MovieOutline, GlyphsOfAnUndefinedFontAreSkipped)
{
    MovieWriter w;
    w.Add(DefineText(11, 5, 0, 4000, 0, 2000, 99, 512, 0x00FF00FF, 100, 600, {{0, 300}}));
    Scene s(w);
    LogSink log;
    WalkCharacter(*s.Find(5), s.root->Dictionary(), MatrixIdentity(), 0, log);
    EXPECT_TRUE(log.edges.empty());
}

TEST(MovieHitTest, FillsHolesTextAndClipLayers)
{
    MovieWriter w;
    // A 100 px square with a 40 px hole (parity of the one fill).
    BitWriter d;
    d.UI16(1);
    WriteRect(d, 0, 2000, 0, 2000);
    WriteStyleCount(d, 1);
    WriteSolidFill(d, 0xFF0000FF, false);
    WriteStyleCount(d, 0);
    WriteIndexBits(d, 1, 0);
    WritePolygon(d, {{0, 0}, {2000, 0}, {2000, 2000}, {0, 2000}}, 1, -1, 1, 0);
    WritePolygon(d, {{600, 600}, {1400, 600}, {1400, 1400}, {600, 1400}}, 1, -1, 1, 0);
    WriteEndShape(d);
    w.Add(Tag(2, d.Take()));
    Matrix at = Matrix::Translate(2000, 2000);   // at (100, 100) px
    Place donut;
    donut.depth = 1;
    donut.id = 1;
    donut.matrix = &at;
    w.Add(PlaceObject2(donut));
    // A clip layer (the left half of the stage) over a full-stage shape.
    w.Add(DefineRectShape(2, 2, 0, 0, 5500, 8000, 0x00000000));
    w.Add(DefineRectShape(2, 3, 0, 0, 11000, 8000, 0x0000FFFF));
    Place clip;
    clip.depth = 10;
    clip.id = 2;
    clip.clipDepth = 11;
    w.Add(PlaceObject2(clip));
    Place under;
    under.depth = 11;
    under.id = 3;
    w.Add(PlaceObject2(under));
    Scene s(w);
    Instance* donutInst = s.At(1);
    Instance* underInst = s.At(11);
    // Depth 11 lies over the donut, but only where its clip layer allows.
    EXPECT_EQ(s.display.HitTest({110, 110}), underInst);
    EXPECT_EQ(s.display.HitTest({400, 200}), nullptr);   // outside the clip: nothing
    s.display.RemoveObject(s.root->GetInstance(), 11);
    EXPECT_EQ(s.display.HitTest({110, 110}), donutInst);
    EXPECT_EQ(s.display.HitTest({150, 150}), nullptr);   // the hole
    EXPECT_EQ(s.display.HitTest({199, 150}), donutInst);
    EXPECT_EQ(s.display.HitTest({250, 150}), nullptr);
}

TEST(MovieOutline, RectanglesAsEdges)
{
    RecordPool<EdgeRecord> pool;
    pool.Init(600, false, 0);
    EdgeSink sink;
    sink.pool = &pool;
    FillRecord record;
    FillRecord* fill = &record;
    OutlineRect(MovieRect{0, 200, 0, 100}, MatrixScale(0x8000, 0x8000), fill, sink);
    std::vector<EdgeRecord*> edges;
    for (EdgeRecord* e = sink.head; e; e = e->next) edges.push_back(e);
    ASSERT_EQ(edges.size(), 2u);   // the horizontal sides add nothing
    int sum = 0;
    for (EdgeRecord* e : edges) {
        EXPECT_EQ(e->rule, kRuleWinding);
        EXPECT_EQ(e->y0, 0);
        EXPECT_EQ(e->y1, 50);
        EXPECT_EQ(e->fillA, fill);
        sum += e->direction;
    }
    EXPECT_EQ(sum, 0);   // one side down, one up: inside winds once
    FreeEdgeList(sink);
}
