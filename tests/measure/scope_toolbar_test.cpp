// The graph part: its property toolbar (items, texts, commands) and its
// record after editing, whole and cut short.
#include "measure/scope_advanced.h"
#include "model/designfile/scope_settings.h"
#include "model/parts/controlitem.h"
#include "platform/archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class CountingView : public CScopeView {
public:
    void Relayout() override { ++relayouts; }
    bool EditAdvanced(CScopeToolbar& s) override
    {
        s.twoGraphs = 0;
        return true;
    }
    int relayouts = 0;
};

std::vector<uint8_t> Store(CObject& o, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    o.Serialize(ar);
    return ar.GetBuffer();
}

CString TextOf(CScopeToolbar& part, int id)
{
    CControlItemList items;
    part.FillProperties(items);
    part.GetPropertyTexts(items);
    const int i = items.FindById(id);
    return i < 0 ? CString("(none)") : items[i].label;
}

} // namespace

TEST(GraphPart, PropertyItemsInOrder)
{
    CScopeToolbar part;
    CControlItemList items;
    part.FillProperties(items);
    ASSERT_EQ(items.GetCount(), 18);
    const int ids[] = {36081, 205, 36053, 36054, 206, 36059, 36060, 36055, 36056,
                       36057, 207, 36065, 36066, 36067, 36068, 36558, 36074, 35006};
    const int types[] = {CI_DROPLIST, CI_STATIC, CI_EDIT, CI_SPIN, CI_STATIC, CI_EDIT, CI_SPIN, CI_EDIT, CI_SPIN,
                         CI_STATIC,   CI_STATIC, CI_EDIT, CI_SPIN, CI_EDIT,   CI_SPIN, CI_STATIC, CI_TOOLBUTTON,
                         CI_TOOLBUTTON};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(items[i].id, ids[i]) << i;
        EXPECT_EQ(items[i].type, types[i]) << i;
    }
    EXPECT_EQ(items[0].width, 128);
    // The list's label holds the 15 names.
    EXPECT_EQ(std::count(items[0].label.begin(), items[0].label.end(), '\n'), 14);
    EXPECT_EQ(items[0].label.substr(0, 15), CString("Acceleration x\n"));
    EXPECT_EQ(TextOf(part, 36081), CString("Voltage"));
    EXPECT_EQ(TextOf(part, 36053), CString("10"));
    EXPECT_EQ(TextOf(part, 36059), CString("0"));
    EXPECT_EQ(TextOf(part, 36055), CString(" "));
    EXPECT_EQ(TextOf(part, 36057), CString("V"));
    EXPECT_EQ(TextOf(part, 36065), CString("2"));
}

TEST(GraphPart, CommandsEditTheShownGraphAndLayItOutAgain)
{
    CScopeToolbar part;
    CountingView view;
    part.owner = &view;
    EXPECT_EQ(part.OnPropertyCommand(36081, "Current"), 1);
    EXPECT_EQ(part.graph[0].quantityIndex, 6u);
    EXPECT_EQ(TextOf(part, 36057), CString("A"));
    EXPECT_EQ(part.OnPropertyCommand(36081, "Nothing"), 0);
    EXPECT_EQ(part.graph[0].quantityIndex, 6u);
    EXPECT_EQ(part.OnPropertyCommand(36053, "5"), 1);
    EXPECT_DOUBLE_EQ(part.graph[0].maximum.value, 5.0);
    EXPECT_EQ(part.OnPropertyCommand(36059, "-2"), 1);
    EXPECT_DOUBLE_EQ(part.graph[0].minimum.value, -2.0);
    // One prefix for both ends: milli makes 5 mA and -2 mA.
    part.OnPropertyCommand(36055, "m");
    EXPECT_DOUBLE_EQ(part.graph[0].maximum.value, 0.005);
    EXPECT_DOUBLE_EQ(part.graph[0].minimum.value, -0.002);
    EXPECT_EQ(TextOf(part, 36055), CString("m"));
    EXPECT_EQ(TextOf(part, 36059), CString("-2"));
    // Time: 2 s down one prefix is 2 ms.
    part.OnPropertyCommand(36068, "-1");
    EXPECT_DOUBLE_EQ(part.timePerDivision.value, 0.002);
    EXPECT_EQ(TextOf(part, 36067), CString("m"));
    // With the second graph edited, switching it off in the dialog goes
    // back to the first and says so.
    part.twoGraphs = 1;
    part.editedGraph = 1;
    EXPECT_EQ(part.OnPropertyCommand(36074, CString()) & 16, 16);
    EXPECT_EQ(part.editedGraph, 0u);
    EXPECT_EQ(view.relayouts, 6);
    // Without a view the dialog does nothing.
    CScopeToolbar alone;
    EXPECT_EQ(alone.OnPropertyCommand(36074, CString()), 0);
}

TEST(GraphPart, EditedRecordRoundTripsAndShortOnesFail)
{
    CScopeToolbar a;
    a.OnPropertyCommand(36081, "Power");
    a.OnPropertyCommand(36053, "7.3");
    a.OnPropertyCommand(36065, "50");
    a.OnPropertyCommand(36067, "m");
    a.twoGraphs = 1;
    a.autoPause = 1;
    a.graph[1].channel = {1, 0, 0, 1};
    a.graph[1].difference = {1, 0};
    for (WORD version : {WORD(3), WORD(0x20B8)}) {
        const auto bytes = Store(a, version);
        CScopeToolbar b;
        {
            CArchive ar(bytes);
            ar.SetVersion(version);
            b.Serialize(ar);
            EXPECT_EQ(ar.BytesLeft(), 0u);
        }
        EXPECT_EQ(Store(b, version), bytes) << version;
        EXPECT_DOUBLE_EQ(b.timePerDivision.value, 0.05) << version;
        EXPECT_DOUBLE_EQ(b.graph[0].maximum.value, 7.3) << version;
        EXPECT_EQ(b.autoPause, 1) << version;
        if (version > 3) {
            EXPECT_EQ(b.graph[0].quantityIndex, 10u);
            EXPECT_EQ(b.twoGraphs, 1);
            EXPECT_EQ(b.graph[1].channel, (std::array<WORD, 4>{1, 0, 0, 1}));
        }
        for (size_t n = 0; n < bytes.size(); ++n) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
            CArchive ar(cut);
            ar.SetVersion(version);
            CScopeToolbar c;
            EXPECT_THROW(c.Serialize(ar), CArchiveException) << version << " " << n;
        }
    }
}

TEST(GraphPart, AdvancedFormRules)
{
    CScopeToolbar s;
    s.graph[0].channel = {1, 1, 1, 0};
    // Channel 1's probe sits on a mechanism (a position, no voltage);
    // channel 3 has no probe.
    const auto mask = [](int c) -> DWORD { return c == 1 ? 4u : c == 3 ? 0u : 3u; };
    CAdvancedScopeForm f(s, mask);
    EXPECT_FALSE(f.IsChannelEnabled(0, 1));
    EXPECT_FALSE(f.GetChannel(0, 1));
    EXPECT_TRUE(f.IsChannelEnabled(0, 3));
    EXPECT_FALSE(f.IsDifferenceEnabled(0, 0));
    EXPECT_TRUE(f.IsDifferenceEnabled(0, 1));
    // The bottom graph's boxes wait for "Two Graphs".
    EXPECT_FALSE(f.IsChannelEnabled(1, 0));
    f.twoGraphs = true;
    EXPECT_TRUE(f.IsChannelEnabled(1, 0));
    // A ticked difference clears and greys its channels; cleared, they
    // come back as they were.
    f.SetDifference(0, 1, true);
    EXPECT_FALSE(f.GetChannel(0, 2));
    EXPECT_FALSE(f.IsChannelEnabled(0, 2));
    f.SetDifference(0, 1, false);
    EXPECT_TRUE(f.GetChannel(0, 2));
    EXPECT_FALSE(f.GetChannel(0, 3));
    f.SetDifference(0, 0, true); // not usable: refused
    EXPECT_FALSE(f.GetDifference(0, 0));
    f.SetChannel(0, 0, false);
    f.SetDifference(0, 1, true);
    f.autoPause = true;
    f.ApplyTo(s);
    EXPECT_EQ(s.graph[0].channel[0], 0);
    // An unusable channel keeps its stored flag; a differenced pair's too.
    EXPECT_EQ(s.graph[0].channel[1], 1);
    EXPECT_EQ(s.graph[0].channel[2], 1);
    EXPECT_EQ(s.graph[0].difference[1], 1);
    EXPECT_EQ(s.graph[0].difference[0], 0);
    EXPECT_EQ(s.twoGraphs, 1);
    EXPECT_EQ(s.autoPause, 1);
}
