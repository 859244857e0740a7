#include "model/solver/state.h"

#include "platform/random15.h"

#include <cmath>

double CState::Update()
{
    SetSegment(m_Tried > 0.0 ? 1 : 0);
    m_Lower = 0.0;
    m_Upper = 0.0;
    m_Committed = 0.0;
    return m_Committed;
}

void CState::Offer(CState** out, double* fraction, double f)
{
    if (m_UpdateCount >= kUpdateLimit) return;
    if (f < *fraction) {
        *fraction = f;
        *out = this;
    }
}

int CState::LimitStep(CState** out, double* fraction, double value)
{
    m_Tried = value;
    double bound;
    bool down;
    if (m_Segment == 1 || value <= m_Upper + 1e-6) {
        if (m_Segment == 0 || value >= m_Lower - 1e-6) return 0;
        bound = m_Lower;
        down = true;
    } else {
        bound = m_Upper;
        down = false;
    }
    // A committed value at the bound, or already beyond it on the tried side
    // (the segment was entered by another route, or the controlling pin
    // changed), leaves at once, at a drawn fraction as from the bound itself.
    // The interpolated fraction would be 1 or more there, and infinite once
    // the commit makes the two values equal: the model would never be
    // offered again and would keep a segment its value has left.
    const bool atOrBeyond = down ? m_Committed <= bound + 1e-6 : m_Committed >= bound - 1e-6;
    double f = atOrBeyond ? Rand15() / 32767.0 : (bound - m_Committed) / (m_Tried - m_Committed);
    Offer(out, fraction, f);
    return 1;
}

double CState::Switch()
{
    if (m_UpdateCount < kUpdateLimit) ++m_UpdateCount;
    return Update();
}

void CState::Commit()
{
    m_Committed = m_Tried;
    m_Changed = 0;
    m_UpdateCount = 0;
}

void CState::ResetState()
{
    m_Lower = m_Upper = m_Committed = 0.0;
    m_Segment = 0;
    m_Changed = 0;
    m_Intercept = m_Slope = m_Tried = 0.0;
    m_UpdateCount = 0;
}

void CTriState::SetPoints(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3)
{
    m_P0 = x1;
    m_P1 = x2;
    m_Slope0 = (y1 - y0) / (x1 - x0);
    m_Intercept0 = y0 - x0 * m_Slope0;
    m_Slope2 = (y2 - y1) / (x2 - x1);
    m_Intercept2 = y1 - x1 * m_Slope2;
    m_Slope1 = (y3 - y2) / (x3 - x2);
    m_Intercept1 = y2 - x2 * m_Slope1;
    Update();
}

void CTriState::SetRamp(double x0, double y0, double x1, double y1)
{
    m_P0 = x0;
    m_P1 = x1;
    m_Slope0 = 0.0;
    m_Intercept0 = y0;
    m_Slope1 = 0.0;
    m_Intercept1 = y1;
    m_Slope2 = (y1 - y0) / (x1 - x0);
    m_Intercept2 = y0 - x0 * m_Slope2;
    Update();
}

double CTriState::Update()
{
    int target = m_Tried > m_P1 ? 1 : (m_Tried >= m_P0 ? 2 : 0);
    const int present = m_Segment;
    if (target != present) {
        // Leaving from exactly a breakpoint: either neighbour is as likely.
        if (present == 0 && m_Committed > m_P0 - 1e-6) target = Rand15() < 0x4000 ? 2 : 1;
        else if (present == 1 && m_Committed < m_P1 + 1e-6) target = Rand15() < 0x4000 ? 2 : 0;
    }
    switch (target) {
    case 1:
        m_Lower = m_P1;
        m_Committed = m_P1;
        m_Slope = m_Slope1;
        m_Intercept = m_Intercept1;
        break;
    case 2:
        m_Lower = m_P0;
        m_Upper = m_P1;
        m_Committed = present == 1 ? m_P1 : m_P0;
        m_Slope = m_Slope2;
        m_Intercept = m_Intercept2;
        break;
    default:
        m_Upper = m_P0;
        m_Committed = m_P0;
        m_Slope = m_Slope0;
        m_Intercept = m_Intercept0;
        break;
    }
    SetSegment(target);
    return m_Committed;
}

void CLogic::SetInputs(int firstPin, int pinCount, unsigned activeMask, unsigned invertMask, bool direct)
{
    m_FirstPin = firstPin;
    m_PinCount = pinCount;
    m_ActiveMask = activeMask;
    m_SenseMask = ~invertMask;
    m_Pin = m_NextPin = firstPin;
    m_Sense = (m_SenseMask & 1u) != 0;
    m_Frozen = !direct;
}

void CLogic::SetFromCircuit(const CLogicLevels& design)
{
    const double t = design.GetLogicThreshold();
    SetRamp(t - 0.05, 0.0, t + 0.05, design.GetLogicHighCurrent());
}

// The controlling pin is the least satisfied one: its distance from the
// threshold on its wanted side is smallest.  Another pin that falls more than
// 1 mV below the present one takes over; the step is cut at the fraction the
// distances give.
template <class ValueOf>
void CLogic::Limit(CState** out, double* fraction, double threshold, ValueOf valueOf)
{
    auto distance = [&](int pin) {
        double v = valueOf(pin);
        return SenseOf(pin) ? threshold - v : v - threshold;
    };
    const double v = valueOf(m_Pin);
    const double b = m_Sense ? threshold - v : v - threshold;
    double best = 2.0;
    m_NextPin = m_Pin;
    for (int i = m_FirstPin; i < m_FirstPin + m_PinCount; ++i) {
        if (i == m_Pin || !((m_ActiveMask >> (i - m_FirstPin)) & 1u)) continue;
        const double l = distance(i);
        if (b - 0.001 > l) {
            const double f = threshold / (threshold + (b - l));
            if (f < best) {
                best = f;
                m_NextPin = i;
            }
        }
    }
    Offer(out, fraction, best);
    if (m_NextPin == m_Pin) CState::LimitStep(out, fraction, v);
}

void CLogic::LimitStep(CState** out, double* fraction, const double* nodeValues, CSolverTerminal* const* pins,
                       const CLogicLevels& design)
{
    Limit(out, fraction, design.GetLogicThreshold(),
          [&](int pin) { return nodeValues[pins[pin]->GetNode()]; });
}

void CLogic::LimitStepIndexed(CState** out, double* fraction, const double* nodeValues,
                              CSolverTerminal* const* pins, const uint8_t* index, const CLogicLevels& design)
{
    Limit(out, fraction, design.GetLogicThreshold(),
          [&](int pin) { return nodeValues[pins[index[pin]]->GetNode()]; });
}

void CLogic2::LimitStepIndexed(CState** out, double* fraction, const double* nodeValues, uint16_t firstNode,
                               const CLogicLevels& design)
{
    Limit(out, fraction, design.GetLogicThreshold(), [&](int pin) { return nodeValues[firstNode + pin]; });
}

double CLogic::Update()
{
    if (m_NextPin != m_Pin) {
        m_Pin = m_NextPin;
        m_Sense = SenseOf(m_Pin);
        return m_Committed;
    }
    return CTriState::Update();
}
