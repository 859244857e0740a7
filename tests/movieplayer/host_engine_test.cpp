// The player behind the host interface: movies from local files, the frame
// rectangle, commands, drawing into an image and the host commands movies
// send ("exec" only from the "fscommand" folder beside the movie).
#include <gtest/gtest.h>


#include "movieplayer/action_writer.h"
#include "movieplayer/temp_folder.h"
#include "movieplayer/host/player_engine.h"

using namespace moviefile_test;
using namespace movie;

namespace {

// A 110 x 80 pixel red movie whose frame 0 sends the host command.
Bytes CommandMovie(const std::string& command, const std::string& args)
{
    MovieWriter w;
    w.width = 2200;
    w.height = 1600;
    w.Add(DefineRectShape(2, 1, 0, 0, 2200, 1600, 0xFF0000FF));
    Place p;
    p.id = 1;
    w.Add(PlaceObject2(p));
    if (!command.empty()) {
        ActionWriter a;
        a.GetURL("FSCommand:" + command, args);
        w.Add(a.Tag());
    }
    w.ShowFrame();
    return w.Finish();
}

}  // namespace

TEST(MovieHost, AMovieIsLoadedOnlyOnceItsHeaderIsRead)
{
    TestFolder f("movie_host", {"fscommand"});
    MoviePlayerEngine e;
    MovieFrameRect r;
    EXPECT_EQ(e.GetMovieFrameRect(nullptr), kMovieInvalidArg);
    ASSERT_EQ(e.GetMovieFrameRect(&r), kMovieOk);
    EXPECT_EQ(r.loaded, 0);
    // A missing file and a file that is no movie stay unloaded (not the
    // default 72 x 72 frame).
    e.CreatePlayerWindow(nullptr);
    e.OpenMovie(f.Path("missing.swf"));
    e.GetMovieFrameRect(&r);
    EXPECT_EQ(r.loaded, 0);
    e.OpenMovie(f.Write("bad.swf", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'}));
    e.GetMovieFrameRect(&r);
    EXPECT_EQ(r.loaded, 0);
    // A movie read from a file:// url is in before the call returns.
    e.OpenMovie("file://" + f.Write("red.swf", CommandMovie("", "")));
    e.GetMovieFrameRect(&r);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_EQ(r.right - r.left, 2200);
    EXPECT_EQ(r.bottom - r.top, 1600);
    EXPECT_EQ(e.MoviePath(), f.Path("red.swf"));
    // Drawn into an image at the window's size.
    e.MovePlayerWindow(0, 0, 110, 80, true);
    std::vector<uint32_t> px(110 * 80, 0);
    EXPECT_EQ(e.DrawTo(px.data(), 110, 80, 110), kMovieOk);
    EXPECT_EQ(px[0], 0xFFFF0000u);
    EXPECT_EQ(px[110 * 80 - 1], 0xFFFF0000u);
    // Commands.
    EXPECT_EQ(e.DoCommand(7), kMovieInvalidArg);
    EXPECT_EQ(e.ShowPlayerWindow(true), kMovieOk);
    EXPECT_TRUE(e.PlayerWindowVisible());
    EXPECT_TRUE(e.TimersRunning());
    EXPECT_EQ(e.ShowPlayerWindow(false), kMovieOk);
    EXPECT_FALSE(e.TimersRunning());
    EXPECT_EQ(e.DoCommand(kMovieStartTimers), kMovieOk);
    EXPECT_TRUE(e.TimersRunning());
}

TEST(MovieHost, ExecRunsOnlyProgramsOfTheFscommandFolder)
{
    TestFolder f("movie_host", {"fscommand"});
    const std::string movie = f.Write("m.swf", CommandMovie("", ""));
    const std::string tool = f.Write("fscommand/tool", Bytes{'#', '!'});
    f.Write("outside", Bytes{'#', '!'});
    const struct {
        const char* args;
        bool runs;
    } cases[] = {
        {"tool", true},
        {"tool with more words", true},
        {"../outside", false},
        {"fscommand/tool", false},
        {"/bin/sh", false},
        {"..", false},
        {"", false},
        {"nothing", false},
        {"outside", false},
    };
    for (const auto& c : cases) {
        HostCommand h = DecideHostCommand("EXEC", c.args, movie);
        EXPECT_EQ(h.kind, HostCommand::kExec);
        EXPECT_EQ(h.program, c.runs ? tool : std::string()) << c.args;
    }
    EXPECT_EQ(DecideHostCommand("exec", "tool", "").program, "");
    // Through a movie: one outside its folder runs nothing.
    for (const auto& c : {std::pair<const char*, bool>{"../outside", false}, {"tool now", true}}) {
        MoviePlayerEngine e;
        e.CreatePlayerWindow(nullptr);
        e.OpenMovie(f.Write("exec.swf", CommandMovie("exec", c.first)));
        EXPECT_EQ(e.lastProgram, c.second ? tool : std::string()) << c.first;
    }
}

TEST(MovieHost, HostCommandsAndTheirArguments)
{
    const struct {
        const char* command;
        const char* args;
        HostCommand::Kind kind;
        bool flag;
    } cases[] = {
        {"fullscreen", "true", HostCommand::kFullScreen, true},
        {"FullScreen", "yes", HostCommand::kFullScreen, true},
        {"fullscreen", "1", HostCommand::kFullScreen, true},
        {"fullscreen", "false", HostCommand::kFullScreen, false},
        {"fullscreen", "0", HostCommand::kFullScreen, false},
        {"fullscreen", "no", HostCommand::kFullScreen, false},
        {"allowscale", "false", HostCommand::kAllowScale, false},
        {"showmenu", "true", HostCommand::kShowMenu, true},
        {"QUIT", "", HostCommand::kQuit, false},
        {"launch", "x", HostCommand::kNone, false},
    };
    for (const auto& c : cases) {
        HostCommand h = DecideHostCommand(c.command, c.args, "/m.swf");
        EXPECT_EQ(h.kind, c.kind) << c.command << " " << c.args;
        EXPECT_EQ(h.flag, c.flag) << c.command << " " << c.args;
    }
    // "quit" reaches the owner only when asked for it, after the player's
    // own call has returned.
    TestFolder f("movie_host", {"fscommand"});
    MoviePlayerEngine e;
    int quits = 0;
    e.SetQuitHandler([&] { ++quits; });
    e.CreatePlayerWindow(nullptr);
    e.OpenMovie(f.Write("quit.swf", CommandMovie("quit", "")));
    EXPECT_TRUE(e.quitRequested);
    EXPECT_EQ(quits, 0);
    e.DeliverQuit();
    EXPECT_EQ(quits, 1);
    e.DeliverQuit();
    EXPECT_EQ(quits, 1);
    // "allowscale" false: no scaling (one pixel per 20 twips).
    e.OpenMovie(f.Write("scale.swf", CommandMovie("allowscale", "false")));
    EXPECT_EQ(e.scaleMode, 3);
}

TEST(MovieHost, TheFactoryMakesWindowlessPlayersUntilOneIsInstalled)
{
    SetMoviePlayerFactory(nullptr);
    std::unique_ptr<IMoviePlayer> p = CreateMoviePlayer();
    ASSERT_NE(p, nullptr);
    EXPECT_NE(dynamic_cast<MoviePlayerEngine*>(p.get()), nullptr);
    EXPECT_EQ(p->GetPlayerWindow(), nullptr);
    EXPECT_EQ(p->DestroyPlayerWindow(), kMovieUnexpected);
    EXPECT_EQ(p->CreatePlayerWindow(nullptr), kMovieOk);
    EXPECT_EQ(p->CreatePlayerWindow(nullptr), kMovieOk);
    EXPECT_EQ(p->DestroyPlayerWindow(), kMovieOk);
}
