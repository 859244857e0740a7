// The display list without drawing: dirty rectangles, the camera, the action
// queue and the button state machine.
#include <gtest/gtest.h>

#include "movieplayer/character/character.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/moviefile_writer.h"

using namespace moviefile_test;
using namespace movie;

namespace {

bool Overlap(const MovieRect& a, const MovieRect& b)
{
    return a.xmin < b.xmax && b.xmin < a.xmax && a.ymin < b.ymax && b.ymin < a.ymax;
}

}  // namespace

TEST(MovieDirty, RectanglesGrowByTwoAndStayOnTheStage)
{
    DisplayList d;
    d.SetStageSize(100, 100);
    d.Invalidate(MovieRect{10, 20, 10, 20});
    ASSERT_EQ(d.DirtyCount(), 1);
    EXPECT_EQ(d.Dirty(0), (MovieRect{8, 22, 8, 22}));
    d.ClearDirty();
    d.Invalidate(MovieRect{500, 600, 500, 600});
    EXPECT_EQ(d.DirtyCount(), 0);
    d.Invalidate(MovieRect{-50, 5, -50, 5});
    EXPECT_EQ(d.Dirty(0), (MovieRect{0, 7, 0, 7}));
}

TEST(MovieDirty, FourOverlappingLeaveAtMostThree)
{
    DisplayList d;
    d.SetStageSize(1000, 1000);
    // Far apart at first, so that no pair merges on its own.
    d.Invalidate(MovieRect{0, 100, 0, 100});
    d.Invalidate(MovieRect{300, 400, 0, 100});
    d.Invalidate(MovieRect{600, 700, 0, 100});
    EXPECT_EQ(d.DirtyCount(), 3);
    d.Invalidate(MovieRect{0, 100, 500, 600});
    EXPECT_LE(d.DirtyCount(), 3);
}

TEST(MovieDirty, CrossingRectanglesAreDrawnAsTwoDisjointOnes)
{
    DisplayList d;
    d.SetStageSize(1000, 1000);
    d.Invalidate(MovieRect{100, 900, 450, 550});   // wide bar
    d.Invalidate(MovieRect{450, 550, 100, 900});   // tall bar
    d.PrepareDirty();
    ASSERT_EQ(d.DirtyCount(), 2);
    EXPECT_FALSE(Overlap(d.Dirty(0), d.Dirty(1)));
    // Together they still cover both bars.
    for (MoviePoint p : {MoviePoint{120, 500}, MoviePoint{880, 500}, MoviePoint{500, 120}, MoviePoint{500, 880}}) {
        bool covered = RectContainsPoint(d.Dirty(0), p) || RectContainsPoint(d.Dirty(1), p);
        EXPECT_TRUE(covered) << p.x << "," << p.y;
    }
}

TEST(MovieCamera, ScaleModesAndAlignment)
{
    DisplayList d;
    MovieRect movie{0, 11000, 0, 8000};   // 550 x 400 pixels
    d.SetCamera(movie, MovieRect{0, 1100, 0, 800}, false, 0);
    EXPECT_EQ(d.StageMatrix().a, FixedDiv(1100, 11000));
    // The scale truncates (5500 twips map to 549.99 pixels); the translation,
    // a device coordinate, is rounded: the frame's centre stays at 550.
    EXPECT_EQ(d.StageMatrix().tx, 0);
    // Fit into a tall window: the smaller scale, centred vertically.
    d.SetCamera(movie, MovieRect{0, 550, 0, 1000}, false, 0);
    EXPECT_EQ(d.StageMatrix().a, d.StageMatrix().d);
    EXPECT_EQ(d.StageMatrix().a, FixedDiv(550, 11000));
    EXPECT_EQ(d.StageMatrix().ty, 500 - 200);
    // No scaling: 1/20 pixel per twip, times 4 with anti-aliasing.
    d.SetCamera(movie, MovieRect{0, 100, 0, 100}, true, 3 | 0x10 | 0x40);
    EXPECT_EQ(d.StageMatrix().a, 13107);
    EXPECT_EQ(d.StageMatrix().tx, 0);
    EXPECT_TRUE(d.Antialias());
}

TEST(MovieActionQueue, GrowsToItsLimitThenRefuses)
{
    ActionQueue q;
    int refused = 0;
    for (int i = 0; i < 5000; ++i)
        if (q.Post(size_t(i), size_t(i + 1), nullptr) < 0) ++refused;
    EXPECT_EQ(q.Capacity(), ActionQueue::kMaxCapacity);
    EXPECT_EQ(refused, 5000 - 4096);
    QueuedAction a;
    ASSERT_TRUE(q.Take(&a));
    EXPECT_EQ(a.pos, 0u);   // oldest first across the growth
    size_t last = 0;
    while (q.Take(&a)) last = a.pos;
    EXPECT_EQ(last, 4095u);
}

TEST(MovieActionQueue, ChainedCancelMatchesTheScanningQueue)
{
    // The queue never reads through its targets: addresses stand for them.
    alignas(16) static char places[6][16];
    Timeline* targets[6] = {nullptr};
    for (int k = 1; k < 6; ++k) targets[k] = reinterpret_cast<Timeline*>(places[k]);
    ActionQueue fast;
    ReferenceActionQueue slow;
    uint32_t state = 12345;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    // Long bursts of posts push both through the growth steps and the
    // limit; takes and cancels interleave with them.
    for (int i = 0; i < 60000; ++i) {
        const uint32_t r = next();
        const int kind = int(r % 16);
        Timeline* t = targets[(r >> 4) % 6];
        if (kind < 9) {
            EXPECT_EQ(fast.Post(size_t(i), size_t(i) + 7, t) < 0, slow.Post(size_t(i), size_t(i) + 7, t) < 0);
        } else if (kind < 14) {
            QueuedAction a, b;
            const bool got = fast.Take(&a);
            ASSERT_EQ(got, slow.Take(&b));
            if (got) {
                EXPECT_EQ(a.pos, b.pos);
                EXPECT_EQ(a.end, b.end);
                EXPECT_EQ(a.target, b.target);
            }
        } else {
            fast.Cancel(t);
            slow.Cancel(t);
        }
        ASSERT_EQ(fast.Count(), slow.Count());
    }
    QueuedAction a, b;
    while (slow.Take(&b)) {
        ASSERT_TRUE(fast.Take(&a));
        EXPECT_EQ(a.pos, b.pos);
        EXPECT_EQ(a.target, b.target);
    }
    EXPECT_FALSE(fast.Take(&a));
}

namespace {

struct ButtonMovie {
    DisplayList display;
    std::unique_ptr<Timeline> root = Timeline::CreateRoot(&display, 0);
    Instance* button = nullptr;

    explicit ButtonMovie(bool menu = false)
    {
        MovieWriter w;
        w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
        w.Add(DefineRectShape(2, 2, 0, 0, 200, 200, 0x00FF00FF));
        w.Add(DefineButton2(3, menu));
        Place b;
        b.depth = 10;
        b.id = 3;
        w.Add(PlaceObject2(b));
        w.ShowFrame();
        Bytes file = w.Finish();
        root->Append(file.data(), file.size());
        display.StepTimelines();
        button = display.FindDepth(root->GetInstance(), 10);
    }
    int Shown() { return button->children ? button->children->character->id : 0; }
    std::vector<int> Posted()
    {
        std::vector<int> out;
        QueuedAction a;
        while (display.Actions().Take(&a)) out.push_back(root->Movie().Data()[a.pos] & 0x7F);
        return out;
    }
};

}  // namespace

TEST(MovieButtons, PressAndReleaseOutsidePassesTwoFourSix)
{
    ButtonMovie m;
    ASSERT_NE(m.button, nullptr);
    EXPECT_EQ(m.button->buttonState, kButtonIdle);
    EXPECT_EQ(m.Shown(), 1);
    std::vector<int> codes;
    codes.push_back(m.display.ButtonTransition(m.button, false));   // move over
    EXPECT_EQ(m.Shown(), 2);
    codes.push_back(m.display.ButtonTransition(m.button, true));    // press
    codes.push_back(m.display.ButtonTransition(nullptr, true));     // drag off
    EXPECT_EQ(m.button->buttonState, kButtonOutDown);
    codes.push_back(m.display.ButtonTransition(nullptr, false));    // release outside
    EXPECT_EQ(codes, (std::vector<int>{0, 2, 4, 6}));
    EXPECT_EQ(m.Posted(), codes);
    EXPECT_EQ(m.Shown(), 1);
    EXPECT_EQ(m.display.TrackedButton(), nullptr);
    EXPECT_EQ(m.display.ButtonTransition(nullptr, false), -1);
}

TEST(MovieButtons, ClickAndMenuTracking)
{
    ButtonMovie m;
    EXPECT_EQ(m.display.ButtonTransition(m.button, false), 0);
    EXPECT_EQ(m.display.ButtonTransition(m.button, true), 2);
    EXPECT_EQ(m.display.ButtonTransition(m.button, false), 3);   // a click
    EXPECT_EQ(m.display.ButtonTransition(nullptr, false), 1);

    ButtonMovie menu(true);
    EXPECT_EQ(menu.display.ButtonTransition(menu.button, true), 7);   // pressed elsewhere, dragged on
    EXPECT_EQ(menu.display.ButtonTransition(nullptr, true), 8);
    EXPECT_EQ(menu.Posted(), (std::vector<int>{7, 8}));
}

TEST(MovieButtons, FocusBoundsAreTheUpStateRecords)
{
    ButtonMovie m;
    MovieRect b = m.display.FocusBounds(m.button);
    EXPECT_EQ(b, (MovieRect{0, 200, 0, 200}));
    EXPECT_TRUE(RectIsEmpty(m.display.FocusBounds(m.button->children)));   // a shape has none
}

TEST(MovieDisplay, ClonesAndSubtreeBounds)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 100, 0xFF0000FF));
    BitWriter sp;
    sp.UI16(5);
    sp.UI16(1);
    Place inner;
    inner.depth = 1;
    inner.id = 1;
    sp.Append(PlaceObject2(inner));
    sp.Append(Tag(1, {}));
    sp.UI16(0);
    w.Add(Tag(39, sp.Take(), true));
    Matrix at = Matrix::Translate(1000, 500);
    Place s;
    s.depth = 3;
    s.id = 5;
    s.matrix = &at;
    s.name = "ball";
    w.Add(PlaceObject2(s));
    w.ShowFrame();
    Bytes file = w.Finish();
    DisplayList d;
    auto root = Timeline::CreateRoot(&d, 0);
    root->Append(file.data(), file.size());
    d.StepTimelines();
    Instance* ball = d.FindDepth(root->GetInstance(), 3);
    ASSERT_NE(ball, nullptr);
    Instance* copy = d.CloneSprite(ball, 7, "ball2");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->name, "ball2");
    EXPECT_EQ(copy->matrix, ball->matrix);
    ASSERT_NE(copy->children, nullptr);   // its own timeline placed the shape
    EXPECT_NE(copy->sprite.get(), ball->sprite.get());
    EXPECT_EQ(d.CloneSprite(ball->children, 9, nullptr), nullptr);   // not a sprite
    EXPECT_EQ(d.SubtreeBounds(ball, ball->matrix), (MovieRect{1000, 1200, 500, 600}));
}

TEST(MovieButtons, HitTestFindsButtonsByTheirHitRecords)
{
    ButtonMovie m;
    // No camera: buffer units are twips; the hit record is shape 1 (0..200).
    EXPECT_EQ(m.display.HitTestButtons({100, 100}), m.button);
    EXPECT_EQ(m.display.HitTestButtons({300, 100}), nullptr);
    EXPECT_EQ(m.display.HitTestButtons({-5, 100}), nullptr);   // off the stage
    // The plain hit test finds what the button shows.
    EXPECT_EQ(m.display.HitTest({100, 100}), m.button->children);
}
