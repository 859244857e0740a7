#include "components/vpulse.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/sinevalue.h"
#include "platform/archive.h"

#include <cmath>
#include <cstring>
#include <numbers>

WB_IMPLEMENT_SERIAL(CVPulse, "CComponent", 2)

namespace {
constexpr UINT IDS_VPULSE_RATINGS = 41;

CVisual& PulseVisual()
{
    static CVisual visual(0, 0, 326, 3, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(195), visual.SetOffsetRow(0), true);
    (void)ready;
    return visual;
}
} // namespace

CVPulse::CVPulse()
{
    m_pVisual = &PulseVisual();
    m_nOrientationMask = 195;
    LoadRatings(IDS_VPULSE_RATINGS);
}

void CVPulse::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(m_nWaveform);
        return;
    }
    WORD w = kSquare;
    if (ar.GetVersion() >= 4) ar >> w;
    m_nWaveform = w <= kTriangle ? static_cast<int>(w) : static_cast<int>(kSquare);
    m_wStateWord = static_cast<WORD>(m_nWaveform);
}

void CVPulse::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    AddChild(new CSineValue(1, m_rect, 6));
}

void CVPulse::InitVariant(const CRuntimeClass* variant)
{
    CComponent::InitVariant(variant);
    const char* name = variant ? variant->m_lpszClassName : "";
    if (std::strcmp(name, "CVSine") == 0) m_nWaveform = kSine;
    else if (std::strcmp(name, "CVTriangle") == 0) m_nWaveform = kTriangle;
    m_wStateWord = static_cast<WORD>(m_nWaveform);
    m_rcPicture.SetRect(-12, 0, 12, 24);
}

void CVPulse::ResetSimulation()
{
    m_dPhase = 0.0;
    m_dOutput = 0.0;
    ResetState();
}

void CVPulse::OnSettingsChanged(int value)
{
    CComponent::OnSettingsChanged(value);
    if (CSineValue* label = GetSineLabel()) m_dPhase = label->phase / 360.0;
    ComputeOutput();
}

bool CVPulse::SetWaveform(int waveform)
{
    if (waveform < kSine || waveform > kTriangle || waveform == m_nWaveform) return false;
    m_nWaveform = waveform;
    m_wStateWord = static_cast<WORD>(waveform);
    return true;
}

CSineValue* CVPulse::GetSineLabel() const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* s = dynamic_cast<CSineValue*>(c)) return s;
    return nullptr;
}

double CVPulse::GetFrequency() const
{
    const CSineValue* s = GetSineLabel();
    return s ? s->GetValue() : 0.0;
}

double CVPulse::GetAmplitude() const
{
    const CSineValue* s = GetSineLabel();
    return s ? s->amplitude.value : 0.0;
}

double CVPulse::GetOffset() const
{
    const CSineValue* s = GetSineLabel();
    return s ? s->dcOffset : 0.0;
}

void CVPulse::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    m->AddVoltageSource(m_dOutput, GetTerminal(0), GetTerminal(1));
    // A whisper to ground, so a source that floats in its own loop still
    // has its voltage fixed.
    m->StampConductance(1e-18, GetTerminal(1), nullptr);
}

int CVPulse::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* design = GetDesign();
    AdvancePhase(design ? design->GetUpdateRate() : 5.0);
    ComputeOutput();
    if (design) design->SetChanged();
    return broken;
}

void CVPulse::AdvancePhase(double updateRate)
{
    const double r = updateRate > 0.0 ? GetFrequency() / updateRate : 0.0;
    if (r > 0.5) {
        m_dPhase = m_dPhase > 0.5 ? 0.25 : 0.75;
        return;
    }
    const double p = m_dPhase + r;
    m_dPhase = p - std::floor(p);
}

double CVPulse::WaveAt(int waveform, double p, double a, double o)
{
    switch (waveform) {
    case kSine: return o + a * std::sin(2.0 * std::numbers::pi * p);
    case kSquare: return p > 0.5 ? o : o + a;
    case kTriangle: return p <= 0.5 ? o + 2.0 * a * p : o + 2.0 * a * (1.0 - p);
    default: return std::nan("");
    }
}

void CVPulse::ComputeOutput()
{
    const double v = WaveAt(m_nWaveform, m_dPhase, GetAmplitude(), GetOffset());
    if (!std::isnan(v)) m_dOutput = v;
}

int CVPulse::GetRateRequest(double* rate)
{
    *rate = GetFrequency() * 20.0;
    return 3;
}

int CVPulse::Draw(DWORD flags)
{
    if (m_pVisual) {
        const int frame = m_wStateWord < m_pVisual->GetFrameCount() ? m_wStateWord : 0;
        m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, GetDrawVariant(), m_nOrientation);
    }
    return CPartCircuit::Draw(flags);
}
