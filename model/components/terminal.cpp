#include "model/components/terminal.h"

#include "model/circuit/circuit.h"
#include "model/parts/part_records.h"
#include "model/parts/partcircuit.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CTerminal, "CWire", 2)

int GetStubLength(int kind)
{
    switch (kind) {
    case WIRE_SHORT_STUB:
        return 12;
    case WIRE_LONG_STUB:
        return 56;
    case WIRE_MID_STUB:
        return 48;
    default:
        return 20;
    }
}

namespace {
// Offset of the pin marker from the stub, by kind and side.
CPoint MarkerOffset(int kind, int side)
{
    if (kind == WIRE_SHORT_STUB) {
        static const CPoint kShort[4] = {{1, -5}, {-8, 0}, {1, -3}, {0, 1}};
        return kShort[side & 3];
    }
    if ((kind == WIRE_LONG_STUB || kind == WIRE_MID_STUB) && side == 1) return CPoint(36, 0);
    return CPoint(0, 0);
}
} // namespace

CTerminal::CTerminal(int side, CPoint pin, uint16_t node, int kind, DWORD extra)
{
    m_nKind = kind;
    m_wNode = node;
    m_dwExtra = extra;
    LayOut(side, pin);
    m_nDirection = 3;
    m_nLevelCode = 4;
    m_wLevelStyle = LEVEL_NONE;
    CreatePinMarker();
}

void CTerminal::LayOut(int side, CPoint pin)
{
    int len = GetStubLength(m_nKind);
    m_nOrientation = side & 3;
    switch (m_nOrientation) {
    case 0:
        m_rect.SetRect(pin.x, pin.y - len, pin.x + 1, pin.y + 1);
        break;
    case 1:
        m_rect.SetRect(pin.x, pin.y, pin.x + len + 1, pin.y + 1);
        break;
    case 2:
        m_rect.SetRect(pin.x, pin.y, pin.x + 1, pin.y + len + 1);
        break;
    default:
        m_rect.SetRect(pin.x - len, pin.y, pin.x + 1, pin.y + 1);
        break;
    }
    if (CPart* marker = m_bHasPinMarker ? GetFirstChild() : nullptr) {
        CRect r = m_rect;
        CPoint off = MarkerOffset(m_nKind, m_nOrientation);
        r.OffsetRect(off.x, off.y);
        marker->m_rect = r;
    }
}

void CTerminal::CreatePinMarker()
{
    if (m_bHasPinMarker) return;
    CRect r = m_rect;
    CPoint off = MarkerOffset(m_nKind, m_nOrientation);
    r.OffsetRect(off.x, off.y);
    // The marker is the first child, whatever the record held before it:
    // storing leaves the first child out as the marker, and the layout and
    // drawing take it from there.
    CPart::AddChild(new CDummyPart(r, this));
    m_bHasPinMarker = true;
}

int CTerminal::SideFromOwner(const CRect& owner) const
{
    const CPoint c = m_rect.CenterPoint(), o = owner.CenterPoint();
    if (m_rect.Width() < m_rect.Height()) return 2 * c.y < owner.top + owner.bottom ? 0 : 2;
    if (m_rect.Width() > m_rect.Height()) return 2 * c.x < owner.left + owner.right ? 3 : 1;
    // A stub of no length: by the larger distance from the owner's middle.
    if (std::abs(c.x - o.x) * owner.Height() >= std::abs(c.y - o.y) * owner.Width()) return c.x < o.x ? 3 : 1;
    return c.y < o.y ? 0 : 2;
}

void CTerminal::TakeSideFromOwner(const CRect& owner)
{
    m_nOrientation = SideFromOwner(owner);
    if (CPart* marker = m_bHasPinMarker ? GetFirstChild() : nullptr) {
        CRect r = m_rect;
        const CPoint off = MarkerOffset(m_nKind, m_nOrientation);
        r.OffsetRect(off.x, off.y);
        marker->m_rect = r;
    }
}

CPoint CTerminal::GetPinPoint() const { return GetOuterEndIndex() ? GetEndA() : GetEndB(); }
CPoint CTerminal::GetOuterEnd() const { return GetOuterEndIndex() ? GetEndB() : GetEndA(); }

bool CTerminal::IsJoined() const
{
    if (m_wLevelStyle == LEVEL_FIXED_MARKER) return false;
    return m_pLinkA || m_pLinkB;
}

CWire* CTerminal::GetJoinedWire() const
{
    CWire* found = nullptr;
    for (CWire* w : {m_pLinkA, m_pLinkB}) {
        if (!w || !w->IsLinkedTo(this)) continue;
        if (!found || w->m_nOrientation != m_nOrientation) found = w;
    }
    if (auto* t = dynamic_cast<CTerminal*>(found); t && t->m_wLevelStyle == LEVEL_FIXED_MARKER) return nullptr;
    return found;
}

WORD CTerminal::SetStyle(int fixed)
{
    m_wLevelStyle = fixed ? LEVEL_FIXED_MARKER : LEVEL_NONE;
    return m_wLevelStyle;
}

int CTerminal::UpdateCurrentDirection()
{
    int s = (m_nOrientation == 0 || m_nOrientation == 3) ? 1 : 0;
    int d = 0;
    if (m_dCurrent > 5e-9)
        d = s ? 1 : 2;
    else if (m_dCurrent < -5e-9)
        d = s ? 2 : 1;
    if (d == m_nDirection) return 0;
    m_nDirection = d;
    return 1;
}

int CTerminal::GetLevelCode(double low, double high)
{
    if (m_wLevelStyle == LEVEL_FIXED_MARKER || m_wLevelStyle == LEVEL_NONE) return 0;
    int code = m_dVoltage < low ? 4 : m_dVoltage > high ? 6 : 5;
    WORD style = m_dVoltage < -0.495 ? 2 : 0;
    double magnitude = std::fabs(m_dVoltage);
    if (magnitude > 1000.0 || std::isnan(magnitude)) magnitude = std::isnan(magnitude) ? 0.0 : 1000.0;
    WORD number = static_cast<WORD>(static_cast<short>(magnitude + 0.505));
    if (number >= 9) {
        number = 8;
        style = style == 2 ? 3 : 1;
    }
    int changed = (style != m_wLevelStyle || code != m_nLevelCode || number != m_wLevelNumber) ? 1 : 0;
    m_wLevelStyle = style;
    m_nLevelCode = code;
    m_wLevelNumber = number;
    return changed;
}

int CTerminal::ReadSolution(const double* nodeValues, int disconnected, double low, double high)
{
    m_dVoltage = nodeValues ? nodeValues[m_wNode] : 0.0;
    m_dCurrent = m_dPendingCurrent;
    m_dPendingCurrent = 0.0;
    if (disconnected) {
        if (m_bBroken) return 3;
        auto* joined = dynamic_cast<CTerminal*>(GetJoinedWire());
        m_bBroken = 1;
        m_nDirection = 0;
        m_nLevelCode = 4;
        m_wLevelStyle = LEVEL_NONE;
        m_wLevelNumber = 0;
        if (joined && joined->m_wLevelStyle == LEVEL_NONE) joined->m_wLevelStyle = LEVEL_DEFAULT;
        return 3;
    }
    int result = 0;
    if (m_bBroken) {
        m_bBroken = 0;
        if (auto* joined = dynamic_cast<CTerminal*>(GetJoinedWire())) joined->m_wLevelStyle = LEVEL_DEFAULT;
        result = 0x31;
    }
    if (UpdateCurrentDirection()) result |= 8;
    m_wPrevLevelNumber = m_wLevelNumber;
    m_wPrevLevelStyle = m_wLevelStyle;
    if (GetLevelCode(low, high)) result |= 4;
    return result;
}

void CTerminal::OnSimulationStopped()
{
    m_nDirection = 3;
    if (m_wLevelStyle != LEVEL_FIXED_MARKER) m_wLevelStyle = LEVEL_NONE;
}

void CTerminal::OnSimulationReset()
{
    m_nDirection = 0;
    m_nLevelCode = 4;
    if (GetJoinedWire() == this) m_wLevelStyle = LEVEL_DEFAULT;
}

void CTerminal::JoinConnections(CPartTree* design)
{
    auto* c = dynamic_cast<CCircuit*>(design);
    if (c) c->UnlinkEverywhere(this);
    m_pLinkA = m_pLinkB = nullptr;
    if (c) m_wNode = c->NewNode();
}

void CTerminal::Drop(CPartTree* design)
{
    if (auto* c = dynamic_cast<CCircuit*>(design)) c->JoinAt(this, GetOuterEndIndex());
}

int CTerminal::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    // The stub turns with its owner: the pin is carried about the anchor and
    // the outward direction of the stub is turned the same way.
    CPoint a = anchor ? *anchor : m_rect.CenterPoint();
    static const CPoint kOut[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    CPoint pin = TurnPoint(GetPinPoint(), a, newCode, oldCode);
    CPoint dir = TurnPoint(kOut[m_nOrientation & 3], CPoint(0, 0), newCode, oldCode);
    int side = 0;
    for (int s = 0; s < 4; ++s)
        if (kOut[s] == dir) side = s;
    LayOut(side, pin);
    return flag;
}

void CTerminal::TraceConnectedValues(double* value, double* current, CWire* from, CWire* before, int depth)
{
    double i = (m_nOrientation == 2 || m_nOrientation == 1) ? -m_dCurrent : m_dCurrent;
    if (!from) {
        *value = m_dVoltage;
        *current = i;
        return;
    }
    *value = m_dVoltage;
    *current += i;
}

void CTerminal::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        // The pin marker is made again on loading: it is not stored.
        CPart* marker = m_bHasPinMarker ? GetFirstChild() : nullptr;
        if (marker) SetFirstChild(marker->GetNextSibling());
        CWire::Serialize(ar);
        if (marker) SetFirstChild(marker);
        // The fields of the archive's version, as reading takes them: a
        // field written where the reader expects none would be read as the
        // start of the next record.
        const WORD version = ar.GetVersion();
        if (version <= 2) ar << static_cast<WORD>(m_nOrientation & 3);
        ar << static_cast<WORD>(m_wLevelStyle + (m_bHasPinMarker ? 0 : 100));
        ar << m_dVoltage << m_dCurrent;
        if (version >= 4) ar << m_wFlagsWord;
        if (HasFamily(version)) ar << static_cast<WORD>(0);
        if (IsVersionAtLeast(version, 4275, 8369)) ar << m_dwExtra;
        return;
    }
    CWire::Serialize(ar);
    const WORD version = ar.GetVersion();
    WORD w = 0;
    if (version <= 2) {
        // The old side code; the owner puts the side right from the stub's
        // place once its rectangle is known (CComponent::Serialize).
        ar >> w;
        m_nOrientation = w & 3;
    }
    ar >> w;
    if (w < 100) {
        m_wLevelStyle = w;
        CreatePinMarker();
    } else {
        m_wLevelStyle = static_cast<WORD>(w - 100);
    }
    ar >> m_dVoltage >> m_dCurrent;
    if (version >= 4) ar >> m_wFlagsWord;
    if (HasFamily(version)) ar >> w;
    if (IsVersionAtLeast(version, 4275, 8369)) ar >> m_dwExtra;
}
