// The rules of the label's question dialog without windows: the special
// codes of the reporting modes, the table of possible answers, the checks
// on OK, and the round trip into a label.
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "model/text/question_form.h"
#include "model/text/textlabel.h"
#include "text_qtapp.h"

#include <gtest/gtest.h>

namespace {

std::vector<CString> Keys(const CQuestionForm& f)
{
    std::vector<CString> out;
    for (const CQuestionResponse& r : f.rows) out.push_back(r.key);
    return out;
}

} // namespace

TEST(QuestionForm, ReportingModesLeaveTheirOneSpecialCode)
{
    struct Case {
        int mode;
        const char* code;
    } cases[] = {{QF_MODE_SCORE, "$SCORE_ALWAYS"}, {QF_MODE_USER, "$USER_ALWAYS"}, {QF_MODE_CORRECT, "$CORRECT_ALWAYS"}};
    for (const Case& c : cases) {
        CQuestionForm f;
        f.SetMode(QF_MODE_REMARKS);
        CString message;
        ASSERT_TRUE(f.NewResponse(&message));
        f.SetMode(c.mode);
        EXPECT_EQ(Keys(f), std::vector<CString>{c.code}) << c.mode;
        EXPECT_FALSE(f.rows[0].remark.text.IsEmpty());
        // No more rows beside a special code.
        EXPECT_FALSE(f.NewResponse(&message));
        EXPECT_EQ(message, "There is a special code that must be the only one in the table");
        EXPECT_EQ(f.rows.size(), 1u);
    }
}

TEST(QuestionForm, NewRowsNumberOnAndEntriesRenameTheSelectedRow)
{
    CQuestionForm f;
    f.SetMode(QF_MODE_REMARKS);
    CString message;
    ASSERT_TRUE(f.NewResponse(&message));
    EXPECT_EQ(Keys(f), (std::vector<CString>{"Some Answer1", "Some Answer2"}));
    EXPECT_EQ(f.selected, 1);
    // The sample remark is rich text.
    EXPECT_EQ(f.rows[1].remark.mode, kRtfFormatRtf);

    // "Wrong" renames the selected row and keeps its remark.
    f.ChooseEntry(QF_ENTRY_WRONG);
    EXPECT_EQ(Keys(f), (std::vector<CString>{"Some Answer1", "Wrong"}));
    // Choosing a key that a row already has selects that row.
    f.selected = 0;
    f.ChooseEntry(QF_ENTRY_WRONG);
    EXPECT_EQ(f.selected, 1);
    // An empty remark takes the entry's default.
    f.selected = 0;
    f.ClearRemark();
    f.ChooseEntry(QF_ENTRY_FIRST_LETTER + 2);
    EXPECT_EQ(f.rows[0].key, "C");
    EXPECT_EQ(f.rows[0].remark.text, "Multiple choice response");

    // Typing another answer renames only to an unused key.
    EXPECT_FALSE(f.RenameSelected("Wrong"));
    EXPECT_TRUE(f.RenameSelected("42 ohm"));
    EXPECT_EQ(f.rows[0].key, "42 ohm");

    // Remove selects the next row, or the first.
    f.selected = 1;
    f.RemoveSelected();
    EXPECT_EQ(Keys(f), std::vector<CString>{"42 ohm"});
    EXPECT_EQ(f.selected, 0);
    f.RemoveSelected();
    EXPECT_TRUE(f.rows.empty());
    EXPECT_EQ(f.selected, -1);
}

TEST(QuestionForm, ChecksOnOk)
{
    using V = CQuestionForm::Verdict;
    struct Case {
        const char* what;
        int mode;
        int number;
        std::vector<const char*> keys;
        V verdict;
        const char* message;  // the start of the message
    } cases[] = {
        {"plain label", QF_MODE_PLAIN, 0, {}, V::Accept, ""},
        {"question 1", QF_MODE_QUESTION, 1, {}, V::Accept, ""},
        {"question 0", QF_MODE_QUESTION, 0, {}, V::Refuse, "The question number must lie between 1 and 9999"},
        {"question 10000", QF_MODE_QUESTION, 10000, {}, V::Refuse, "The question number must lie between 1"},
        {"feedback on none", QF_MODE_USER, -1, {"$USER_ALWAYS"}, V::Accept, ""},
        {"feedback below -1", QF_MODE_USER, -2, {"$USER_ALWAYS"}, V::Refuse, "The question number must lie between -1"},
        {"code with a row", QF_MODE_SCORE, 0, {"$SCORE_ALWAYS", "A"}, V::Refuse, "There is a special code"},
        {"no remarks", QF_MODE_REMARKS, 3, {}, V::Refuse, "You have chosen to use remarks"},
        {"no wrong", QF_MODE_REMARKS, 3, {"Correct"}, V::AcceptWithWarning, "It is a good idea"},
        {"with wrong", QF_MODE_REMARKS, 3, {"Correct", "Wrong"}, V::Accept, ""},
    };
    for (const Case& c : cases) {
        CQuestionForm f;
        f.mode = c.mode;
        f.number = c.number;
        for (const char* k : c.keys) f.rows.push_back({k, CRTFData()});
        const CQuestionForm::Check check = f.Validate();
        EXPECT_EQ(check.verdict, c.verdict) << c.what;
        EXPECT_EQ(check.message.Left(static_cast<int>(strlen(c.message))), c.message) << c.what;
    }
}

TEST(QuestionForm, RoundTripThroughALabel)
{
    EnsureTextGuiApp();
    CCircuit design;
    design.CreateMissingGroups();
    auto* label = new CTextLabel(&design, CPoint(10, 10), nullptr);
    design.AddChild(label);

    CQuestionForm f = CQuestionForm::FromLabel(*label);
    EXPECT_EQ(f.mode, QF_MODE_PLAIN);
    f.SetMode(QF_MODE_REMARKS);
    f.ChooseEntry(QF_ENTRY_CORRECT);
    f.ChooseEntry(QF_ENTRY_OTHER);
    f.ChooseEntry(QF_ENTRY_WRONG);
    f.number = 4;
    f.border = true;
    ASSERT_EQ(f.Validate().verdict, CQuestionForm::Verdict::Accept);
    f.ApplyTo(*label);
    EXPECT_EQ(label->question.number, 4);
    EXPECT_EQ(label->GetResponseMode(), QF_MODE_REMARKS);
    EXPECT_TRUE(label->flags & TF_BORDER);
    EXPECT_NE(label->responses.Lookup("Correct"), nullptr);
    EXPECT_NE(label->responses.Lookup("Wrong"), nullptr);

    // Back into a form: the same table.
    const CQuestionForm again = CQuestionForm::FromLabel(*label);
    EXPECT_EQ(Keys(again), Keys(f));
    EXPECT_EQ(again.number, 4);

    // A feedback label that names no question (-1) stores 0, so the range
    // does not grow to question 65535.
    CQuestionForm user = CQuestionForm::FromLabel(*label);
    user.SetMode(QF_MODE_USER);
    user.number = -1;
    user.ApplyTo(*label);
    EXPECT_EQ(label->question.number, 0);
    EXPECT_EQ(label->GetResponseMode(), QF_MODE_USER);
    EXPECT_LE(CQuestionRange::RangeOfDesign()(&design)->count, 4);

    // Mode 2 makes it a question.
    CQuestionForm q = CQuestionForm::FromLabel(*label);
    q.SetMode(QF_MODE_QUESTION);
    q.number = 2;
    q.correctAnswer = "ohm";
    q.rows.clear();
    q.ApplyTo(*label);
    EXPECT_TRUE(label->flags & TF_QUESTION);
    EXPECT_EQ(label->question.correctAnswer, "ohm");
    EXPECT_EQ(CQuestionRange::RangeOfDesign()(&design)->GetLink(2), &label->question);
}
