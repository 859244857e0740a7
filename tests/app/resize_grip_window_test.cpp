// The length grips of the mass on a track, the rack and the fixed spring in
// the real main window: a pupil presses a grip, drags it along in grid steps and lets go;
// the part stays in the design, longer, with its grips, and keeps its new
// length through saving, opening and Undo.
#include "app/canvas/tesk_view.h"
#include "components/resize.h"
#include "mechanics/mass_comp.h"
#include "mechanics/rack_pin.h"
#include "mechanics/spring_fixed.h"
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/terminal.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>

#include <ostream>
#include <vector>

namespace {

constexpr int kLinearBar = 570;
constexpr int kRotationalBar = 571;
constexpr int kMass = 33915;
constexpr int kRackPin = 33901;
constexpr int kFixedSpring = 33908;
constexpr int kUndo = 57643;
constexpr int kSave = 57603;

struct GripCase {
    const char* name;
    int layout;
    int command;
    const char* cls;
    bool rightGrip;
    // Grid steps (8 pixels) the grip is carried, positive to the right.
    int steps;
};

void PrintTo(const GripCase& c, std::ostream* os) { *os << c.name; }

std::vector<CResize*> GripsOf(CPart* part)
{
    std::vector<CResize*> grips;
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* g = dynamic_cast<CResize*>(c)) grips.push_back(g);
    return grips;
}

CPart* OnlyPartOfClass(CCircuit* design, const char* cls)
{
    CPart* found = nullptr;
    int n = 0;
    for (CPartIterator it(design, 0); it.GetCurrent(); it.Next())
        if (it.GetCurrent()->IsKindOf(cls)) {
            found = it.GetCurrent();
            ++n;
        }
    return n == 1 ? found : nullptr;
}

class ResizeGripWindow : public CanvasWindowTest, public ::testing::WithParamInterface<GripCase> {
protected:
    bool Holds(CPart* part) const
    {
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next())
            if (it.GetCurrent() == part) return true;
        return false;
    }
};

TEST_P(ResizeGripWindow, DraggedGripLengthensThePartAndDropsItBack)
{
    const GripCase& c = GetParam();
    const char* cls = c.cls;
    CPart* part = AddFromToolbar(c.layout, c.command, QPoint(300, 200));
    ASSERT_NE(part, nullptr);
    ASSERT_TRUE(Holds(part));
    // Animation on (the grips work only then); the drag handles stay off,
    // so the press reaches the grip through the part.
    Design()->SetOptionBits(0x80, true);
    ASSERT_EQ(Design()->GetGridStep(), 8);
    CResize* grip = nullptr;
    for (CResize* g : GripsOf(part))
        if ((g->m_anchor.x > part->m_rect.Width() / 2) == c.rightGrip) grip = g;
    ASSERT_NE(grip, nullptr);
    const CRect before = part->m_rect;
    const size_t grips = GripsOf(part).size();
    auto* comp = dynamic_cast<CComponent*>(part);
    ASSERT_NE(comp, nullptr);
    const CRect leftPin = comp->GetTerminal(0)->m_rect;
    const CRect rightPin = comp->GetTerminal(1) ? comp->GetTerminal(1)->m_rect : CRect();
    const CPoint at = grip->m_rect.CenterPoint();
    const int dx = 8 * c.steps;
    const int sign = c.steps > 0 ? 1 : -1;

    QTest::mousePress(Port(), Qt::LeftButton, {}, Client(at));
    for (int s = 1; s <= sign * c.steps; ++s) QTest::mouseMove(Port(), Client(at + CPoint(sign * 8 * s, 0)));
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, Client(at + CPoint(dx, 0)));

    // The part is back in the design, longer by the carried distance at
    // the grip's end, its other end where it was; its grips are its own.
    ASSERT_TRUE(Holds(part)) << "the part was lost from the design";
    EXPECT_EQ(part->m_rect.Width(), before.Width() + (c.rightGrip ? dx : -dx));
    if (c.rightGrip)
        EXPECT_EQ(part->m_rect.left, before.left);
    else
        EXPECT_EQ(part->m_rect.right, before.right);
    EXPECT_EQ(GripsOf(part).size(), grips);
    EXPECT_EQ(grip->m_rect.CenterPoint(), at + CPoint(dx, 0));
    EXPECT_FALSE(grip->IsDragging());
    EXPECT_FALSE(Holds(grip));
    CCircuit* floating = m_view->Controller().GetFloating();
    EXPECT_TRUE(!floating || !floating->HoldsTopLevel(grip));
    EXPECT_EQ(OnlyPartOfClass(Design(), cls), part);
    // The mass's ends are its terminals: each stays on its end.
    if (auto* mass = dynamic_cast<CMassComp*>(part)) {
        EXPECT_EQ(mass->GetTerminal(0)->m_rect.left - mass->m_rect.left, leftPin.left - before.left);
        EXPECT_EQ(mass->GetTerminal(1)->m_rect.right - mass->m_rect.right, rightPin.right - before.right);
    }
    // The spring's terminal rides on its left edge; the wall stays, and the
    // rest length grows by half the drag (8 mm + 24 / 8000 m = 11 mm).
    if (auto* spring = dynamic_cast<CSpringFixed*>(part)) {
        EXPECT_EQ(spring->GetTerminal(0)->m_rect.left - spring->m_rect.left, leftPin.left - before.left);
        EXPECT_NEAR(spring->GetModel().GetRestLength(), 0.008 - dx / 8000.0, 1e-15);
        EXPECT_EQ(spring->EndBPixel(), spring->m_rect.Width() - 4);
    }

    // Saved, the lengthened part is what the file holds.
    CTeskDoc* doc = m_app->GetActiveDocument();
    const QString saved = m_dir.filePath("lengthened.dsn");
    doc->SetPathName(saved);
    ASSERT_TRUE(m_app->RouteCommand(kSave));
    doc->SetPathName(m_dir.filePath("other.dsn"));

    // Undo takes the lengthening back (and only it).
    ASSERT_TRUE(m_app->RouteCommand(kUndo));
    CPart* undone = OnlyPartOfClass(m_view->GetDesign(), cls);
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->m_rect, before);
    EXPECT_EQ(GripsOf(undone).size(), grips);

    CTeskDoc* opened = m_app->OpenDocumentFile(saved);
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(opened, doc);
    CPart* read = OnlyPartOfClass(opened->GetDesign(), cls);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_rect.Width(), before.Width() + (c.rightGrip ? dx : -dx));
    EXPECT_EQ(GripsOf(read).size(), grips);
    if (auto* spring = dynamic_cast<CSpringFixed*>(read)) {
        EXPECT_NEAR(spring->GetModel().GetRestLength(), 0.008 - dx / 8000.0, 1e-15);
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Grips, ResizeGripWindow,
                         ::testing::Values(GripCase{"MassRightGrip", kLinearBar, kMass, "CMassComp", true, 3},
                                           GripCase{"MassLeftGrip", kLinearBar, kMass, "CMassComp", false, -3},
                                           GripCase{"RackRightGrip", kRotationalBar, kRackPin, "CRackPin", true, 3},
                                           GripCase{"FixedSpringLeftGrip", kLinearBar, kFixedSpring,
                                                    "CSpringFixed", false, -3}),
                         [](const ::testing::TestParamInfo<GripCase>& i) { return std::string(i.param.name); });

// A grip carried into another part is refused there: the drag goes on
// with the part out of the design, and a release where it fits drops it.
TEST_F(ResizeGripWindow, RefusedLengtheningGoesOnUntilThePartFits)
{
    auto* mass = dynamic_cast<CMassComp*>(AddFromToolbar(kLinearBar, kMass, QPoint(200, 200)));
    ASSERT_NE(mass, nullptr);
    const CRect before = mass->m_rect;
    // A second mass on the same row, 48 pixels right of the first.
    const CPoint blockAt = m_view->Controller().ToClient(CPoint(before.right + 48, before.top));
    CPart* blocker = AddFromToolbar(kLinearBar, kMass, QPoint(blockAt.x, blockAt.y));
    ASSERT_NE(blocker, nullptr);
    ASSERT_TRUE(Holds(blocker));
    ASSERT_GE(blocker->m_rect.left, before.right);
    ASSERT_LT(blocker->m_rect.top, before.bottom);
    ASSERT_GT(blocker->m_rect.bottom, before.top);
    Design()->SetOptionBits(0x80, true);
    CResize* grip = nullptr;
    for (CResize* g : GripsOf(mass))
        if (g->m_anchor.x > mass->m_rect.Width() / 2) grip = g;
    ASSERT_NE(grip, nullptr);
    const CPoint at = grip->m_rect.CenterPoint();
    // Far enough right that the track runs into the second mass.
    const int into = ((blocker->m_rect.left - before.right) / 8 + 4) * 8;
    QTest::mousePress(Port(), Qt::LeftButton, {}, Client(at));
    for (int x = 8; x <= into; x += 8) QTest::mouseMove(Port(), Client(at + CPoint(x, 0)));
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, Client(at + CPoint(into, 0)));
    EXPECT_FALSE(Holds(mass)) << "a drop onto another part is refused";
    EXPECT_NE(m_view->Controller().GetFloating(), nullptr);
    // Back 8 pixels short of the second mass's left end, and let go there.
    const int back = ((blocker->m_rect.left - before.right) / 8 - 1) * 8;
    ASSERT_GT(back, 0);
    for (int x = into - 8; x >= back; x -= 8) QTest::mouseMove(Port(), Client(at + CPoint(x, 0)));
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(at + CPoint(back, 0)));
    ASSERT_TRUE(Holds(mass)) << "the part was lost from the design";
    EXPECT_EQ(mass->m_rect.left, before.left);
    EXPECT_EQ(mass->m_rect.Width(), before.Width() + back);
    EXPECT_EQ(GripsOf(mass).size(), 2u);
    EXPECT_TRUE(Holds(blocker));
    EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
}

} // namespace
