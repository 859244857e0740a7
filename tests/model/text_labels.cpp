#include "model/display/gdi.h"
#include "model/text/markers.h"
#include "model/text/placement.h"
#include "model/text/symbols.h"
#include "model/text/rtf_codepage.h"
#include "model/text/textlabel.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

std::unique_ptr<CRTFData> Block(const char* text)
{
    auto d = std::make_unique<CRTFData>();
    d->SetText(text);
    return d;
}

}  // namespace

TEST(TextPlacement, BesideEachSide)
{
    const CRect r(100, 50, 140, 70);  // cx 120, cy (50 + 70 - 14) / 2 = 53
    struct Row { int side; CRect rect; int stored; CPoint anchor; };
    const Row rows[] = {
        {0, CRect(100, 36, 140, 50), 14, CPoint(120, 50)},
        {1, CRect(141, 53, 181, 67), 0, CPoint(141, 53)},
        {2, CRect(100, 70, 140, 84), 6, CPoint(120, 70)},
        {3, CRect(59, 53, 99, 67), 2, CPoint(99, 53)},
        {4, CRect(100, 50, 140, 64), 0, CPoint(100, 50)},
        {14, r, 6, CPoint(120, 50)},
    };
    for (const Row& row : rows) {
        auto p = PlaceBeside(40, row.side, r);
        ASSERT_TRUE(p) << row.side;
        EXPECT_EQ(p->rect, row.rect) << row.side;
        EXPECT_EQ(p->side, row.stored);
        EXPECT_EQ(p->anchor, row.anchor);
    }
    EXPECT_FALSE(PlaceBeside(40, 5, r));
}

TEST(TextPlacement, ValueLabelWidths)
{
    EXPECT_EQ(ValueLabelWidth("V", 1), 40);
    EXPECT_EQ(ValueLabelWidth(" ", 1), 32);   // one space: 8 narrower
    EXPECT_EQ(ValueLabelWidth("", 1), 32);
    EXPECT_EQ(ValueLabelWidth("Hz", 1), 48);
    EXPECT_EQ(ValueLabelWidth("", -1), 39);  // 38 is taken as 39
    EXPECT_EQ(ValueLabelPlaceWidth(" ", 1), 32);
    EXPECT_EQ(ValueLabelPlaceWidth("V", -0.5), 45);
}

TEST(LabelMarkers, ResponseModes)
{
    CResponseMap m;
    EXPECT_EQ(GetResponseMode(0, m), 0);
    EXPECT_EQ(GetResponseMode(kTextQuestion, m), 2);
    m.SetAt("$SCORE_ALWAYS", Block(""));
    EXPECT_EQ(GetResponseMode(0, m), 1);
    EXPECT_EQ(GetResponseMode(kTextQuestion, m), 2);
    m.RemoveAll();
    m.SetAt("x$USER_ALWAYS", Block(""));
    EXPECT_EQ(GetResponseMode(0, m), 3);
    m.RemoveAll();
    m.SetAt("$CORRECT_ALWAYS", Block(""));
    EXPECT_EQ(GetResponseMode(0, m), 4);
    m.SetAt("A", Block(""));
    EXPECT_EQ(GetResponseMode(0, m), 5);  // markers count only as the only key
}

TEST(LabelMarkers, ChoosingTheShownText)
{
    CResponseMap score;
    score.SetAt("$SCORE_ALWAYS", Block("s"));
    LabelTextChoice c = ChooseLabelText(0, "own", score, nullptr, 3);
    EXPECT_EQ(c.kind, LabelTextChoice::Generated);
    EXPECT_EQ(c.generated, "3");

    CResponseMap user;
    user.SetAt("$USER_ALWAYS", Block("u"));
    EXPECT_EQ(ChooseLabelText(0, "own", user, nullptr, 0).generated, "Question Not Answered");
    QuestionState q{"Ohm", "ohm", true};
    EXPECT_EQ(ChooseLabelText(0, "own", user, &q, 0).generated, "Ohm");
    CResponseMap correct;
    correct.SetAt("$CORRECT_ALWAYS", Block("c"));
    EXPECT_EQ(ChooseLabelText(0, "own", correct, &q, 0).generated, "ohm");

    CResponseMap answers;
    answers.SetAt("VOLT", Block("volts!"));
    answers.SetAt("Correct", Block("well done"));
    answers.SetAt("$NOTHING", Block("say something"));
    QuestionState typed{"volt", "amp", false};
    c = ChooseLabelText(0, "own", answers, &typed, 0);
    ASSERT_EQ(c.kind, LabelTextChoice::Response);
    EXPECT_EQ(c.response->text, "volts!");  // case is ignored
    QuestionState right{"AMP", "amp", true};
    EXPECT_EQ(ChooseLabelText(0, "own", answers, &right, 0).response->text, "well done");
    QuestionState empty{"", "amp", false};
    EXPECT_EQ(ChooseLabelText(0, "own", answers, &empty, 0).response->text, "say something");
    QuestionState wrong{"ohm", "amp", false};
    EXPECT_EQ(ChooseLabelText(0, "own", answers, &wrong, 0).kind, LabelTextChoice::Own);  // no Wrong key
    EXPECT_EQ(ChooseLabelText(0, "own", answers, nullptr, 0).kind, LabelTextChoice::Own);
    EXPECT_EQ(ChooseLabelText(0, "", answers, &typed, 0).kind, LabelTextChoice::Own);

    // The text-part rule: only a text that begins with "$".
    EXPECT_EQ(ChooseLabelText(kTextQuestion, "$MACRO_SCORE", answers, &typed, 4).generated, "4");
    EXPECT_EQ(ChooseTextPartText("$MACRO_SCORE", 2).generated, "2");
    // A plain label too; a label with responses shows them instead.
    EXPECT_EQ(ChooseLabelText(0, "$MACRO_SCORE", CResponseMap(), nullptr, 3).generated, "3");
    EXPECT_EQ(ChooseLabelText(0, "Score $MACRO_SCORE", CResponseMap(), nullptr, 3).kind, LabelTextChoice::Own);
    EXPECT_EQ(ChooseLabelText(0, "$MACRO_SCORE", answers, nullptr, 3).kind, LabelTextChoice::Own);
    EXPECT_EQ(ChooseTextPartText("Score: $MACRO_SCORE", 2).kind, LabelTextChoice::Own);
    EXPECT_TRUE(LabelDependsOnAnswers(0, "$X", CResponseMap()));
    EXPECT_FALSE(LabelDependsOnAnswers(0, "$", CResponseMap()));
    EXPECT_TRUE(LabelDependsOnAnswers(0, "a", answers));
    EXPECT_FALSE(LabelDependsOnAnswers(kTextQuestion, "a", answers));
}

TEST(LabelMarkers, CopyResponsesUsesDisplayNames)
{
    CResponseMap stored;
    stored.SetAt("$CORRECT", Block("1"));
    stored.SetAt("$WRONG", Block("2"));
    stored.SetAt("$NOTHING", Block("3"));
    stored.SetAt("B", Block("4"));
    CResponseMap shown;
    shown.SetAt("old", Block("x"));
    CopyResponses(stored, &shown);
    ASSERT_EQ(shown.GetCount(), 4);
    EXPECT_EQ(shown.Lookup("Correct")->text, "1");
    EXPECT_EQ(shown.Lookup("Wrong")->text, "2");
    EXPECT_EQ(shown.Lookup("Nothing")->text, "3");
    EXPECT_EQ(shown.Lookup("B")->text, "4");
    EXPECT_EQ(shown.Lookup("old"), nullptr);
    EXPECT_NE(shown.Lookup("B"), stored.Lookup("B"));  // new blocks
    EXPECT_EQ(TrimAnswer("  4.7 \r\n"), "4.7");
}

TEST(SymbolPalette, GreekCodePageAndFonts)
{
    // Each mapped letter lands on the Greek letter the Symbol font shows.
    for (const char* p = "abcdefghiklmnopqrstuwxyzABCDEFGHIKLMNOPQRSTUWXYZ"; *p; ++p) {
        std::string greek(1, static_cast<char>(MapSymbolToGreek(*p)));
        EXPECT_EQ(DecodeCharset(kCharsetGreek, greek), QString(QChar(SymbolToUnicode(static_cast<unsigned char>(*p)))))
            << *p;
    }
    EXPECT_EQ(MapSymbolToGreek(178), 178);
    EXPECT_EQ(PaletteCode(""), 'a');
    EXPECT_EQ(PaletteCode("2"), 178);
    EXPECT_EQ(PaletteCode("W"), 'W');
    EXPECT_EQ(PlanSymbolInsert('a', 0, "Arial").font, SymbolInsert::Symbol);
    EXPECT_EQ(PlanSymbolInsert(178, 2, "Symbol").font, SymbolInsert::Arial);
    EXPECT_EQ(PlanSymbolInsert(178, 0, "Arial").font, SymbolInsert::Keep);
    EXPECT_EQ(PlanSymbolInsert('w', kCharsetGreek, "Arial").code, 0xF9);
}

TEST(LabelMarkers, QuestionSettingsFromTheDialog)
{
    EnsureTextGuiApp();
    CTextLabel label(nullptr, CPoint(0, 0), nullptr);
    CResponseMap dialog;
    dialog.SetAt("A", Block("first"));
    label.ApplyQuestionSettings(2, "A", 5, dialog, true);
    EXPECT_EQ(label.question.number, 2);
    EXPECT_EQ(label.question.correctAnswer, "A");
    EXPECT_EQ(label.GetResponseMode(), 5);
    EXPECT_TRUE(label.flags & TF_BORDER);
    EXPECT_EQ(label.rtf.text, "Text is automatic in this mode.");

    label.ApplyQuestionSettings(2, "A", 2, CResponseMap(), false);
    EXPECT_TRUE(label.flags & TF_QUESTION);
    EXPECT_EQ(label.GetResponseMode(), 2);

    label.ApplyQuestionSettings(0, "", 0, CResponseMap(), false);
    EXPECT_EQ(label.GetResponseMode(), 0);
    EXPECT_EQ(label.rtf.text, "Text");  // back to the default text
    EXPECT_FALSE(label.flags & (TF_QUESTION | TF_BORDER));
}

// The toolbar shows a picture for every button of a text box: one 32-pixel
// cell per command, in the order of the ids, and no cell left blank.
TEST(LabelToolbar, EveryButtonHasAPictureCell)
{
    EnsureTextGuiApp();
    CTextLabel label;
    std::vector<int> ids;
    CBitmap strip;
    const int n = label.GetPropertyBitmap(ids, &strip);
    ASSERT_EQ(n, 7);
    EXPECT_EQ(ids, (std::vector<int>{36101, 36108, 36105, 36102, 36103, 36104, 36074}));
    ASSERT_FALSE(strip.IsNull());
    const QImage& image = strip.Image();
    ASSERT_GE(image.width(), 32 * n);
    for (int cell = 0; cell < n; ++cell) {
        int ink = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((image.pixel(cell * 32 + x, y) & 0xFFFFFFu) != 0xFFFFFFu) ++ink;
        EXPECT_GT(ink, 20) << "cell " << cell;
    }
}
