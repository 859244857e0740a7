// Mouse and key events injected into the player: buttons, keyboard focus,
// dragging and the zoomed view's pan.
#include <gtest/gtest.h>

#include "movieplayer/input_movies.h"
#include "movieplayer/player/headless_player.h"
#include "movieplayer/headless_support.h"

using namespace moviefile_test;
using namespace movie;

namespace {

// 550 x 400 pixels at 20 twips per pixel.
void Open(HeadlessPlayer& p, const Bytes& movie)
{
    OpenServed(p, "input.swf", movie);
}

// Appends `code` to the variable "log".
ActionWriter Log(const std::string& code)
{
    ActionWriter a;
    a.Push("log").GetVariable("log").Push(code).Op(0x21).Op(0x1D);
    return a;
}

uint32_t Rgb(HeadlessPlayer& p, int x, int y)
{
    const NativeBitmap* b = p.Buffer().Bitmap();
    const uint8_t* row = b->bits + size_t(b->height - 1 - y) * size_t(b->rowBytes);
    const uint8_t* px = row + 4 * x;
    return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

// Shapes 1 (red) and 2 (blue), 100 x 50 pixels; button `id` shows them.
void ButtonShapes(MovieWriter& w)
{
    w.Add(DefineRectShape(2, 1, 0, 0, 2000, 1000, 0xFF0000FF));
    w.Add(DefineRectShape(2, 2, 0, 0, 2000, 1000, 0x0000FFFF));
}

Instance* ButtonAt(HeadlessPlayer& p, uint16_t depth)
{
    return p.Display().FindDepth(p.Root()->GetInstance(), depth);
}

}  // namespace

TEST(MovieInput, AButtonGoesOverAndDownAndActsOnRelease)
{
    MovieWriter w;
    ButtonShapes(w);
    w.Add(ButtonTag(3, 1, 2, {{1u << 2, Log("2")}, {1u << 3, Log("3")}, {1u << 4, Log("4")}, {1u << 6, Log("6")}}));
    w.Add(PlaceAt(1, 3, 2000, 2000));   // pixels 100..200 x 100..150
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    Instance* b = ButtonAt(p, 1);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Rgb(p, 150, 125), 0xFF0000u);

    struct Step {
        char event;   // m move, D move pressed, d down, u up
        int x, y;
        int state;
        const char* log;
        int cursor;
    };
    const Step steps[] = {
        {'m', 150, 125, kButtonOverUp, "<missing>", kCursorButton},
        {'d', 150, 125, kButtonOverDown, "2", kCursorButton},
        {'u', 150, 125, kButtonOverUp, "23", kCursorButton},
        {'m', 10, 10, kButtonIdle, "23", kCursorArrow},
        // Pressed, dragged off, released outside: 2, 4, 6.
        {'m', 150, 125, kButtonOverUp, "23", kCursorButton},
        {'d', 150, 125, kButtonOverDown, "232", kCursorButton},
        {'D', 300, 300, kButtonOutDown, "2324", kCursorButton},
        {'u', 300, 300, kButtonIdle, "23246", kCursorArrow},
    };
    for (const Step& s : steps) {
        if (s.event == 'm' || s.event == 'D') p.MouseMove(s.x, s.y, s.event == 'D');
        if (s.event == 'd') p.MouseDown(s.x, s.y);
        if (s.event == 'u') p.MouseUp(s.x, s.y);
        EXPECT_EQ(b->buttonState, s.state) << s.event << s.x;
        EXPECT_EQ(Var(p, "log"), s.log) << s.event << s.x;
        EXPECT_EQ(p.cursor, s.cursor) << s.event << s.x;
    }
    // The over state shows the blue shape.
    p.MouseMove(150, 125, false);
    EXPECT_EQ(Rgb(p, 150, 125), 0x0000FFu);
}

TEST(MovieInput, AStillMouseMeetsAButtonThatMovesUnderIt)
{
    // Frame 0 places the button away from the mouse, frame 1 under it.
    MovieWriter w;
    w.frameCount = 2;
    ButtonShapes(w);
    w.Add(ButtonTag(3, 1, 2, {{1u << 0, Log("0")}}));
    w.Add(PlaceAt(1, 3, 0, 0));
    w.ShowFrame();
    static Matrix m = Matrix::Translate(4000, 4000);
    Place mv;
    mv.depth = 1;
    mv.move = true;
    mv.matrix = &m;
    w.Add(PlaceObject2(mv));
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    p.MouseMove(250, 220, false);
    EXPECT_EQ(Var(p, "log"), "<missing>");
    p.Tick(100);
    EXPECT_EQ(Var(p, "log"), "0");
    EXPECT_EQ(ButtonAt(p, 1)->buttonState, kButtonOverUp);
}

TEST(MovieInput, KeyConditionsRunOnlyForTheirKey)
{
    MovieWriter w;
    ButtonShapes(w);
    w.Add(ButtonTag(3, 1, 2, {{uint16_t('a' << 9), Log("a")}, {uint16_t(kKeyEnter << 9), Log("E")}}));
    w.Add(PlaceAt(1, 3, 2000, 2000));
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    EXPECT_FALSE(p.HandleKey('b', 0));
    EXPECT_EQ(Var(p, "log"), "<missing>");
    EXPECT_TRUE(p.HandleKey('a', 0));
    EXPECT_TRUE(p.HandleKey(kKeyEnter, 0));
    EXPECT_EQ(Var(p, "log"), "aE");
}

TEST(MovieInput, TabMovesTheFocusFrameInReadingOrder)
{
    // A at (2000, 2000); C 3 twips left and 1 twip lower (key one larger);
    // B to the right of both; D below A.
    MovieWriter w;
    ButtonShapes(w);
    for (uint16_t id = 3; id <= 6; ++id) {
        const std::string name(1, char('A' + id - 3));
        w.Add(ButtonTag(id, 1, 2, {{1u << 3, Log(name)}}));
    }
    w.Add(PlaceAt(1, 3, 2000, 2000));    // A
    w.Add(PlaceAt(2, 4, 8000, 2000));    // B
    w.Add(PlaceAt(3, 5, 1997, 2001));    // C
    w.Add(PlaceAt(4, 6, 2000, 5000));    // D
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    Instance* a = ButtonAt(p, 1);
    Instance* b = ButtonAt(p, 2);
    Instance* c = ButtonAt(p, 3);
    Instance* d = ButtonAt(p, 4);

    const struct {
        int key, mods;
        Instance* focus;
    } steps[] = {
        {kKeyTab, 0, a},        {kKeyTab, 0, c},        {kKeyTab, 0, b},     {kKeyTab, 0, d},
        {kKeyTab, 0, a},        {kKeyTab, kModShift, d}, {kKeyTab, kModShift, b},
        // Arrows among buttons while the focus frame shows.
        {kKeyLeft, 0, a},        {kKeyDown, 0, d},       {kKeyUp, 0, c},
    };
    for (const auto& s : steps) {
        EXPECT_TRUE(p.HandleKey(s.key, s.mods));
        EXPECT_EQ(p.FocusButton(), s.focus) << s.key;
        EXPECT_FALSE(RectIsEmpty(p.Display().FocusRect()));
    }
    // The frame is drawn in yellow along the focused button's edge.
    p.SetFocusObject(d, 0, true);
    EXPECT_EQ(Rgb(p, 101, 251), 0xFFFF00u);
    EXPECT_EQ(Rgb(p, 150, 275), 0xFF0000u);
    // Enter presses the focused button: its release actions run.
    EXPECT_TRUE(p.HandleKey(kKeyEnter, 0));
    EXPECT_EQ(Var(p, "log"), "D");
    EXPECT_EQ(p.FocusButton(), d);
}

TEST(MovieInput, ADraggedSpriteFollowsThePointerWithinItsRectangle)
{
    // Sprite 10 holds shape 1; "box" at (1000, 1000) twips.  Frame 1 starts
    // the drag (constrained or not, per case) and stops.  "pad" lies at
    // (8000, 5000).
    struct Case {
        bool constrain;
        bool lockCentre;
        std::vector<std::pair<int, int>> moves;   // pixels
        int x, y;                                 // final _x, _y
        const char* drop;
    };
    const Case cases[] = {
        {false, false, {{80, 70}}, 80, 70, ""},
        {false, false, {{80, 70}, {420, 260}}, 420, 260, "/pad"},
        {true, false, {{80, 70}, {500, 390}}, 200, 150, ""},
        {true, false, {{10, 5}}, 20, 30, ""},
        {false, true, {{70, 60}}, 70, 60, ""},
    };
    for (const Case& k : cases) {
        MovieWriter w;
        w.frameCount = 2;
        w.Add(DefineRectShape(2, 1, 0, 0, 2000, 1000, 0xFF0000FF));
        w.Add(DefineSpriteTag(10, 1, PlaceAt(1, 1, 0, 0)));
        w.Add(PlaceAt(1, 10, 8000, 5000, "pad"));
        w.Add(PlaceAt(2, 10, 1000, 1000, "box"));
        w.ShowFrame();
        ActionWriter drag;
        if (k.constrain) drag.Push("20").Push("30").Push("200").Push("150");
        drag.Push(k.constrain ? "1" : "0").Push(k.lockCentre ? "1" : "0").Push("box").Op(0x27).Op(0x07);
        w.Add(drag.Tag());
        w.ShowFrame();
        HeadlessPlayer p(550, 400);
        Open(p, w.Finish());
        // The drag starts where the mouse is: the sprite keeps its offset.
        p.MouseMove(k.lockCentre ? 5 : 50, k.lockCentre ? 5 : 50, false);
        p.Tick(100);
        ASSERT_NE(p.dragged, nullptr);
        for (auto [x, y] : k.moves) p.MouseMove(x, y, false);
        Timeline* box = p.ResolveTarget(p.Root(), "box");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(p.GetProperty(box, 0), std::to_string(k.x)) << k.moves.back().first;
        EXPECT_EQ(p.GetProperty(box, 1), std::to_string(k.y)) << k.moves.back().first;
        EXPECT_EQ(p.GetProperty(box, 14), k.drop) << k.moves.back().first;
    }
}

TEST(MovieInput, ABackgroundPressPansAZoomedView)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 2000, 1000, 0xFF0000FF));
    w.Add(PlaceAt(1, 1, 0, 0));
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    p.Zoom(MoviePoint{5500, 4000}, 50);
    const MovieRect z = p.ZoomRect();
    EXPECT_EQ(z.xmax - z.xmin, 5500);
    EXPECT_EQ(z.ymax - z.ymin, 4000);
    EXPECT_EQ(z.xmin, 2750);
    EXPECT_EQ(p.CursorType(), kCursorZoomed);
    // Drag the background 100 pixels right: the view moves 1000 twips left
    // (10 twips per pixel at this zoom); then it stops at the frame's edge.
    p.MouseDown(300, 200);
    p.MouseMove(400, 200, true);
    EXPECT_EQ(p.ZoomRect().xmin, 1750);
    p.MouseMove(550, 200, true);
    EXPECT_EQ(p.ZoomRect().xmin, 250);
    p.MouseMove(700, 200, true);
    EXPECT_EQ(p.ZoomRect().xmin, 0);
    p.MouseUp(700, 200);
    // A zoom that covers the frame is dropped.
    p.Zoom(MoviePoint{5500, 4000}, 400);
    EXPECT_TRUE(RectIsEmpty(p.ZoomRect()));
}
