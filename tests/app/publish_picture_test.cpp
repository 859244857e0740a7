// The picture part: where a picture is looked for, built-in names, the
// record before and after its version gate, the option enable rules, the
// click actions, picture questions and their range, and a page change
// across two open documents.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/publish/activity_commands.h"
#include "app/publish/page_navigation.h"
#include "app/publish/picture.h"
#include "app/publish/publish_ui.h"
#include "app/publish/publish_windows.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

using namespace shelltest;

namespace {

// A BMP of the given size (the size tells the files apart).
void WriteBmp(const QString& path, int w, int h)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::green);
    ASSERT_TRUE(image.save(path, "BMP"));
}

// The dialogs answered by the test.
class CScriptedUi : public CPublishUi {
public:
    CScriptedUi() { m_old = Install(this); }
    ~CScriptedUi() override { Install(m_old); }
    bool ChoosePictureFile(const CString&, CString* chosen) override
    {
        *chosen = file;
        return !file.IsEmpty();
    }
    bool ChooseBuiltInPicture(CString* set, CString* name) override
    {
        *set = builtInSet;
        *name = builtInName;
        return true;
    }
    bool RunPictureOptions(CPicture*, CPictureOptionsDlg& o) override
    {
        if (editOptions) editOptions(o);
        return true;
    }
    bool RunPictureQuestion(CPicture*, CPictureQuestionChoice& c) override
    {
        c = question;
        return true;
    }
    bool RunQuestionRange(CQuestionRange&, CString* name, bool* linked) override
    {
        *name = rangeName;
        *linked = rangeLinked;
        return true;
    }
    void ShowQuestionResults(CQuestionRange&) override {}
    void ViewBooks(CPartTree*) override { ++booksShown; }
    void CloseSameAnswer(CQuestionRange*, CPartTree*) override {}

    CString file, builtInSet, builtInName, rangeName;
    bool rangeLinked = false;
    std::function<void(CPictureOptionsDlg&)> editOptions;
    CPictureQuestionChoice question;
    int booksShown = 0;

private:
    CPublishUi* m_old = nullptr;
};

// A design whose document answers its path.
class CPathDocument : public CDesignDocument {
public:
    int SaveUndoSnapshot() override { return 0; }
    void SetModifiedFlag(bool) override {}
    CString GetDesignPath() const override { return path; }
    CString path;
};

CString Native(const QString& s) { return CString(s.toLocal8Bit().constData()); }

} // namespace

TEST(PublishPicture, APictureIsLookedForBesideTheDesignThenInPicturesThenAsNamed)
{
    EnsureShellApp();
    QTemporaryDir dir;
    const QString design = dir.filePath("act/page.zrn");
    QDir().mkpath(dir.filePath("act"));
    // Which copies exist, and the size of the one that must load.
    const struct {
        bool beside, inPictures, asNamed;
        int width;  // 0: none loads
    } cases[] = {
        {true, true, true, 10}, {false, true, true, 20}, {false, false, true, 30}, {false, false, false, 0},
    };
    for (const auto& c : cases) {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.filePath("act"));
        if (c.beside) WriteBmp(dir.filePath("act/logo.BMP"), 10, 5);
        if (c.inPictures) WriteBmp(dir.filePath("act/Pictures/logo.BMP"), 20, 5);
        if (c.asNamed) WriteBmp(dir.filePath("elsewhere/logo"), 30, 5);
        CBitmapDocument doc;
        // The stored name: a Windows path of another machine, no extension.
        const CString name = c.asNamed ? Native(dir.filePath("elsewhere/logo")) : CString("C:\\old\\logo");
        EXPECT_EQ(doc.OpenByName(name, Native(design)), c.width != 0) << c.width;
        EXPECT_EQ(doc.Width(), c.width);
        EXPECT_EQ(doc.GetPathName(), c.width ? name : CString()) << "the name stays as stored";
    }
    // A relative name is resolved against the design first.
    WriteBmp(dir.filePath("act/sub/pic.bmp"), 40, 4);
    CBitmapDocument relative;
    EXPECT_TRUE(relative.OpenByName(".\\sub\\pic.bmp", Native(design)));
    EXPECT_EQ(relative.Width(), 40);
}

TEST(PublishPicture, BuiltInNames)
{
    EnsureShellApp();
    const CString controls = LoadResString(36542), icons = LoadResString(36543);
    const struct {
        CString set;
        const char* display;
        const char* name;
    } cases[] = {
        {icons, "Button: Left", "<LOCAL>=ICONS\\BUTTON:LEFT"},
        {controls, "Button: Up a level", "<LOCAL>=CONTROLS\\BLUE\\BUTTON:UP_ONE_LEVEL"},
        {icons, "Answer C", "<LOCAL>=ICONS\\ANSWER:C"},
        {controls, "No such picture", "<LOCAL>=CONTROLS\\BLUE\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeBuiltInPictureName(c.set, c.display), CString(c.name)) << c.display;
    EXPECT_FALSE(IsBuiltInPictureName("<LOCAL>=")) << "8 characters are looked up on disk";
    EXPECT_TRUE(IsBuiltInPictureName("<local>=ICONS\\TICK"));
    // Every display name has a picture in both sets.
    for (const CString& display : BuiltInDisplayNames())
        for (const CString& set : {icons, controls}) {
            CBitmapDocument doc;
            EXPECT_TRUE(doc.OpenByName(MakeBuiltInPictureName(set, display), CString())) << display;
            EXPECT_GT(doc.Width(), 0);
        }
}

TEST(PublishPicture, RecordBeforeAndAfterItsVersionGate)
{
    EnsureShellApp();
    CPicture p;
    p.document.SetPathName(".\\Pictures\\next.bmp");
    p.options.openFile = 1;
    p.options.linkFile = ".\\page2.zrn";
    p.options.scrollY = 65000;
    p.options.bubbleText = "Next page";
    p.options.pauseSimulation = 1;
    p.options.buttonFrame = 1;
    p.question.number = 4;
    p.question.correctAnswer = "B";
    p.question.kind = 2;
    CArchive out;
    p.Serialize(out);
    const std::vector<uint8_t> bytes = out.GetBuffer();
    {
        CArchive in(bytes);
        CPicture q;
        q.Serialize(in);
        EXPECT_EQ(in.BytesLeft(), 0u);
        EXPECT_EQ(q.document.GetPathName(), CString(".\\Pictures\\next.bmp"));
        EXPECT_EQ(q.options.linkFile, CString(".\\page2.zrn"));
        EXPECT_EQ(q.options.scrollY, 65000) << "words widen without sign";
        EXPECT_EQ(q.options.bubbleText, CString("Next page"));
        EXPECT_TRUE(q.options.openFile && q.options.pauseSimulation && q.options.buttonFrame);
        EXPECT_FALSE(q.options.viewBooks);
        EXPECT_EQ(q.question.number, 4);
        EXPECT_EQ(q.question.kind, 2);
        EXPECT_EQ(q.look, 2) << "a picture with a question shows chosen";
    }
    // A file of version 399 holds the part and the name only.
    CArchive old;
    old.SetVersion(399);
    p.CPartCircuit::Serialize(old);
    old << CString();
    const std::vector<uint8_t> oldBytes = old.GetBuffer();
    CArchive in(oldBytes);
    in.SetVersion(399);
    CPicture q;
    q.Serialize(in);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(q.document.GetPathName(), CString(kNoNamePicture));
    EXPECT_FALSE(q.options.openFile || q.options.pauseSimulation || q.options.buttonFrame);
    EXPECT_EQ(q.question.number, 0);
    EXPECT_EQ(q.look, 0);
}

TEST(PublishPicture, OptionEnableTable)
{
    using C = CPictureOptionsDlg::Checks;
    // Checks in (reload, open, closeSame, closeThis, pause), answer picture;
    // then enabled (reload, open, closeSame, closeThis/link, books, bubble)
    // and the checks after the rules (reload, closeSame, closeThis).
    const struct {
        C in;
        bool answer;
        bool reload, open, closeSame, link, books, bubble;
        bool reloadAfter, closeSameAfter, closeThisAfter;
    } cases[] = {
        {{false, false, false, false, false}, false, true, true, true, false, true, true, false, false, false},
        {{true, true, false, true, false}, false, true, true, false, true, true, true, true, false, true},
        {{false, false, true, false, false}, false, false, true, true, false, true, true, false, true, false},
        {{true, true, true, true, true}, false, false, false, false, false, false, true, false, false, false},
        {{false, true, false, true, false}, true, true, true, true, true, true, false, false, false, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        C checks = c.in;
        const auto e = CPictureOptionsDlg::ApplyEnableRules(checks, c.answer);
        EXPECT_EQ(e.reload, c.reload) << i;
        EXPECT_EQ(e.openFile, c.open) << i;
        EXPECT_EQ(e.closeSame, c.closeSame) << i;
        EXPECT_EQ(e.linkFile, c.link) << i;
        EXPECT_EQ(e.closeThis, c.link) << i;
        EXPECT_EQ(e.viewBooks, c.books) << i;
        EXPECT_EQ(e.bubble, c.bubble) << i;
        EXPECT_EQ(checks.reload, c.reloadAfter) << i;
        EXPECT_EQ(checks.closeSame, c.closeSameAfter) << i;
        EXPECT_EQ(checks.closeThis, c.closeThisAfter) << i;
    }
}

TEST(PublishPicture, PausingGivesAButtonFrameAndTheBubbleTextStays)
{
    EnsureShellApp();
    CScriptedUi ui;
    CCircuit design;
    auto* p = new CPicture;
    design.AddChild(p);
    p->AttachToCircuit(&design);
    ASSERT_TRUE(p->document.OpenByName("<LOCAL>=ICONS\\PAUSE", CString()));
    p->FitToPicture();
    const CRect before = p->GetRect();
    ui.editOptions = [](CPictureOptionsDlg& o) {
        o.pauseSimulation = 1;
        o.bubbleText = "Stops the motor";
    };
    EXPECT_EQ(p->OnPropertyCommand(IDC_PICTURE_OPTIONS, CString()) & 1, 1);
    EXPECT_TRUE(p->options.buttonFrame);
    EXPECT_EQ(p->GetRect().Width(), before.Width() + 8) << "the frame adds 4 pixels on each side";
    EXPECT_EQ(p->options.bubbleText, CString("Stops the motor"));
    CString bubble;
    p->BuildInfo(bubble, 0, CPoint());
    EXPECT_EQ(bubble, CString("Stops the motor"));
    // The click pauses a running design.
    EXPECT_EQ(p->RunClickActions(&design), PICTURE_NOTHING);
    EXPECT_TRUE(design.IsPaused());
    ui.editOptions = [](CPictureOptionsDlg& o) { o.pauseSimulation = 0; };
    p->OnPropertyCommand(IDC_PICTURE_OPTIONS, CString());
    EXPECT_FALSE(p->options.buttonFrame);
    EXPECT_EQ(p->GetRect().Width(), before.Width());
}

TEST(PublishPicture, ClickActionsInPublishModeOnly)
{
    EnsureShellApp();
    QTemporaryDir dir;
    CScriptedUi ui;
    CPathDocument doc;
    doc.path = Native(dir.filePath("one.zrn"));
    QFile page2(dir.filePath("two.zrn"));
    ASSERT_TRUE(page2.open(QIODevice::WriteOnly));
    page2.write("x");
    page2.close();
    CCircuit design;
    design.m_pDocument = &doc;
    auto* p = new CPicture;
    design.AddChild(p);
    p->AttachToCircuit(&design);
    p->options.openFile = 1;
    p->options.linkFile = ".\\two.zrn";
    p->options.scrollX = 0;
    p->options.scrollY = 120;
    p->options.viewBooks = 1;
    // Each row: publish mode, reload, link present -> result, page filled.
    const struct {
        bool publish, reload, link;
        int result;
        bool page;
        int books;
    } cases[] = {
        {false, false, true, PICTURE_NOTHING, false, 0},
        {true, false, true, PICTURE_PAGE_CHANGE, true, 1},
        {true, true, true, PICTURE_PAGE_CHANGE_AND_RELOAD, true, 2},
        {true, true, false, PICTURE_RELOAD, false, 3},
    };
    for (const auto& c : cases) {
        design.m_dwPermissions = c.publish ? ~DWORD(2) : ~DWORD(0);
        p->options.reloadFile = c.reload;
        p->options.linkFile = c.link ? ".\\two.zrn" : ".\\gone.zrn";
        EXPECT_EQ(p->RunClickActions(&design), c.result) << c.result;
        EXPECT_EQ(design.m_pageChange.picture == p, c.page) << c.result;
        if (c.page) {
            EXPECT_EQ(design.m_pageChange.target, CString(".\\two.zrn"));
            EXPECT_EQ(design.m_pageChange.scrollY, 120);
        }
        EXPECT_EQ(ui.booksShown, c.books);
    }
    EXPECT_EQ(p->linkBroken, 1) << "a link to a missing page is marked";
    CString unused;
    EXPECT_EQ(p->ShowInfo(CPoint(), unused), 20) << "Books and reload still act on a click";
}

TEST(PublishPicture, AnswerPicturesAreRadioButtonsAndScore)
{
    EnsureShellApp();
    CScriptedUi ui;
    CCircuit design;
    std::vector<CPicture*> answers;
    for (const char* text : {"A", "B", "C"}) {
        auto* p = new CPicture;
        design.AddChild(p);
        p->AttachToCircuit(&design);
        ui.question = {true, 2, text, std::string(text) == "B"};
        ASSERT_EQ(p->OnPropertyCommand(IDC_PICTURE_QUESTION, CString()) & 1, 1);
        answers.push_back(p);
    }
    CQuestionRange& range = design.m_fileExtras.range;
    EXPECT_EQ(range.count, 2) << "the range grows to the highest number";
    EXPECT_EQ(range.GetLink(2), &answers[1]->question) << "only the correct picture holds the entry";
    for (CPicture* p : answers) EXPECT_TRUE(p->options.answerPicture && p->options.buttonFrame);

    CQuestionCounts counts;
    const struct {
        int clicked;
        int correct;
    } clicks[] = {{0, 0}, {1, 1}, {2, 0}};
    for (const auto& c : clicks) {
        answers[static_cast<size_t>(c.clicked)]->RunClickActions(&design);
        for (size_t i = 0; i < answers.size(); ++i)
            EXPECT_EQ(answers[i]->selected != 0, static_cast<int>(i) == c.clicked) << c.clicked;
        range.CountAnswers(counts);
        EXPECT_EQ(counts.correct, c.correct) << c.clicked;
        EXPECT_EQ(answers[1]->question.userAnswer, CString(std::string(1, char('A' + c.clicked))));
    }

    // A second correct picture of the same number is made incorrect.
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    auto* extra = new CPicture;
    design.AddChild(extra);
    extra->AttachToCircuit(&design);
    ui.question = {true, 2, "D", true};
    extra->OnPropertyCommand(IDC_PICTURE_QUESTION, CString());
    EXPECT_EQ(extra->question.kind, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36617) + "2");
}

TEST(PublishPicture, AnOversizePictureIsRefusedBeforeAnythingChanges)
{
    EnsureShellApp();
    QTemporaryDir dir;
    CScriptedUi ui;
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    WriteBmp(dir.filePath("small.bmp"), 30, 20);
    WriteBmp(dir.filePath("wide.bmp"), 801, 10);
    CPicture p;
    ui.file = Native(dir.filePath("small.bmp"));
    ASSERT_TRUE(p.SetFileName(CString()));
    EXPECT_EQ(p.GetRect().Width(), 30);
    ui.file = Native(dir.filePath("wide.bmp"));
    EXPECT_FALSE(p.SetFileName(p.document.GetPathName()));
    EXPECT_EQ(p.document.GetPathName(), Native(dir.filePath("small.bmp")));
    EXPECT_TRUE(p.document.IsLoaded());
    EXPECT_EQ(p.GetRect().Width(), 30);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, LoadResString(36579));
}

TEST(PublishPicture, RebaseNeedsARelativeFolderWithItsSeparator)
{
    CPicture p;
    p.document.SetPathName("C:\\Work\\Pics\\arrow.bmp");
    EXPECT_EQ(p.RebaseFileName(".\\Pictures\\Common"), 0);
    EXPECT_EQ(p.RebaseFileName("Pictures\\"), 0);
    EXPECT_EQ(p.document.GetPathName(), CString("C:\\Work\\Pics\\arrow.bmp"));
    EXPECT_EQ(p.RebaseFileName(".\\Pictures\\Common\\"), 1);
    EXPECT_EQ(p.document.GetPathName(), CString(".\\Pictures\\Common\\arrow.bmp"));
}

TEST(PublishPicture, AQuestionCountFromAFileIsClampedTo9999)
{
    CQuestionRange range;
    CArchive out;
    out << LONG(70000) << CString("answers.zrn") << WORD(0);
    const std::vector<uint8_t> bytes = out.GetBuffer();
    CArchive in(bytes);
    range.Serialize(in);
    EXPECT_EQ(range.count, 9999);
    EXPECT_EQ(range.questions.size(), 9999u);
}

TEST(PublishPicture, APageChangeOpensTheOtherPageScrolledAndClosesThisOne)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    QTemporaryDir dir;
    const QString one = dir.filePath("one.zrn"), two = dir.filePath("two.zrn");
    for (const QString& path : {one, two}) {
        CTeskDoc doc;
        doc.OnNewDocument();
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({one}));
    app->GetMainFrame()->resize(1280, 900);
    QCoreApplication::processEvents();
    CTeskView* view = app->GetActiveView();
    ASSERT_NE(view, nullptr);
    CCircuit* design = view->GetDesign();
    // Only Y is set: the page still scrolls (either value counts).
    design->m_pageChange.target = ".\\two.zrn";
    design->m_pageChange.closeThisFile = 1;
    design->m_pageChange.scrollX = 0;
    design->m_pageChange.scrollY = 150;
    CarryOutPageAction(view, PICTURE_PAGE_CHANGE);
    EXPECT_TRUE(design->m_pageChange.opened);
    CTeskView* other = app->GetActiveView();
    ASSERT_NE(other, view);
    EXPECT_EQ(other->GetDocument()->GetPathName(), QFileInfo(two).absoluteFilePath());
    EXPECT_EQ(other->verticalScrollBar()->value(), std::min(150, other->verticalScrollBar()->maximum()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->Documents().size() == 1; }));
    EXPECT_EQ(app->Documents().front()->GetPathName(), QFileInfo(two).absoluteFilePath());

    // A page that does not exist leaves this one as it is.
    CCircuit* now = app->GetActiveView()->GetDesign();
    now->m_pageChange.target = ".\\missing.zrn";
    now->m_pageChange.closeThisFile = 1;
    CarryOutPageAction(app->GetActiveView(), PICTURE_PAGE_CHANGE);
    EXPECT_FALSE(now->m_pageChange.opened);
    QCoreApplication::processEvents();
    EXPECT_EQ(app->Documents().size(), 1u);
    for (auto& d : app->Documents()) d->SetModifiedFlag(false);
    app->CloseAllDocuments();
    app->ExitInstance();
}
