#include "mechanics/stop.h"

#include "model/solver/matrix.h"
#include "platform/archive.h"
#include "platform/random15.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CStop, "CObject", 5)
WB_IMPLEMENT_SERIAL(CPlunger, "CObject", 6)

namespace {
// Where the far ends of the free segment and the steep one are put.
constexpr double kFar = 1e9;
// Entering a segment from the free side must pass its bound by a micrometre;
// leaving the gap by 1e-14; leaving the steep segment by anything.
constexpr double kEnterTolerance = 1e-6;
constexpr double kGapTolerance = 1e-14;
// A plunger rests this far inside its stop's limit.
constexpr double kRestInset = 1e-7;
} // namespace

// ---- CStop ----

CStop::CStop() { Rebuild(); }

CStop::CStop(double stiffness, double gap) : m_dStiffness(stiffness), m_dGap(gap) { Rebuild(); }

CStop2::CStop2() : CStop(1e8, 1e-6) {}

void CStop::Serialize(CArchive& ar)
{
    if (ar.GetVersion() < 4) return;
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dPending << m_dOffset << m_dLimit;
        return;
    }
    double pending = 0.0, offset = 0.0, limit = 0.0;
    ar >> pending >> offset >> limit;
    // A stop at no finite place would stamp a force law the solver refuses.
    if (!std::isfinite(pending) || !std::isfinite(offset) || !std::isfinite(limit)) return;
    m_dPending = pending;
    m_dOffset = offset;
    m_dLimit = limit;
    m_dL = m_dLimit - m_dOffset;
    Rebuild();
}

void CStop::Rebuild()
{
    const double L = m_dL, g = m_dGap, k = m_dStiffness, S = m_dSteep, U = m_dUnit;
    double x[4], y[4];
    if (m_nSide) {
        const double px[4] = {-kFar, L, L + g, L + g + U}, py[4] = {0.0, 0.0, g * k, U * S + g * k};
        std::copy(px, px + 4, x);
        std::copy(py, py + 4, y);
    } else {
        const double px[4] = {L - g - U, L - g, L, kFar}, py[4] = {-U * S - g * k, -g * k, 0.0, 0.0};
        std::copy(px, px + 4, x);
        std::copy(py, py + 4, y);
    }
    m_P0 = x[1];
    m_P1 = x[2];
    m_Slope0 = (y[1] - y[0]) / (x[1] - x[0]);
    m_Intercept0 = y[0] - x[0] * m_Slope0;
    m_Slope2 = (y[2] - y[1]) / (x[2] - x[1]);
    m_Intercept2 = y[1] - x[1] * m_Slope2;
    m_Slope1 = (y[3] - y[2]) / (x[3] - x[2]);
    m_Intercept1 = y[2] - x[2] * m_Slope1;
    // The controlling value restarts at 0, in the segment 0 lies in; on a
    // breakpoint the free side is taken (a fresh force law has no contact
    // to be leaving, so no random choice is made here).
    m_Tried = 0.0;
    const int segment = m_nSide ? (0.0 > m_P1 ? 1 : 0.0 > m_P0 ? 2 : 0) : (0.0 < m_P0 ? 0 : 0.0 < m_P1 ? 2 : 1);
    SelectSegment(segment);
    m_Committed = 0.0;
    m_Changed = 0;
}

void CStop::SelectSegment(int segment)
{
    switch (segment) {
    case 1:
        m_Lower = m_P1;
        m_Slope = m_Slope1;
        m_Intercept = m_Intercept1;
        break;
    case 2:
        m_Lower = m_P0;
        m_Upper = m_P1;
        m_Slope = m_Slope2;
        m_Intercept = m_Intercept2;
        break;
    default:
        m_Upper = m_P0;
        m_Slope = m_Slope0;
        m_Intercept = m_Intercept0;
        break;
    }
    m_Segment = static_cast<int16_t>(segment);
}

void CStop::Set(double limit, int side)
{
    m_dLimit = m_dL = limit;
    m_nSide = side ? 1 : 0;
    Rebuild();
}

void CStop::SetFromPosition(double position) { Set(position, position >= 0.0 ? 1 : 0); }

void CStop::Reset()
{
    ResetState();
    SelectSegment(FreeSegment());
}

void CStop::ApplyDelta()
{
    m_dOffset += m_dPending;
    m_dPending = 0.0;
    m_dL = m_dLimit - m_dOffset;
    Rebuild();
}

int CStop::LimitStep(CState** out, double* fraction, double x)
{
    m_Tried = x;
    // Segments 0 and 2 have an upper bound, 1 and 2 a lower one.
    const bool hasUpper = m_Segment != 1, hasLower = m_Segment != 0;
    double bound = 0.0;
    bool crossed = false;
    if (m_nSide) {
        if (hasUpper && x > m_Upper + kEnterTolerance) {
            bound = m_Upper;
            crossed = true;
        } else if (m_Segment == 2 && x < m_Lower - kGapTolerance) {
            bound = m_Lower;
            crossed = true;
        } else if (m_Segment == 1 && x < m_Lower) {
            bound = m_Lower;
            crossed = true;
        }
    } else {
        if (hasLower && x < m_Lower - kEnterTolerance) {
            bound = m_Lower;
            crossed = true;
        } else if (m_Segment == 2 && x > m_Upper + kGapTolerance) {
            bound = m_Upper;
            crossed = true;
        } else if (m_Segment == 0 && x > m_Upper) {
            bound = m_Upper;
            crossed = true;
        }
    }
    if (!crossed) return 0;
    const double x0 = m_Committed;
    const double f = std::fabs(bound - x0) < 1e-6 ? Rand15() / 32767.0 : (bound - x0) / (x - x0);
    Offer(out, fraction, f);
    return 1;
}

void CStop::StampAt(CMatrix* matrix, CSolverTerminal* node) const
{
    matrix->StampTransfer(GetSlope(), GetIntercept(), node, nullptr, node, nullptr);
}

// ---- CPlunger ----

CPlunger::CPlunger() = default;

void CPlunger::Serialize(CArchive& ar)
{
    CStop::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dRestPosition << m_dRestVelocity << m_dDisplacement << m_dBase << m_wMoving;
    } else {
        double rest = 0.0, velocity = 0.0, displacement = 0.0, base = 0.0;
        WORD moving = 0;
        ar >> rest >> velocity >> displacement >> base >> moving;
        if (std::isfinite(rest) && std::isfinite(velocity) && std::isfinite(displacement) && std::isfinite(base)) {
            m_dRestPosition = rest;
            m_dRestVelocity = velocity;
            m_dDisplacement = displacement;
            m_dBase = base;
            m_wMoving = moving ? 1 : 0;
        }
    }
    m_mass.Serialize(ar);
}

double CPlunger::GetRestPoint() const { return m_nSide ? m_dLimit - kRestInset : m_dLimit + kRestInset; }

void CPlunger::Set(double limit, int side)
{
    CStop::Set(limit, side);
    m_mass.Clear();
    const double rest = GetRestPoint();
    m_mass.SetBase(rest);
    m_dRestPosition = rest;
    m_dDisplacement = rest;
    m_dOffset = rest;
    m_dRestVelocity = 0.0;
    m_dBase = 0.0;
}

void CPlunger::ApplyDelta()
{
    CStop::ApplyDelta();
    if (m_wMoving) m_mass.Rebase();
    m_dBase += m_dDisplacement;
    m_dDisplacement = 0.0;
}

void CPlunger::SetLimit(double position)
{
    CStop::SetLimit(position);
    m_dRestPosition = position;
}

double CPlunger::GetOffset() const { return m_wMoving ? m_mass.GetBase() : m_dBase; }

void CPlunger::SetOffset(double offset) { m_mass.SetBase(offset); }

double CPlunger::GetSlope() const
{
    const double m = m_mass.GetMass();
    return m_Slope + m + (m_wMoving ? m_mass.GetG() : 0.0);
}

double CPlunger::GetIntercept() const
{
    const double m = m_mass.GetMass();
    return m_Intercept + m * (GetOffset() - GetRestPoint()) + (m_wMoving ? m_mass.GetJ() : 0.0);
}

int CPlunger::Prepare(double mass, double r, int trapezoid)
{
    m_mass.SetMass(mass);
    const double predicted = m_dRestPosition + m_dRestVelocity / r;
    const bool free = m_nSide ? predicted < m_dLimit : predicted > m_dLimit;
    if (free) {
        m_mass.SetBase(m_dBase);
        m_mass.SetPosition(m_dRestPosition);
        m_mass.SetVelocity(m_dRestVelocity);
        m_dRestPosition = m_dLimit;
        m_dRestVelocity = 0.0;
        m_wMoving = 1;
    }
    return m_wMoving ? m_mass.Prepare(r, trapezoid) : 0;
}

void CPlunger::UpdateMotion(double x, double r, int trapezoid)
{
    SetDelta(x);
    if (m_wMoving) m_mass.Update(x, r, trapezoid);
    m_dDisplacement = x;
    m_dRestPosition += m_dRestVelocity / r;
}

double CPlunger::Update()
{
    const double committed = CTriState::Update();
    const bool atOrFree = m_nSide ? m_dRestPosition <= m_dLimit : m_dRestPosition >= m_dLimit;
    if (m_wMoving && IsEngaged() && atOrFree) {
        m_wMoving = 0;
        m_dRestPosition = m_mass.GetPosition();
        m_dRestVelocity = m_mass.GetVelocity();
    }
    return committed;
}

void CPlunger::HoldAt(double position)
{
    m_mass.SetBase(m_dBase);
    m_mass.SetPosition(position);
    m_mass.SetVelocity(0.0);
    m_wMoving = 1;
    m_dDisplacement = position - m_dBase;
}

double CPlunger::GetPosition() const { return m_wMoving ? m_mass.GetPosition() : m_dRestPosition; }

double CPlunger::GetVelocity() const { return m_wMoving ? m_mass.GetVelocity() : m_dRestVelocity; }

double CPlunger::GetAcceleration() const
{
    const double m = m_mass.GetMass();
    return m_wMoving && m != 0.0 ? m_mass.GetForce() / m : 0.0;
}
