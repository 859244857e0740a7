// Turning a part only into orientations its picture has a bitmap for: the
// orientation command, a settings text and a file that names any of the
// eight codes leave the part drawable, with a non-empty rectangle.
#include "component_archive.h"
#include "part_by_name.h"

#include "components/capacitor.h"
#include "model/display/visual.h"
#include "model/text_qtapp.h"
#include "platform/numtext.h"

#include <gtest/gtest.h>

namespace {

// Masks 3, 9, 15, 75, 195 and 255 among them.
const char* const kClasses[] = {"CCapacitor", "CResistor", "CSPST",     "CSPDT",    "CECapacitor",
                                "CVoltmeter", "CAmmeter",  "CVPulse",   "CNPN",     "CBulb",
                                "CMotor",     "CEarth",    "CInductor", "CPushMake"};

// The picture the part is drawn with in its present orientation.
bool Drawable(CComponent* p)
{
    return p->m_pVisual && p->m_pVisual->GetBitmap(p->m_nOrientation) && !p->GetRect().IsRectEmpty();
}

} // namespace

TEST(TurnAllowed, EveryOrientationCommandLeavesThePartDrawable)
{
    EnsureTextGuiApp();
    for (const char* name : kClasses) {
        for (int code = 0; code < 8; ++code) {
            SCOPED_TRACE(testing::Message() << name << " to " << code);
            CCircuit d;
            CComponent* p = AddPartByName(d, name, 200, 200);
            ASSERT_NE(p, nullptr);
            ASSERT_TRUE(Drawable(p));
            const int before = p->m_nOrientation;
            const CRect rect = p->GetRect();
            ASSERT_EQ(p->OnPropertyCommand(kFirstOrientCmd + code, CString()), 8);
            p->ApplySettingsText();
            EXPECT_TRUE(Drawable(p));
            if (p->IsOrientationAllowed(code)) {
                EXPECT_EQ(p->m_nOrientation, code);
            } else {
                // Refused: the part stays as it was.
                EXPECT_EQ(p->m_nOrientation, before);
                EXPECT_EQ(p->GetRect(), rect);
            }
            // A settings text from elsewhere (flag 0: moved out of the way
            // while it turns) is held to the same rule.
            CString text = "Orient:";
            text += FormatInt(code);
            p->ApplySettingsText(text, 0);
            EXPECT_TRUE(Drawable(p));
            EXPECT_TRUE(p->IsOrientationAllowed(p->m_nOrientation));
        }
    }
}

TEST(TurnAllowed, AHalfTurnedCapacitorIsRefusedAndStaysOnTheCanvas)
{
    EnsureTextGuiApp();
    CCircuit d;
    CComponent* p = AddPartByName(d, "CCapacitor", 200, 200);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetAllowedOrientations(), 3);
    const int before = p->m_nOrientation;
    EXPECT_EQ(p->ApplySettingsText("Orient:2", 1), 6);
    EXPECT_EQ(p->m_nOrientation, before);
    EXPECT_TRUE(Drawable(p));
}

TEST(TurnAllowed, AFileNamingAnOrientationWithoutAPictureLoadsTheNearestOne)
{
    EnsureTextGuiApp();
    struct Case {
        const char* name;
        int stored;
        int expected;
    } const cases[] = {
        {"CCapacitor", 2, 1}, // mask 3: a quarter turn back from the half turn
        {"CCapacitor", 6, 1}, // no mirrored bitmaps: the plain sense
        {"CSPST", 1, 0},      // mask 9
        {"CSPST", 2, 3},
        {"CVoltmeter", 2, 3}, // mask 75: 0, 1, 3, 6
        {"CVoltmeter", 7, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " stored at " << c.stored);
        CCircuit d;
        CComponent* p = AddPartByName(d, c.name, 200, 200);
        ASSERT_NE(p, nullptr);
        // As an unchecked writer would leave it: the code alone changed.
        p->m_nOrientation = c.stored;
        const Bytes bytes = WriteOne(p, 8376);
        std::unique_ptr<CComponent> back = ReadOne(bytes, 8376);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->m_nOrientation, c.stored);
        back->AfterLoad(&d, 0, 8376);
        EXPECT_EQ(back->m_nOrientation, c.expected);
        EXPECT_TRUE(Drawable(back.get()));
    }
}
