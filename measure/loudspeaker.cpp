#include "measure/loudspeaker.h"

#include "measure/probe.h"
#include "measure/sound_system.h"
#include "model/circuit/circuit.h"
#include "model/circuit/simhost.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/text/value.h"
#include "platform/archive.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CLoudSpeaker, "CComponent", 1)

namespace {
constexpr UINT kStrRatings = 36570;
constexpr unsigned kStrSampleRateButton = 36575;
constexpr unsigned kStrSelectSound = 36513;
constexpr unsigned kStrRecordingFinished = 36554;
// The view's sample-rate command, which the property button runs.
constexpr int kSampleRateCommand = 36012;
constexpr int kSampleRateButtonWidth = 120;

CVisual& LoudspeakerVisual()
{
    static CVisual visual(0, 0, 328, 1, 0, 0, 20, 24);
    static const bool ready = (visual.SetOrientationMask(15), visual.SetOffsetRow(12), true);
    (void)ready;
    return visual;
}
} // namespace

CLoudSpeaker::CLoudSpeaker()
{
    m_pVisual = &LoudspeakerVisual();
    m_nOrientationMask = 15;
    LoadRatings(kStrRatings);
    m_sample.SetFullScale(CSoundSample::kFullScale);
    m_pProbe = new CProbe(CProbe::kSoundChannel);
    m_pProbe->LinkSoundSample(&m_sample);
}

CLoudSpeaker::~CLoudSpeaker()
{
    // The design that files the part is alive; one that only knew it (it
    // was removed from there) outlives it.
    CCircuit* design = m_pFiledIn ? m_pFiledIn : m_sample.GetDesign();
    if (design && design->m_pExtraProbe == m_pProbe) design->m_pExtraProbe = nullptr;
    // The probe lets go of the sample as it goes.
    delete m_pProbe;
}

void CLoudSpeaker::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring() || ar.GetVersion() > 3) {
        m_number.Serialize(ar);
        return;
    }
    ar >> m_dOldResistance;
    m_rect.right -= 1;
}

void CLoudSpeaker::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    if (!GetValueLabel()) AddChild(new CValue(kDefaultResistance, 1.0, ' ', " ", 3, m_rect, 5));
}

double CLoudSpeaker::GetResistance()
{
    auto* value = dynamic_cast<CValue*>(GetValueLabel());
    return value ? value->GetValue() : kDefaultResistance;
}

CSoundSystem* CLoudSpeaker::Sound() const
{
    CCircuit* design = m_sample.GetDesign();
    CSimulationHost* host = design ? design->GetHost() : nullptr;
    return host ? host->GetSoundSystem() : nullptr;
}

void CLoudSpeaker::Attach(CCircuit* design)
{
    if (m_dOldResistance != 0.0) {
        if (auto* value = dynamic_cast<CValue*>(GetValueLabel())) value->SetBaseValue(m_dOldResistance);
        m_dOldResistance = 0.0;
    }
    m_sample.SetDesign(design);
    if (design) design->m_pExtraProbe = m_pProbe;
    m_sample.Clear();
    OnSimulationEvent(3);
    if (design && !design->IsTemporary()) m_bRecording = m_sample.Resize(0);
}

void CLoudSpeaker::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CComponent::AfterLoad(design, flags, version);
    if (flags) return;
    Attach(dynamic_cast<CCircuit*>(design));
}

void CLoudSpeaker::Drop(CPartTree* design)
{
    CComponent::Drop(design);
    auto* d = dynamic_cast<CCircuit*>(design);
    Attach(d);
    CSimulationHost* host = d ? d->GetHost() : nullptr;
    if (host && host->GetGraph()) {
        d->RestartRecording(1);
        host->SetStatusText(LoadResString(kStrSelectSound));
    }
}

void CLoudSpeaker::OnSimulationReset()
{
    CComponent::OnSimulationReset();
    FlushOutput();
}

void CLoudSpeaker::RefreshState()
{
    CComponent::RefreshState();
    if (CSoundSystem* sound = Sound()) sound->Stop(true, true);
}

int CLoudSpeaker::FillProperties(CControlItemList& items)
{
    CComponent::FillProperties(items);
    items.Add(CControlItem(CI_PUSHBUTTON, kStrSampleRateButton, kSampleRateCommand, kSampleRateButtonWidth));
    return 0;
}

int CLoudSpeaker::OnPropertyCommand(int commandId, const CString& text)
{
    const int result = CComponent::OnPropertyCommand(commandId, text);
    CCircuit* design = m_sample.GetDesign();
    if (!result || !design) return result;
    // A new resistance or orientation: the recording starts again.
    design->RestartRecording(1);
    m_sample.Clear();
    design->OnSimulationStopped();
    design->ResetRun(1);
    return result;
}

void CLoudSpeaker::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    const double r = GetResistance();
    if (r == 0.0) m->AddLink(GetTerminal(0), GetTerminal(1));
    else m->StampConductance(1.0 / r, GetTerminal(0), GetTerminal(1));
}

int CLoudSpeaker::AfterStep()
{
    if (CComponent::AfterStep() || m_terminals.size() < 2) return IsBroken();
    CCircuit* design = m_sample.GetDesign();
    if (design) design->SetChanged();
    const double v = GetTerminal(0)->GetVoltage() - GetTerminal(1)->GetVoltage();
    if (m_sample.AllocatedBytes() == 0) m_bRecording = false;
    if (!m_bRecording) return 0;
    const bool soundPlay = design && design->m_bSoundPlaying;
    if (m_sample.IsFull() && !soundPlay) {
        // Recording goes round: it starts again from an empty sample.
        if (design) design->RestartRecording(1);
        m_sample.Clear();
    }
    m_sample.AppendVolts(v);
    CSoundSystem* sound = Sound();
    if (m_sample.IsSegmentDone()) {
        if (design->m_bLoopPlayback && sound && !sound->IsSoundLooping()) m_sample.PlayFromMark(sound, true);
        else m_sample.SetMark();
    }
    if (m_sample.IsFull() && soundPlay) {
        if (sound) sound->Stop(false, true);
        design->SetPaused(1);
        design->m_bSoundPlaying = 0;
        if (sound) sound->Stop(true, true);
        WbMessageBox(kStrRecordingFinished, MB_ICONINFORMATION);
    }
    return 0;
}

void CLoudSpeaker::FlushOutput()
{
    CSoundSystem* sound = Sound();
    if (sound && !sound->IsSoundLooping()) sound->Stop(true, true);
    m_sample.SetMark();
}

void CLoudSpeaker::OnSimulationEvent(int code)
{
    CCircuit* design = m_sample.GetDesign();
    switch (code) {
    case 0: {
        int first = 0, last = -1;
        CSimulationHost* host = design ? design->GetHost() : nullptr;
        if (!host || !host->GetGraph() || !m_sample.GetSelection(&first, &last)) break;
        m_sample.SetExactRange(true);
        m_sample.Play(Sound(), first, last - first + 1, true);
        m_sample.SetExactRange(false);
        break;
    }
    case 1: m_sample.Play(Sound(), 0, 0, true); break;
    case 2:
        // Pausing restarts the design's recording too; the sound recorded
        // so far stays to be played and saved until the run goes on.
        if (!design || !design->IsPaused()) m_sample.Clear();
        break;
    case 3:
        if (design) m_sample.SetRate(design->m_nSoundSampleRate);
        break;
    case 4: m_bRecording = m_sample.Resize(0); break;
    default: break;
    }
}

int CLoudSpeaker::GetRateRequest(double* rate)
{
    CCircuit* design = m_sample.GetDesign();
    *rate = design ? design->m_nSoundSampleRate : 11025.0;
    return 4;
}
