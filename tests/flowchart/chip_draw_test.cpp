// The microcontroller drawn: the box between its pin lines in the plain
// and the broken colours, the reset pin's ring, and a small design of a
// switch into an input and an LED on an output, which stays in the build
// folder (chip_demo.zrn) for a look in the program.
#include "chip_support.h"

#include "components/earth.h"
#include "components/led.h"
#include "components/resistor.h"
#include "components/spst.h"
#include "components/voltrail.h"
#include "model/circuit/circuit_render.h"
#include "model/display/colour.h"

#include <QImage>

namespace {

COLORREF At(const QImage& img, const CRect& area, CPoint p)
{
    const QRgb c = img.pixel(p.x - area.left, p.y - area.top);
    return ColourRGB(qRed(c), qGreen(c), qBlue(c));
}

// An L of two straight wires, across first.
void Route(ChipBench& b, CTerminal* from, CTerminal* to)
{
    const CPoint p = from->GetOuterEnd(), q = to->GetOuterEnd();
    b.Segment(p, CPoint(q.x, p.y));
    b.Segment(CPoint(q.x, p.y), q);
}

TEST(ChipDraw, BoxAndPinLines)
{
    ChipBench b;
    CChip* chip = b.AddChip(200, 100, 2, 0, 1, 2);
    CDesignRenderOptions o;
    o.area = CRect(150, 80, 350, 260);
    const QImage img = RenderDesign(b.d, o);
    const COLORREF black = ColourRGB(0, 0, 0);
    const int bottom = chip->m_rect.bottom;
    // The body's left and right edges 8 in from the pin columns.
    EXPECT_EQ(At(img, o.area, CPoint(208, 150)), black);
    EXPECT_EQ(At(img, o.area, CPoint(256, 150)), black);
    // A pin line from the body to each pin.
    EXPECT_EQ(At(img, o.area, CPoint(204, 124)), black);
    EXPECT_EQ(At(img, o.area, CPoint(260, 156)), black);
    // The reset pin's line stops at its ring: the ring's left edge.
    int ink = 0;
    for (int x = 200; x < 208; ++x) ink += At(img, o.area, CPoint(x, bottom - 24)) == black;
    EXPECT_GE(ink, 3);
    // Inside the body nothing is drawn.
    EXPECT_EQ(At(img, o.area, CPoint(232, 150)), ColourRGB(255, 255, 255));
}

TEST(ChipDraw, DemoDesignWithSwitchAndLed)
{
    ChipBench b;
    CChip* chip = b.Add<CChip>(300, 100);
    auto* rail = b.Add<CVoltRail>(100, 40);
    SetLabel(rail, 5.0);
    auto* sw = b.Add<CSPST>(150, 110);
    auto* pull = b.Add<CResistor>(210, 180);
    auto* earth1 = b.Add<CEarth>(200, 300);
    auto* load = b.Add<CResistor>(460, 100);
    auto* led = b.Add<CLED>(520, 160);
    auto* earth2 = b.Add<CEarth>(520, 300);
    SetLabel(pull, 10000.0);
    SetLabel(load, 220.0);
    chip->SetDigitalInputName(0, "Switch");
    chip->SetOutputName(0, "Lamp");
    Route(b, rail->GetTerminal(0), sw->GetTerminal(0));
    Route(b, sw->GetTerminal(1), chip->GetPortTerminal(0));
    Route(b, pull->GetTerminal(0), chip->GetPortTerminal(0));
    Route(b, pull->GetTerminal(1), earth1->GetTerminal(0));
    Route(b, chip->GetPortTerminal(chip->GetInputCount()), load->GetTerminal(0));
    Route(b, load->GetTerminal(1), led->GetTerminal(0));
    Route(b, led->GetTerminal(1), earth2->GetTerminal(0));
    b.Start();
    chip->SetOutputByName("Lamp", 1);
    b.Run(2);
    EXPECT_GT(chip->GetPortTerminal(chip->GetInputCount())->GetVoltage(), 2.0);
    EXPECT_TRUE(SaveDesignFile(b.d, QString(WB_BUILD_DIR "/chip_demo.zrn")));
}

} // namespace
