// The rating test of every component after an accepted step, and the
// ratings text that sets the four ratings.
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "platform/strings.h"

#include <charconv>
#include <cmath>
#include <cstring>

// Rating messages (string ids).
enum : WORD {
    MSG_PEAK_VOLTAGE = 10,
    MSG_PEAK_CURRENT = 11,
    MSG_POWER = 12,
    MSG_REVERSE_VOLTAGE = 13,
    MSG_ABOVE_SUPPLY = 64,
    MSG_BELOW_SUPPLY = 65,
    MSG_SUPPLY_REVERSED = 66,
    MSG_SUPPLY_VOLTAGE = 67,
};

int ParseRatingValue(const CString& text, const char* key, double* out)
{
    size_t at = text.find(key);
    if (at == CString::npos) return 0;
    // "=%lf": an '=' right after the key, blanks, then a number.
    size_t p = at + std::strlen(key);
    if (p >= text.size() || text[p] != '=') return 1;
    ++p;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
    double v = 0.0;
    const char* begin = text.data() + p;
    const char* end = text.data() + text.size();
    if (begin < end && *begin == '+') ++begin;
    auto r = std::from_chars(begin, end, v);
    if (r.ec == std::errc()) *out = v;
    return 1;
}

void CComponent::LoadRatingsText(const CString& text)
{
    ParseRatingValue(text, "MaxI", &m_dMaxI);
    ParseRatingValue(text, "MaxV", &m_dMaxV);
    ParseRatingValue(text, "MaxP", &m_dMaxP);
    if (!ParseRatingValue(text, "MaxRV", &m_dMaxRV)) m_dMaxRV = m_dMaxV;
}

void CComponent::LoadRatings(UINT stringId) { LoadRatingsText(LoadResString(stringId)); }

int CComponent::AfterStep()
{
    if (!IsBroken()) RatingTest();
    // A selected part shows its new state inside its selection frame.
    if (IsSelected()) DrawTree(GetDrawFlags());
    if (IsBroken()) m_dPower = 0.0;
    return IsBroken();
}

void CComponent::RatingTest()
{
    CCircuit* design = GetDesign();
    const bool sumPower = GetKindCode() == 0;
    double power = 0.0;
    // The terminals the test looks at; a copy is made only for parts that
    // leave some out, so the usual step allocates nothing.
    std::vector<CTerminal*> filtered;
    const std::vector<CTerminal*>* list = &m_terminals;
    for (CTerminal* t : m_terminals)
        if (!IsRatedTerminal(t)) {
            for (CTerminal* u : m_terminals)
                if (IsRatedTerminal(u)) filtered.push_back(u);
            list = &filtered;
            break;
        }
    const std::vector<CTerminal*>& rated = *list;
    if ((design && design->TestOptions(OPT_INDESTRUCTIBLE)) || m_bAlternateLook) {
        if (sumPower)
            for (CTerminal* t : rated)
                if (t->IsJoined()) power += t->GetVoltage() * t->GetCurrent();
        m_dPower = power;
        return;
    }
    const size_t n = rated.size();
    CTerminal* ref = GetReferenceTerminal();
    if (ref && !IsRatedTerminal(ref)) ref = nullptr;
    bool hasRef = ref && ref->IsJoined();
    double high = 0.0, low = 0.0;
    bool rails = GetSupplyRails(&high, &low) != 0;
    if (!hasRef && !rails && n >= 3) {
        for (CTerminal* t : rated)
            if (t->IsJoined()) {
                ref = t;
                hasRef = true;
                break;
            }
    }
    double r = hasRef ? ref->GetVoltage() : 0.0;
    if (rails) {
        if (high - low > m_dMaxV + kRatingVoltMargin)
            Explode(high - low, m_dMaxV, MSG_SUPPLY_VOLTAGE, 'V');
        else if (low - high > m_dMaxRV + kRatingVoltMargin)
            Explode(low - high, m_dMaxRV, MSG_SUPPLY_REVERSED, 'V');
    }
    for (CTerminal* t : rated) {
        if (IsBroken()) break;
        if (!t->IsJoined()) continue;
        double v = t->GetVoltage(), i = t->GetCurrent();
        if (rails) {
            if (v - high > m_dMaxRV + kRatingVoltMargin)
                Explode(v - high, m_dMaxRV, MSG_ABOVE_SUPPLY, 'V');
            else if (low - v > m_dMaxRV + kRatingVoltMargin)
                Explode(low - v, m_dMaxRV, MSG_BELOW_SUPPLY, 'V');
        } else if (hasRef) {
            double d = v - r;
            if (n >= 3) d = std::fabs(d);
            if (d > m_dMaxV + kRatingVoltMargin)
                Explode(d, m_dMaxV, MSG_PEAK_VOLTAGE, 'V');
            else if (-d > m_dMaxRV + kRatingVoltMargin)
                Explode(-d, m_dMaxRV, MSG_REVERSE_VOLTAGE, 'V');
        }
        if (!IsBroken() && std::fabs(i) > m_dMaxI + kRatingAmpMargin)
            Explode(std::fabs(i), m_dMaxI, MSG_PEAK_CURRENT, 'A');
        if (sumPower) power += v * i;
    }
    m_dPower = power;
    if (!(power > m_dMaxP) || IsBroken()) {
        m_bPowerAlarm = 0;
    } else if (m_bPowerAlarm) {
        Explode(power, m_dMaxP, MSG_POWER, 'W');
    } else {
        m_bPowerAlarm = 1;
        if (design) design->SetChanged();
    }
}
