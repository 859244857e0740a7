// Editable text fields: variables bound to fields, typing and the editing
// keys, selection, the clipboard, scrolling, focus across a seek, and how
// a field is drawn.
#include <gtest/gtest.h>

#include <cstdlib>

#include "movieplayer/image/png_writer.h"
#include "movieplayer/input_movies.h"
#include "movieplayer/player/headless_player.h"
#include "movieplayer/headless_support.h"

using namespace moviefile_test;
using namespace movie;

namespace {

void Open(HeadlessPlayer& p, const Bytes& movie)
{
    OpenServed(p, "field.swf", movie);
}

uint32_t Rgb(HeadlessPlayer& p, int x, int y)
{
    const NativeBitmap* b = p.Buffer().Bitmap();
    const uint8_t* px = b->bits + size_t(b->height - 1 - y) * size_t(b->rowBytes) + 4 * x;
    return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

// With WB_MOVIE_PNG set, leaves the screen as a picture in that folder.
void Keep(HeadlessPlayer& p, const std::string& name)
{
    const char* dir = std::getenv("WB_MOVIE_PNG");
    if (!dir) return;
    const NativeBitmap* b = p.Buffer().Bitmap();
    std::vector<uint32_t> px(size_t(b->width) * size_t(b->height));
    for (int y = 0; y < b->height; ++y)
        for (int x = 0; x < b->width; ++x) px[size_t(y * b->width + x)] = 0xFF000000u | Rgb(p, x, y);
    WritePng(std::string(dir) + "/" + name + ".png", px.data(), b->width, b->height, b->width);
}

int CountRgb(HeadlessPlayer& p, int x0, int y0, int x1, int y1, uint32_t rgb)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += Rgb(p, x, y) == rgb;
    return n;
}

// One field (id 7) at (1000, 1000) twips, 50 pixels from the corner; more
// frames and tags may follow.
Bytes FieldMovie(const EditTextDef& d, const std::vector<Bytes>& more = {}, int frames = 1)
{
    MovieWriter w;
    w.frameCount = uint16_t(frames);
    w.Add(EditTextTag(7, d));
    w.Add(PlaceAt(1, 7, 1000, 1000));
    for (const Bytes& b : more) w.Add(b);
    w.ShowFrame();
    return w.Finish();
}

Instance* Field(HeadlessPlayer& p)
{
    return p.Display().Fields().empty() ? nullptr : p.Display().Fields().front();
}

std::string Utf8(const std::u16string& s)
{
    return std::string(s.begin(), s.end());
}

}  // namespace

TEST(MovieTextField, ShowsItsVariableAndWritesTypedTextBack)
{
    EditTextDef d;
    d.variable = "name";
    d.text = "Ann";
    HeadlessPlayer p(550, 400);
    Open(p, FieldMovie(d));
    Instance* f = Field(p);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->editText, nullptr);
    // The initial text creates the missing variable.
    EXPECT_EQ(Var(p, "name"), "Ann");
    EXPECT_EQ(Utf8(f->editText->Text()), "Ann");
    // A script's value shows in the field.
    p.SetVariable(p.Root(), "name", "Bob");
    p.UpdateScreen();
    EXPECT_EQ(Utf8(f->editText->Text()), "Bob");
    // A click places the caret at the end (the field is 200 pixels wide),
    // focuses the field and shows the text cursor.
    p.MouseMove(230, 60, false);
    EXPECT_EQ(p.cursor, -1);
    EXPECT_EQ(p.CursorType(), kCursorText);
    p.MouseDown(230, 60);
    p.MouseUp(230, 60);
    EXPECT_EQ(p.FocusField(), f);
    EXPECT_EQ(f->editText->caret, 3);
    for (char c : std::string("by")) EXPECT_TRUE(p.HandleKey(c, 0));
    EXPECT_EQ(Var(p, "name"), "Bobby");
    // A field without a variable shows its initial text.
    EditTextDef plain;
    plain.text = "Hello";
    HeadlessPlayer q(550, 400);
    Open(q, FieldMovie(plain));
    EXPECT_EQ(Utf8(Field(q)->editText->Text()), "Hello");
}

TEST(MovieTextField, EditingKeysSelectionAndClipboard)
{
    struct Key {
        int code, mods;
    };
    const int shift = kModShift, ctrl = kModControl;
    struct Case {
        std::vector<Key> keys;
        const char* text;
        int anchor, caret;
        const char* clipboard;
    };
    const Case cases[] = {
        {{{kKeyHome, 0}, {kKeyDelete, 0}}, "ello world", 0, 0, ""},
        {{{kKeyEnd, 0}, {kKeyBackspace, 0}, {kKeyBackspace, 0}}, "hello wor", 9, 9, ""},
        {{{kKeyHome, 0}, {kKeyRight, 0}, {kKeyRight, 0}, {'X', 0}}, "heXllo world", 3, 3, ""},
        {{{kKeyHome, 0}, {kKeyRight, shift}, {kKeyRight, shift}, {kKeyRight, shift}, {kKeyRight, shift},
          {kKeyRight, shift}, {'J', 0}},
         "J world", 1, 1, ""},
        {{{kKeyHome, 0}, {kKeyRight, ctrl}}, "hello world", 6, 6, ""},
        {{{kKeyEnd, 0}, {kKeyLeft, ctrl}}, "hello world", 6, 6, ""},
        {{{kKeyEnd, 0}, {kKeyHome, shift}}, "hello world", 11, 0, ""},
        {{{kKeyHome, 0}, {kKeyDelete, ctrl}}, " world", 0, 0, ""},
        {{{kKeyHome, 0}, {kKeyDelete, ctrl | shift}}, "hello world", 0, 0, ""},
        // Focus selects all; a character replaces the whole text.
        {{{'Z', 0}}, "Z", 1, 1, ""},
        {{{kKeyEnd, 0}, {kKeySelectAll, 0}, {kKeyBackspace, 0}}, "", 0, 0, ""},
        {{{kKeyEnd, 0}, {kKeyPageUp, shift}, {kKeyCopy, 0}, {kKeyEnd, 0}, {kKeyPaste, 0}},
         "hello worldhello world", 22, 22, "hello world"},
        {{{kKeyHome, 0}, {kKeyEnd, shift}, {kKeyClear, 0}}, "", 0, 0, ""},
        {{{kKeyHome, 0}, {kKeyRight, ctrl | shift}, {kKeyCut, 0}}, "world", 0, 0, "hello "},
        {{{kKeyInsert, 0}, {kKeyHome, 0}, {'J', 0}, {'E', 0}, {kKeyInsert, 0}}, "JEllo world", 2, 2, ""},
    };
    for (const Case& k : cases) {
        EditTextDef d;
        d.variable = "t";
        d.text = "hello world";
        HeadlessPlayer p(550, 400);
        Open(p, FieldMovie(d));
        Instance* f = Field(p);
        p.SetFocusObject(f, 0, true);
        for (const Key& key : k.keys) p.HandleKey(key.code, key.mods);
        EXPECT_EQ(Var(p, "t"), k.text) << k.text;
        EXPECT_EQ(f->editText->anchor, k.anchor) << k.text;
        EXPECT_EQ(f->editText->caret, k.caret) << k.text;
        EXPECT_EQ(Utf8(p.clipboard), k.clipboard) << k.text;
    }
}

TEST(MovieTextField, LimitsReadOnlyFieldsPastesAndLettersTheFontLacks)
{
    HeadlessPlayer p(550, 400);
    EditTextDef d;
    d.variable = "t";
    d.maxLength = 5;
    Open(p, FieldMovie(d));
    Instance* f = Field(p);
    p.SetFocusObject(f, 0, false);
    for (char c : std::string("abcdefg")) p.HandleKey(c, 0);
    EXPECT_EQ(Var(p, "t"), "abcde");
    // Overwrite mode replaces characters up to the limit.
    p.HandleKey(kKeyInsert, 0);
    p.HandleKey(kKeyHome, 0);
    for (char c : std::string("xyzuvw")) p.HandleKey(c, 0);
    EXPECT_EQ(Var(p, "t"), "xyzuv");
    p.HandleKey(kKeyInsert, 0);
    // Pasted line feeds are removed by the clipboard service.
    p.HandleKey(kKeySelectAll, 0);
    p.clipboard = u"ab\ncd\n";
    p.HandleKey(kKeyPaste, 0);
    EXPECT_EQ(Var(p, "t"), "abcd");

    // Read-only: no edits, and not in the Tab order.
    EditTextDef ro;
    ro.variable = "r";
    ro.text = "fixed";
    ro.flags = kEditReadOnly;
    HeadlessPlayer q(550, 400);
    Open(q, FieldMovie(ro));
    q.SetFocusObject(Field(q), 0, false);
    for (int code : {int('x'), int(kKeyBackspace), int(kKeyDelete), int(kKeyPaste)}) q.HandleKey(code, 0);
    EXPECT_EQ(Var(q, "r"), "fixed");
    q.SetFocusObject(nullptr, 0, false);
    q.HandleKey(kKeyTab, 0);
    EXPECT_EQ(q.FocusField(), nullptr);

    // A movie font with capitals only (codes A, B, C): lower-case letters
    // come in as capitals, letters it has no glyph for not at all.
    const std::vector<std::pair<int32_t, int32_t>> box{{0, -700}, {500, -700}, {500, 0}, {0, 0}};
    EditTextDef own;
    own.variable = "o";
    own.fontId = 2;
    own.height = 400;
    own.flags = kEditUseOutlines;
    HeadlessPlayer r(550, 400);
    MovieWriter w;
    w.Add(NamedFont(2, "Caps", {box, box, box}));
    w.Add(EditTextTag(7, own));
    w.Add(PlaceAt(1, 7, 1000, 1000));
    w.ShowFrame();
    Open(r, w.Finish());
    r.SetFocusObject(Field(r), 0, false);
    for (char c : std::string("abzC")) r.HandleKey(c, 0);
    EXPECT_EQ(Var(r, "o"), "ABC");
}

TEST(MovieTextField, AFieldNarrowerThanItsTextScrolls)
{
    // 60 pixels wide, one line: typing moves the view to keep the caret in.
    EditTextDef d;
    d.xmax = 1200;
    d.variable = "t";
    HeadlessPlayer p(550, 400);
    Open(p, FieldMovie(d));
    EditText& e = *Field(p)->editText;
    p.SetFocusObject(Field(p), 0, false);
    for (int i = 0; i < 30; ++i) p.HandleKey('W', 0);
    EXPECT_GT(e.hscroll, 10);
    const MovieRect area = e.Area();
    EXPECT_LE(e.CharX(e.caret), area.xmax);
    EXPECT_GE(e.CharX(e.caret), area.xmin);
    p.HandleKey(kKeyHome, 0);
    EXPECT_EQ(e.hscroll, 0);
    // Moving left past the view scrolls back by a quarter of the width.
    p.HandleKey(kKeyEnd, 0);
    const int before = e.hscroll;
    while (e.caret >= before) p.HandleKey(kKeyLeft, 0);
    EXPECT_LT(e.hscroll, before);
    EXPECT_GT(e.CharX(e.caret), area.xmin);

    // Multi-line word wrap: lines break after blanks; scripts read and set
    // the scroll line through "t.scroll" and "t.maxscroll".
    EditTextDef m;
    m.xmax = 2000;
    m.ymax = 1300;
    m.flags = kEditMultiLine | kEditWordWrap;
    m.variable = "t";
    m.text = "one two three four five six seven eight nine ten eleven twelve";
    HeadlessPlayer q(550, 400);
    ActionWriter a;
    a.Push("max").GetVariable("t.maxscroll").Op(0x1D).SetVariable("t.scroll", "3").Push("now").GetVariable("t.scroll").Op(0x1D);
    Open(q, FieldMovie(m, {a.Tag()}));
    EditText& t = *Field(q)->editText;
    EXPECT_GT(t.LineCount(), 3);
    for (int l = 1; l < t.LineCount(); ++l) EXPECT_EQ(t.Text()[size_t(t.LineStart(l) - 1)], u' ') << l;
    EXPECT_EQ(Var(q, "max"), std::to_string(t.LineCount() - t.VisibleLines() + 1));
    EXPECT_EQ(Var(q, "now"), "3");
    EXPECT_EQ(t.scroll, 2);
    // The caret is kept in view.
    q.SetFocusObject(Field(q), 0, false);
    q.HandleKey(kKeyPageDown, 0);
    EXPECT_EQ(t.scroll, t.maxScroll);
    q.HandleKey(kKeyUp, 0);
    q.HandleKey(kKeyPageUp, 0);
    EXPECT_EQ(t.scroll, 0);
}

TEST(MovieTextField, ASeekKeepsTheFocusedField)
{
    // Frame 0 places the field, frame 1 moves it; looping back to frame 0
    // re-creates it, and the new field takes the focus and selection back.
    EditTextDef d;
    d.variable = "t";
    d.text = "abcdef";
    MovieWriter w;
    w.frameCount = 2;
    w.Add(EditTextTag(7, d));
    w.Add(PlaceAt(1, 7, 1000, 1000));
    w.ShowFrame();
    static Matrix m = Matrix::Translate(1000, 3000);
    Place mv;
    mv.depth = 1;
    mv.move = true;
    mv.matrix = &m;
    w.Add(PlaceObject2(mv));
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    p.SetFocusObject(Field(p), 0, false);
    p.HandleKey(kKeyEnd, 0);
    p.HandleKey(kKeyLeft, kModShift);
    p.HandleKey(kKeyLeft, kModShift);
    Instance* before = Field(p);
    p.Tick(100);
    p.Tick(100);
    ASSERT_EQ(p.Root()->CurrentFrame(), 0);
    Instance* after = p.FocusField();
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after, Field(p));
    EXPECT_EQ(after->matrix.ty, 1000);
    (void)before;
    EXPECT_EQ(after->editText->anchor, 6);
    EXPECT_EQ(after->editText->caret, 4);
    p.HandleKey('X', 0);
    EXPECT_EQ(Var(p, "t"), "abcdX");
}

TEST(MovieTextField, ChangingTheTextCallsTheChangedFrame)
{
    // Frame 0 stops; frame 1, labelled "t_changed", counts calls.
    EditTextDef d;
    d.variable = "t";
    MovieWriter w;
    w.frameCount = 2;
    w.Add(EditTextTag(7, d));
    w.Add(PlaceAt(1, 7, 1000, 1000));
    ActionWriter stop;
    stop.Op(0x07);
    w.Add(stop.Tag());
    w.ShowFrame();
    w.Add(FrameLabel("t_changed"));
    ActionWriter count;
    count.Push("n").GetVariable("n").PushFloat(1).Op(0x0A).Op(0x1D);
    w.Add(count.Tag());
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    p.SetFocusObject(Field(p), 0, false);
    p.HandleKey('a', 0);
    p.HandleKey('b', 0);
    p.HandleKey(kKeyLeft, 0);
    p.HandleKey(kKeyBackspace, 0);
    EXPECT_EQ(Var(p, "t"), "b");
    EXPECT_EQ(Var(p, "n"), "3");
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);
}

TEST(MovieTextField, DrawsBorderTextSelectionAndCaret)
{
    // Green stage; a bordered field at pixels (50, 50)-(250, 80) holding
    // "HHHH" in black.
    EditTextDef d;
    d.flags = kEditBorder;
    d.variable = "t";
    d.text = "HHHH";
    MovieWriter w;
    w.Background(0, 255, 0);
    w.Add(EditTextTag(7, d));
    w.Add(PlaceAt(1, 7, 1000, 1000));
    w.ShowFrame();
    HeadlessPlayer p(550, 400);
    Open(p, w.Finish());
    p.UpdateScreen();
    EXPECT_EQ(Rgb(p, 40, 60), 0x00FF00u);
    EXPECT_EQ(Rgb(p, 50, 60), 0x000000u);    // the frame
    EXPECT_EQ(Rgb(p, 150, 50), 0x000000u);
    EXPECT_EQ(Rgb(p, 200, 75), 0xFFFFFFu);   // inside, past the text
    Keep(p, "field");
    const int black = CountRgb(p, 52, 52, 248, 78, 0x000000);
    EXPECT_GT(black, 20);                    // four capitals
    // Focused with everything selected: a black band with white letters.
    p.SetFocusObject(Field(p), 0, true);
    Keep(p, "field_selected");
    const int selected = CountRgb(p, 52, 52, 248, 78, 0x000000);
    const int white = CountRgb(p, 52, 52, 100, 78, 0xFFFFFF);
    EXPECT_GT(selected, 3 * black);
    EXPECT_GT(white, 30);
    // Caret: a one-pixel line at the caret when the blink phase is on.
    p.HandleKey(kKeyHome, 0);
    EditText& e = *Field(p)->editText;
    e.blink = true;
    p.Display().MarkChanged(Field(p));
    p.UpdateScreen();
    // Above the capitals' tops.
    const int x = 50 + e.CharX(0) / 20, y = 50 + e.LineTop(0) / 20 + 1;
    EXPECT_EQ(Rgb(p, x, y), 0x000000u);
    p.BlinkCaret();
    EXPECT_FALSE(e.blink);
    EXPECT_EQ(Rgb(p, x, y), 0xFFFFFFu);
}
