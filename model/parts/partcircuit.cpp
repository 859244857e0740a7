#include "model/parts/partcircuit.h"

#include "model/parts/info_design.h"

#include "model/parts/part_records.h"
#include "model/parts/parttree.h"

WB_IMPLEMENT_SERIAL(CPartCircuit, "CPart", 1)
WB_IMPLEMENT_SERIAL(CDummyPart, "CPart", 2)
WB_IMPLEMENT_SERIAL(COptoContainer, "CPart", 1)
WB_IMPLEMENT_SERIAL(COptoContainerList, "CPart", 1)
WB_IMPLEMENT_SERIAL(CSerializeHack, "CPart", 3)

namespace {
CPartTree* g_activeDesign = nullptr;
// The design of the information request being built (CInfoDesign).
CPartTree* g_infoDesign = nullptr;

CPartTree* ReadDesignRef(CArchive& ar)
{
    CObject* o = ar.ReadObjectRef("CCircuit");
    if (!o) return nullptr;
    auto* design = dynamic_cast<CPartTree*>(o);
    if (!design) throw CArchiveException(CArchiveException::badClass);
    return design;
}
} // namespace

// ---- CPartCircuit ----

void CPartCircuit::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    // Files before 400 carry the owner only for components.
    if (ar.GetVersion() < 400 && !IsKindOf("CComponent")) return;
    if (ar.IsStoring())
        ar.WriteObjectRef(m_pCircuit);
    else
        m_pCircuit = ReadDesignRef(ar);
}

void CPartCircuit::AttachToCircuit(CPartTree* design)
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->AttachToCircuit(design);
    m_pCircuit = design;
}

void CPartCircuit::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    if (!m_pCircuit) AttachToCircuit(design);
    CPart::AfterLoad(design, flags, version);
}

void CPartCircuit::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pCircuit)) m_pCircuit = nullptr;
    CPart::DropDeadLinks(gone);
}

// ---- CDummyPart ----

CPartTree*& CDummyPart::ActiveDesign() { return g_activeDesign; }

CInfoDesign::CInfoDesign(CPartTree* design) : m_previous(g_infoDesign) { g_infoDesign = design; }

CInfoDesign::~CInfoDesign() { g_infoDesign = m_previous; }

CPartTree* CInfoDesign::Current() { return g_infoDesign; }

CDummyPart::CDummyPart(const CRect& rect, CPart* target) : CPart(rect), m_pTarget(target) { m_bInfo = 1; }

int CDummyPart::OnPress(CPartTree* design, int x, int y)
{
    if (m_pTarget) return m_pTarget->OnPress(design, x, y);
    if (design) {
        design->OnDragEnded();
        design->DrawTree(design->GetRedrawFlags());
    }
    return 0;
}

int CDummyPart::OnRelease(CPartTree* design, int x, int y)
{
    return m_pTarget ? m_pTarget->OnRelease(design, x, y) : 7;
}

int CDummyPart::HasInfo(int, int)
{
    if (!m_bInfo) return 0;
    CPartTree* design = g_activeDesign;
    CPart* parent = design ? CPart::FindParentOf(design->GetFirstChild(), this) : nullptr;
    return parent ? parent->HasInfo(0, 0) : 0;
}

int CDummyPart::BuildInfo(CString& text, UINT messageId, CPoint)
{
    CPartTree* design = g_infoDesign ? g_infoDesign : g_activeDesign;
    CPart* parent = design ? CPart::FindParentOf(design->GetFirstChild(), this) : nullptr;
    return parent ? parent->BuildInfo(text, messageId, CPoint(0, 0)) : 0;
}

void CDummyPart::PlaceLabel(int, CPart* part, const CPoint* offset)
{
    if (!part) {
        if (offset) Offset(offset->x, offset->y);
        return;
    }
    CPoint tl = part->GetRect().TopLeft();
    CRect r;
    switch (part->GetOrientation()) {
    case 0: r = CRect(CPoint(tl.x - 8, tl.y + 9), CSize(12, 9)); break;
    case 2: r = CRect(CPoint(tl.x - 8, tl.y + 2), CSize(12, 9)); break;
    default: r = CRect(CPoint(tl.x + 4, tl.y - 8), CSize(12, 17)); break;
    }
    if (offset) r.OffsetRect(*offset);
    SetRect(r);
}

void CDummyPart::SerializeLinks(CArchive& ar)
{
    CPart::SerializeLinks(ar);
    if (ar.IsStoring())
        ar.WriteObjectRef(m_pTarget);
    else
        m_pTarget = static_cast<CPart*>(ar.ReadObjectRef(RUNTIME_CLASS(CPart)));
}

void CDummyPart::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(m_pTarget)) m_pTarget = nullptr;
    CPart::DropDeadLinks(gone);
}

// ---- COptoContainer ----

void COptoContainer::Serialize(CArchive& ar)
{
    if (ar.GetVersion() < 402)
        CPart::Serialize(ar);
    else
        CPartCircuit::Serialize(ar);
}

// ---- CSerializeHack ----

void CSerializeHack::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    if (ar.IsStoring())
        ar << m_wVersion;
    else
        ar >> m_wVersion;
}
