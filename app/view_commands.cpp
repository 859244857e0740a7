#include "app/view_commands.h"

#include "app/add_menu.h"
#include "app/arrange_commands.h"
#include "app/flowchart_options.h"
#include "app/probe_copy.h"
#include "measure/sound_recording.h"
#include "components/meter_ring.h"
#include "model/circuit/circuit.h"
#include "model/designfile/units.h"
#include "model/designfile/view_settings.h"
#include "model/parts/parttree.h"
#include "model/text/text.h"
#include "model/text/textlabel.h"
#include "platform/strings.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr unsigned kStrCopyProbeDataFailed = 36539;
// Add/Loudspeaker: its update rule is the design's, not the catalogue's.
constexpr int kAddLoudspeaker = 33505;
constexpr unsigned kStrSaveSoundFailed = 62105;
constexpr unsigned kStrPlayedSelection = 36547;
constexpr unsigned kStrPlayedComplete = 36545;
// What the components are told to play.
constexpr int kPlaySelection = 0;
constexpr int kPlayComplete = 1;

// What enables a toggle.
enum Need { kDesign, kAnimation, kAnimationNoLogic, kAnimationNoHandles, kUnlocked };

// What a toggle does after flipping its bit.
enum : unsigned {
    E_REPAINT = 0x1,
    E_STOP_SOUND = 0x2,
    E_STOP_SOUND_WHEN_ON = 0x4,
    E_END_HOVER = 0x8,
    E_TOOLBARS = 0x10,
    E_CHANGED = 0x20,
    E_SETTING = 0x40, // the controller is told that a setting changed
    E_PROPERTY_BAR = 0x80,
};

} // namespace

struct CViewCommands::Toggle {
    int id;
    unsigned bit;
    Need need;
    bool checkedWhenClear;
    unsigned effects;
};

namespace {
// The option-word toggles of the View, Options and Sound menus.
using T = CViewCommands::Toggle;
const T kToggles[] = {
    {35009, VOPT_VALUES, kDesign, false, E_REPAINT},
    {35014, VOPT_PROBES, kDesign, false, E_REPAINT},
    {35011, VOPT_ANIMATION, kDesign, false, E_REPAINT | E_STOP_SOUND},
    {35010, VOPT_CURRENT_ARROWS, kAnimation, false, E_REPAINT},
    {35005, VOPT_LOGIC_SIGNALS, kAnimation, false, E_REPAINT},
    {35013, VOPT_BAR_VOLTMETERS, kAnimationNoLogic, false, E_REPAINT},
    {37000, VOPT_FORCE_ARROWS, kAnimation, false, E_REPAINT},
    {37001, VOPT_TORQUE_ARROWS, kAnimationNoHandles, false, E_REPAINT},
    {37003, VOPT_HANDLES, kAnimation, false, E_REPAINT},
    {36003, VOPT_BUBBLES, kAnimation, false, E_REPAINT | E_END_HOVER},
    {36039, VOPT_IEC_ANALOG_OFF, kDesign, true, E_REPAINT | E_TOOLBARS},
    {36038, VOPT_IEC_LOGIC_OFF, kDesign, true, E_REPAINT | E_TOOLBARS},
    {36040, VOPT_INTERNAL_RESISTANCE, kUnlocked, false, E_SETTING | E_CHANGED},
    {35018, VOPT_INDESTRUCTIBLE, kUnlocked, false, E_SETTING | E_CHANGED},
    {35000, VOPT_GREEN_FILL, kUnlocked, false, E_CHANGED},
    {34190, VOPT_VALUES_FIXED, kUnlocked, false, E_PROPERTY_BAR},
    {36016, VOPT_MUTE, kDesign, false, E_REPAINT | E_STOP_SOUND_WHEN_ON},
};
} // namespace

const std::vector<CNavigationRow>& NavigationTable()
{
    static const std::vector<CNavigationRow> rows = {
        {34180, 478, 32772}, {34181, 476, 33851}, {34183, 481, 32771}, {34184, 480, 33921},
        {34186, 472, 33959}, {35200, 474, 33701}, {35300, 476, 33859}, {35301, 481, 32771},
        {35302, 478, 32772}, {35303, 463, 32782}, {35304, 466, 32771}, {35305, 464, 32918},
        {35306, 465, 32942}, {35307, 480, 33921}, {35308, 211, 32876}, {35309, 467, 33865},
        {35310, 570, 33919}, {35311, 571, 33921}, {35312, 569, 33907}, {35313, 145, 32772},
        {35314, 146, 32910}, {35315, 220, 32929}, {35316, 211, 32776}, {35317, 141, 32773},
        {35318, 212, 32771}, {35320, 1244, 33921}, {35321, 147, 32798}, {35322, 221, 32769},
        {35323, 149, 33505}, {35324, 142, 32837}, {35325, 589, 33870}, {35326, 588, 33869},
        {35327, 592, 33864}, {35328, 599, 33860}, {35329, 593, 33893}, {36087, 367, 33919},
    };
    return rows;
}

CViewCommands::CViewCommands(CViewCommandHost& host) : m_host(host) {}

const CViewCommands::Toggle* CViewCommands::FindToggle(int id) const
{
    for (const Toggle& t : kToggles)
        if (t.id == id) return &t;
    return nullptr;
}

void CViewCommands::ShowCategory(int toolbar, int fallbackAdd)
{
    if (!m_host.HasToolBar(toolbar)) {
        m_host.AddPart(fallbackAdd);
        return;
    }
    // The toolbar that was shown goes on the stack (five deep: the oldest
    // entry gives way).
    const int previous = m_host.CurrentToolBar();
    if (previous == toolbar) return;
    m_stack.push_back(previous);
    if (m_stack.size() > 5) m_stack.erase(m_stack.begin());
    m_host.ShowToolBar(toolbar);
}

void CViewCommands::Back()
{
    int toolbar = kMainToolBarId;
    if (!m_stack.empty()) {
        toolbar = m_stack.back();
        m_stack.pop_back();
    }
    m_host.ShowToolBar(toolbar);
}

void CViewCommands::BackToMain()
{
    m_stack.clear();
    m_host.ShowToolBar(kMainToolBarId);
}

void CViewCommands::ChangeSetting(CCircuit& design)
{
    design.ControlSimulation(SIM_SENSOR_CHANGED);
    design.OnDesignChanged();
}

void CViewCommands::RunToggle(const Toggle& t, CCircuit& design)
{
    design.ToggleOptions(t.bit);
    const bool nowOn = (design.m_dwOptions & t.bit) != 0;
    if (t.effects & E_STOP_SOUND) m_host.StopSound();
    if ((t.effects & E_STOP_SOUND_WHEN_ON) && nowOn) m_host.StopSound();
    if (t.effects & E_END_HOVER) m_host.EndHover();
    if (t.effects & E_SETTING) design.ControlSimulation(SIM_SENSOR_CHANGED);
    if (t.effects & E_CHANGED) design.OnDesignChanged();
    if (t.effects & E_TOOLBARS) m_host.RefreshToolBars();
    if (t.effects & E_PROPERTY_BAR) m_host.RefreshPropertyBar();
    if (t.effects & E_REPAINT) m_host.Repaint();
}

bool CViewCommands::OnCommand(int id)
{
    CCmdUI ui;
    ui.id = id;
    if (!OnUpdateCommand(ui)) return false;
    if (!ui.enabled) return true; // a key arrived for a greyed command
    CCircuit* design = m_host.GetDesign();
    if (const Toggle* t = FindToggle(id)) {
        if (design) RunToggle(*t, *design);
        return true;
    }
    for (const CNavigationRow& row : NavigationTable())
        if (row.command == id) {
            ShowCategory(row.toolbar, row.fallbackAdd);
            return true;
        }
    return RunOther(id, design);
}

bool CViewCommands::OnUpdateCommand(CCmdUI& ui)
{
    CCircuit* design = m_host.GetDesign();
    if (const Toggle* t = FindToggle(ui.id)) {
        const unsigned options = design ? design->GetOptions() : 0;
        const bool animation = (options & VOPT_ANIMATION) != 0;
        bool enabled = design != nullptr;
        switch (t->need) {
        case kDesign: break;
        case kAnimation: enabled = enabled && animation; break;
        case kAnimationNoLogic: enabled = enabled && animation && !(options & VOPT_LOGIC_SIGNALS); break;
        case kAnimationNoHandles: enabled = enabled && animation && !(options & VOPT_HANDLES); break;
        case kUnlocked: enabled = enabled && !design->IsLocked(); break;
        }
        ui.Enable(enabled);
        // While animation is off its toggles show unchecked, whatever
        // their bits hold.
        const bool set = (options & t->bit) != 0 && (animation || t->need == kDesign || t->need == kUnlocked);
        ui.SetCheck(design && (t->checkedWhenClear ? !set : set));
        return true;
    }
    for (const CNavigationRow& row : NavigationTable())
        if (row.command == ui.id) {
            ui.Enable(true);
            return true;
        }
    return UpdateOther(ui, design);
}

// The commands that are not plain toggles: enable and check rules.
bool CViewCommands::UpdateOther(CCmdUI& ui, CCircuit* design)
{
    const bool open = design != nullptr;
    const bool unlocked = open && !design->IsLocked();
    const bool muted = open && (design->m_dwOptions & VOPT_MUTE);
    switch (ui.id) {
    case 34185: case 34187: case 34188: // further toolbars: always offered
    case 34191: case 35003: case 36076: case 34221:
        ui.Enable(true);
        return true;
    case 38002:
        ui.Enable(true);
        return true;
    case 38000: case 38001:
    case 35002: case 36010: case 35006: case 34203: case 34193: case 36541:
        ui.Enable(open);
        return true;
    case 35001: case 35017: case 34264: case 34258:
        ui.Enable(unlocked);
        return true;
    case 36012: ui.Enable(open && design->CanChangeSettings()); return true;
    case 35004: ui.Enable(open && m_host.CanShowGraph()); return true;
    case 34268:
        ui.Enable(unlocked);
        ui.SetCheck(open && design->m_dGravity == 10.0);
        return true;
    case 34266:
        ui.Enable(true);
        ui.SetCheck(m_programSettings & 1);
        return true;
    case 34182:
        ui.Enable(true);
        ui.SetCheck(m_keepSelection);
        return true;
    case 34189:
        ui.Enable(true);
        ui.SetCheck(m_host.GetSelectWhenAdding());
        return true;
    case 34212:
        ui.Enable(unlocked);
        ui.SetCheck(open && !design->IsAllowed(PERMIT_EDIT));
        return true;
    case 34218:
        ui.Enable(unlocked);
        ui.SetCheck(open && design->IsAllowed(PERMIT_SNAP));
        return true;
    case 34210: {
        CPart* any = nullptr;
        ui.Enable(unlocked && design->CountSelected(&any, 0) > 0);
        return true;
    }
    case 34196: case 34197: case 34198: case 34199: case 34200: case 34201: case 34202:
        ui.Enable(open && CanArrange(*design));
        return true;
    case 36041: case 36008: case 36004: ui.Enable(open); return true;
    case 36009:
        ui.Enable(open);
        ui.SetCheck(open && design->IsPaused());
        return true;
    case 36020:
        ui.Enable(open);
        ui.SetCheck(open && design->m_bSlowMotion);
        return true;
    case 36011: {
        const bool can = open && m_host.HasSoundProbe();
        if (!can && open) design->m_bSoundPlaying = 0;
        ui.Enable(can);
        ui.SetCheck(can && design->m_bSoundPlaying);
        return true;
    }
    case 36013:
        ui.Enable(open && !m_host.IsSoundLooping() && !muted);
        ui.SetCheck(open && design->m_bLoopPlayback);
        return true;
    case 36014:
        ui.Enable(open && m_host.HasSoundProbe() && m_host.CanPlaySound() && !muted);
        ui.SetCheck(m_host.IsSoundLooping());
        return true;
    case 36015: ui.Enable(open && (m_host.IsSoundLooping() || design->m_bSoundPlaying)); return true;
    case 36019: ui.Enable(open && m_host.HasSoundProbe()); return true;
    case kAddLoudspeaker: {
        // Only one sound source may exist: the loudspeaker is offered
        // while the design has no sound probe (channel 4) and may take a
        // part, and only when this program can make one.
        const bool soundProbe = open && (m_host.HasSoundProbe() || design->FindProbe(4));
        ui.Enable(open && !soundProbe && design->CanAddPart(AddCommandPartKind(ui.id), false, false) &&
                  m_host.CanCreatePart(ui.id));
        return true;
    }
    default: return false;
    }
}

bool CViewCommands::RunOther(int id, CCircuit* design)
{
    switch (id) {
    case 34185: case 34187: case 34188: return true;
    case 34191:
        if (m_host.PropertyPart()) m_host.DeselectAll();
        else Back();
        return true;
    case 35003:
        if (m_host.PropertyPart() && !m_keepSelection) m_host.DeselectAll();
        else Back();
        return true;
    case 36076: m_host.DeselectAll(); return true;
    case 34221: BackToMain(); return true;
    case 34266: m_programSettings ^= 1; return true;
    case 34182:
        m_keepSelection = !m_keepSelection;
        m_host.SetSelectWhenAdding(m_keepSelection);
        m_host.SetKeepSelection(m_keepSelection);
        return true;
    case 34189: return true;
    case 38002: {
        double factor = RescaleFontFactor();
        if (m_host.EditRescaleFactor(factor) && IsValidRescaleFactor(factor)) RescaleFontFactor() = factor;
        return true;
    }
    default: break;
    }
    if (!design) return true;
    switch (id) {
    case 35002: m_host.RefreshPropertyValues(); break;
    case 38000:
        FixAllLabelFontTables(design);
        m_host.Repaint();
        break;
    case 38001:
        RescaleAllLabelFonts(design);
        m_host.Repaint();
        break;
    case 35017: {
        CSimulationPause pause(design);
        CLogicDlgData data = CLogicDlgData::FromDesign(*design);
        if (m_host.EditLogic(data)) data.ApplyTo(*design);
        break;
    }
    case 34258: {
        CSimulationPause pause(design);
        CFlowchartOptionsData data = CFlowchartOptionsData::FromDesign(*design);
        if (m_host.EditFlowchartOptions(data) && data.IsValid()) {
            data.ApplyTo(*design);
            m_host.Repaint();
        }
        break;
    }
    case 35001: {
        CString title = design->m_strName;
        if (m_host.EditTitle(title) && IsValidTitle(title) && title != design->m_strName) {
            design->m_strName = title;
            design->OnDesignChanged();
            m_host.TitleChanged();
        }
        break;
    }
    case 36012: {
        CSimulationPause pause(design);
        CSampleRateDlgData data = BeginSampleRate(design->m_nSoundSampleRate, design->m_dDisplayRate, nullptr);
        if (!m_host.EditSampleRate(data) || !IsValidDisplayRate(data.displayRate)) break;
        CSampleRateState s{design->m_nSoundSampleRate, design->m_dDisplayRate, design->m_nSampleCounter,
                           design->m_nSampleLimit};
        if (ApplySampleRate(data, s)) {
            m_host.StopSound();
            m_host.CheckSampleRate(s.soundRate);
        }
        design->m_nSoundSampleRate = s.soundRate;
        design->m_dDisplayRate = s.displayRate;
        design->m_nSampleCounter = s.sampleCounter;
        design->m_nSampleLimit = s.sampleLimit;
        design->RecalcStepLimit();
        design->OnDesignChanged();
        break;
    }
    case 34268: {
        design->m_dGravity = ToggledGravity(design->m_dGravity);
        CPartIterator it(design, 0);
        while (CPart* p = it.Next()) p->RefreshState();
        design->OnDesignChanged();
        m_host.Repaint();
        break;
    }
    case 34212:
        design->m_dwPermissions ^= PERMIT_EDIT;
        design->OnDesignChanged();
        m_host.Repaint();
        break;
    case 34218:
        design->m_dwPermissions ^= PERMIT_SNAP;
        design->OnDesignChanged();
        break;
    case 34210: {
        std::vector<CPart*> parts;
        CPartIterator it(design, 0);
        while (CPart* p = it.Next())
            if (p->IsSelected()) parts.push_back(p);
        const CLockedConstraintsData before = CLockedConstraintsData::FromParts(parts);
        CLockedConstraintsData data = before;
        if (m_host.EditLockedConstraints(data) && data.ApplyTo(parts, before)) design->OnDesignChanged();
        break;
    }
    case 34193:
        if (m_host.EditDefaultFont(*design)) design->OnDesignChanged();
        break;
    case 34196: case 34197: case 34198: case 34199: case 34200: case 34201: case 34202:
        Arrange(id, *design);
        break;
    case 34203: {
        const CPoint p = m_host.ScrollPosition();
        const CString format = LoadResString(36621);
        char text[512];
        std::snprintf(text, sizeof text, format.c_str(), p.x, p.y);
        m_host.ShowMessage(text);
        break;
    }
    case 34264: {
        CPageSizeDlgData data = CPageSizeDlgData::FromDesign(*design);
        if (!m_host.EditPageSize(data) || !data.IsValid()) break;
        m_host.EndHover();
        m_host.DeselectAll();
        design->SetOffset(CSize(static_cast<int>(data.width), static_cast<int>(data.height)));
        design->OnDesignChanged();
        m_host.UpdateScrollSizes();
        break;
    }
    case 36041: {
        CSimulationPause pause(design);
        CMeterSettings data = CMeterSettings::FromDesign(*design);
        if (m_host.EditMeterSettings(data) && data.ApplyTo(*design)) {
            design->OnDesignChanged();
            m_host.Repaint();
        }
        break;
    }
    case 36009:
        design->SetPaused(!design->IsPaused());
        m_host.EndHover();
        break;
    case 36008: {
        m_host.EndHover();
        CSimulationPause pause(design);
        CUnitChoices units{design->m_wAngleUnit, design->m_wSpeedUnit, false};
        CMeasurementUnitsDlgData data = BeginMeasurementUnits(units);
        if (m_host.EditUnits(data)) {
            ApplyMeasurementUnits(data, units);
            design->m_wAngleUnit = static_cast<WORD>(units.angleUnit);
            design->m_wSpeedUnit = static_cast<WORD>(units.speedUnit);
        }
        m_host.Repaint();
        break;
    }
    case 36010: design->OnSettingsChanged(0); break;
    case 36004: CopyProbeData(*design); break;
    case 35004: m_host.ShowGraph(); break;
    case 36020:
        design->SetSlowMotion(!design->m_bSlowMotion);
        design->ScheduleStep(SIM_TIMER, 0);
        break;
    case 35006:
        if (design->GetSampleCount()) design->ControlSimulation(SIM_RESTART_RECORDING);
        break;
    case 36011: design->SetSoundPlaying(!design->m_bSoundPlaying); break;
    case 36013: design->SetLoopPlayback(!design->m_bLoopPlayback); break;
    case 36015:
        design->m_bSoundPlaying = 0;
        m_host.StopSound();
        break;
    case 36014: PlaySound(*design); break;
    case 36019: SaveSound(*design); break;
    case 36541: {
        CSimulationPause pause(design);
        CSoundLengthDlgData data = CSoundLengthDlgData::FromDesign(*design);
        if (m_host.EditSoundLength(data) && data.ApplyTo(*design)) design->OnDesignChanged();
        break;
    }
    default: return false;
    }
    return true;
}

void CViewCommands::Arrange(int id, CCircuit& design)
{
    static const EAlignEdge kEdges[] = {EAlignEdge::Left, EAlignEdge::Top, EAlignEdge::Right, EAlignEdge::Bottom};
    CPart* reference = ArrangeReference(design, m_host.PropertyPart());
    if (id == 34196 || id == 34197) MoveSelectionInTree(design, id == 34196);
    else if (id == 34202) SizeSelectionLike(design, reference);
    else AlignSelection(design, reference, kEdges[id - 34198]);
    // The design stops and starts again as after any edit, which also
    // marks it changed (one undo step).
    design.OnSimulationStopped();
    design.ResetRun(1);
    m_host.Repaint();
}

void CViewCommands::CopyProbeData(CCircuit& design)
{
    // The recording stands still while the user chooses and the text is
    // built.
    CSimulationPause pause(&design);
    const std::unique_ptr<CProbeDataSource> source = MakeProbeSource(design);
    CCopyDataForm form = CCopyDataForm::FromSource(*source);
    // Cancel copies nothing and is no failure.
    if (!m_host.EditCopyData(form)) return;
    CString text;
    // Running out of memory has shown its own message.
    if (!BuildDesignProbeText(design, *source, form, &text)) return;
    if (text.IsEmpty()) return;
    if (!m_host.PutTextOnClipboard(text)) m_host.ShowMessage(LoadResString(kStrCopyProbeDataFailed));
}

void CViewCommands::SaveSound(CCircuit& design)
{
    CSimulationPause pause(&design);
    CSoundRecording* recording = FindSoundRecording(&design);
    if (!recording) return;
    CSaveSoundChoice choice = CSaveSoundChoice::For(*recording);
    CString path;
    if (!m_host.EditSaveSound(choice, &path) || path.IsEmpty()) return;
    if (!SaveRecording(*recording, choice.selection, path)) {
        const CString format = LoadResString(kStrSaveSoundFailed);
        char text[1024];
        std::snprintf(text, sizeof text, format.c_str(), path.c_str());
        m_host.ShowMessage(text);
    }
}

void CViewCommands::PlaySound(CCircuit& design)
{
    if (!m_host.IsSoundLooping()) m_host.StopSound();
    CSoundRecording* recording = FindSoundRecording(&design);
    int first = 0, last = -1;
    const bool selection = recording && recording->GetSelection(&first, &last) && first <= last;
    design.BroadcastToComponents(selection ? kPlaySelection : kPlayComplete);
    m_host.ShowStatusText(selection ? kStrPlayedSelection : kStrPlayedComplete);
}
