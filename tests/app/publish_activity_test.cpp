// A pupil's way through the example activity: opened from the Books tree,
// its typed question answered wrong and right, also by typing on the locked
// page itself (the score label follows), the next page opened by its picture
// button, and an answer picture chosen.
#include "app/canvas/tesk_view.h"
#include "app/examples/example_activities.h"
#include "app/file_types.h"
#include "app/home/file_browse_ctrl.h"
#include "app/home/home_pane.h"
#include "app/main_frame.h"
#include "app/publish/page_navigation.h"
#include "app/publish/picture.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "components/capacitor.h"
#include "components/spst.h"
#include "components/toggle.h"
#include "model/components/terminal.h"
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "model/text/textlabel.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextEdit>

using namespace shelltest;

namespace {

template <class T>
std::vector<T*> PartsOf(CCircuit* d)
{
    std::vector<T*> out;
    for (CPartIterator it(d, 0); it.GetCurrent(); it.Next())
        if (auto* p = dynamic_cast<T*>(it.GetCurrent())) out.push_back(p);
    return out;
}

CTextLabel* LabelShowing(CCircuit* d, const char* text)
{
    for (CTextLabel* l : PartsOf<CTextLabel>(d))
        if (l->rtf.text == text) return l;
    return nullptr;
}

CString Shown(CTextLabel* label)
{
    const CRTFData* t = label->UpdateMacroText();
    return t ? t->text : CString();
}

} // namespace

TEST(PublishActivity, APupilWorksThroughTheOhmsLawActivity)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    QTemporaryDir dir;
    const QStringList written = WriteExampleActivities(dir.filePath("Books"), dir.filePath("Blocks"));
    ASSERT_EQ(written.size(), 7);
    ASSERT_TRUE(SetActivitiesFolder(dir.filePath("Books/")));
    ASSERT_TRUE(SetLibraryFolder(dir.filePath("Blocks/")));

    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({}));
    app->GetMainFrame()->resize(1280, 900);
    QCoreApplication::processEvents();
    CTeskFrame* start = app->GetMainFrame()->ActiveFrame();
    ASSERT_NE(start, nullptr);
    CFileBrowseCtrl* books = start->GetHomePane()->Trees()->Books();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(books));

    // Open the first page from the Books tree with a click.
    const QString page1 = dir.filePath("Books/Ohm's law/1 Ohm's law.zrn");
    const QModelIndex item = books->Model()->IndexOfPath(page1);
    ASSERT_TRUE(item.isValid());
    books->scrollTo(item);
    for (QModelIndex p = item.parent(); p.isValid(); p = p.parent()) books->expand(p);
    QTest::mouseClick(books->viewport(), Qt::LeftButton, {}, books->visualRect(item).center());
    CTeskView* view = app->GetActiveView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->GetDocument()->GetPathName(), QFileInfo(page1).absoluteFilePath());
    CCircuit* design = view->GetDesign();
    EXPECT_TRUE(design->IsLocked());
    EXPECT_FALSE(design->IsAllowed(2)) << "published";

    // The typed question and the score.
    CTextLabel* score = LabelShowing(design, "$MACRO_SCORE");
    ASSERT_NE(score, nullptr);
    std::vector<CTextLabel*> questions;
    for (CTextLabel* l : PartsOf<CTextLabel>(design))
        if (l->question.number == 1) questions.push_back(l);
    ASSERT_EQ(questions.size(), 1u);
    CQuestionRange& range = design->m_fileExtras.range;
    EXPECT_EQ(range.GetLink(1), &questions[0]->question) << "the question registered as it loaded";
    const struct {
        const char* typed;
        const char* score;
    } answers[] = {{"", "0"}, {"5", "0"}, {" 6 ", "1"}, {"6", "1"}};
    for (const auto& a : answers) {
        questions[0]->question.userAnswer = TrimAnswer(a.typed);
        EXPECT_EQ(Shown(score), CString(a.score)) << a.typed;
    }
    // The pupil types into the question on the page: wrong, then right.
    questions[0]->question.userAnswer.clear();
    QWidget* port = view->viewport();
    auto client = [view](CPoint logical) {
        const CPoint c = view->Controller().ToClient(logical);
        return QPoint(c.x, c.y);
    };
    const struct {
        const char* typed;
        const char* answer;
        const char* score;
    } typedAnswers[] = {{"5", "5", "0"}, {"6", "6", "1"}};
    for (const auto& t : typedAnswers) {
        QTest::mouseClick(port, Qt::LeftButton, {}, client(questions[0]->GetRect().CenterPoint()));
        QTextEdit* edit = port->findChild<QTextEdit*>();
        ASSERT_NE(edit, nullptr) << "a click on the question opens it for typing";
        ASSERT_TRUE(edit->isVisible());
        edit->selectAll();
        QTest::keyClicks(edit, t.typed);
        QTest::mouseClick(port, Qt::LeftButton, {}, client(CPoint(700, 40)));
        EXPECT_FALSE(edit->isVisible());
        EXPECT_EQ(questions[0]->question.userAnswer, CString(t.answer)) << t.typed;
        EXPECT_EQ(Shown(score), CString(t.score)) << t.typed;
    }
    CQuestionCounts counts;
    range.CountAnswers(counts);
    EXPECT_EQ(counts.total, 1);
    EXPECT_EQ(counts.correct, 1);

    // The hand button opens the next page and closes this one.
    CPicture* next = nullptr;
    for (CPicture* p : PartsOf<CPicture>(design))
        if (p->options.openFile) next = p;
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->linkBroken, 0);
    CString unused;
    EXPECT_EQ(next->ShowInfo(CPoint(), unused), 20);
    ASSERT_EQ(next->RunClickActions(design), PICTURE_PAGE_CHANGE);
    CarryOutPageAction(view, PICTURE_PAGE_CHANGE);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return std::none_of(app->Documents().begin(), app->Documents().end(),
                            [&](const auto& d) { return d->GetPathName() == QFileInfo(page1).absoluteFilePath(); });
    }));
    CTeskView* second = app->GetActiveView();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->GetDocument()->GetPathName().endsWith(QLatin1String("2 Doubling the resistance.zrn")));

    // Three answer pictures: choosing B is wrong, A is right.
    CCircuit* d2 = second->GetDesign();
    std::vector<CPicture*> choices;
    for (CPicture* p : PartsOf<CPicture>(d2))
        if (p->options.answerPicture) choices.push_back(p);
    ASSERT_EQ(choices.size(), 3u);
    CTextLabel* score2 = LabelShowing(d2, "$MACRO_SCORE");
    ASSERT_NE(score2, nullptr);
    EXPECT_EQ(Shown(score2), CString("0"));
    const struct {
        const char* text;
        const char* score;
    } picks[] = {{"6 mA", "0"}, {"3 mA", "1"}, {"12 mA", "0"}};
    for (const auto& pick : picks) {
        CPicture* chosen = nullptr;
        for (CPicture* p : choices)
            if (p->question.correctAnswer == pick.text) chosen = p;
        ASSERT_NE(chosen, nullptr);
        chosen->RunClickActions(d2);
        EXPECT_EQ(Shown(score2), CString(pick.score)) << pick.text;
        for (CPicture* p : choices) EXPECT_EQ(p->selected != 0, p == chosen);
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;

    for (auto& doc : app->Documents()) doc->SetModifiedFlag(false);
    app->CloseAllDocuments();
    app->ExitInstance();
}

TEST(PublishActivity, APupilClosesTheSwitchAndTheCapacitorCharges)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    QTemporaryDir dir;
    WriteExampleActivities(dir.filePath("Books"), dir.filePath("Blocks"));
    ASSERT_TRUE(SetActivitiesFolder(dir.filePath("Books/")));
    ASSERT_TRUE(SetLibraryFolder(dir.filePath("Blocks/")));
    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({}));
    app->GetMainFrame()->resize(1280, 900);
    QCoreApplication::processEvents();
    CFileBrowseCtrl* books = app->GetMainFrame()->ActiveFrame()->GetHomePane()->Trees()->Books();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(books));
    const QModelIndex item = books->Model()->IndexOfPath(dir.filePath("Books/Charging a capacitor.zrn"));
    ASSERT_TRUE(item.isValid());
    QTest::mouseClick(books->viewport(), Qt::LeftButton, {}, books->visualRect(item).center());
    CTeskView* view = app->GetActiveView();
    ASSERT_NE(view, nullptr);
    CCircuit* design = view->GetDesign();
    std::vector<CSPST*> switches = PartsOf<CSPST>(design);
    ASSERT_EQ(switches.size(), 1u);
    CToggle* lever = nullptr;
    for (CPart* c = switches[0]->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* t = dynamic_cast<CToggle*>(c)) lever = t;
    ASSERT_NE(lever, nullptr);
    // The lever lies clear of the wires: a press on it works the switch
    // instead of starting a wire.
    const CPoint at = view->Controller().ToClient(lever->GetRect().CenterPoint());
    QWidget* frame = app->GetMainFrame();
    const QPoint canvasAt = view->viewport()->mapTo(frame, QPoint(0, 0));
    // A pupil's click: the release comes a moment after the press, while
    // the design runs on.  A fresh program has no press armed (earlier
    // tests of this process may have left one).
    SharedPressState().Reset();
    ASSERT_EQ(switches[0]->m_wStateWord, WORD(0));
    ASSERT_EQ(lever->m_wState, WORD(0));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(at.x, at.y));
    QTest::qWait(150);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(at.x, at.y));
    QCoreApplication::processEvents();
    // The press selected the switch and the property toolbar shows it: the
    // canvas stays where it was under the pointer.
    EXPECT_EQ(view->viewport()->mapTo(frame, QPoint(0, 0)), canvasAt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return switches[0]->m_wStateWord == 1; })) << "the switch closes";
    std::vector<CCapacitor*> caps = PartsOf<CCapacitor>(design);
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return std::fabs(caps[0]->GetTerminal(0)->GetVoltage() - caps[0]->GetTerminal(1)->GetVoltage()) > 1.0; },
        20000))
        << "the capacitor charges";
    for (auto& doc : app->Documents()) doc->SetModifiedFlag(false);
    app->CloseAllDocuments();
    app->ExitInstance();
}
