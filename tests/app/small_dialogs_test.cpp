// The small dialogs opened from their commands in the real main window:
// the label's "Text Box Options" from its property button, the design's
// Answer File and the op-amp's supply.  A bad entry keeps the dialog open with a message, OK
// stores, Cancel leaves the design as it was.
#include "app/control_toolbar.h"
#include "app/main_frame.h"
#include "app/opamp_dialog.h"
#include "app/publish/publish_windows.h"
#include "app/question_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/text_editor.h"
#include "components/c741.h"
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "model/parts/parttree.h"
#include "model/text/opampsupply.h"
#include "model/text/textlabel.h"
#include "platform/messagebox.h"

#include "components/part_by_name.h"
#include "shell_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace shelltest;

namespace {

class SmallDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        ASSERT_NE(Design(), nullptr);
    }
    void TearDown() override
    {
        if (m_edited) m_edited->EditInPlace(nullptr);
        m_editor.reset();
        if (CControlToolBar* bar = m_app->GetMainFrame()->ControlBar()) bar->ShowPart(nullptr, {});
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    CCircuit* Design() { return m_app->GetActiveDocument()->GetDesign(); }

    // A label in the design, being edited and shown in the property
    // toolbar (its buttons other than the font are offered only while it
    // is edited).
    CTextLabel* ShownLabel()
    {
        auto* label = new CTextLabel(Design(), CPoint(40, 40), nullptr);
        Design()->AddChild(label);
        m_editor = std::make_unique<CTextEditWindow>(m_app->GetMainFrame());
        CString text = label->rtf.text;
        EXPECT_EQ(label->EditInPlace(&text), 1);
        m_app->GetMainFrame()->ControlBar()->ShowPart(label, {});
        m_edited = label;
        return label;
    }

    static void Type(QDialog* d, const char* name, const QString& text)
    {
        auto* e = d->findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(e, nullptr) << name;
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    static void Press(QDialog* d, const char* name)
    {
        auto* b = d->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    static void Choose(QDialog* d, const char* name, int index)
    {
        auto* c = d->findChild<QComboBox*>(QString::fromLatin1(name));
        ASSERT_NE(c, nullptr) << name;
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    template <class D>
    void Run(int command, std::function<void(D*)> act)
    {
        bool seen = false;
        WhenModal<D>([&](D* d) {
            seen = true;
            act(d);
            if (d->isVisible()) d->reject();
        });
        m_app->RouteCommand(command);
        EXPECT_TRUE(seen) << command;
    }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
    CTextLabel* m_edited = nullptr;
    // The in-place editor, which is also the label's command host.
    std::unique_ptr<CTextEditWindow> m_editor;
};

} // namespace

TEST_F(SmallDialogs, AQuestionNumberOutOfRangeIsRefusedThenTheLabelBecomesAQuestion)
{
    CTextLabel* label = ShownLabel();
    Run<CQuestionDialog>(IDC_LABEL_QUESTION, [&](CQuestionDialog* d) {
        // A plain label: number and answer greyed, the table too.
        EXPECT_TRUE(d->findChild<QRadioButton*>("ctl238")->isChecked());
        EXPECT_FALSE(d->findChild<QLineEdit*>("ctl223")->isEnabled());
        EXPECT_FALSE(d->findChild<QTreeWidget*>("ctl215")->isEnabled());
        Press(d, "ctl202");
        EXPECT_TRUE(d->findChild<QLineEdit*>("ctl223")->isEnabled());
        EXPECT_TRUE(d->findChild<QLineEdit*>("ctl221")->isEnabled());
        Type(d, "ctl223", "0");
        Type(d, "ctl221", "ohm");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_EQ(m_messages.shown[0].text, "The question number must lie between 1 and 9999.");
        Type(d, "ctl223", "3");
        Press(d, "ctl1");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_TRUE(label->flags & TF_QUESTION);
    EXPECT_EQ(label->question.number, 3);
    EXPECT_EQ(label->question.correctAnswer, "ohm");
    EXPECT_EQ(Design()->m_fileExtras.range.GetLink(3), &label->question);
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
}

TEST_F(SmallDialogs, RemarksNeedARowAndCancelKeepsTheLabel)
{
    CTextLabel* label = ShownLabel();
    Run<CQuestionDialog>(IDC_LABEL_QUESTION, [&](CQuestionDialog* d) {
        Press(d, "ctl242");
        auto* list = d->findChild<QTreeWidget*>("ctl215");
        ASSERT_EQ(list->topLevelItemCount(), 1);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Some Answer1"));
        Press(d, "ctl217");
        EXPECT_EQ(list->topLevelItemCount(), 0);
        Type(d, "ctl223", "2");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_NE(m_messages.shown[0].text.find("there are no remarks"), CString::npos);
        Press(d, "ctl2");
    });
    EXPECT_EQ(label->GetResponseMode(), QF_MODE_PLAIN);
    EXPECT_EQ(label->question.number, 0);
    EXPECT_FALSE(m_app->GetActiveDocument()->IsModified());

    // Correct and Wrong chosen from the list: stored with their remarks.
    Run<CQuestionDialog>(IDC_LABEL_QUESTION, [&](CQuestionDialog* d) {
        Press(d, "ctl242");
        // With no row selected an entry adds its row with its own remark.
        Press(d, "ctl217");
        Choose(d, "ctl243", QF_ENTRY_CORRECT);
        Press(d, "ctl216");
        Choose(d, "ctl243", QF_ENTRY_WRONG);
        auto* list = d->findChild<QTreeWidget*>("ctl215");
        ASSERT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Correct"));
        EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("Wrong"));
        Type(d, "ctl223", "2");
        Press(d, "ctl1");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_TRUE(m_messages.shown.size() == 1u);
    EXPECT_EQ(label->GetResponseMode(), QF_MODE_REMARKS);
    EXPECT_EQ(label->question.number, 2);
    ASSERT_NE(label->responses.Lookup("Wrong"), nullptr);
    EXPECT_EQ(label->responses.Lookup("Correct")->text, "Correct Answer!");
}

TEST_F(SmallDialogs, AnswerFileNeedsAPathWhenLinkedAndCancelKeepsTheRange)
{
    CQuestionRange& range = Design()->m_fileExtras.range;
    Run<CQuestionRangeWindow>(34204, [&](CQuestionRangeWindow* d) {
        EXPECT_TRUE(d->Linked()->isEnabled());
        EXPECT_FALSE(d->Path()->isEnabled());
        QTest::mouseClick(d->Linked(), Qt::LeftButton, {}, QPoint(6, d->Linked()->height() / 2));
        EXPECT_TRUE(d->Path()->isEnabled());
        d->Path()->clear();
        d->accept();
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(m_messages.shown.size(), 1u);
        d->Path()->setText(QStringLiteral("answers.zrn"));
        d->reject();
    });
    EXPECT_EQ(range.linked, 0);
    EXPECT_TRUE(range.name.IsEmpty());
    EXPECT_FALSE(m_app->GetActiveDocument()->IsModified());

    // Unlinked with the highest number shown: OK stores and changes the design.
    range.count = 7;
    Run<CQuestionRangeWindow>(34204, [&](CQuestionRangeWindow* d) {
        EXPECT_EQ(d->Highest()->text(), QStringLiteral("7"));
        d->accept();
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(range.linked, 0);
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
}

TEST_F(SmallDialogs, OpampSupplyRefusesOver99VoltsThenSetsBothRails)
{
    CComponent* opamp = AddPartByName(*Design(), "C741", 100, 100);
    ASSERT_NE(opamp, nullptr);
    COpampSupply* supply = static_cast<C741*>(opamp)->GetSupplyLabel();
    ASSERT_NE(supply, nullptr);
    m_app->GetMainFrame()->ControlBar()->ShowPart(opamp, {});
    Run<COpampDialog>(36074, [&](COpampDialog* d) {
        EXPECT_EQ(d->findChild<QLineEdit*>("ctl1000")->text(), QStringLiteral("9"));
        EXPECT_EQ(d->findChild<QLineEdit*>("ctl1001")->text(), QStringLiteral("9"));
        Type(d, "ctl1000", "100");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(m_messages.shown.size(), 1u);
        Type(d, "ctl1000", "15");
        Type(d, "ctl1001", "12");
        Press(d, "ctl1");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_DOUBLE_EQ(supply->number.value, 15.0);
    EXPECT_DOUBLE_EQ(supply->negative.value, -12.0);
    // The gain stage follows: the swing is the half-span less 2 V.
    EXPECT_DOUBLE_EQ(static_cast<C741*>(opamp)->GetSwing(), (15.0 + 12.0) / 2 - 2.0);
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());

    m_app->GetActiveDocument()->SetModifiedFlag(false);
    Run<COpampDialog>(36074, [&](COpampDialog* d) {
        Type(d, "ctl1000", "5");
        Press(d, "ctl2");
    });
    EXPECT_DOUBLE_EQ(supply->number.value, 15.0);
    EXPECT_FALSE(m_app->GetActiveDocument()->IsModified());
}

namespace {

using ArrangeCommands = SmallDialogs;

struct Labels {
    CTextLabel* a;
    CTextLabel* b;
    CTextLabel* c;
};

Labels ThreeLabels(CCircuit* design)
{
    auto add = [design](CRect r) {
        auto* l = new CTextLabel(design, CPoint(r.left, r.top), nullptr);
        l->CreateChildren();
        design->AddChild(l);
        l->SetRectRecursive(r);
        return l;
    };
    return {add(CRect(10, 10, 150, 32)), add(CRect(40, 60, 240, 110)), add(CRect(70, 130, 130, 150))};
}

// The labels in the order the design draws them.
std::vector<CPart*> DrawOrder(CCircuit* design, const Labels& l)
{
    std::vector<CPart*> out;
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (p == l.a || p == l.b || p == l.c) out.push_back(p);
    return out;
}

} // namespace

TEST_F(ArrangeCommands, EnableRulesTable)
{
    Labels l = ThreeLabels(Design());
    struct Row {
        const char* state;
        std::function<void()> enter;
        bool enabled;
    } rows[] = {
        {"nothing selected", [] {}, false},
        {"one label selected", [&] { l.a->Select(0x80000); }, true},
        {"locked", [&] { Design()->SetOptionBits(0x4000, true); }, false},
        {"unlocked again", [&] { Design()->SetOptionBits(0x4000, false); }, true},
    };
    for (const Row& r : rows) {
        r.enter();
        for (int id = 34196; id <= 34202; ++id) {
            CCmdUI ui;
            ui.id = id;
            m_app->RouteUpdate(ui);
            EXPECT_TRUE(ui.handled) << r.state << " " << id;
            EXPECT_EQ(ui.enabled, r.enabled) << r.state << " " << id;
        }
    }
}

TEST_F(ArrangeCommands, AlignMovesTheOtherSelectedPartsToTheReferenceEdge)
{
    Labels l = ThreeLabels(Design());
    l.a->Select(0x80000);
    l.b->Select(0x80000);
    // c is not selected and stays where it is.
    m_app->GetMainFrame()->ControlBar()->ShowPart(l.b, {});
    struct Case {
        int command;
        CRect a;  // where a ends up
    } cases[] = {
        {34198, CRect(40, 10, 180, 32)},    // left edges at 40
        {34199, CRect(40, 60, 180, 82)},    // tops at 60
        {34200, CRect(100, 60, 240, 82)},   // right edges at 240
        {34201, CRect(100, 88, 240, 110)},  // bottoms at 110
    };
    for (const Case& c : cases) {
        m_app->RouteCommand(c.command);
        EXPECT_EQ(l.a->GetRect(), c.a) << c.command;
        EXPECT_EQ(l.b->GetRect(), CRect(40, 60, 240, 110)) << c.command;
        EXPECT_EQ(l.c->GetRect(), CRect(70, 130, 130, 150)) << c.command;
    }
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
}

TEST_F(ArrangeCommands, SameSizeKeepsTheTopLeftCorner)
{
    Labels l = ThreeLabels(Design());
    for (CTextLabel* p : {l.a, l.b, l.c}) p->Select(0x80000);
    m_app->GetMainFrame()->ControlBar()->ShowPart(l.b, {});
    m_app->RouteCommand(34202);
    EXPECT_EQ(l.a->GetRect(), CRect(10, 10, 210, 60));
    EXPECT_EQ(l.b->GetRect(), CRect(40, 60, 240, 110));
    EXPECT_EQ(l.c->GetRect(), CRect(70, 130, 270, 180));
    // The resize frame follows its label.
    EXPECT_EQ(l.c->GetResizeFrame()->GetRect(), CRect(70, 130, 270, 180));
}

TEST_F(ArrangeCommands, FrontAndBackMoveOnlyTheSelectedPartsAndKeepTheirOrder)
{
    Labels l = ThreeLabels(Design());
    ASSERT_EQ(DrawOrder(Design(), l), (std::vector<CPart*>{l.a, l.b, l.c}));
    l.a->Select(0x80000);
    l.b->Select(0x80000);
    m_app->RouteCommand(34196);
    EXPECT_EQ(DrawOrder(Design(), l), (std::vector<CPart*>{l.c, l.a, l.b}));
    m_app->RouteCommand(34197);
    EXPECT_EQ(DrawOrder(Design(), l), (std::vector<CPart*>{l.a, l.b, l.c}));
    l.a->Deselect(0x80000);
    m_app->RouteCommand(34197);
    EXPECT_EQ(DrawOrder(Design(), l), (std::vector<CPart*>{l.b, l.a, l.c}));
}

TEST_F(SmallDialogs, QuestionResultsCountTheMasterRange)
{
    // Five declared questions, three present and answered correctly.
    CQuestionRange& range = Design()->m_fileExtras.range;
    range.Resize(5);
    for (int n = 1; n <= 3; ++n) {
        auto* q = new CTextLabel(Design(), CPoint(20, 40 * n), nullptr);
        Design()->AddChild(q);
        q->ApplyQuestionSettings(static_cast<WORD>(n), "ohm", QF_MODE_QUESTION, CResponseMap(), false);
        q->question.userAnswer = "OHM";
    }
    range.CheckQuestionNumbers();
    bool seen = false;
    WhenModal<CQuestionResultsWindow>([&](CQuestionResultsWindow* d) {
        seen = true;
        // Total, in memory, answered, correct, files open.
        EXPECT_EQ(d->Numbers(), (QList<int>{5, 3, 3, 3, 1}));
        d->accept();
    });
    m_app->RouteCommand(34205);
    EXPECT_TRUE(seen);
}
