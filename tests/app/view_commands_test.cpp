// The design commands' enable and check rules in the states that change
// them, and what the commands do, on a scripted host (no windows).
#include "app/view_commands.h"
#include "components/meter_ring.h"
#include "model/circuit/circuit.h"
#include "model/designfile/units.h"
#include "model/designfile/view_settings.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>

namespace {

class FakeHost : public CViewCommandHost {
public:
    CCircuit* design = nullptr;
    std::vector<int> shown;   // toolbars shown
    std::vector<int> added;   // Add commands run
    std::set<int> toolbars{478, 476, 481, 480, 472, 211, 145, 146};
    int current = 479;
    int repaints = 0, soundStops = 0, toolbarRefreshes = 0, propertyRefreshes = 0, deselects = 0;
    CPart* propertyPart = nullptr;
    std::vector<CString> messages;
    // Dialog answers: a function edits the data and says OK or Cancel.
    std::function<bool(CLogicDlgData&)> logic = [](CLogicDlgData&) { return false; };
    std::function<bool(CString&)> title = [](CString&) { return false; };
    std::function<bool(CMeterSettings&)> meter = [](CMeterSettings&) { return false; };
    std::function<bool(CSoundLengthDlgData&)> sound = [](CSoundLengthDlgData&) { return false; };

    bool soundProbe = false;       // the recording of a sound probe
    std::set<int> creatable;       // Add commands whose part the program can make

    CCircuit* GetDesign() override { return design; }
    bool HasSoundProbe() override { return soundProbe; }
    bool CanCreatePart(int id) override { return creatable.count(id) != 0; }
    void Repaint() override { ++repaints; }
    void RefreshToolBars() override { ++toolbarRefreshes; }
    void RefreshPropertyBar() override { ++propertyRefreshes; }
    void StopSound() override { ++soundStops; }
    bool HasToolBar(int id) override { return toolbars.count(id) != 0; }
    void ShowToolBar(int id) override
    {
        shown.push_back(id);
        current = id;
    }
    int CurrentToolBar() override { return current; }
    void AddPart(int id) override { added.push_back(id); }
    CPart* PropertyPart() override { return propertyPart; }
    void DeselectAll() override
    {
        ++deselects;
        propertyPart = nullptr;
    }
    void ShowMessage(const CString& text) override { messages.push_back(text); }
    bool EditLogic(CLogicDlgData& d) override { return logic(d); }
    bool EditTitle(CString& t) override { return title(t); }
    bool EditMeterSettings(CMeterSettings& d) override { return meter(d); }
    bool EditUnits(CMeasurementUnitsDlgData&) override { return false; }
    bool EditSampleRate(CSampleRateDlgData&) override { return false; }
    bool EditSoundLength(CSoundLengthDlgData& d) override { return sound(d); }
    bool EditPageSize(CPageSizeDlgData&) override { return false; }
    bool EditLockedConstraints(CLockedConstraintsData&) override { return false; }
    bool EditDefaultFont(CCircuit&) override { return false; }
};

CCmdUI Update(CViewCommands& c, int id)
{
    CCmdUI ui;
    ui.id = id;
    EXPECT_TRUE(c.OnUpdateCommand(ui)) << id;
    return ui;
}

// The states that change the rules.
enum State { kNoDesign, kPlain, kLocked, kPaused, kAnimationOff, kBlown, kLogicOn, kHandlesOn };

void Enter(State s, CCircuit& d, FakeHost& host)
{
    host.design = s == kNoDesign ? nullptr : &d;
    switch (s) {
    case kLocked: d.SetOptionBits(0x4000, true); break;
    case kPaused: d.m_bPaused = 1; break;
    case kAnimationOff: d.SetOptionBits(0x4, false); break;
    case kBlown: d.SetComponentDestroyed(); break;
    case kLogicOn: d.SetOptionBits(0x20 | 0x4, true); break;
    case kHandlesOn: d.SetOptionBits(0x100000 | 0x4, true); break;
    default: break;
    }
}

} // namespace

// One row per command and state: enabled and checked ('-' unchecked,
// 'x' checked, ' ' not checkable).
TEST(ViewCommandRules, EnableAndCheckStatesTable)
{
    struct Row {
        int id;
        State state;
        bool enabled;
        char check;
    };
    const Row rows[] = {
        // Animation-dependent toggles: greyed and unchecked while animation
        // is off, even with their bits set.
        {35010, kPlain, true, 'x'},          {35010, kAnimationOff, false, '-'},
        {35005, kAnimationOff, false, '-'},  {37000, kAnimationOff, false, '-'},
        {37001, kAnimationOff, false, '-'},  {37003, kAnimationOff, false, '-'},
        {36003, kAnimationOff, false, '-'},  {35013, kAnimationOff, false, '-'},
        {35013, kLogicOn, false, 'x'},       {37001, kHandlesOn, false, 'x'},
        {35009, kAnimationOff, true, 'x'},   {35011, kAnimationOff, true, '-'},
        {35011, kPlain, true, 'x'},          {35009, kNoDesign, false, '-'},
        // IEC symbols: checked while the "off" bit is clear.
        {36039, kPlain, true, 'x'},          {36038, kPlain, true, 'x'},
        // Options that change the design: greyed on a locked design.
        {36040, kPlain, true, '-'},          {36040, kLocked, false, '-'},
        {35018, kLocked, false, '-'},        {35000, kLocked, false, 'x'},
        {34190, kLocked, false, '-'},        {35017, kLocked, false, ' '},
        {35017, kPlain, true, ' '},          {35001, kLocked, false, ' '},
        {34268, kPlain, true, 'x'},          {34268, kLocked, false, 'x'},
        {34212, kLocked, false, '-'},        {34218, kPlain, true, 'x'},
        {34218, kLocked, false, 'x'},        {34264, kLocked, false, ' '},
        {36012, kLocked, false, ' '},        {34210, kPlain, false, ' '},
        // Measure and sound.
        {36009, kPlain, true, '-'},          {36009, kPaused, true, 'x'},
        {36009, kNoDesign, false, '-'},      {36041, kPlain, true, ' '},
        {36041, kLocked, true, ' '},         {36011, kPlain, false, '-'},
        {36014, kPlain, false, '-'},         {36015, kPlain, false, ' '},
        {36013, kPlain, true, 'x'},          {36016, kPlain, true, '-'},
        // Copy Probe Data needs only a design (an empty one copies nothing);
        // Save Sound waits for the loudspeaker's recording.
        {36004, kPlain, true, ' '},          {36004, kLocked, true, ' '},
        {36004, kNoDesign, false, ' '},      {36019, kPlain, false, ' '},
        // Navigation is always offered.
        {34180, kNoDesign, true, ' '},       {35322, kLocked, true, ' '},
        {34221, kBlown, true, ' '},          {34187, kNoDesign, true, ' '},
    };
    for (const Row& r : rows) {
        CCircuit d;
        d.SetOptionBits(0x4 | 0x10 | 0x20 | 0x40 | 0x20000 | 0x40000 | 0x10000 | 0x1, true);
        d.SetOptionBits(0x200000 | 0x400000 | 0x800000 | 0x100000 | 0x4000, false);
        if (r.state == kAnimationOff || r.state == kHandlesOn) d.SetOptionBits(0x100000, true);
        if (r.state != kLogicOn) d.SetOptionBits(0x20, false);
        FakeHost host;
        CViewCommands c(host);
        Enter(r.state, d, host);
        const CCmdUI ui = Update(c, r.id);
        EXPECT_EQ(ui.enabled, r.enabled) << r.id << " state " << r.state;
        if (r.check == ' ') {
            EXPECT_FALSE(ui.checked) << r.id;
        } else {
            EXPECT_TRUE(ui.checkable) << r.id;
            EXPECT_EQ(ui.checked, r.check == 'x') << r.id << " state " << r.state;
        }
    }
}

TEST(ViewCommandRules, GreyedCommandDoesNothing)
{
    CCircuit d;
    d.SetOptionBits(0x4000, true);
    FakeHost host;
    host.design = &d;
    CViewCommands c(host);
    const DWORD before = d.m_dwOptions;
    EXPECT_TRUE(c.OnCommand(35018));
    EXPECT_EQ(d.m_dwOptions, before);
}

TEST(ViewCommands, TogglesFlipTheirBitAndAct)
{
    CCircuit d;
    FakeHost host;
    host.design = &d;
    CViewCommands c(host);
    d.SetOptionBits(0x4, true);
    d.SetOptionBits(0x8 | 0x200000 | 0x4000000, false);
    // Animation off stops the sound and repaints.
    ASSERT_TRUE(c.OnCommand(35011));
    EXPECT_FALSE(d.m_dwOptions & 0x4);
    EXPECT_EQ(host.soundStops, 1);
    EXPECT_EQ(host.repaints, 1);
    // Mute stops the sound only when switching on.
    c.OnCommand(36016);
    EXPECT_TRUE(d.m_dwOptions & 0x8);
    EXPECT_EQ(host.soundStops, 2);
    c.OnCommand(36016);
    EXPECT_EQ(host.soundStops, 2);
    // Symbol style refreshes the toolbars.
    c.OnCommand(36039);
    EXPECT_TRUE(d.m_dwOptions & 0x200000);
    EXPECT_EQ(host.toolbarRefreshes, 1);
    // Values cannot be edited: the property toolbar is rebuilt.
    c.OnCommand(34190);
    EXPECT_TRUE(d.m_dwOptions & 0x4000000);
    EXPECT_EQ(host.propertyRefreshes, 1);
}

TEST(ViewCommands, RoundUpGravitySwitchesBetweenTenAnd981)
{
    const struct {
        double before, after;
    } cases[] = {{9.81, 10.0}, {10.0, 9.81}, {3.7, 10.0}};
    for (const auto& k : cases) {
        CCircuit d;
        FakeHost host;
        host.design = &d;
        CViewCommands c(host);
        d.m_dGravity = k.before;
        c.OnCommand(34268);
        EXPECT_DOUBLE_EQ(d.m_dGravity, k.after);
    }
}

TEST(ViewCommands, CategoryToolbarsStackAndFallBackToTheirPart)
{
    CCircuit d;
    FakeHost host;
    host.design = &d;
    CViewCommands c(host);
    // Analog components, then power supplies: the stack keeps the way back.
    c.OnCommand(34180);
    c.OnCommand(35313);
    EXPECT_EQ(host.shown, (std::vector<int>{478, 145}));
    EXPECT_EQ(c.ToolBarStack(), (std::vector<int>{479, 478}));
    c.OnCommand(34191);
    EXPECT_EQ(host.current, 478);
    c.OnCommand(34191);
    EXPECT_EQ(host.current, 479);
    // Back on an empty stack shows the main toolbar.
    c.OnCommand(34191);
    EXPECT_EQ(host.current, 479);
    // An edition without the meters toolbar adds a voltmeter instead.
    c.OnCommand(35321);
    EXPECT_EQ(host.added, (std::vector<int>{32798}));
    EXPECT_EQ(host.current, 479);
    // The stack holds five entries.
    for (int id : {34180, 34181, 34183, 34184, 34186, 35316, 35314}) c.OnCommand(id);
    EXPECT_EQ(c.ToolBarStack().size(), 5u);
    c.OnCommand(34221);
    EXPECT_TRUE(c.ToolBarStack().empty());
    EXPECT_EQ(host.current, 479);
}

TEST(ViewCommands, BackDeselectsWhileThePropertyToolbarShowsAPart)
{
    CCircuit d;
    FakeHost host;
    host.design = &d;
    CViewCommands c(host);
    c.OnCommand(34180);
    CPart part;
    host.propertyPart = &part;
    c.OnCommand(34191);
    EXPECT_EQ(host.deselects, 1);
    EXPECT_EQ(host.current, 478);
    c.OnCommand(34191);
    EXPECT_EQ(host.current, 479);
}

TEST(ViewCommands, LogicDialogStoresTheChosenFamilyAndSupply)
{
    CCircuit d;
    FakeHost host;
    host.design = &d;
    CViewCommands c(host);
    d.SetLogicFamily(2, 12.0, 0);
    CLogicDlgData seen;
    host.logic = [&](CLogicDlgData& data) {
        seen = data;
        data.family = 1;
        data.hcSupply = 3.3;
        return true;
    };
    c.OnCommand(35017);
    // The design's supply is placed in its family's field, 5 V in the other.
    EXPECT_EQ(seen.family, 2);
    EXPECT_DOUBLE_EQ(seen.cmosSupply, 12.0);
    EXPECT_DOUBLE_EQ(seen.hcSupply, 5.0);
    EXPECT_EQ(d.m_nLogicFamily, 1);
    EXPECT_DOUBLE_EQ(d.m_dLogicSupply, 3.3);
    // 74ACT stores 5 V; an out-of-range field is refused; Cancel keeps all.
    CLogicDlgData act{0, 5.0, 5.0};
    EXPECT_TRUE(act.ApplyTo(d));
    EXPECT_DOUBLE_EQ(d.m_dLogicSupply, 5.0);
    CLogicDlgData bad{2, 5.0, 16.0};
    EXPECT_EQ(bad.FirstInvalidField(), 149);
    EXPECT_FALSE(bad.ApplyTo(d));
    EXPECT_EQ(d.m_nLogicFamily, 0);
    host.logic = [](CLogicDlgData& data) {
        data.family = 2;
        return false;
    };
    c.OnCommand(35017);
    EXPECT_EQ(d.m_nLogicFamily, 0);
}

TEST(ViewCommands, TitleAndScrollPositionMessage)
{
    CCircuit d;
    FakeHost host;
    host.design = &d;
    CViewCommands c(host);
    host.title = [](CString& t) {
        t = "Pendulum";
        return true;
    };
    c.OnCommand(35001);
    EXPECT_EQ(d.m_strName, CString("Pendulum"));
    EXPECT_FALSE(IsValidTitle(CString(81, 'x')));
    EXPECT_TRUE(IsValidTitle(CString(80, 'x')));
    c.OnCommand(34203);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("X = 0 and Y = 0"), CString::npos);
}

TEST(ViewSettings, SoundLengthLimitsAndStore)
{
    CCircuit d;
    d.m_nSoundSampleRate = 11025;
    d.m_nSampleLimit = 22050;
    d.m_nSoundSampleCount = 552;
    CSoundLengthDlgData s = CSoundLengthDlgData::FromDesign(d);
    EXPECT_DOUBLE_EQ(s.lengthSeconds, 2.0);
    EXPECT_EQ(s.autoPlayMs, 50);
    const struct {
        double length;
        int ms;
        int invalid;
    } cases[] = {{0.0005, 1, 167}, {1001, 50, 167}, {0.5, 400, 0}, {0.5, 501, 170}, {2, 1000, 170}, {2, 0, 170}};
    for (const auto& k : cases) EXPECT_EQ((CSoundLengthDlgData{k.length, k.ms}.FirstInvalidField()), k.invalid);
    ASSERT_TRUE((CSoundLengthDlgData{1.0, 100}.ApplyTo(d)));
    EXPECT_EQ(d.m_nSoundSampleCount, 1102);
    EXPECT_EQ(d.m_nSampleLimit, 11025);
}

TEST(ViewSettings, PageSizeLimitsAndLockedConstraints)
{
    EXPECT_TRUE((CPageSizeDlgData{0, 0}.IsValid()));
    EXPECT_TRUE((CPageSizeDlgData{999999, 9999999}.IsValid()));
    EXPECT_FALSE((CPageSizeDlgData{1000000, 0}.IsValid()));
    EXPECT_FALSE((CPageSizeDlgData{0, 10000000}.IsValid()));
    CPart a, b;
    a.ModifyFlags16(0x1 | 0x4, true);
    b.ModifyFlags16(0x1, true);
    b.ModifyFlags16(0x4, false);
    std::vector<CPart*> parts{&a, &b};
    const CLockedConstraintsData before = CLockedConstraintsData::FromParts(parts);
    EXPECT_EQ(before.state[0], 1);
    EXPECT_EQ(before.state[1], 0);
    EXPECT_EQ(before.state[2], 2);
    CLockedConstraintsData after = before;
    after.state[1] = 1; // value changes allowed for both; the mixed box stays
    EXPECT_TRUE(after.ApplyTo(parts, before));
    EXPECT_TRUE(a.HasFlag(0x2) && b.HasFlag(0x2));
    EXPECT_TRUE(a.HasFlag(0x4));
    EXPECT_FALSE(b.HasFlag(0x4));
}

TEST(ViewCommandRules, TheLoudspeakerIsGreyedWhileASoundProbeExists)
{
    // Only one sound source may exist: Add/Loudspeaker is offered while the
    // design has no sound probe and may take a part, and only when the
    // program can make the part.
    constexpr int kLoudspeaker = 33505;
    CPart soundProbe;
    const struct {
        const char* name;
        State state;
        bool recording;   // the host reports a sound probe's recording
        bool channel4;    // the design holds the extra (sound) probe
        bool canCreate;
        bool enabled;
    } rows[] = {
        {"plain design", kPlain, false, false, true, true},
        {"sound probe in the design", kPlain, false, true, true, false},
        {"sound probe recording", kPlain, true, false, true, false},
        {"locked design", kLocked, false, false, true, false},
        {"a part blown", kBlown, false, false, true, false},
        {"no design", kNoDesign, false, false, true, false},
        {"no loudspeaker in this program", kPlain, false, false, false, false},
    };
    for (const auto& r : rows) {
        CCircuit d;
        FakeHost host;
        Enter(r.state, d, host);
        host.soundProbe = r.recording;
        if (r.canCreate) host.creatable.insert(kLoudspeaker);
        d.m_pExtraProbe = r.channel4 ? &soundProbe : nullptr;
        CViewCommands commands(host);
        EXPECT_EQ(Update(commands, kLoudspeaker).enabled, r.enabled) << r.name;
        d.m_pExtraProbe = nullptr;
    }
}
