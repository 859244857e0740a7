// Labels in their design: the pass that redraws answer-dependent texts, the
// resize frame behind the label's cursor and simulation stop, the extent a
// rubber band selects, the design's default format, a value's slider
// reaching the simulation controller, and rich text on printers.
#include "model/circuit/circuit.h"
#include "model/display/part_resize.h"
#include "model/parts/parttree.h"
#include "model/text/richtext.h"
#include "model/text/textdrawing.h"
#include "model/text/textlabel.h"
#include "model/text/value.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <memory>
#include <vector>

namespace {

// Records which rectangles had text drawn and which were erased.
class CRecordingDrawing : public CTextDrawing, public CPartDrawing {
public:
    void DrawRichText(const CRTFData&, const CCharFormat&, const CRect& rect, uint32_t, const PrintPlacement&) override
    {
        drawn.push_back(rect);
    }
    void DrawPlainText(const CString&, const CRect& rect, CPoint, int, const CCharFormat&, bool) override
    {
        drawn.push_back(rect);
    }
    void DrawFrame(CPoint, CPoint, uint32_t, int) override {}
    void Erase(const CRect&) override {}
    int FrameSelection(const CRect&) override { return 1; }
    void EraseRect(const CRect& rect) override { erased.push_back(rect); }

    std::vector<CRect> drawn;
    std::vector<CRect> erased;
};

// Installs the recording drawing for text and for the part base.
struct RecordingScope {
    CRecordingDrawing rec;
    CTextDrawingScope text{&rec};
    CPartDrawing* previous = CPartDrawing::Install(&rec);
    ~RecordingScope() { CPartDrawing::Install(previous); }
};

bool Has(const std::vector<CRect>& rects, const CRect& r)
{
    for (const CRect& x : rects)
        if (x == r) return true;
    return false;
}

std::unique_ptr<CRTFData> Block(const char* text)
{
    auto b = std::make_unique<CRTFData>();
    b->SetText(text);
    return b;
}

// A design with one label of each kind, one above the other.
struct LabelDesign {
    CPartTree design;
    CTextLabel* plain;
    CTextLabel* score;     // "$MACRO_SCORE"
    CTextLabel* remark;    // responses to another question
    CTextLabel* question;  // a question the user answers

    LabelDesign()
    {
        EnsureTextGuiApp();
        design.CreateMissingGroups();
        plain = Add(0);
        score = Add(1);
        score->rtf.SetText("$MACRO_SCORE");
        remark = Add(2);
        remark->responses.SetAt("Correct", Block("Well done"));
        remark->question.number = 1;
        question = Add(3);
        question->flags |= TF_QUESTION;
        question->question.number = 1;
    }
    CTextLabel* Add(int row)
    {
        auto* l = new CTextLabel(&design, CPoint(10, 10 + 30 * row), nullptr);
        design.AddChild(l);
        return l;
    }
};

// A fake in-place editor: the document it edits.
class CFakeEditorHost : public CTextEditorHost {
public:
    QTextDocument* Open(CText*, const CRect&, uint32_t, bool, bool, int) override { return &doc; }
    void Close() override {}
    void Move(const CRect&) override {}
    QTextDocument doc;
};

}  // namespace

TEST(TextRedraw, AnswerPassRedrawsOnlyTheTextsThatFollowTheAnswers)
{
    LabelDesign d;
    {
        RecordingScope s;
        RedrawAnswerTexts(&d.design, nullptr);
        ASSERT_EQ(s.rec.drawn.size(), 2u);
        EXPECT_TRUE(Has(s.rec.drawn, d.score->m_rect));
        EXPECT_TRUE(Has(s.rec.drawn, d.remark->m_rect));
        // What they showed is erased first.
        EXPECT_TRUE(Has(s.rec.erased, d.score->m_rect));
        EXPECT_TRUE(Has(s.rec.erased, d.remark->m_rect));
    }
    {
        RecordingScope s;
        RedrawAnswerTexts(&d.design, d.score);  // the excluded part
        ASSERT_EQ(s.rec.drawn.size(), 1u);
        EXPECT_EQ(s.rec.drawn[0], d.remark->m_rect);
    }
    {
        RecordingScope s;
        d.design.DrawTreeInRect(0x80000, kRedrawAnswerTexts, CRect(), nullptr);  // a quiet pass
        EXPECT_TRUE(s.rec.drawn.empty());
    }
    {
        // The clipped pass of the canvas still draws every label it meets.
        RecordingScope s;
        d.design.DrawTreeInRect(0, 4, CRect(0, 0, 400, 400), nullptr);
        EXPECT_EQ(s.rec.drawn.size(), 4u);
    }
}

TEST(TextRedraw, AnsweringAQuestionRedrawsTheAnswerTexts)
{
    LabelDesign d;
    CFakeEditorHost host;
    CTextEditorHost* old = CTextEditorHost::Install(&host);
    CString text = d.question->rtf.text;
    ASSERT_EQ(d.question->EditInPlace(&text), 1);
    host.doc.setPlainText("  42 ");
    {
        RecordingScope s;
        d.question->EditInPlace(nullptr);
        EXPECT_EQ(d.question->question.userAnswer, "42");
        EXPECT_TRUE(Has(s.rec.drawn, d.score->m_rect));
        EXPECT_TRUE(Has(s.rec.drawn, d.remark->m_rect));
        EXPECT_FALSE(Has(s.rec.drawn, d.plain->m_rect));
    }
    // A plain label that ends editing asks for no pass.
    text = d.plain->rtf.text;
    ASSERT_EQ(d.plain->EditInPlace(&text), 1);
    {
        RecordingScope s;
        d.plain->EditInPlace(nullptr);
        EXPECT_TRUE(s.rec.drawn.empty());
    }
    CTextEditorHost::Install(old);
}

TEST(TextRedraw, FrameAnswersTheCursorAndKeepsTheRectangleAtStop)
{
    LabelDesign d;
    CTextLabel* l = d.plain;  // (10, 10) - (150, 32)
    l->CreateChildren();
    auto* frame = static_cast<CPartResize*>(l->GetResizeFrame());
    ASSERT_NE(frame, nullptr);
    l->m_bSelected = 1;
    CString bubble;
    EXPECT_EQ(l->ShowInfo(CPoint(150, 21), bubble), CPartResize::CursorOf(RH_RIGHT));
    EXPECT_EQ(l->ShowInfo(CPoint(80, 21), bubble), 0);  // inside: no information

    frame->m_activeHandle = RH_RIGHT;
    frame->m_rect = CRect(10, 10, 200, 32);
    l->OnSimulationStopped();
    EXPECT_EQ(frame->m_lastRect, CRect(10, 10, 200, 32));
}

TEST(TextRedraw, RubberBandMeetsTheBorderPixel)
{
    EnsureTextGuiApp();
    CTextLabel l(nullptr, CPoint(10, 10), nullptr);  // (10, 10) - (150, 32)
    struct Case {
        bool border;
        CRect band;
        int whole;
        int expected;
    } cases[] = {
        {false, CRect(10, 10, 150, 32), 1, 1},
        {true, CRect(10, 10, 150, 32), 1, 0},  // the border lies outside
        {true, CRect(9, 9, 151, 33), 1, 1},
        {false, CRect(150, 0, 160, 40), 0, 0},
        {true, CRect(150, 0, 160, 40), 0, 1},  // only the border's column
        {true, CRect(200, 0, 260, 40), 0, 0},
    };
    for (const Case& c : cases) {
        l.flags = c.border ? (TF_MULTILINE | TF_BORDER) : TF_MULTILINE;
        EXPECT_EQ(l.IsInRect(c.band, c.whole), c.expected)
            << c.border << " " << c.band.left << "," << c.band.top << " whole " << c.whole;
    }
}

TEST(TextRedraw, NewLabelsTakeTheDesignsDefaultFormat)
{
    EnsureTextGuiApp();
    CCharFormat times;
    InitDefaultCharFormat(&times);
    times.SetFace("Times New Roman");
    times.height = 240;
    times.effects = kCfeBold;
    CCircuit design;
    const auto bytes = times.ToBytes();
    std::copy(bytes.begin(), bytes.end(), design.m_defaultFont);
    EXPECT_EQ(DesignCharFormat(&design), times);

    CTextLabel label(&design, CPoint(0, 0), nullptr);
    EXPECT_EQ(label.charFormat, times);
    EXPECT_NE(label.rtf.buffer.find("Times New Roman"), std::string::npos);
    EXPECT_NE(label.rtf.buffer.find("\\b"), std::string::npos);
    EXPECT_NE(label.rtf.buffer.find("\\fs24"), std::string::npos);

    // A design root that holds no record, and a design that is no root,
    // give the built-in format.
    CCharFormat builtIn;
    InitDefaultCharFormat(&builtIn);
    CCircuit empty;
    EXPECT_EQ(DesignCharFormat(&empty), builtIn);
    CPartTree tree;
    EXPECT_EQ(DesignCharFormat(&tree), builtIn);
    EXPECT_EQ(DesignCharFormat(nullptr), builtIn);
    CTextLabel plain(&tree, CPoint(0, 0), nullptr);
    EXPECT_EQ(plain.charFormat, builtIn);
}

namespace {
class CCountingHost : public CSimulationHost {
public:
    bool SetStepTimer(int) override { return true; }
    void KillStepTimer() override {}
    bool TakePendingTick() override { return false; }
    Input PeekInput() override { return Input::kNone; }
    void DiscardMouseMove() override {}
    // Every controller call sets the buzzer first.
    void SetBuzzer(bool) override { ++calls; }
    int calls = 0;
};
}  // namespace

TEST(TextRedraw, ValueSliderTellsTheControllerASensorChanged)
{
    EnsureTextGuiApp();
    CCircuit design;
    CCountingHost host;
    design.SetHost(&host);
    CValue value(15000, 1.0, 'k', "R", 1, CRect(0, 0, 40, 20), 5);
    value.m_pCircuit = &design;
    value.SetInputValue(&design, 4);
    EXPECT_DOUBLE_EQ(value.number.scale, 0.8);
    EXPECT_EQ(host.calls, 1);
    // A design that is no root has no controller to tell.
    CPartTree tree;
    value.SetInputValue(&tree, 20);
    EXPECT_DOUBLE_EQ(value.number.scale, 0.0);
    EXPECT_EQ(host.calls, 1);
    design.SetHost(nullptr);
}

namespace {

QRect InkBox(const QImage& img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return box;
}

CRTFData Rtf(const char* bytes)
{
    CRTFData d;
    d.mode = 2;
    d.buffer = bytes;
    return d;
}

// Paints the block at rect on an image `scale` times the canvas size,
// through a painter that maps canvas pixels to the image's.
QImage PaintAt(int scale, bool print, const CRTFData& block, const CRect& rect, uint32_t background = kNoBackground,
               PrintPlacement at = {})
{
    QImage img(200 * scale, 80 * scale, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(scale, scale);
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    if (print) PrintRichText(p, block, cf, rect, background, at);
    else PaintRichText(p, block, cf, rect, background);
    p.end();
    return img;
}

}  // namespace

TEST(TextPrint, TwipsLayoutMatchesTheScreenAtItsResolution)
{
    EnsureTextGuiApp();
    EXPECT_DOUBLE_EQ(TwipsPerTextPixel(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerTextPixel(120), 12.0);
    EXPECT_DOUBLE_EQ(TwipsPerTextPixel(0), 15.0);

    const CRTFData block = Rtf("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 Hello label}");
    const CRect rect(10, 10, 190, 50);
    const QRect screen = InkBox(PaintAt(1, false, block, rect));
    const QRect printed = InkBox(PaintAt(1, true, block, rect));
    ASSERT_FALSE(screen.isEmpty());
    EXPECT_NEAR(printed.left(), screen.left(), 1);
    EXPECT_NEAR(printed.top(), screen.top(), 1);
    EXPECT_NEAR(printed.right(), screen.right(), 2);
    EXPECT_NEAR(printed.bottom(), screen.bottom(), 2);

    // On a device of three times the resolution the text is laid out there:
    // the same place and size on the page, in three times the pixels.
    const QRect fine = InkBox(PaintAt(3, true, block, rect));
    EXPECT_NEAR(fine.left(), 3 * screen.left(), 3);
    EXPECT_NEAR(fine.top(), 3 * screen.top(), 3);
    EXPECT_NEAR(fine.width(), 3 * screen.width(), 6);
    EXPECT_NEAR(fine.height(), 3 * screen.height(), 6);
}

TEST(TextPrint, TextOfAnotherScreenKeepsItsProportionToTheRectangle)
{
    EnsureTextGuiApp();
    // Laid out on a 192-pixel-per-inch screen, the rectangle is half as wide
    // in inches as on this one: the words wrap within half the width.
    const CRTFData block = Rtf("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 one two three four five six}");
    const CRect rect(10, 10, 190, 70);
    const QRect normal = InkBox(PaintAt(1, true, block, rect, kNoBackground, {96, false}));
    const QRect dense = InkBox(PaintAt(1, true, block, rect, kNoBackground, {192, false}));
    EXPECT_GT(normal.right(), 10 + 90);
    EXPECT_LE(dense.right(), 10 + 90);
    EXPECT_GT(dense.height(), normal.height());  // more lines
}

TEST(TextPrint, BackgroundOfASelectedLabelCoversItsFrameEdge)
{
    EnsureTextGuiApp();
    const CRTFData block = Rtf("{\\rtf1 x}");
    const CRect rect(20, 20, 120, 50);
    const uint32_t red = 0x0000FF;
    const QImage plain = PaintAt(1, true, block, rect, red, {96, false});
    EXPECT_EQ(QColor(plain.pixel(20, 20)), QColor(Qt::red));
    EXPECT_EQ(QColor(plain.pixel(19, 19)), QColor(Qt::white));
    EXPECT_EQ(QColor(plain.pixel(120, 50)), QColor(Qt::white));
    const QImage selected = PaintAt(1, true, block, rect, red, {96, true});
    EXPECT_EQ(QColor(selected.pixel(19, 19)), QColor(Qt::red));
    EXPECT_EQ(QColor(selected.pixel(120, 50)), QColor(Qt::red));
    // White is never painted.
    const QImage white = PaintAt(1, true, block, rect, kNoBackground, {96, true});
    EXPECT_EQ(QColor(white.pixel(19, 19)), QColor(Qt::white));
}

TEST(TextPrint, LabelsPrintThroughTheTwipsBranch)
{
    EnsureTextGuiApp();
    CTextLabel label(nullptr, CPoint(10, 10), nullptr);
    label.background = 0x80FFFF;  // pale yellow
    label.m_bSelected = 1;
    QImage img(200, 80, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    CPainterTextDrawing printer(&p, false);
    {
        CTextDrawingScope scope(&printer);
        label.Draw(0);
    }
    p.end();
    EXPECT_EQ(QColor(img.pixel(9, 9)), QColor(255, 255, 128));  // the selected label's wider background
    const QRect ink = InkBox(img);
    EXPECT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(10, 10, 140, 22).contains(ink));
}

TEST(TextRedraw, QuestionSettingsStopAndResetTheDesign)
{
    EnsureTextGuiApp();
    CCircuit design;
    design.CreateMissingGroups();
    CCountingHost host;
    design.SetHost(&host);
    auto* label = new CTextLabel(&design, CPoint(10, 10), nullptr);
    design.AddChild(label);
    const DWORD before = design.m_dwOptions & OPT_STOPPED_FOR_EDIT;
    label->ApplyQuestionSettings(3, "42", 2, CResponseMap(), false);
    EXPECT_EQ(label->question.number, 3);
    EXPECT_TRUE(label->flags & TF_QUESTION);
    // Stopped (the controller deactivated) and reset (activated again).
    EXPECT_EQ(host.calls, 2);
    EXPECT_EQ(design.m_dwOptions & OPT_STOPPED_FOR_EDIT, before);
    design.SetHost(nullptr);
}

TEST(TextRedraw, LeavingATextSettlesThePendingRefresh)
{
    EnsureTextGuiApp();
    CCircuit design;
    design.CreateMissingGroups();
    auto* label = new CTextLabel(&design, CPoint(10, 10), nullptr);
    design.AddChild(label);
    CFakeEditorHost host;
    CTextEditorHost* old = CTextEditorHost::Install(&host);
    CString text = label->rtf.text;
    ASSERT_EQ(label->EditInPlace(&text), 1);
    design.SetPendingRefresh(1);
    label->EditInPlace(&text);  // the same text again: nothing settles
    EXPECT_EQ(design.GetPendingRefresh(), 1);
    label->EditInPlace(nullptr);
    EXPECT_EQ(design.GetPendingRefresh(), 0);
    EXPECT_FALSE(label->IsBeingEdited());
    CTextEditorHost::Install(old);
}

namespace {
// The design's questions as a question range would answer for them.
class CFakeQuestions : public CQuestionSource {
public:
    int CountCorrect(CPartTree*) override { return correct; }
    bool Lookup(CPartTree*, int number, QuestionState* out) override
    {
        if (number != 1) return false;
        out->userAnswer = "volts";
        out->correctAnswer = "Volts";
        out->correct = true;
        return true;
    }
    void Release(CQuestionLink*) override {}
    int correct = 3;
};
}  // namespace

TEST(TextRedraw, LabelsShowWhatTheQuestionSourceAnswers)
{
    LabelDesign d;
    CFakeQuestions questions;
    CQuestionSource* old = CQuestionSource::Install(&questions);
    EXPECT_EQ(d.score->UpdateMacroText()->text, "3");
    EXPECT_EQ(d.remark->UpdateMacroText()->text, "Well done");  // "volts" is correct
    d.remark->responses.RemoveAll();
    d.remark->responses.SetAt("$USER_ALWAYS", Block(""));
    EXPECT_EQ(d.remark->UpdateMacroText()->text, "volts");
    d.remark->question.number = 2;  // no such question
    EXPECT_EQ(d.remark->UpdateMacroText()->text, "Question Not Answered");
    d.remark->responses.RemoveAll();
    d.remark->responses.SetAt("$SCORE_ALWAYS", Block(""));
    questions.correct = 5;
    EXPECT_EQ(d.remark->UpdateMacroText()->text, "5");
    CQuestionSource::Install(old);
}
