// The movie part: its record, opening its movie after loading (relative to
// the design's file, then as stored), the missing-file warning, drawing,
// placing the player window and letting go of a player that quits.
#include "components/flash_viewer.h"
#include "model/circuit/circuit.h"
#include "model/circuit/design_document.h"
#include "model/circuit/file_open_warnings.h"
#include "model/parts/part_records.h"
#include "movieplayer/action_writer.h"
#include "movieplayer/temp_folder.h"
#include "movieplayer/host/player_engine.h"

#include <gtest/gtest.h>

using namespace moviefile_test;

namespace {

class FakeDocument : public CDesignDocument {
public:
    explicit FakeDocument(std::string path) : path_(std::move(path)) {}
    int SaveUndoSnapshot() override { return 0; }
    void SetModifiedFlag(bool) override {}
    CString GetDesignPath() const override { return CString(path_.c_str()); }

private:
    std::string path_;
};

class FakeSite : public CMovieViewSite {
public:
    void* MovieParentWindow() override { return nullptr; }
    int MovieZoom() override { return zoom; }
    CPoint MovieScrollPos() override { return scroll; }
    int zoom = 1;
    CPoint scroll{0, 0};
};

// 120 x 90 pixels of green; frame 0 sends a host command when given one.
Bytes GreenMovie(const std::string& command = "")
{
    MovieWriter w;
    w.width = 2400;
    w.height = 1800;
    w.Add(DefineRectShape(2, 1, 0, 0, 2400, 1800, 0x00FF00FF));
    Place p;
    p.id = 1;
    w.Add(PlaceObject2(p));
    if (!command.empty()) {
        ActionWriter a;
        a.GetURL("FSCommand:" + command, "");
        w.Add(a.Tag());
    }
    w.ShowFrame();
    return w.Finish();
}

Bytes Save(CObject* part)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

std::unique_ptr<CFlashViewer> Load(const Bytes& data)
{
    CArchive ar(data);
    ar.SetVersion(kCurrentVersion);
    std::unique_ptr<CFlashViewer> p(dynamic_cast<CFlashViewer*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

} // namespace

TEST(FlashViewer, TheRecordKeepsTheMovieNameWithItsSeparators)
{
    CFlashViewer a;
    a.m_rect.SetRect(10, 20, 130, 110);
    a.m_strMovieName = ".\\movies/intro.swf";
    auto b = Load(Save(&a));
    ASSERT_NE(b, nullptr);
    EXPECT_STREQ(b->GetRuntimeClass()->m_lpszClassName, "CFlashViewer");
    EXPECT_STREQ(b->GetRuntimeClass()->m_lpszBaseClassName, "CPartResize");
    EXPECT_EQ(b->m_rect, a.m_rect);
    EXPECT_EQ(b->m_strMovieName, CString(".\\movies\\intro.swf"));
    EXPECT_EQ(b->IsDesignItem(), 1);
    // Read back and saved again: the same bytes.
    auto c = Load(Save(b.get()));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Save(c.get()), Save(b.get()));
}

TEST(FlashViewer, OpensItsMovieBesideTheDesignOrListsItMissing)
{
    TestFolder f("flash_viewer", {"movies"});
    f.Write("movies/intro.swf", GreenMovie());
    f.Write("intro.swf", GreenMovie());
    FakeDocument doc(f.Path("design.ckt"));
    CCircuit design;
    design.m_pDocument = &doc;
    FileOpenWarnings().Empty();
    const struct {
        const char* name;
        bool opens;
    } cases[] = {
        {".\\movies\\intro.swf", true},
        {"C:\\Lessons\\intro.swf", true},   // a Windows path: its file name beside the design
        {".\\movies\\gone.swf", false},
    };
    for (const auto& c : cases) {
        CFlashViewer part;
        part.m_rect.SetRect(30, 40, 50, 60);
        part.m_strMovieName = c.name;
        part.m_pCircuit = &design;
        part.AfterLoad(&design, 1, kCurrentVersion);
        EXPECT_EQ(part.MovieLoaded(), c.opens) << c.name;
        // Opened: the top-left stays and the size is the movie's frame.
        EXPECT_EQ(part.m_rect, c.opens ? CRect(30, 40, 150, 130) : CRect(30, 40, 50, 60)) << c.name;
        ASSERT_NE(part.Player(), nullptr);
        EXPECT_FALSE(part.Player()->PlayerWindowVisible());
    }
    EXPECT_EQ(FileOpenWarnings(), CString("Cannot find file : .\\movies\\gone.swf\r\n"));
    FileOpenWarnings().Empty();
}

TEST(FlashViewer, PlacesItsWindowShowsItWhileRunningAndDrawsAStillFrame)
{
    TestFolder f("flash_viewer", {"movies"});
    const std::string movie = f.Write("m.swf", GreenMovie());
    FakeSite site;
    CFlashViewer::SetViewSite(&site);
    CCircuit design;
    CFlashViewer part;
    part.m_pCircuit = &design;
    ASSERT_TRUE(part.OpenMovie(CString(movie.c_str()), CString()));
    EXPECT_EQ(part.m_rect, CRect(0, 0, 120, 90));
    part.Offset(100, 50);
    auto* engine = dynamic_cast<movie::MoviePlayerEngine*>(part.Player());
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->WindowWidth(), 120);
    // At zoom x2 the window covers twice the part, less the scroll.
    site.zoom = 2;
    site.scroll = CPoint(40, 30);
    part.PlacePlayerWindow();
    EXPECT_EQ(engine->WindowWidth(), 240);
    EXPECT_EQ(engine->WindowHeight(), 180);
    part.SetRunning(1);
    EXPECT_TRUE(part.Player()->PlayerWindowVisible());
    EXPECT_TRUE(engine->TimersRunning());
    part.SetRunning(0);
    EXPECT_FALSE(part.Player()->PlayerWindowVisible());
    EXPECT_FALSE(engine->TimersRunning());
    // Drop rules: inside the page, over no other part.
    EXPECT_EQ(part.CanDrop(&design), design.GetPageRect().Width() >= 220 ? 1 : 0);
    part.m_rect.OffsetRect(-500, 0);
    EXPECT_EQ(part.CanDrop(&design), 0);
    CFlashViewer::SetViewSite(nullptr);
}

TEST(FlashViewer, AMovieThatQuitsLeavesThePartWithoutAPlayer)
{
    TestFolder f("flash_viewer", {"movies"});
    const std::string movie = f.Write("quit.swf", GreenMovie("quit"));
    CCircuit design;
    CFlashViewer part;
    part.m_pCircuit = &design;
    part.m_strMovieName = movie.c_str();
    part.AfterLoad(&design, 1, kCurrentVersion);
    auto* engine = dynamic_cast<movie::MoviePlayerEngine*>(part.Player());
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(engine->quitRequested);
    // The quit arrives after the player's call: the part drops its player
    // (and the window with it) and goes on without one.
    engine->DeliverQuit();
    EXPECT_EQ(part.Player(), nullptr);
    EXPECT_FALSE(part.MovieLoaded());
    part.SetRunning(1);
    part.PlacePlayerWindow();
    EXPECT_EQ(part.Player(), nullptr);
}
