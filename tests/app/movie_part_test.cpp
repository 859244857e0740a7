// A design holding a movie part, in the real windows: it saves with the
// movie's path relative to the design, reopens, plays in a child window
// over the canvas and answers a click on one of the movie's buttons; a
// missing movie is listed and the design still opens.
#include "app/canvas/tesk_view.h"
#include "app/movie/movie_window.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "components/flash_viewer.h"
#include "model/circuit/circuit.h"
#include "model/circuit/file_open_warnings.h"
#include "model/parts/parttree.h"
#include "movieplayer/input_movies.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstdlib>
#include <QFile>
#include <QScrollBar>
#include <QTest>

using namespace shelltest;
using namespace moviefile_test;

namespace {

// 200 x 100 pixels on white; a button over the left half whose release
// sets "clicked".
Bytes ButtonMovie()
{
    MovieWriter w;
    w.width = 4000;
    w.height = 2000;
    w.Add(DefineRectShape(2, 1, 0, 0, 2000, 2000, 0xFF0000FF));
    w.Add(DefineRectShape(2, 2, 0, 0, 2000, 2000, 0x0000FFFF));
    ActionWriter click;
    click.SetVariable("clicked", "yes");
    w.Add(ButtonTag(3, 1, 2, {{1u << 3, click}}));
    w.Add(PlaceAt(1, 3, 0, 0));
    // A field beside it shows the variable the button sets.
    EditTextDef field;
    field.xmin = 200;
    field.xmax = 1900;
    field.ymin = 800;
    field.ymax = 1300;
    field.flags = 0x0800 | 0x0008;   // border, read-only
    field.variable = "clicked";
    field.text = "Click red";
    w.Add(EditTextTag(4, field));
    w.Add(PlaceAt(2, 4, 2000, 0));
    w.ShowFrame();
    return w.Finish();
}

CFlashViewer* FindMoviePart(CCircuit* design)
{
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (auto* m = dynamic_cast<CFlashViewer*>(p)) return m;
    return nullptr;
}

void AddMoviePart(CCircuit* design, const CRect& rect, const char* name)
{
    auto* part = new CFlashViewer;
    part->m_pCircuit = design;
    part->m_rect = rect;
    part->m_strMovieName = name;
    design->AddChild(part);
}

void Pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class MoviePart : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        ASSERT_TRUE(m_dir.isValid());
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
    }
    void TearDown() override
    {
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
        FileOpenWarnings().Empty();
    }
    QString Temp(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    void WriteMovie(const char* name)
    {
        const Bytes b = ButtonMovie();
        QFile f(Temp(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(b.data()), qint64(b.size()));
    }

    QTemporaryDir m_dir;
    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

} // namespace

TEST_F(MoviePart, PlaysOverTheCanvasAnswersAClickAndKeepsItsRelativePath)
{
    WriteMovie("movie.swf");
    CTeskDoc* doc = m_app->GetActiveDocument();
    ASSERT_NE(doc, nullptr);
    AddMoviePart(doc->GetDesign(), CRect(40, 30, 40, 30), ".\\movie.swf");
    ASSERT_TRUE(doc->DoSave(Temp("design.zrn")));
    m_app->CloseAllDocuments();

    CTeskDoc* open = m_app->OpenDocumentFile(Temp("design.zrn"));
    ASSERT_NE(open, nullptr);
    CFlashViewer* movie = FindMoviePart(open->GetDesign());
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->m_strMovieName, CString(".\\movie.swf"));
    EXPECT_EQ(movie->m_rect, CRect(40, 30, 240, 130));
    ASSERT_TRUE(movie->MovieLoaded());
    CTeskView* view = m_app->GetActiveView();
    ASSERT_NE(view, nullptr);
    view->Activate(true);
    Pump(50);
    auto* window = static_cast<QWidget*>(movie->Player()->GetPlayerWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), view->viewport());
    movie->SetRunning(1);
    Pump(100);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->geometry(), QRect(40 - view->horizontalScrollBar()->value(),
                                        30 - view->verticalScrollBar()->value(), 200, 100));
    auto* player = dynamic_cast<CQtMoviePlayer*>(movie->Player());
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->TimersRunning());
    // A click on the button runs its release actions.
    QTest::mouseMove(window, QPoint(50, 50));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    Pump(50);
    std::string clicked;
    EXPECT_TRUE(player->GetVariable(player->Root(), "clicked", &clicked));
    EXPECT_EQ(clicked, "yes");
    // The window shows the movie: the button's over state is blue.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixel(50, 50) & 0xFFFFFF, 0x0000FFu);
    // Saved again, the name stays relative.
    ASSERT_TRUE(open->DoSave(Temp("design.zrn")));
    // With WB_MOVIE_DEMO set, the design and its movie are left in that
    // folder (for a look at them in the program).
    if (const char* demo = std::getenv("WB_MOVIE_DEMO")) {
        const QString dir = QString::fromLocal8Bit(demo);
        QFile::remove(dir + QStringLiteral("/design.zrn"));
        QFile::remove(dir + QStringLiteral("/movie.swf"));
        QFile::copy(Temp("design.zrn"), dir + QStringLiteral("/design.zrn"));
        QFile::copy(Temp("movie.swf"), dir + QStringLiteral("/movie.swf"));
    }
    m_app->CloseAllDocuments();
    CTeskDoc* again = m_app->OpenDocumentFile(Temp("design.zrn"));
    ASSERT_NE(again, nullptr);
    ASSERT_NE(FindMoviePart(again->GetDesign()), nullptr);
    EXPECT_EQ(FindMoviePart(again->GetDesign())->m_strMovieName, CString(".\\movie.swf"));
}

TEST_F(MoviePart, AMissingMovieIsListedAndTheDesignStillOpens)
{
    CTeskDoc* doc = m_app->GetActiveDocument();
    AddMoviePart(doc->GetDesign(), CRect(40, 30, 140, 90), ".\\lost.swf");
    ASSERT_TRUE(doc->DoSave(Temp("lost.zrn")));
    m_app->CloseAllDocuments();
    FileOpenWarnings().Empty();
    m_messages.shown.clear();
    CTeskDoc* open = m_app->OpenDocumentFile(Temp("lost.zrn"));
    ASSERT_NE(open, nullptr);
    CFlashViewer* movie = FindMoviePart(open->GetDesign());
    ASSERT_NE(movie, nullptr);
    EXPECT_FALSE(movie->MovieLoaded());
    EXPECT_EQ(movie->m_rect, CRect(40, 30, 140, 90));
    // Shown after loading (and emptied) or still waiting to be.
    CString listed = FileOpenWarnings();
    for (const auto& m : m_messages.shown) listed += m.text;
    EXPECT_NE(listed.Find("Cannot find file : .\\lost.swf"), -1);
}
