// The player core on a clock the test moves: frames, scripts, levels,
// sprites, clones, URL streams from local files and the script limits.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "movieplayer/action_writer.h"
#include "movieplayer/player/headless_player.h"
#include "movieplayer/player/number_text.h"

using namespace moviefile_test;
using namespace movie;

namespace {

// A folder of its own per test for the movie files.
class TempFolder {
public:
    TempFolder()
    {
        const char* base = std::getenv("TMPDIR");
        path_ = std::filesystem::path(base ? base : "/tmp") /
                ("movie_player_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string Write(const std::string& name, const Bytes& bytes) const
    {
        std::string p = (path_ / name).string();
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        return p;
    }
    std::string Write(const std::string& name, const std::string& text) const
    {
        return Write(name, Bytes(text.begin(), text.end()));
    }

private:
    std::filesystem::path path_;
};

std::string Var(HeadlessPlayer& p, const std::string& path, Timeline* from = nullptr)
{
    std::string v;
    if (!from) from = p.Root();
    return p.GetVariable(from, path, &v) ? v : "<missing>";
}

// A movie of `frames` frames whose frame i runs scripts[i] (when given).
Bytes ScriptMovie(const std::vector<ActionWriter>& scripts, int frames, const std::vector<Bytes>& extra = {})
{
    MovieWriter w;
    w.frameCount = uint16_t(frames);
    for (const Bytes& b : extra) w.Add(b);
    for (int f = 0; f < frames; ++f) {
        if (size_t(f) < scripts.size() && scripts[size_t(f)].Size()) w.Add(scripts[size_t(f)].Tag());
        w.ShowFrame();
    }
    return w.Finish();
}

void Open(HeadlessPlayer& p, const Bytes& movie, size_t piece = 1024)
{
    p.OpenMovie("test.swf");
    ASSERT_TRUE(p.ServeBytes(movie.data(), movie.size(), piece));
}

}  // namespace

TEST(MoviePlayer, FramesAdvanceOnTheClockOnePerTick)
{
    // Frame i sets "f" to i.
    std::vector<ActionWriter> s(3);
    for (int i = 0; i < 3; ++i) s[size_t(i)].SetVariable("f", std::to_string(i));
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie(s, 3));
    ASSERT_TRUE(p.Loaded());
    EXPECT_EQ(p.timerInterval, 8);   // 83 ms / 10
    EXPECT_EQ(p.resizedWidth, 550);
    EXPECT_EQ(Var(p, "f"), "0");
    p.Tick(1);   // the first tick after the start is due at once
    EXPECT_EQ(Var(p, "f"), "1");
    p.Tick(40);
    EXPECT_EQ(Var(p, "f"), "1");   // not due yet
    p.Tick(43);
    EXPECT_EQ(Var(p, "f"), "2");
    // A late tick plays one frame and schedules the next a delay later.
    p.Tick(500);
    EXPECT_EQ(Var(p, "f"), "0");   // looped to frame 0
    p.Tick(82);
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);
    p.Tick(1);
    EXPECT_EQ(p.Root()->CurrentFrame(), 1);
}

TEST(MoviePlayer, TheClockWrapsAfter31Bits)
{
    std::vector<ActionWriter> s(2);
    HeadlessPlayer p(100, 80);
    p.now = 0x7FFFFFFFu - 100;
    Open(p, ScriptMovie(s, 2));
    p.Tick(0);
    EXPECT_EQ(p.Root()->CurrentFrame(), 1);
    p.Tick(83);   // past the wrap of the masked clock
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);
    p.Tick(83);
    EXPECT_EQ(p.Root()->CurrentFrame(), 1);
    p.Tick(83);
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);
    p.Tick(40);
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);
}

TEST(MoviePlayer, GotoStopAndLabels)
{
    // Frame 0 jumps to the label "later" (frame 3) and plays; frame 3 stops.
    std::vector<ActionWriter> s(5);
    s[0].GotoLabel("LATER").Op(0x06);
    s[3].SetVariable("seen", "3").Op(0x07);
    s[1].SetVariable("seen", "1");
    MovieWriter w;
    w.frameCount = 5;
    for (int f = 0; f < 5; ++f) {
        if (f == 3) w.Add(FrameLabel("later"));
        if (s[size_t(f)].Size()) w.Add(s[size_t(f)].Tag());
        w.ShowFrame();
    }
    HeadlessPlayer p(100, 80);
    Open(p, w.Finish());
    EXPECT_EQ(p.Root()->CurrentFrame(), 3);
    EXPECT_EQ(Var(p, "seen"), "3");
    EXPECT_FALSE(p.Root()->Playing());
    p.Tick(100);
    p.Tick(100);
    EXPECT_EQ(p.Root()->CurrentFrame(), 3);
    // GotoFrame2 with a frame expression "1" (counted from 1) and play.
    ActionWriter g;
    g.Push("_level0:2").GotoFrame2(true);
    Bytes movie2 = ScriptMovie({g}, 3);
    HeadlessPlayer q(100, 80);
    Open(q, movie2);
    EXPECT_EQ(q.Root()->CurrentFrame(), 1);
    EXPECT_TRUE(q.Root()->Playing());
}

TEST(MoviePlayer, VariablesAcrossTimelinesAndASpritesOwnTimeline)
{
    // The sprite (id 5, named "s") counts its own frames in "n" and copies the
    // root's "a" plus one into its "b"; the root stops and reads "/s:b".
    ActionWriter sprite0;
    sprite0.Push("b").GetVariable("/:a").PushFloat(1).Op(0x0A).Op(0x1D).SetVariable("n", "0");
    ActionWriter sprite1;
    sprite1.Push("n").GetVariable("n").PushFloat(1).Op(0x0A).Op(0x1D).Op(0x07);
    Bytes spriteTags;
    for (const Bytes& b : {sprite0.Tag(), Tag(1, {}), sprite1.Tag(), Tag(1, {})})
        spriteTags.insert(spriteTags.end(), b.begin(), b.end());
    ActionWriter root0;
    root0.SetVariable("a", "41").Op(0x07);
    Place place;
    place.id = 5;
    place.depth = 1;
    place.name = "s";
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({root0}, 1, {DefineSpriteTag(5, 2, spriteTags), PlaceObject2(place)}));
    Timeline* s = p.ResolveTarget(p.Root(), "/s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(p.TargetPath(s), "/s");
    // The sprite's first frame ran before the root's script set "a".
    p.SetVariable(p.Root(), "/s:b", "");
    p.Tick(83);
    EXPECT_EQ(s->CurrentFrame(), 1);
    EXPECT_EQ(Var(p, "/s:n"), "1");
    EXPECT_FALSE(s->Playing());
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);   // the root stopped, the sprite played on
    // Tell target: the root's script drives the sprite back and reads through paths.
    ActionWriter tell;
    tell.SetTarget("s").GotoFrame(0).SetTarget("").SetVariable("fromRoot", "x");
    EXPECT_EQ(Var(p, "s:n", p.Root()), "1");
    EXPECT_EQ(Var(p, "_level0/s:n", s), "1");   // a relative path may start at a level
    EXPECT_EQ(Var(p, "_level0:a", s), "41");
    EXPECT_EQ(Var(p, "..:a", s), "41");
    EXPECT_EQ(p.GetProperty(s, 4), "2");   // _currentframe
    EXPECT_EQ(p.GetProperty(s, 13), "s");
    p.SetProperty(s, 0, "12.5");           // _x in pixels
    EXPECT_EQ(s->GetInstance()->matrix.tx, 250);
    EXPECT_EQ(p.GetProperty(s, 0), "12.5");
    p.SetProperty(s, 0, "1e300");          // saturates
    EXPECT_EQ(s->GetInstance()->matrix.tx, INT32_MAX);
    p.SetProperty(s, 6, "50");             // _alpha
    EXPECT_EQ(p.GetProperty(s, 6), "50");
}

TEST(MoviePlayer, DuplicateAndRemoveMovieClips)
{
    ActionWriter frame0;
    frame0.Push("s").Push("copy").PushFloat(3).Op(0x24);   // duplicateMovieClip("s", "copy", 3)
    frame0.Push("s").Push("other").PushFloat(-1).Op(0x24);   // negative depth: nothing
    frame0.Push("/").Push("rootcopy").PushFloat(4).Op(0x24);   // roots are never cloned
    frame0.SetVariable("copy:v", "7");
    ActionWriter frame1;
    frame1.Push("copy").Op(0x25).Push("s").Op(0x25).Op(0x07);   // the clone goes, "s" stays
    ActionWriter spriteScript;
    spriteScript.Op(0x07);
    Bytes spriteTags = spriteScript.Tag();
    Bytes show = Tag(1, {});
    spriteTags.insert(spriteTags.end(), show.begin(), show.end());
    Place place;
    place.id = 5;
    place.name = "s";
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({frame0, frame1}, 2, {DefineSpriteTag(5, 1, spriteTags), PlaceObject2(place)}));
    Timeline* copy = p.ResolveTarget(p.Root(), "copy");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetInstance()->depth, 0x4000 + 3);
    EXPECT_EQ(Var(p, "copy:v"), "7");
    EXPECT_EQ(p.ResolveTarget(p.Root(), "other"), nullptr);
    EXPECT_EQ(p.ResolveTarget(p.Root(), "rootcopy"), nullptr);
    p.Tick(83);
    EXPECT_EQ(p.ResolveTarget(p.Root(), "copy"), nullptr);
    EXPECT_NE(p.ResolveTarget(p.Root(), "s"), nullptr);
}

TEST(MoviePlayer, AScriptThatRemovesItsOwnCloneStopsSafely)
{
    // The sprite's script removes itself, then goes on acting on itself.
    ActionWriter self;
    self.Push("").Op(0x25).Op(0x07).SetVariable("after", "1").Op(0x04);
    Bytes spriteTags = self.Tag();
    Bytes show = Tag(1, {});
    spriteTags.insert(spriteTags.end(), show.begin(), show.end());
    ActionWriter root0;
    root0.Push("s").Push("c").PushFloat(1).Op(0x24).Op(0x07);
    Place place;
    place.id = 5;
    place.name = "s";
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({root0}, 1, {DefineSpriteTag(5, 1, spriteTags), PlaceObject2(place)}));
    p.Tick(83);
    p.Tick(83);
    EXPECT_EQ(p.ResolveTarget(p.Root(), "c"), nullptr);
}

TEST(MoviePlayer, LoadMovieAndLoadVariablesFromLocalFiles)
{
    TempFolder dir;
    ActionWriter child0;
    child0.SetVariable("child", "here").SetVariable("_level0:fromChild", "yes");
    const std::string childPath = dir.Write("child.swf", ScriptMovie({child0}, 1));
    const std::string varsPath = dir.Write("vars.txt", std::string("a=1&b=two+words&c=%26%2E&lone"));
    ActionWriter root0;
    // loadMovie into level 1; loadVariables into the root; loadMovie into a sprite.
    root0.Push("file://" + childPath + "?q=5").Push("_level1").GetURL2(0);
    root0.Push(varsPath).Push("_level0").GetURL2(0x80);
    root0.Push(childPath).Push("s").GetURL2(0x40);
    root0.Op(0x07);
    Bytes spriteTags = Tag(1, {});
    Place place;
    place.id = 5;
    place.name = "s";
    const std::string mainPath =
        dir.Write("main.swf", ScriptMovie({root0}, 1, {DefineSpriteTag(5, 1, spriteTags), PlaceObject2(place)}));
    HeadlessPlayer p(100, 80);
    p.OpenMovie(mainPath);
    EXPECT_EQ(p.ServeLocalFiles(), 0);
    ASSERT_TRUE(p.Loaded());
    Timeline* level1 = p.FindLevel(1);
    ASSERT_NE(level1, nullptr);
    EXPECT_EQ(Var(p, "a"), "1");
    EXPECT_EQ(Var(p, "b"), "two words");
    EXPECT_EQ(Var(p, "c"), "&.");
    EXPECT_EQ(Var(p, "lone"), "");
    EXPECT_EQ(Var(p, "q", level1), "5");   // the url's query
    p.Tick(83);
    EXPECT_EQ(Var(p, "child", level1), "here");
    EXPECT_EQ(Var(p, "fromChild"), "yes");
    Timeline* s = p.ResolveTarget(p.Root(), "s");
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->IsLoadedMovie());
    EXPECT_EQ(Var(p, "s:child"), "here");
    EXPECT_EQ(p.GetProperty(level1, 15), "file://" + childPath + "?q=5");
    // An empty url into a level unloads it.
    p.GetURLRequest("", "_level1", "", 0);
    EXPECT_EQ(p.FindLevel(1), nullptr);
    // A missing file: nothing arrives, nothing breaks.
    p.GetURLRequest(dir.Write("x", std::string()) + "-missing", "_level2", "", 0);
    EXPECT_EQ(p.ServeLocalFiles(), 1);
}

TEST(MoviePlayer, FSCommandsGoToTheHost)
{
    ActionWriter a;
    a.GetURL("FSCommand:showmenu", "false").GetURL("fscommand:quit", "").GetURL("http://example.org", "_blank");
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({a}, 1));
    ASSERT_EQ(p.commands.size(), 2u);
    EXPECT_EQ(p.commands[0].command, "showmenu");
    EXPECT_EQ(p.commands[0].args, "false");
    EXPECT_EQ(p.commands[1].command, "quit");
    ASSERT_EQ(p.windowRequests.size(), 1u);
}

TEST(MoviePlayer, GetWithVariablesEncodesThemIntoTheUrl)
{
    ActionWriter a;
    a.SetVariable("name", "a b&c").Push("http://host").Push("_blank").GetURL2(1);
    a.Push("http://host/x").Push("_level3").GetURL2(2 | 0x80);
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({a}, 1));
    ASSERT_EQ(p.windowRequests.size(), 1u);
    // Every variable of the timeline goes, the player's version text too.
    EXPECT_EQ(p.windowRequests[0], "http://host/?%24version=WIN+4%2E1001&name=a+b%26c");
    ASSERT_EQ(p.requests.size(), 1u);
    EXPECT_EQ(p.requests[0].postData, "%24version=WIN+4%2E1001&name=a+b%26c");
    EXPECT_EQ(p.requests[0].owner->level, 3);
    EXPECT_TRUE(p.requests[0].owner->loadVariables);
}

TEST(MoviePlayer, ARunawayLoopStopsAtTheLimitAndTheNextMovieRuns)
{
    ActionWriter loop;
    loop.SetVariable("started", "1").Jump(-5);   // jumps back onto itself for ever
    std::vector<ActionWriter> s{loop, ActionWriter().SetVariable("second", "1")};
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie(s, 2));
    EXPECT_TRUE(p.Aborted());
    EXPECT_EQ(Var(p, "started"), "1");
    p.Tick(83);
    EXPECT_EQ(Var(p, "second"), "<missing>");   // no scripts for the rest of this movie
    ActionWriter ok;
    ok.SetVariable("fresh", "1");
    Open(p, ScriptMovie({ok}, 1));
    EXPECT_FALSE(p.Aborted());
    EXPECT_EQ(Var(p, "fresh"), "1");
}

TEST(MoviePlayer, AHostsLowerLimitStopsAtTheRecordThatPassesIt)
{
    // Three records per assignment: the limit falls inside the third one.
    ActionWriter a;
    a.SetVariable("a", "1").SetVariable("b", "1").SetVariable("c", "1");
    for (int limit : {8, 9}) {
        HeadlessPlayer p(100, 80);
        p.instructionLimit = limit;
        Open(p, ScriptMovie({a}, 1));
        EXPECT_EQ(p.Aborted(), limit < 9);
        EXPECT_EQ(Var(p, "b"), "1");
        EXPECT_EQ(Var(p, "c"), limit < 9 ? "<missing>" : "1");
    }
}

TEST(MoviePlayer, BadOffsetsAndLengthsEndTheListInsideItsRecord)
{
    // Each list is cut short by a bad record; the next list still runs.
    std::vector<Bytes> bad = {
        ActionWriter().SetVariable("x", "1").Jump(3000).SetVariable("y", "1").Tag(),
        ActionWriter().SetVariable("x", "1").Jump(-3000).Tag(),
        ActionWriter().Push("1").If(0x7FFF).Tag(),
        ActionWriter().Raw({0x96, 0xFF, 0x7F, 0x00, 'a'}).Tag(),   // length beyond the tag
        ActionWriter().Raw({0x96, 0x03, 0x00, 0x00, 'a', 'b'}).Tag(),   // unterminated text
        ActionWriter().Raw({0x81, 0x01, 0x00, 0x05}).Tag(),   // short operand
        ActionWriter().Raw({0x8C, 0x02, 0x00, 'a', 'b'}).Tag(),
    };
    MovieWriter w;
    for (const Bytes& b : bad) w.Add(b);
    w.Add(ActionWriter().SetVariable("last", "1").Tag());
    w.ShowFrame();
    HeadlessPlayer p(100, 80);
    Open(p, w.Finish());
    EXPECT_EQ(Var(p, "x"), "1");
    EXPECT_EQ(Var(p, "y"), "<missing>");
    EXPECT_EQ(Var(p, "last"), "1");
    EXPECT_FALSE(p.Aborted());
}

TEST(MoviePlayer, ArithmeticAndStringActions)
{
    struct Case {
        ActionWriter a;
        const char* expect;
    };
    std::vector<Case> cases;
    auto add = [&](ActionWriter a, const char* e) { cases.push_back({a, e}); };
    add(ActionWriter().Push("1.5").Op(0x18), "1");
    add(ActionWriter().Push("-1.5").Op(0x18), "-1");
    add(ActionWriter().Push("0.5").Push("1").Op(0x10), "0");
    add(ActionWriter().Push("1.0").Push("1").Op(0x0E), "1");
    add(ActionWriter().Push("1.0").Push("1").Op(0x13), "0");
    add(ActionWriter().Push("1").Push("0").Op(0x0D), "#ERROR#");
    add(ActionWriter().Push("7").Push("2").Op(0x0D), "3.5");
    add(ActionWriter().Push("abc").Push("abd").Op(0x29), "1");
    add(ActionWriter().Push("ab").Push("abc").Op(0x29), "1");
    add(ActionWriter().Push("abc").Push("ab").Op(0x29), "0");
    add(ActionWriter().Push("hello").Push("2").Push("3").Op(0x15), "ell");
    add(ActionWriter().Push("hello").Push("-4").Push("-1").Op(0x15), "hello");
    add(ActionWriter().Push("hello").Push("9").Push("2").Op(0x15), "");
    add(ActionWriter().Push("hello").Op(0x14), "5");
    add(ActionWriter().Push("A").Op(0x32), "65");
    add(ActionWriter().Push("66").Op(0x33), "B");
    add(ActionWriter().Push("16706").Op(0x37), "AB");
    add(ActionWriter().Push("1").Op(0x30), "0");
    add(ActionWriter().Push("a").Push("b").Op(0x21), "ab");
    add(ActionWriter().Push("1e308").Push("10").Op(0x0C), "Infinity");
    for (size_t i = 0; i < cases.size(); ++i) {
        Case& c = cases[i];
        HeadlessPlayer p(100, 80);
        ActionWriter full;
        full.Push("r");
        Bytes tag = c.a.Tag();
        // "r" under the case's result: SetVariable pops the value then "r".
        Bytes body(tag.begin() + 6, tag.end() - 1);
        full.Raw(body).Op(0x1D);
        Open(p, ScriptMovie({full}, 1));
        EXPECT_EQ(Var(p, "r"), c.expect) << "case " << i;
    }
}

TEST(MoviePlayer, AnEmptyStackPopsTheEmptyText)
{
    HeadlessPlayer p;
    EXPECT_EQ(p.Pop(), "");
    EXPECT_EQ(p.PopNumber(), 0);
    p.PushNumber(2.5);
    EXPECT_EQ(p.Pop(), "2.5");
    EXPECT_EQ(p.StackSize(), 0u);
}

TEST(MoviePlayer, RandomNumbersStayInRange)
{
    HeadlessPlayer p;
    for (int i = 0; i < 1000; ++i) {
        int r = p.Random(10);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 10);
        ASSERT_EQ(p.Random(1), 0);
        ASSERT_EQ(p.Random(0), 0);
    }
}

TEST(MoviePlayer, CallRunsAnotherFramesScriptsAndReturns)
{
    // Frame 0 calls the frame labelled "sub" (frame 2) and then sets "after";
    // the called frame's scripts see the caller's variables.
    ActionWriter f0;
    f0.SetVariable("x", "1").Push("sub").Record(0x9E, {}).SetVariable("after", "1").Op(0x07);
    ActionWriter f2;
    f2.Push("x").GetVariable("x").PushFloat(10).Op(0x0A).Op(0x1D);
    MovieWriter w;
    w.frameCount = 3;
    w.Add(f0.Tag());
    w.ShowFrame();
    w.ShowFrame();
    w.Add(FrameLabel("sub"));
    w.Add(f2.Tag());
    w.ShowFrame();
    HeadlessPlayer p(100, 80);
    Open(p, w.Finish());
    EXPECT_EQ(Var(p, "x"), "11");
    EXPECT_EQ(Var(p, "after"), "1");
    EXPECT_EQ(p.Root()->CurrentFrame(), 0);
}

TEST(MoviePlayer, WaitForFrameSkipsWhileFramesAreMissing)
{
    // Frame 0 asks for frame 3 (index 2): while the file is still arriving
    // the next record is skipped.
    ActionWriter f0;
    f0.Record(0x8A, {2, 0, 1}).SetVariable("skipped", "no").Op(0x07);
    std::vector<ActionWriter> s{f0, ActionWriter(), ActionWriter()};
    const Bytes movie = ScriptMovie(s, 3);
    HeadlessPlayer p(100, 80);
    p.OpenMovie("a.swf");
    ASSERT_FALSE(p.requests.empty());
    // The first frame only: cut the file just after frame 0's ShowFrame.
    std::unique_ptr<MovieStream> st = p.StreamInNew(p.requests[0].url, std::move(p.requests[0].owner));
    p.requests.clear();
    size_t cut = 0;
    for (size_t i = 21; i + 1 < movie.size(); ++i)
        if (movie[i] == 0x40 && movie[i + 1] == 0x00) {   // ShowFrame
            cut = i + 2;
            break;
        }
    ASSERT_GT(cut, 0u);
    p.StreamWrite(st.get(), movie.data(), cut);
    ASSERT_TRUE(p.Loaded());
    EXPECT_EQ(Var(p, "skipped"), "<missing>");
    p.StreamWrite(st.get(), movie.data() + cut, movie.size() - cut);
    p.StreamInDestroy(std::move(st));
    p.Root()->GotoFrame(1);
    p.Root()->GotoFrame(0);
    p.DoActions();
    EXPECT_EQ(Var(p, "skipped"), "no");
}

TEST(MoviePlayer, AtMost32RequestsPerRun)
{
    ActionWriter a;
    for (int i = 0; i < 40; ++i) a.GetURL("FSCommand:n" + std::to_string(i), "");
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({a}, 1));
    EXPECT_EQ(p.commands.size(), 32u);
}

TEST(MoviePlayer, AutomaticQualityDropsWhenFramesAreSlow)
{
    std::vector<ActionWriter> s(2);
    HeadlessPlayer p(100, 80);
    p.autoQuality = true;
    Open(p, ScriptMovie(s, 2));
    ASSERT_TRUE(p.highQuality);
    p.advancePerRead = 100;   // every frame takes longer than the 83 ms delay
    for (int i = 0; i < 4; ++i) p.Tick(200);
    EXPECT_TRUE(p.highQuality);   // 4 frames measured: too few to judge
    p.Tick(200);
    EXPECT_FALSE(p.highQuality);
    EXPECT_FALSE(p.Display().Antialias());
    for (int i = 0; i < 20; ++i) p.Tick(200);
    EXPECT_FALSE(p.highQuality);   // no fast frames: it stays low
}

TEST(MoviePlayer, VariablesIntoASpriteAndStreamsOfUnloadedMovies)
{
    TempFolder dir;
    const std::string vars = dir.Write("v.txt", std::string("k=%7A%7a&empty="));
    ActionWriter root0;
    root0.Push(vars).Push("s").GetURL2(0xC0).Op(0x07);   // loadVariables into the sprite
    Bytes spriteTags = Tag(1, {});
    Place place;
    place.id = 5;
    place.name = "s";
    HeadlessPlayer p(100, 80);
    Open(p, ScriptMovie({root0}, 1, {DefineSpriteTag(5, 1, spriteTags), PlaceObject2(place)}));
    ASSERT_EQ(p.ServeLocalFiles(), 0);
    EXPECT_EQ(Var(p, "s:k"), "zz");
    EXPECT_EQ(Var(p, "s:empty"), "");
    EXPECT_FALSE(p.ResolveTarget(p.Root(), "s")->IsLoadedMovie());
    // A level unloaded while its stream is open: the host is told, and the
    // rest of the stream finds no timeline.
    p.GetURLRequest("late.swf", "_level4", "", 0);
    ASSERT_EQ(p.requests.size(), 1u);
    std::unique_ptr<MovieStream> st = p.StreamInNew("late.swf", std::move(p.requests[0].owner));
    p.requests.clear();
    const Bytes movie = ScriptMovie({}, 1);
    EXPECT_EQ(p.StreamWrite(st.get(), movie.data(), 10), 10);
    p.RemoveLevel(4);
    EXPECT_EQ(p.detachedStreams, 1);
    EXPECT_EQ(p.StreamWrite(st.get(), movie.data() + 10, movie.size() - 10), -1);
    p.StreamInDestroy(std::move(st));
}
