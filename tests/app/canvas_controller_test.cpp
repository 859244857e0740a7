// The canvas controller's rules, driven with plain events against a scripted
// window and scripted editing operations of the design root.
#include "canvas_fakes.h"

#include "model/display/display.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// A plain design item: a box that the hit search finds (hit class 64).
class CCanvasTestBox : public CPart {
    WB_DECLARE_SERIAL(CCanvasTestBox)
public:
    CCanvasTestBox() = default;
    explicit CCanvasTestBox(const CRect& r) : CPart(r) {}
    int IsDesignItem() override { return 1; }
    // Found by the press (64) and by the hover search, as a wire is (0x20).
    DWORD GetHitClass() override { return m_info.IsEmpty() ? 64 : 0x20; }
    int HasInfo(int, int) override { return !m_info.IsEmpty(); }
    int BuildInfo(CString& text, UINT, CPoint) override
    {
        ++m_builds;
        text = m_info;
        return 10;
    }
    int OnPropertyCommand(int command, const CString&) override
    {
        if (command == 999) throw CArchiveException(CArchiveException::genericException);
        return 0;
    }
    CString m_info;
    int m_builds = 0;
};
WB_IMPLEMENT_SERIAL(CCanvasTestBox, "CPart", 1)

std::vector<CPart*> PartsOf(CCircuit& d)
{
    std::vector<CPart*> out;
    for (CPartIterator it(&d, 0); it.GetCurrent(); it.Next()) out.push_back(it.GetCurrent());
    return out;
}

bool Holds(CCircuit& d, CPart* p)
{
    for (CPart* q : PartsOf(d))
        if (q == p) return true;
    return false;
}

class CanvasController : public ::testing::Test {
protected:
    void SetUp() override
    {
        CDisplay::ResetForTest();
        SharedPressState().Reset();
        design.SetOptionBits(0x100 | 0x10000, false);
        view.SetSimulationHost(&simHost);
        view.OnUpdate(&design, 1);
        view.OnActivate(true);
    }
    void TearDown() override
    {
        view.DetachDesign();
        SharedPressState().Reset();
    }
    CCanvasTestBox* AddBox(int l, int t, int r, int b)
    {
        auto* box = new CCanvasTestBox(CRect(l, t, r, b));
        design.AddChild(box);
        return box;
    }

    CRecordingMessageBox boxes;
    CMessageBoxScope boxScope{&boxes};
    CCircuit design;
    CFakeCanvasHost host;
    CFakeSimulationHost simHost;
    CFakeBubbleWindow bubbleWindow;
    CBubble bubble{bubbleWindow};
    CScriptedEditOps ops;
    CCanvasController view{host, bubble, &ops};
};

} // namespace

TEST_F(CanvasController, PressMoveReleaseCarriesAPartAndDropsIt)
{
    CCanvasTestBox* box = AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    ASSERT_TRUE(view.GetFloating());
    EXPECT_EQ(view.GetFloating()->GetFirstPart(), box);
    EXPECT_TRUE(host.capture);
    EXPECT_TRUE(Holds(design, box)) << "a press alone leaves the part in the design";

    view.OnMove({88, 64}, MK_LBUTTON);
    EXPECT_FALSE(Holds(design, box)) << "the drag takes the part out of the design";
    EXPECT_EQ(ops.drags, 1);

    view.OnRelease({88, 64}, 0);
    EXPECT_TRUE(Holds(design, box));
    EXPECT_EQ(box->GetRect().TopLeft(), CPoint(80, 56)) << "moved from the snapped press point (48, 48)";
    EXPECT_FALSE(view.GetFloating());
    EXPECT_FALSE(host.capture);
}

TEST_F(CanvasController, PressAndReleaseWithoutMoveOnlyPicksUp)
{
    CCanvasTestBox* box = AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnRelease({50, 50}, 0);
    EXPECT_TRUE(Holds(design, box));
    EXPECT_EQ(box->GetRect().TopLeft(), CPoint(40, 40));
    EXPECT_TRUE(ops.releasedAt.empty());
    EXPECT_FALSE(host.capture);
}

TEST_F(CanvasController, PressOnEmptyCanvasDiscardsTheFloatingDesign)
{
    AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnRelease({50, 50}, 0);
    ASSERT_TRUE(view.GetFloating());
    view.OnPress({300, 200}, MK_LBUTTON);
    view.OnRelease({300, 200}, 0);
    EXPECT_FALSE(view.GetFloating());
    EXPECT_EQ(design.CountSelected(nullptr, 0), 0);
}

TEST_F(CanvasController, RubberBandSelectsWhatItEncloses)
{
    CCanvasTestBox* a = AddBox(40, 40, 60, 60);
    CCanvasTestBox* b = AddBox(100, 100, 120, 120);
    CCanvasTestBox* outside = AddBox(250, 40, 270, 60);
    view.OnPress({20, 20}, MK_LBUTTON);
    EXPECT_TRUE(view.IsBandActive());
    view.OnMove({200, 200}, MK_LBUTTON);
    EXPECT_EQ(view.GetBandRect(), CRect(20, 20, 200, 200));
    view.OnRelease({200, 200}, 0);
    EXPECT_FALSE(view.IsBandActive());
    EXPECT_FALSE(host.capture);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(outside->IsSelected());
    EXPECT_FALSE(view.GetFloating()) << "two parts: nothing is picked up";

    // A band the other way round enclosing one part picks it up as selected.
    view.OnPress({300, 100}, MK_LBUTTON);
    view.OnRelease({300, 100}, 0);
    view.OnPress({290, 80}, MK_LBUTTON);
    view.OnMove({240, 30}, MK_LBUTTON);
    view.OnRelease({240, 30}, 0);
    EXPECT_TRUE(outside->IsSelected());
    ASSERT_TRUE(view.GetFloating());
    EXPECT_EQ(view.GetFloating()->GetFirstPart(), outside);
}

TEST_F(CanvasController, DragOfASelectionMovesEveryPartAndKeepsTheRest)
{
    CCanvasTestBox* a = AddBox(40, 40, 60, 60);
    CCanvasTestBox* b = AddBox(100, 40, 120, 60);
    CCanvasTestBox* stays = AddBox(200, 200, 220, 220);
    a->Select(0x80000);
    b->Select(0x80000);
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnMove({58, 66}, MK_LBUTTON);
    ASSERT_TRUE(view.GetFloating());
    EXPECT_EQ(PartsOf(*view.GetFloating()).size(), 2u);
    EXPECT_EQ(PartsOf(design).size(), 1u);
    view.OnRelease({58, 66}, 0);
    EXPECT_EQ(PartsOf(design).size(), 3u);
    EXPECT_TRUE(Holds(design, stays));
}

TEST_F(CanvasController, DeleteModePicksUpWhatThePointerMeetsAndDeletesItOnRelease)
{
    CCanvasTestBox* box = AddBox(40, 40, 80, 80);
    CCanvasTestBox* other = AddBox(200, 40, 240, 80);
    view.OnDelete();
    EXPECT_EQ(view.GetEditMode(), 1);
    EXPECT_TRUE(host.capture);
    EXPECT_EQ(host.cursorCode, CURSOR_DELETE);
    view.OnMove({50, 50}, 0);
    EXPECT_EQ(view.GetEditMode(), 2);
    EXPECT_EQ(host.cursorCode, CURSOR_DELETE_HOLDING);
    ASSERT_TRUE(view.GetFloating());
    EXPECT_EQ(view.GetFloating()->GetFirstPart(), box);
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnRelease({50, 50}, 0);
    EXPECT_FALSE(Holds(design, box));
    EXPECT_TRUE(Holds(design, other));
    EXPECT_EQ(view.GetEditMode(), 0);
    EXPECT_FALSE(view.GetFloating());
    EXPECT_FALSE(host.capture);
}

TEST_F(CanvasController, DeleteModeEndsWhenThePointerLeavesOrOnAReleaseBeforeReachingAPart)
{
    CCanvasTestBox* box = AddBox(40, 40, 80, 80);
    view.OnDelete();
    view.OnRelease({10, 10}, 0);
    EXPECT_EQ(view.GetEditMode(), 0);
    EXPECT_FALSE(host.capture);

    view.OnDelete();
    view.OnMove({50, 50}, 0);
    view.OnMove({-5, 50}, 0);
    EXPECT_EQ(view.GetEditMode(), 0);
    EXPECT_FALSE(view.GetFloating());
    EXPECT_TRUE(Holds(design, box));
}

TEST_F(CanvasController, AutoScrollAtTheEdgeWaits600msThenSteps24EveryTwoHundred)
{
    AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    host.cursor = {398, 150};
    view.OnMove(host.cursor, MK_LBUTTON);
    EXPECT_TRUE(view.IsAutoScrollArmed());
    EXPECT_TRUE(view.IdleStep(1)) << "an armed auto-scroll wants idle time";
    EXPECT_EQ(host.scroll, CPoint(0, 0));
    host.ticks += 601;
    view.IdleStep(2);
    EXPECT_EQ(host.scroll, CPoint(24, 0));
    host.ticks += 150;
    view.IdleStep(3);
    EXPECT_EQ(host.scroll, CPoint(24, 0));
    host.ticks += 60;
    view.IdleStep(4);
    EXPECT_EQ(host.scroll, CPoint(48, 0));
    EXPECT_EQ(view.GetDragOffset(), CSize(48, 0));
    EXPECT_EQ(std::count(ops.forwarded.begin(), ops.forwarded.end(), 2), 2);

    // Back from the edge: disarmed.
    host.cursor = {200, 150};
    view.OnMove(host.cursor, MK_LBUTTON);
    EXPECT_FALSE(view.IsAutoScrollArmed());
    view.OnRelease(host.cursor, 0);
    EXPECT_FALSE(view.IdleStep(5)) << "nothing to do: no idle time";
}

TEST_F(CanvasController, AutoScrollGrowsThePageAtItsEdgeAndNeverScrollsAFixedAxis)
{
    design.m_rcPage = CRect(0, 0, 420, 1400);
    view.RecalcScrollSizes(false);
    AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    host.cursor = {398, 298};
    view.OnMove(host.cursor, MK_LBUTTON);
    host.ticks += 700;
    view.IdleStep(1);
    EXPECT_EQ(design.GetPageRect().right, 1600) << "the page is widened to at least the default";
    view.OnRelease(host.cursor, 0);

    design.m_szOffset = CSize(0, 8);
    host.scroll = {};
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnMove(host.cursor, MK_LBUTTON);
    host.ticks += 700;
    view.IdleStep(1);
    EXPECT_EQ(host.scroll.y, 0);
    EXPECT_EQ(host.scroll.x, 24);
    view.OnRelease(host.cursor, 0);
}

TEST_F(CanvasController, ZoomTwoDoublesTheCanvasAndHalvesThePointer)
{
    CCanvasTestBox* box = AddBox(40, 40, 80, 80);
    view.RecalcScrollSizes(false);
    const CSize range = host.range;
    view.SetZoom(true);
    host.zoom = 2;
    EXPECT_EQ(view.GetZoom(), 2);
    EXPECT_EQ(host.range, CSize(range.cx * 2, range.cy * 2));
    host.scroll = {};
    EXPECT_EQ(view.ToLogical({100, 100}), CPoint(50, 50));
    view.OnPress({100, 100}, MK_LBUTTON);
    ASSERT_TRUE(view.GetFloating());
    EXPECT_EQ(view.GetFloating()->GetFirstPart(), box);
    view.OnRelease({100, 100}, 0);

    // The zoomed canvas paints the box's selection frame twice as large:
    // along device row 80 from x 80 on, nothing at logical row 40 unzoomed.
    box->Select(0x80000);
    view.Paint(CRect(0, 0, 400, 300));
    int marked = 0, early = 0;
    for (int x = 80; x < 160; ++x) marked += host.view.Pixel(x, 80) != kWhite;
    for (int x = 40; x < 80; ++x) early += host.view.Pixel(x, 40) != kWhite;
    EXPECT_GT(marked, 20);
    EXPECT_EQ(early, 0);
}

TEST_F(CanvasController, ANewWindowShowsTheDesignFromItsTopLeft)
{
    // Client 400 x 300.  Parts (left, top, right, bottom), zoom -> scroll.
    struct Case {
        CRect parts;
        bool zoom2;
        CPoint scroll;
    } cases[] = {
        {CRect(), false, CPoint(0, 0)},                      // empty: the page's corner
        {CRect(), true, CPoint(0, 0)},
        {CRect(40, 40, 100, 90), false, CPoint(0, 0)},       // fits from 0
        {CRect(40, 40, 100, 90), true, CPoint(0, 0)},
        {CRect(900, 600, 1000, 700), false, CPoint(868, 568)}, // 32 margin
        {CRect(900, 600, 1000, 700), true, CPoint(1736, 1136)},
        {CRect(500, 400, 1000, 800), false, CPoint(496, 396)}, // wide and tall: 4
    };
    for (const Case& c : cases) {
        CCircuit d;
        d.m_rcPage = CRect(0, 0, 1200, 800);
        d.SetOptionBits(0x100, c.zoom2);
        if (!c.parts.IsRectEmpty()) d.AddChild(new CCanvasTestBox(c.parts));
        host.scroll = CPoint(7, 7);
        view.OnUpdate(&d, 0);
        EXPECT_EQ(host.scroll, c.scroll) << c.parts.left << "," << c.parts.top << " zoom " << (c.zoom2 ? 2 : 1);
        view.DetachDesign();
    }
}

TEST_F(CanvasController, KeysScroll)
{
    design.m_rcPage = CRect(0, 0, 3000, 3000);
    view.RecalcScrollSizes(false);
    view.OnKey(CanvasKey::kPageDown);
    EXPECT_EQ(host.scroll, CPoint(0, 300)) << "Page Down scrolls only vertically";
    view.OnKey(CanvasKey::kEnd);
    EXPECT_EQ(host.scroll, CPoint(2600, 2700));
    view.OnKey(CanvasKey::kHome);
    EXPECT_EQ(host.scroll, CPoint(0, 0));
    view.OnKey(CanvasKey::kRight);
    EXPECT_EQ(host.scroll, CPoint(30, 0));
}

TEST_F(CanvasController, AModuleDroppedFromAFileFollowsThePointerAndJoinsTheDesign)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("block.dsn");
    {
        CCircuit module;
        module.AddChild(new CCanvasTestBox(CRect(10, 10, 30, 30)));
        CArchive ar;
        ar.SetDocumentSerialization(true);
        ar.WriteObject(&module);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(ar.GetBuffer().data()), qint64(ar.GetBuffer().size()));
    }
    AddBox(200, 200, 220, 220);
    host.cursor = {100, 100};
    ASSERT_TRUE(view.OnDragEnter(path.toStdString(), host.cursor));
    ASSERT_TRUE(view.GetFloating());
    EXPECT_TRUE(host.capture);
    view.OnDragMove({140, 120});
    view.OnDrop({140, 120});
    EXPECT_FALSE(view.GetFloating());
    ASSERT_EQ(PartsOf(design).size(), 2u);
    EXPECT_EQ(ops.releasedAt.back(), CPoint(140, 120));
    bool moved = false;
    // From the snapped start (104, 104) to the snapped drop (144, 120).
    for (CPart* p : PartsOf(design)) moved |= p->GetRect() == CRect(50, 26, 70, 46);
    EXPECT_TRUE(moved);
}

TEST_F(CanvasController, AModuleThatCannotBeReadIsRefusedWithAMessage)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.dsn");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a design at all");
    }
    EXPECT_FALSE(view.AddModuleFromFile(bad.toStdString()));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Error opening simulation file to add as a module, add module operation cancelled.");
    EXPECT_FALSE(view.AddModuleFromFile(dir.filePath("missing.dsn").toStdString()));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1].rfind("Failed to open file. : ", 0), 0u) << host.messages[1];
    EXPECT_FALSE(view.GetFloating());
    design.SetOptionBits(0x4000, true);
    EXPECT_FALSE(view.AddModuleFromFile(bad.toStdString())) << "a locked design takes no module";
    EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(CanvasController, AReleaseHeldBackWhileAPartBlowsHappensLaterAtItsRealPoint)
{
    AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnMove({60, 60}, MK_LBUTTON);
    design.SetComponentDestroyed();
    view.OnRelease({130, 90}, 0);
    EXPECT_TRUE(view.IsReleasePending());
    EXPECT_TRUE(ops.releasedAt.empty());
    view.OnTimer(TIMER_STEP);
    EXPECT_TRUE(view.IsReleasePending()) << "still blowing";
    design.m_bComponentDestroyed = 0;
    view.OnTimer(TIMER_STEP);
    EXPECT_FALSE(view.IsReleasePending());
    ASSERT_EQ(ops.releasedAt.size(), 1u);
    EXPECT_EQ(ops.releasedAt[0], CPoint(130, 90));
}

TEST_F(CanvasController, OnlyTheActiveViewsTimerOneSteps)
{
    CCircuit other;
    CFakeCanvasHost otherHost;
    CCanvasController second(otherHost, bubble, &ops);
    second.OnUpdate(&other, 1);
    AddBox(40, 40, 80, 80);
    view.OnPress({50, 50}, MK_LBUTTON);
    view.OnMove({60, 60}, MK_LBUTTON);
    design.SetComponentDestroyed();
    view.OnRelease({70, 70}, 0);
    design.m_bComponentDestroyed = 0;
    view.OnTimer(5);
    EXPECT_TRUE(view.IsReleasePending()) << "another timer id does nothing";
    second.OnActivate(true);
    view.OnTimer(TIMER_STEP);
    EXPECT_TRUE(view.IsReleasePending()) << "not the active view";
    view.OnActivate(true);
    view.OnTimer(TIMER_STEP);
    EXPECT_FALSE(view.IsReleasePending());
    second.DetachDesign();
}

TEST_F(CanvasController, AFailedCopyOfTheSelectionPutsThePartsBack)
{
    CCanvasTestBox* a = AddBox(40, 40, 60, 60);
    CCanvasTestBox* b = AddBox(100, 40, 120, 60);
    a->Select(0x80000);
    b->Select(0x80000);
    view.OnPress({50, 50}, MK_LBUTTON);
    ops.throwAfterLoad = true;
    EXPECT_THROW(view.OnMove({70, 70}, MK_LBUTTON), CArchiveException);
    EXPECT_FALSE(view.GetFloating());
    std::vector<CRect> rects;
    for (CPart* p : PartsOf(design)) rects.push_back(p->GetRect());
    ASSERT_EQ(rects.size(), 2u) << "the selected parts are restored";
    EXPECT_NE(std::find(rects.begin(), rects.end(), CRect(40, 40, 60, 60)), rects.end());
    EXPECT_NE(std::find(rects.begin(), rects.end(), CRect(100, 40, 120, 60)), rects.end());
}

TEST_F(CanvasController, AddingAPartCarriesItUntilTheNextRelease)
{
    view.SetToolbarDropPoint({120, 400});
    auto* box = new CCanvasTestBox(CRect(0, 0, 20, 20));
    ASSERT_TRUE(view.AddPart(box));
    EXPECT_EQ(box->GetRect().TopLeft(), CPoint(120, 8));
    EXPECT_TRUE(host.capture);
    view.OnMove({152, 104}, 0);
    view.OnRelease({152, 104}, 0);
    EXPECT_TRUE(Holds(design, box));
    EXPECT_EQ(box->GetRect().TopLeft(), CPoint(152, 104));
    EXPECT_FALSE(view.GetFloating());
}

TEST_F(CanvasController, AFailingAddDeletesThePartOnce)
{
    // Under the address sanitizer a second delete would fail the test.
    auto* box = new CCanvasTestBox(CRect(0, 0, 20, 20));
    EXPECT_THROW(view.AddPart(box, 999), CArchiveException);
    EXPECT_FALSE(view.GetFloating());
    EXPECT_TRUE(PartsOf(design).empty());
    design.SetComponentDestroyed();
    EXPECT_FALSE(view.AddPart(new CCanvasTestBox(CRect(0, 0, 20, 20))));
}

TEST_F(CanvasController, HoverShowsTheBubbleAfter200msWithThePartsInformation)
{
    design.SetOptionBits(0x10000, true);
    CCanvasTestBox* box = AddBox(40, 40, 80, 80);
    box->m_info = "1.50V, 2.00mA";
    EXPECT_EQ(view.CheckHover({50, 50}), 1);
    EXPECT_EQ(bubble.GetText(), "1.50V, 2.00mA");
    EXPECT_FALSE(bubbleWindow.visible);
    EXPECT_EQ(bubbleWindow.timers.at(CBubble::kDelayTimer), 200);
    EXPECT_EQ(view.GetHoverCode(), 10);
    view.OnTimer(CBubble::kDelayTimer);
    EXPECT_TRUE(bubbleWindow.visible);
    EXPECT_TRUE(bubble.IsShown());
    EXPECT_EQ(bubbleWindow.at, CPoint(0, 50 + int(32 / 1.2))) << "centred on x 50, kept on the screen";

    EXPECT_EQ(view.CheckHover({50, 50}), 2);
    EXPECT_EQ(box->m_builds, 1) << "the same point does not rebuild the text";
    box->m_info = "1.60V, 2.10mA";
    EXPECT_EQ(view.CheckHover({51, 50}), 2);
    EXPECT_EQ(bubble.GetText(), "1.60V, 2.10mA");

    EXPECT_EQ(view.CheckHover({200, 200}), 0);
    EXPECT_FALSE(bubbleWindow.visible);
    EXPECT_EQ(bubbleWindow.prompts.back(), CBubble::kIdlePrompt);

    design.SetOptionBits(0x10000, false);
    EXPECT_EQ(view.CheckHover({50, 50}), 0) << "bubbles off";
}

TEST_F(CanvasController, AStoppedDesignAsksForNoIdleTime)
{
    AddBox(40, 40, 80, 80);
    EXPECT_FALSE(view.IdleStep(0));
    EXPECT_FALSE(view.IdleStep(1));
}

TEST(CanvasBubble, StaysOnTheScreenAndNeverWaits)
{
    CFakeBubbleWindow w;
    CBubble b(w);
    w.width = 120;
    b.Show(950, 10, "text", 0, false, true);
    EXPECT_EQ(w.at, CPoint(880, 10)) << "moved left to stay visible";
    EXPECT_TRUE(w.visible);

    b.HideAndReset();
    b.Show(100, 10, "", 0, false, true);
    EXPECT_FALSE(w.visible) << "an empty text only hides";
    EXPECT_FALSE(b.IsShown());

    b.SetText("other");
    EXPECT_NE(w.text, "other") << "a hidden bubble keeps its text";

    w.failTimers = true;
    b.Show(100, 10, "now", 0, false, false);
    EXPECT_TRUE(w.visible) << "without its timer the bubble shows at once";
    EXPECT_TRUE(b.IsShown());

    b.HideAndReset();
    w.failTimers = false;
    b.Show(300, 20, "with prompt", 36001, false, true);
    EXPECT_EQ(w.timers.at(CBubble::kSettleTimer), 50) << "the settle wait is a timer";
    EXPECT_FALSE(w.visible);
    b.OnTimer(CBubble::kSettleTimer);
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(w.at, CPoint(300, 20));
    EXPECT_EQ(w.prompts.back(), 36001);
}

TEST(CanvasBubble, AFastDesignsTicksShowTheBubbleAfterTenTicks)
{
    CFakeBubbleWindow w;
    CBubble b(w);
    b.SetCountdownRearm(true);
    b.Show(100, 10, "text", 0, false, false);
    EXPECT_EQ(b.GetCountdown(), 0);
    for (int i = 0; i < 10; ++i) b.TickCountdown();
    EXPECT_FALSE(w.visible);
    b.TickCountdown();
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(b.GetCountdown(), -1);
}
