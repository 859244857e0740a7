#include "model/designfile/view_settings.h"

#include "model/circuit/circuit.h"
#include "model/parts/part.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

CLogicDlgData CLogicDlgData::FromDesign(const CCircuit& design)
{
    CLogicDlgData d;
    d.family = design.m_nLogicFamily;
    if (d.family == 1) d.hcSupply = design.m_dLogicSupply;
    if (d.family == 2) d.cmosSupply = design.m_dLogicSupply;
    return d;
}

double CLogicDlgData::ChosenSupply() const
{
    switch (family) {
    case 1: return hcSupply;
    case 2: return cmosSupply;
    default: return 5.0;
    }
}

int CLogicDlgData::FirstInvalidField() const
{
    if (!(hcSupply >= 2.0 && hcSupply <= 6.0)) return 150;
    if (!(cmosSupply >= 3.0 && cmosSupply <= 15.0)) return 149;
    return 0;
}

bool CLogicDlgData::ApplyTo(CCircuit& design) const
{
    if (FirstInvalidField() || family < 0 || family > 2) return false;
    design.SetLogicFamily(family, ChosenSupply(), 1);
    design.ControlSimulation(SIM_SENSOR_CHANGED);
    design.OnDesignChanged();
    return true;
}

bool IsValidTitle(const CString& title) { return title.GetLength() <= kMaxTitleLength; }

CPageSizeDlgData CPageSizeDlgData::FromDesign(const CCircuit& design)
{
    return {design.m_szOffset.cx, design.m_szOffset.cy};
}

bool CPageSizeDlgData::IsValid() const
{
    return width >= 0 && width <= kMaxPageWidth && height >= 0 && height <= kMaxPageHeight;
}

CLockedConstraintsData CLockedConstraintsData::FromParts(const std::vector<CPart*>& parts)
{
    CLockedConstraintsData d;
    for (int i = 0; i < 3; ++i) {
        bool any = false, all = true;
        for (CPart* p : parts) {
            const bool on = p->HasFlag(kBits[i]);
            any = any || on;
            all = all && on;
        }
        d.state[i] = parts.empty() || !any ? 0 : (all ? 1 : 2);
    }
    return d;
}

bool CLockedConstraintsData::ApplyTo(const std::vector<CPart*>& parts, const CLockedConstraintsData& before) const
{
    bool written = false;
    for (int i = 0; i < 3; ++i) {
        if (state[i] == 2 || state[i] == before.state[i]) continue;
        for (CPart* p : parts) p->ModifyFlags16(kBits[i], state[i] == 1);
        written = written || !parts.empty();
    }
    return written;
}

CSoundLengthDlgData CSoundLengthDlgData::FromDesign(const CCircuit& design)
{
    const double rate = design.m_nSoundSampleRate > 0 ? design.m_nSoundSampleRate : 11025;
    CSoundLengthDlgData d;
    d.lengthSeconds = design.m_nSampleLimit / rate;
    d.autoPlayMs = static_cast<int>(std::lround(design.m_nSoundSampleCount / rate * 1000.0));
    return d;
}

int CSoundLengthDlgData::FirstInvalidField() const
{
    if (!(lengthSeconds >= 0.001 && lengthSeconds <= 1000.0)) return 167;
    const double maxMs = std::min(999.0, lengthSeconds * 1000.0);
    if (autoPlayMs < 1 || autoPlayMs > maxMs) return 170;
    return 0;
}

bool CSoundLengthDlgData::ApplyTo(CCircuit& design) const
{
    if (FirstInvalidField()) return false;
    const int rate = design.m_nSoundSampleRate > 0 ? design.m_nSoundSampleRate : 11025;
    design.m_nSoundSampleCount = static_cast<int>(static_cast<long long>(rate) * autoPlayMs / 1000);
    const CSoundLengthDlgData was = FromDesign(design);
    if (std::fabs(was.lengthSeconds - lengthSeconds) > 1e-12)
        design.m_nSampleLimit = static_cast<int>(std::lround(lengthSeconds * rate));
    return true;
}

bool IsValidRescaleFactor(double factor) { return factor >= 0.01 && factor <= 100.0; }

double ToggledGravity(double gravity) { return gravity == 10.0 ? 9.81 : 10.0; }

bool ParseDialogNumber(const CString& text, double* value)
{
    std::string s(text.c_str());
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const size_t last = s.find_last_not_of(" \t");
    s = s.substr(first, last - first + 1);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    double v = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}
