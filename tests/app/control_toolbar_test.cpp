// The property toolbar on a real resistor, driven through its widgets:
// items and widths, typed values, red text on a refused entry, the spinner
// under a fake clock, and an orientation button turning the part.
#include "app/control_toolbar.h"
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/parts/catalogue.h"
#include "model/text/value.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>


namespace {

struct Bench {
    CCircuit design;
    CComponent* resistor = nullptr;
    std::unique_ptr<CControlToolBar> bar;
    uint32_t now = 1000;
    int redraws = 0;

    Bench()
    {
        shelltest::EnsureShellApp();
        resistor = dynamic_cast<CComponent*>(PartCatalogue::Get().CreateById(32769, nullptr, nullptr));
        EXPECT_NE(resistor, nullptr);
        resistor->Initialise();
        resistor->Offset(200 - resistor->GetRect().left, 200 - resistor->GetRect().top);
        design.AddChild(resistor);
        bar = std::make_unique<CControlToolBar>([this] { return &design; });
        bar->SetSpinClock([this] { return now; });
        bar->ShowPart(resistor, [this] { ++redraws; });
    }
    CValue* Value() { return dynamic_cast<CValue*>(resistor->GetValueLabel()); }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(bar->Control(id)); }
};

} // namespace

TEST(ControlToolBar, ResistorItemsWidthsAndValues)
{
    Bench b;
    ASSERT_NE(b.Value(), nullptr);
    const CControlItemList& items = b.bar->Model().Items();
    const struct {
        int id, type, width;
    } expected[] = {{36053, CI_EDIT, 48}, {36054, CI_SPIN, 16}, {36055, CI_EDIT, 24},
                    {36056, CI_SPIN, 16}, {36057, CI_UNITPICTURE, 32}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(items[int(i)].id, expected[i].id);
        EXPECT_EQ(items[int(i)].type, expected[i].type);
        EXPECT_EQ(items[int(i)].width, expected[i].width);
    }
    EXPECT_EQ(items[4].label, CString("Ohms"));
    // The orientation buttons follow, the back button ends the list.
    EXPECT_GE(items.FindById(36043), 5);
    EXPECT_EQ(items[items.GetCount() - 1].id, 36076);
    ASSERT_NE(b.Edit(36053), nullptr);
    EXPECT_EQ(b.Edit(36053)->text().toStdString(), b.Value()->GetNumberText());
    EXPECT_EQ(b.Edit(36055)->maxLength(), 1);
}

TEST(ControlToolBar, PrefixFieldShowsThePrefixLetterNotTheUnit)
{
    // The canvas shows "10k": the number field reads 10 and the one-letter
    // prefix field k.  A prefix typed there changes the value.
    Bench b;
    ASSERT_NE(b.Value(), nullptr);
    b.Value()->SetValueFromText("10k");
    b.bar->RefreshValues(false);
    EXPECT_EQ(b.Edit(36053)->text(), QString("10"));
    EXPECT_EQ(b.Edit(36055)->text(), QString("k"));
    QLineEdit* prefix = b.Edit(36055);
    prefix->selectAll();
    QTest::keyClicks(prefix, "M");
    EXPECT_EQ(b.Value()->GetPrefixText(), CString("M"));
    EXPECT_EQ(b.Edit(36055)->text(), QString("M"));
    // A number typed alone keeps the prefix; both fields follow the value.
    b.Value()->SetValueFromText("220");
    b.bar->RefreshValues(false);
    EXPECT_EQ(b.Edit(36053)->text(), QString("220"));
    EXPECT_EQ(b.Edit(36055)->text().toStdString(), b.Value()->GetPrefixText());
}

TEST(ControlToolBar, TypedValueIsTakenAndARefusedOneTurnsRed)
{
    Bench b;
    QLineEdit* e = b.Edit(36053);
    ASSERT_NE(e, nullptr);
    e->selectAll();
    QTest::keyClicks(e, "47");
    EXPECT_EQ(b.Value()->GetNumberText(), CString("47"));
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_TRUE(b.design.GetPendingRefresh());
    e->selectAll();
    QTest::keyClicks(e, "x");
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(255, 0, 0));
    // The next accepted value is black again.
    e->selectAll();
    QTest::keyClicks(e, "22");
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(0, 0, 0));
}

// A pupil empties the value box and confirms it: the resistor keeps its
// value (an empty box is not 0 ohms nor the smallest resistance), the box
// shows that value again and a message says so.  A value out of range is
// limited, and the message gives the limit.
TEST(ControlToolBar, AnEmptiedValueBoxKeepsTheValueAndSaysSo)
{
    Bench b;
    QStringList messages;
    b.bar->SetMessenger([&](const QString& m) { messages << m; });
    b.Value()->SetValueFromText("100");
    b.bar->RefreshValues(false);
    const double before = b.Value()->GetValue();
    QLineEdit* e = b.Edit(36053);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->text(), QString("100"));
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    ASSERT_EQ(e->text(), QString());
    EXPECT_EQ(b.Value()->GetValue(), before);
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_TRUE(messages.isEmpty()) << "no message while typing";
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(b.Value()->GetValue(), before);
    EXPECT_EQ(e->text(), QString("100"));
    EXPECT_EQ(e->palette().color(QPalette::Text), QColor(0, 0, 0));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no number"))) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("100"))) << messages[0].toStdString();

    // Out of range: limited to the row's 9999, and said so.
    messages.clear();
    e->selectAll();
    QTest::keyClicks(e, "123456");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(b.Value()->GetNumberText(), CString("9999"));
    EXPECT_EQ(e->text(), QString("9999"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("limited to 9999"))) << messages[0].toStdString();

    // An accepted value says nothing.
    messages.clear();
    e->selectAll();
    QTest::keyClicks(e, "47");
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(b.Value()->GetNumberText(), CString("47"));
    EXPECT_TRUE(messages.isEmpty());
}

// The same through the toolbar's rules alone: each text without a number
// is refused with the kept value in the message; the value never moves.
TEST(ControlToolBar, ConfirmingTextWithoutANumberKeepsTheValue)
{
    Bench b;
    b.Value()->SetValueFromText("4.7k");
    const double before = b.Value()->GetValue();
    for (const char* text : {"", "   ", "-", ".", "abc"}) {
        SCOPED_TRACE(text);
        CString message;
        const int result = b.bar->Model().ConfirmText(36053, CString(text), &message);
        EXPECT_EQ(result & PR_REFUSED, PR_REFUSED);
        EXPECT_EQ(result & (PR_CHANGED | PR_CLAMPED), 0);
        EXPECT_EQ(b.Value()->GetValue(), before);
        EXPECT_NE(message.find("4.7k"), CString::npos) << message;
    }
    CString message;
    EXPECT_EQ(b.bar->Model().ConfirmText(36053, CString("2.2"), &message), PR_CHANGED);
    EXPECT_TRUE(message.empty());
    EXPECT_DOUBLE_EQ(b.Value()->GetValue(), 2200.0);
}

TEST(ControlToolBar, SpinnerAcceleratesWhileHeld)
{
    // Reference: the value's own steps of one and four levels.
    auto stepped = [](int amount) {
        Bench r;
        r.Value()->SetValueFromText("100");
        r.Value()->StepValue(amount);
        return r.Value()->GetNumberText();
    };
    Bench b;
    b.Value()->SetValueFromText("100");
    auto* spin = qobject_cast<CScrollBarSpinner*>(b.bar->Control(36054));
    ASSERT_NE(spin, nullptr);
    // A short click steps once at the first level.
    QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
    EXPECT_EQ(b.Value()->GetNumberText(), stepped(1));
    EXPECT_EQ(b.Edit(36053)->text().toStdString(), b.Value()->GetNumberText());
    // Held for nine seconds: the fourth level (a thousand base steps).
    b.Value()->SetValueFromText("100");
    QTest::mousePress(spin->UpButton(), Qt::LeftButton);
    b.now += 9000;
    QTest::mouseRelease(spin->UpButton(), Qt::LeftButton);
    EXPECT_EQ(b.Value()->GetNumberText(), stepped(4));
    EXPECT_EQ(SpinAcceleration(0), 1);
    EXPECT_EQ(SpinAcceleration(2000), 1);
    EXPECT_EQ(SpinAcceleration(2001), 2);
    EXPECT_EQ(SpinAcceleration(5000), 2);
    EXPECT_EQ(SpinAcceleration(8000), 3);
    EXPECT_EQ(SpinAcceleration(12000), 4);
    EXPECT_EQ(SpinAcceleration(12001), 5);
}

TEST(ControlToolBar, OrientationButtonTurnsThePart)
{
    Bench b;
    ASSERT_EQ(b.resistor->GetOrientation(), 0);
    const CRect before = b.resistor->GetRect();
    auto* action = b.bar->findChild<QAction*>("prop36044");
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(b.resistor->GetOrientation(), 1);
    EXPECT_NE(b.resistor->GetRect().Width(), before.Width());
    EXPECT_GE(b.redraws, 1);
}

TEST(ControlToolBar, ListKeepsThirtyItemsWithTheLeadingDelete)
{
    CControlItemList list;
    for (int i = 0; i < 35; ++i) list.Add(CControlItem(CI_EDIT, CString(), 36100 + i, -1));
    EXPECT_EQ(list.GetCount(), 30);
    EXPECT_EQ(list.FindById(36130), -1);
    EXPECT_EQ(list[0].width, 48);
}
