#include "mechanics/mech_term.h"

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/display/display.h"
#include "model/parts/part_records.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CMechTerm, "CTerminal", 4)

namespace {
// The update rate of a new design, for a terminal that stands in none.
constexpr double kDefaultUpdateRate = 5.0;
} // namespace

int MetresToPixels(double x)
{
    const double p = std::floor(x * kPixelsPerMetre + 0.5);
    // A runaway displacement must not overflow the pixel arithmetic.
    if (!(p > -1e6)) return -1000000;
    if (p > 1e6) return 1000000;
    return static_cast<int>(p);
}

CMechTerm::CMechTerm(const CMechPin& pin, uint16_t node) : CTerminal(pin.side, pin.pin, node, pin.kind)
{
    const bool given = pin.a != CPoint(0, 0) || pin.b != CPoint(0, 0) || pin.c != CPoint(0, 0);
    m_ptA = given ? pin.a : pin.pin;
    m_ptB = given ? pin.b : GetOuterEnd();
    m_ptC = given ? pin.c : pin.pin;
    m_wShowForceMarks = pin.showForceMarks;
    m_wShowRotationMarks = pin.showRotationMarks;
}

CMechTerm::~CMechTerm()
{
    SetLinkedObject(nullptr);
    for (CMechTerm* t : m_linkedBy) t->m_pLinked = nullptr;
}

void CMechTerm::SetLinkedObject(CMechTerm* linked)
{
    if (m_pLinked) std::erase(m_pLinked->m_linkedBy, this);
    m_pLinked = linked;
    if (m_pLinked) m_pLinked->m_linkedBy.push_back(this);
}

void CMechTerm::Offset(int dx, int dy)
{
    CTerminal::Offset(dx, dy);
    m_ptA.Offset(dx, dy);
    m_ptB.Offset(dx, dy);
    m_ptC.Offset(dx, dy);
}

CComponent* CMechTerm::GetOwnerComponent() const { return dynamic_cast<CComponent*>(m_pOwner); }

namespace {

void WritePoint(CArchive& ar, CPoint p) { ar << static_cast<WORD>(p.x) << static_cast<WORD>(p.y); }

CPoint ReadPoint(CArchive& ar)
{
    WORD x = 0, y = 0;
    ar >> x >> y;
    return CPoint(static_cast<int16_t>(x), static_cast<int16_t>(y));
}

} // namespace

void CMechTerm::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_dPosition << m_dVelocity << m_dForce;
        WritePoint(ar, m_ptA);
        WritePoint(ar, m_ptB);
        ar.WriteObjectRef(m_pLinked);
        ar << m_wShowForceMarks;
        WritePoint(ar, m_ptC);
        ar << m_wShowRotationMarks;
    } else {
        ar >> m_dPosition >> m_dVelocity >> m_dForce;
        m_ptA = ReadPoint(ar);
        m_ptB = ReadPoint(ar);
        SetLinkedObject(dynamic_cast<CMechTerm*>(ar.ReadObjectRef("CMechTerm")));
        ar >> m_wShowForceMarks;
        m_ptC = ReadPoint(ar);
        ar >> m_wShowRotationMarks;
        // The oldest files kept no motion worth resuming.
        if (ar.GetVersion() <= 3) m_dPosition = m_dVelocity = 0.0;
        // A value the solver cannot carry starts at rest.
        if (!std::isfinite(m_dPosition)) m_dPosition = 0.0;
        if (!std::isfinite(m_dVelocity)) m_dVelocity = 0.0;
        if (!std::isfinite(m_dForce)) m_dForce = 0.0;
    }
    CTerminal::Serialize(ar);
}

void CMechTerm::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pLinked)) SetLinkedObject(nullptr);
    CTerminal::DropDeadLinks(gone);
}

void CMechTerm::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CTerminal::AfterLoad(design, flags, version);
    if (!flags) return;
    UpdateCurrentDirection();
    if (auto* c = dynamic_cast<CCircuit*>(design))
        GetLevelCode(c->GetInputLowThreshold(), c->GetInputHighThreshold());
    GetMotion();
}

void CMechTerm::OnSimulationStopped()
{
    m_bStopped = true;
    m_dVelocity = 0.0;
    m_dForce = 0.0;
    m_dCurrent = 0.0;
    m_dPendingCurrent = 0.0;
    m_wMarkState = MARK_NONE;
}

void CMechTerm::OnSimulationReset()
{
    m_bStopped = false;
    // The ring of the idle terminal at the outer end goes.
    const CPoint end = GetOuterEnd();
    CDisplay::EraseRect(CRect(end.x - 1, end.y - 1, end.x + 2, end.y + 2));
    m_wMarkState = MARK_RESET;
}

int CMechTerm::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    // The pivot the stub turns about (CTerminal's).
    const CPoint a = anchor ? *anchor : m_rect.CenterPoint();
    m_ptA = TurnPoint(m_ptA, a, newCode, oldCode);
    m_ptB = TurnPoint(m_ptB, a, newCode, oldCode);
    m_ptC = TurnPoint(m_ptC, a, newCode, oldCode);
    return CTerminal::SetOrientation(newCode, oldCode, flag, anchor);
}

void CMechTerm::TraceConnectedValues(double* value, double* current, CWire*, CWire*, int)
{
    *value = m_dVelocity;
    *current = m_dPosition;
}

WORD CMechTerm::SetStyle(int fixed)
{
    const WORD style = CTerminal::SetStyle(fixed);
    m_wMarkState = fixed ? MARK_FIXED : MARK_NONE;
    return style;
}

int CMechTerm::ReadSolution(const double* nodeValues, int, double, double)
{
    CComponent* owner = GetOwnerComponent();
    const bool broken = owner && owner->IsBroken();
    CCircuit* design = owner ? owner->GetDesign() : nullptr;
    const double r = design ? design->GetUpdateRate() : kDefaultUpdateRate;
    return ReadMotion(nodeValues ? nodeValues[m_wNode] : 0.0, broken, r);
}

int CMechTerm::ReadMotion(double x, bool ownerBroken, double r)
{
    const double previous = m_dPosition;
    m_dVelocity = (x - previous) * r;
    m_dPosition = x;
    m_dForce = m_dPendingCurrent;
    m_dPendingCurrent = 0.0;
    // The electrical read-back fields carry the same values for the probes.
    m_dVoltage = m_dPosition;
    m_dCurrent = m_dForce;
    if (ownerBroken) {
        if (m_bMarksCleared) return 0;
        m_bMarksCleared = true;
        m_wMarkState = MARK_NONE;
        m_wMarkLevel = 0;
        return 0x03;
    }
    if (m_bMarksCleared) {
        m_bMarksCleared = false;
        return 0;
    }
    int what = GetMotion() ? 0x03 : 0;
    if (m_nKind == WIRE_LINEAR && MetresToPixels(x) != MetresToPixels(previous)) what = 0x03;
    return what;
}

int CMechTerm::GetMotion()
{
    if (m_wMarkState == MARK_FIXED || m_wMarkState == MARK_NONE) return 0;
    double b = m_dForce;
    if (m_nKind == WIRE_ROTATIONAL) {
        b = 10.0 * m_dForce;
        if (m_pLinked) b += 10.0 * m_pLinked->m_dForce;
    }
    const int d = b >= -0.495 ? 0 : 2;
    // |b| beyond any level (and NaN) saturates; the cast stays defined.
    const double magnitude = std::fabs(b) + 0.505;
    int level = magnitude < 100.0 ? static_cast<int>(magnitude) : 100;
    WORD state = static_cast<WORD>(d);
    if (level >= 10) {
        level = 9;
        state = d == 2 ? MARK_BACKWARD_FULL : MARK_FORWARD_FULL;
    }
    const int changed = (state != m_wMarkState || level != m_wMarkLevel) ? 1 : 0;
    m_wMarkState = state;
    m_wMarkLevel = static_cast<WORD>(level);
    return changed;
}
