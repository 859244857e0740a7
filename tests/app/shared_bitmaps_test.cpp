// The shared bitmap table of the start-up: every registered strip resolves
// to a picture with ink in it, the layout strips hold one cell per button,
// and a part's orientation buttons show its cell of the strip it names.
#include "app/shared_bitmaps.h"
#include "app/tesk_app.h"
#include "app/toolbar_layouts.h"
#include "model/components/component.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/picture_source.h"
#include "model/display/visual.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

using namespace shelltest;

namespace {

constexpr int kCell = 32;

bool HasInk(const QImage& image, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) return true;
    return false;
}

int ButtonCount(int layout)
{
    const auto& buttons = ToolBarLayouts().Buttons(layout);
    return static_cast<int>(std::count_if(buttons.begin(), buttons.end(), [](int id) { return id != 0; }));
}

TEST(SharedBitmaps, EveryRegisteredIdResolvesToAPictureWithInk)
{
    EnsureShellApp();
    RegisterSharedBitmaps();
    const auto& rows = SharedBitmapRows();
    ASSERT_EQ(rows.size(), 39u);
    std::set<int> usedSlots;
    for (const SharedBitmapRow& row : rows) {
        SCOPED_TRACE(row.bitmapId);
        usedSlots.insert(row.slot);
        const PictureSource* source = FindPicture(row.bitmapId);
        ASSERT_NE(source, nullptr);
        CBitmap256* shared = GetSharedBitmap(row.slot);
        ASSERT_NE(shared, nullptr);
        ASSERT_FALSE(shared->IsNull());
        const QImage& image = shared->Image();
        EXPECT_EQ(image.height(), kCell);
        ASSERT_GE(image.width(), kCell);
        EXPECT_EQ(image.width() % kCell, 0);
        EXPECT_TRUE(HasInk(image, image.rect()));
        if (const int layout = StripLayout(row.bitmapId)) {
            // One cell per button of the layout; a part button's cell holds
            // its part.
            EXPECT_EQ(image.width(), kCell * ButtonCount(layout));
        }
    }
    // Slots 0 to 39, 19 left empty.
    std::set<int> expected;
    for (int s = 0; s <= 39; ++s)
        if (s != 19) expected.insert(s);
    EXPECT_EQ(usedSlots, expected);
    EXPECT_TRUE(GetSharedBitmap(19)->IsNull());
}

TEST(SharedBitmaps, TheSymbolStyleVariantsShowTheirLayoutsButtons)
{
    EnsureShellApp();
    const struct {
        int bitmapId;
        int layout;
    } cases[] = {{211, 211}, {284, 211}, {285, 211}, {286, 211}, {573, 463}, {574, 478},
                 {575, 466}, {576, 481}, {141, 141}, {599, 599}, {471, 0},   {1244, 0},
                 {367, 0},   {212, 0},   {283, 0}};
    for (const auto& c : cases) EXPECT_EQ(StripLayout(c.bitmapId), c.layout) << c.bitmapId;
}

TEST(SharedBitmaps, APartsOrientationButtonsShowItsCellOfTheStrip)
{
    EnsureShellApp();
    RegisterSharedBitmaps();
    struct Case {
        const char* cls;
        int slot;
        int cell;
    };
    // The red LED is the fourth button of its toolbar (Delete, two more,
    // then the red LED), the yellow and green follow; the diode is the
    // second button of its toolbar.
    for (const Case& c : {Case{"CLED", 5, 3}, Case{"CLED_Y", 5, 4}, Case{"CLED_G", 5, 5}, Case{"CDiode", 1, 1}}) {
        SCOPED_TRACE(c.cls);
        std::unique_ptr<CComponent> part(dynamic_cast<CComponent*>(CRuntimeClass::CreateObject(c.cls)));
        ASSERT_NE(part, nullptr);
        ASSERT_NE(part->m_pVisual, nullptr);
        EXPECT_EQ(part->m_pVisual->GetImageIndex(), c.slot);
        EXPECT_EQ(part->m_pVisual->GetIconCell(), c.cell);
        std::vector<int> ids;
        CBitmap sheet;
        ASSERT_GT(part->GetPropertyBitmap(ids, &sheet), 0);
        ASSERT_FALSE(sheet.IsNull());
        const auto zero = std::find(ids.begin(), ids.end(), kFirstOrientCmd);
        ASSERT_NE(zero, ids.end());
        const int at = static_cast<int>(zero - ids.begin());
        const QImage shown = sheet.Image().copy(at * kCell, 0, kCell, kCell).convertToFormat(QImage::Format_RGB32);
        const QImage cell =
            GetSharedBitmap(c.slot)->Image().copy(c.cell * kCell, 0, kCell, kCell).convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(HasInk(cell, cell.rect()));
        EXPECT_EQ(shown, cell);
    }
}

TEST(SharedBitmaps, APartWithoutACellOfItsOwnGetsNoStripPicture)
{
    // Picture sets that name no cell point at the blank first cell of strip
    // 471: no pictures from the table, so the property toolbar shows its
    // shared orientation outlines for them.
    EnsureShellApp();
    RegisterSharedBitmaps();
    EXPECT_FALSE(HasInk(GetSharedBitmap(0)->Image(), QRect(0, 0, kCell, kCell)));
    for (const char* cls : {"CBulb", "CResistor", "CBattery"}) {
        SCOPED_TRACE(cls);
        std::unique_ptr<CComponent> part(dynamic_cast<CComponent*>(CRuntimeClass::CreateObject(cls)));
        ASSERT_NE(part, nullptr);
        ASSERT_NE(part->m_pVisual, nullptr);
        ASSERT_EQ(part->m_pVisual->GetImageIndex(), 0);
        ASSERT_EQ(part->m_pVisual->GetIconCell(), 0);
        std::vector<int> ids;
        CBitmap sheet;
        EXPECT_EQ(part->GetPropertyBitmap(ids, &sheet), -1);
        // The orientation commands are still listed.
        EXPECT_GT(part->GetPropertyBitmap(ids, nullptr), 0);
    }
}

TEST(SharedBitmaps, StartUpFillsTheTable)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    for (const SharedBitmapRow& row : SharedBitmapRows()) GetSharedBitmap(row.slot)->DeleteObject();
    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({}));
    for (const SharedBitmapRow& row : SharedBitmapRows()) EXPECT_FALSE(GetSharedBitmap(row.slot)->IsNull()) << row.slot;
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
