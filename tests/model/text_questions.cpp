// Labels and the design's question range together: question labels number
// themselves into the range, what the user types is scored, and the labels
// that report on the questions show it.
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "model/text/textdrawing.h"
#include "model/text/textlabel.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QTextDocument>

#include <memory>
#include <vector>

namespace {

class CTypingHost : public CTextEditorHost {
public:
    QTextDocument* Open(CText*, const CRect&, uint32_t, bool, bool, int) override { return &doc; }
    void Close() override {}
    void Move(const CRect&) override {}
    QTextDocument doc;
};

class CDrawnRects : public CTextDrawing {
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
    std::vector<CRect> drawn;
};

std::unique_ptr<CRTFData> Block(const char* text)
{
    auto b = std::make_unique<CRTFData>();
    b->SetText(text);
    return b;
}

struct Quiz {
    CCircuit design;
    std::vector<CTextLabel*> questions;
    CTextLabel* score;
    CTextLabel* echo;  // shows the answer typed for question 2
    CTypingHost typing;
    CTextEditorHost* oldHost = CTextEditorHost::Install(&typing);

    Quiz()
    {
        EnsureTextGuiApp();
        design.CreateMissingGroups();
        const char* answers[] = {"ohm", "volt", "amp"};
        for (int i = 0; i < 3; ++i) {
            CTextLabel* q = Add(i);
            q->ApplyQuestionSettings(WORD(i + 1), answers[i], 2, CResponseMap(), false);
            questions.push_back(q);
        }
        score = Add(3);
        score->rtf.SetText("$MACRO_SCORE");
        echo = Add(4);
        CResponseMap user;
        user.SetAt("$USER_ALWAYS", Block("x"));
        echo->ApplyQuestionSettings(2, "", 3, user, false);
    }
    ~Quiz() { CTextEditorHost::Install(oldHost); }
    CTextLabel* Add(int row)
    {
        auto* l = new CTextLabel(&design, CPoint(10, 10 + 30 * row), nullptr);
        design.AddChild(l);
        return l;
    }
    CQuestionRange& Range() { return *CQuestionRange::RangeOfDesign()(&design); }
    void Type(CTextLabel* l, const char* text)
    {
        CString now = l->rtf.text;
        ASSERT_EQ(l->EditInPlace(&now), 1);
        typing.doc.setPlainText(text);
        l->EditInPlace(nullptr);
    }
};

}  // namespace

TEST(TextQuestions, QuestionLabelsNumberThemselvesIntoTheRange)
{
    Quiz quiz;
    CQuestionRange& range = quiz.Range();
    EXPECT_EQ(range.count, 3);
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(range.GetLink(n), &quiz.questions[n - 1]->question);
    // The echo label reports on question 2 and takes no entry of its own.
    EXPECT_EQ(quiz.echo->question.range, nullptr);
}

TEST(TextQuestions, TypedAnswersAreScoredAndShown)
{
    Quiz quiz;
    EXPECT_EQ(quiz.score->UpdateMacroText()->text, "0");
    // A question label's text is its answer: a new one answers "Text".
    EXPECT_EQ(quiz.echo->UpdateMacroText()->text, "Text");
    quiz.Type(quiz.questions[0], "OHM ");
    quiz.Type(quiz.questions[1], "watt");
    CDrawnRects drawing;
    {
        CTextDrawingScope scope(&drawing);
        quiz.Type(quiz.questions[2], "Amp");
    }
    EXPECT_EQ(quiz.score->UpdateMacroText()->text, "2");
    EXPECT_EQ(quiz.echo->UpdateMacroText()->text, "watt");
    // Answering redrew the labels that report on the answers.
    bool score = false, echo = false;
    for (const CRect& r : drawing.drawn) {
        score |= r == quiz.score->m_rect;
        echo |= r == quiz.echo->m_rect;
    }
    EXPECT_TRUE(score);
    EXPECT_TRUE(echo);
    CQuestionCounts counts;
    quiz.Range().CountAnswers(counts);
    EXPECT_EQ(counts.answered, 3);
    EXPECT_EQ(counts.correct, 2);
}

TEST(TextQuestions, DeletedQuestionLeavesTheRangeAndLoadedLabelsRegister)
{
    Quiz quiz;
    CTextLabel* second = quiz.questions[1];
    quiz.design.RemovePart(second);
    delete second;
    EXPECT_EQ(quiz.Range().GetLink(2), nullptr);
    EXPECT_EQ(quiz.echo->UpdateMacroText()->text, "Question Not Answered");

    // A label read with the design registers in AfterLoad.
    auto* loaded = quiz.Add(6);
    loaded->question.number = 2;
    loaded->question.userAnswer = "volt";
    loaded->question.correctAnswer = "volt";
    loaded->AfterLoad(&quiz.design, 0, 4274);
    EXPECT_EQ(quiz.Range().GetLink(2), &loaded->question);
    EXPECT_EQ(quiz.echo->UpdateMacroText()->text, "volt");
}
