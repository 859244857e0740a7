#include "model/components/wire.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/parts/part_records.h"

#include <cstdlib>

WB_IMPLEMENT_SERIAL(CWire, "CPart", 2)
WB_IMPLEMENT_SERIAL(CCrossOver, "CPart", 2)

namespace {
// A reference read from the archive, which must be an object of C++ class T
// (a record may claim a base by name that its C++ class does not have).
template <class T>
T* ReadRef(CArchive& ar, const char* name)
{
    CObject* o = ar.ReadObjectRef(name);
    if (!o) return nullptr;
    auto* t = dynamic_cast<T*>(o);
    if (!t) throw CArchiveException(CArchiveException::badClass);
    return t;
}

int KindFamily(int kind) { return (kind == WIRE_ELECTRIC || kind == WIRE_LONG_STUB || kind == WIRE_MID_STUB) ? 0 : kind; }
} // namespace

bool KindsJoin(int a, int b) { return KindFamily(a) == KindFamily(b); }

CWire::CWire(CPoint a, CPoint b, int kind) : m_nKind(kind) { SetEndPoints(a, b); }

CWire::~CWire() = default;

void CWire::SetEndPoints(CPoint a, CPoint b)
{
    if (b.x < a.x || (b.x == a.x && b.y < a.y)) {
        std::swap(a, b);
        std::swap(m_pLinkA, m_pLinkB);
    }
    m_rect.SetRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
    if (IsInert()) return;
    int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    if (dy < dx)
        m_nOrientation = WIRE_HORIZONTAL;
    else if (KindFamily(m_nKind) == 0 || m_nKind == WIRE_SHORT_STUB || dx == 0)
        m_nOrientation = WIRE_VERTICAL;
    else
        m_nOrientation = b.y < a.y ? WIRE_DIAGONAL_UP : WIRE_DIAGONAL_DOWN;
}

CPoint CWire::GetEndA() const
{
    if (m_nOrientation == WIRE_DIAGONAL_UP) return CPoint(m_rect.left, m_rect.bottom - 1);
    return CPoint(m_rect.left, m_rect.top);
}

CPoint CWire::GetEndB() const
{
    if (m_nOrientation == WIRE_DIAGONAL_UP) return CPoint(m_rect.right - 1, m_rect.top);
    return CPoint(m_rect.right - 1, m_rect.bottom - 1);
}

int CWire::EndAt(CPoint p) const
{
    if (p == GetEndA()) return 0;
    if (p == GetEndB()) return 1;
    return -1;
}

void CWire::UnlinkFrom(const CWire* w)
{
    if (m_pLinkA == w) m_pLinkA = nullptr;
    if (m_pLinkB == w) m_pLinkB = nullptr;
}

void CWire::Join(CWire* a, int ea, CWire* b, int eb)
{
    if (!a || !b || a == b) return;
    a->SetLink(ea, b);
    b->SetLink(eb, a);
}

int CWire::LiesWithin(const CRect& rect)
{
    CPoint a = GetEndA(), b = GetEndB();
    return rect.PtInRect(a) && rect.PtInRect(b) ? 1 : 0;
}

void CWire::RenumberNet(int oldNet, int newNet)
{
    if (m_wNode == oldNet) m_wNode = static_cast<uint16_t>(newNet);
}

void CWire::NumberNets(int limit, int& counter)
{
    if (m_wNode > limit && m_wNode <= counter) return;
    ++counter;
    // Spread along the joined wires (an explicit stack: nets can be long).
    std::vector<CWire*> stack{this};
    m_wNode = static_cast<uint16_t>(counter);
    while (!stack.empty()) {
        CWire* w = stack.back();
        stack.pop_back();
        for (CWire* n : {w->m_pLinkA, w->m_pLinkB}) {
            if (!n || n->m_wNode == counter) continue;
            n->m_wNode = static_cast<uint16_t>(counter);
            stack.push_back(n);
        }
    }
}

void CWire::ClearNets() { m_wNode = 0; }

DWORD CWire::GetProbeQuantities(int, int)
{
    switch (m_nKind) {
    case WIRE_ELECTRIC:
    case WIRE_LONG_STUB:
    case WIRE_MID_STUB:
        return 3;
    case WIRE_ROTATIONAL:
        return 64;
    case WIRE_LINEAR:
        return 8;
    default:
        return 0;
    }
}

double CWire::GetQuantity(int, int, int code)
{
    double v = 0.0, i = 0.0;
    TraceConnectedValues(&v, &i, nullptr, nullptr);
    if (KindFamily(m_nKind) == 0) return code == 1 ? v : code == 2 ? i : 0.0;
    if (m_nKind == WIRE_ROTATIONAL || m_nKind == WIRE_LINEAR) return v;
    return 0.0;
}

void CWire::TraceConnectedValues(double* value, double* current, CWire* from, CWire* before, int depth)
{
    // The walk follows a chain of wires; a terminal ends it.  The depth guard
    // stops a ring of wires that links back on itself.
    if (depth > 4096) return;
    for (CWire* n : {m_pLinkB, m_pLinkA}) {
        if (!n || n == from || n == this) continue;
        n->TraceConnectedValues(value, current, this, from, depth + 1);
        if (KindFamily(m_nKind) != 0 && *value != 0.0) return;
    }
}

void CWire::Drop(CPartTree* design)
{
    m_bChanged = 0;
    auto* c = dynamic_cast<CCircuit*>(design);
    if (!c) return;
    c->AddChild(this);
    c->LayWire(this);
    FinishDrop(design);
}

int CWire::CanDrop(CPartTree* design)
{
    if (!design) return 0;
    CRect page = design->GetPageRect();
    return page.PtInRect(GetEndA()) && page.PtInRect(GetEndB()) ? 1 : 0;
}

void CWire::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(m_nKind) << m_wNode << static_cast<WORD>(0);
        return;
    }
    WORD version = ar.GetVersion();
    WORD w = 0;
    if (version < 3) {
        m_nKind = WIRE_ELECTRIC;
        if (!IsInert()) SetEndPoints(GetEndA(), GetEndB());
    } else {
        ar >> w;
        m_nKind = w;
        if (version == 3) {
            ar >> w;
            m_nOrientation = w;
        }
    }
    ar >> m_wNode;
    if (HasFamily(version)) ar >> w;
}

void CWire::SerializeLinks(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteObjectRef(m_pLinkA);
        ar.WriteObjectRef(m_pLinkB);
    } else {
        m_pLinkA = ReadRef<CWire>(ar, "CWire");
        m_pLinkB = ReadRef<CWire>(ar, "CWire");
    }
    CPart::SerializeLinks(ar);
}

void CWire::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pLinkA)) m_pLinkA = nullptr;
    if (gone.count(m_pLinkB)) m_pLinkB = nullptr;
    CPart::DropDeadLinks(gone);
}

// ---- CCrossOver ----

CCrossOver::CCrossOver(CWire* wire, CPoint at) : m_pWire(wire)
{
    m_rect.SetRect(at.x - 2, at.y - 4, at.x + 2, at.y + 4);
}

// A half touches nothing when it is deleted: its wire may be going too (a
// design deletes its wires in any order), and a damaged file may pair halves
// crosswise.  Removing a wire from the design takes the partners along
// (CWire::JoinConnections).
CCrossOver::~CCrossOver() = default;

void CCrossOver::DeletePartnersOf(CWire* wire)
{
    for (CPart* c = wire->GetFirstChild(); c; c = c->GetNextSibling()) {
        auto* half = dynamic_cast<CCrossOver*>(c);
        CCrossOver* partner = half ? half->m_pPartner : nullptr;
        if (!partner) continue;
        half->m_pPartner = nullptr;
        CWire* other = partner->m_pWire;
        if (partner->m_pPartner == half) partner->m_pPartner = nullptr;
        // Only a half that its own wire really holds (and not one of this
        // wire's own halves) is taken out and deleted.
        if (other && other != wire && other->CPart::RemoveChild(partner)) delete partner;
    }
}

int CCrossOver::BridgeStyle(const CWire* a, const CWire* b)
{
    if (a->m_nKind == WIRE_ELECTRIC && b->m_nKind == WIRE_ELECTRIC) return 0;
    bool diagonal = a->m_nOrientation == WIRE_DIAGONAL_UP || b->m_nOrientation == WIRE_DIAGONAL_UP;
    if (!diagonal) return 0;
    bool vertical = a->m_nOrientation == WIRE_VERTICAL || b->m_nOrientation == WIRE_VERTICAL;
    return vertical ? 2 : 1;
}

void CCrossOver::MakePair(CWire* a, CWire* b, CPoint at)
{
    auto* ha = new CCrossOver(a, at);
    auto* hb = new CCrossOver(b, at);
    ha->m_pPartner = hb;
    hb->m_pPartner = ha;
    ha->m_nStyle = hb->m_nStyle = static_cast<int16_t>(BridgeStyle(a, b));
    a->AppendChild(ha);
    b->AppendChild(hb);
}

void CCrossOver::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(m_nStyle);
    } else if (ar.GetVersion() < 3) {
        m_rect.left -= 2;
    } else {
        WORD w = 0;
        ar >> w;
        m_nStyle = static_cast<int16_t>(w);
    }
}

void CCrossOver::SerializeLinks(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteObjectRef(m_pWire);
        ar.WriteObjectRef(m_pPartner);
    } else {
        m_pWire = ReadRef<CWire>(ar, "CWire");
        m_pPartner = ReadRef<CCrossOver>(ar, "CCrossOver");
    }
}

void CCrossOver::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pWire)) m_pWire = nullptr;
    if (gone.count(m_pPartner)) m_pPartner = nullptr;
}

void CCrossOver::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CPart::AfterLoad(design, flags, version);
    if (m_pWire && m_pPartner && m_pPartner->m_pWire) m_nStyle = static_cast<int16_t>(BridgeStyle(m_pWire, m_pPartner->m_pWire));
}
