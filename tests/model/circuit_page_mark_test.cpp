// The page mark: made by name as the Add menu makes it, at (4, 4) in its
// picture's size, a design item, drawn as its picture.
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/circuit/page_mark.h"
#include "model/display/visual.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(CircuitPageMark, StandsAtTheTopLeftAndDrawsItsPicture)
{
    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("CSpecial"));
    auto* mark = dynamic_cast<CSpecial*>(made.get());
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->GetRect(), CRect(4, 4, 36, 36));
    EXPECT_EQ(mark->IsDesignItem(), 1);

    CCircuit d;
    d.AddChild(mark);
    made.release();
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 40, 40);
    const QImage img = RenderDesign(d, o);
    // Outer frame in ink, the star's yellow at its middle, paper outside.
    EXPECT_EQ(ColourOf(img.pixel(5, 5)), ColourRGB(0, 0, 0x80));
    EXPECT_EQ(ColourOf(img.pixel(20, 21)), ColourRGB(0xFF, 0xE0, 0));
    EXPECT_EQ(ColourOf(img.pixel(2, 2)), ColourRGB(0xFF, 0xFF, 0xFF));
}

} // namespace
