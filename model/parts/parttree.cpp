#include "model/parts/parttree.h"

#include "model/parts/part_records.h"

#include <cmath>
#include <vector>

const char* GroupName(int code)
{
    switch (code) {
    case GROUP_COMPONENTS: return "COMPONENTS";
    case GROUP_OTHERS: return "OTHERS";
    case GROUP_PROBES: return "PROBES";
    case GROUP_WIRES: return "WIRES";
    case GROUP_FLOWOBJECTS: return "FLOWOBJECTS";
    default: return nullptr;
    }
}

namespace {
const int kAllGroups[] = {GROUP_COMPONENTS, GROUP_OTHERS, GROUP_PROBES, GROUP_WIRES, GROUP_FLOWOBJECTS};

int CodeOfName(const CString& name)
{
    for (int code : kAllGroups)
        if (name == GroupName(code)) return code;
    return -1;
}
} // namespace

CPartTree::CPartTree() = default;

CPartTree::~CPartTree() = default;

CPoint CPartTree::SnapToGrid(CPoint p) const
{
    const int g = GetGridStep();
    if (g <= 0) return p;
    auto snap = [g](int v) { return static_cast<int>(std::floor((v + g / 2.0) / g)) * g; };
    return CPoint(snap(p.x), snap(p.y));
}

bool CPartTree::Overlaps(CPart* part)
{
    if (!part) return false;
    CPartIterator it(this, 1);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (p != part && p->IntersectsPart(part)) return true;
    return false;
}

// ---- groups ----

int CPartTree::FileByClass(const CPart* part)
{
    if (part->IsKindOf("CComponent")) return GROUP_COMPONENTS;
    if (part->IsKindOf("CWire")) return GROUP_WIRES;
    if (part->IsKindOf("CProbe")) return GROUP_PROBES;
    if (part->IsKindOf("CFlowObject")) return GROUP_FLOWOBJECTS;
    return GROUP_OTHERS;
}

CPart** CPartTree::GroupSlot(int code)
{
    switch (code) {
    case GROUP_COMPONENTS: return &m_pComponents;
    case GROUP_OTHERS: return &m_pOthers;
    case GROUP_PROBES: return &m_pProbes;
    case GROUP_WIRES: return &m_pWires;
    case GROUP_FLOWOBJECTS: return &m_pFlowObjects;
    default: return nullptr;
    }
}

CPart* CPartTree::GetGroup(int code, CPart* list) const
{
    switch (code) {
    case GROUP_COMPONENTS: return m_pComponents;
    case GROUP_OTHERS: return m_pOthers;
    case GROUP_PROBES: return m_pProbes;
    case GROUP_WIRES: return m_pWires;
    case GROUP_FLOWOBJECTS: return m_pFlowObjects;
    case GROUP_PARTLIST: return list;
    default: return nullptr;
    }
}

void CPartTree::CreateMissingGroups()
{
    // Pushed at the front in this order, so a new design lists OTHERS,
    // COMPONENTS, WIRES, PROBES, FLOWOBJECTS.
    for (int code : {GROUP_FLOWOBJECTS, GROUP_PROBES, GROUP_WIRES, GROUP_COMPONENTS, GROUP_OTHERS}) {
        CPart** slot = GroupSlot(code);
        if (*slot) continue;
        *slot = new CPart;
        CPart::AddChild(*slot);
        m_mapGroups[GroupName(code)] = *slot;
    }
}

void CPartTree::PushFrontByClass(CPart* part)
{
    if (!part) return;
    CPart* g = GetGroup(FileByClass(part));
    if (!g) {
        CreateMissingGroups();
        g = GetGroup(FileByClass(part));
    }
    g->CPart::AddChild(part);
}

void CPartTree::AppendByClass(CPart* part)
{
    if (!part) return;
    CPart* g = GetGroup(FileByClass(part));
    if (!g) {
        CreateMissingGroups();
        g = GetGroup(FileByClass(part));
    }
    g->AppendChild(part);
}

CPart* CPartTree::InsertByClass(CPart* part, CPart* listPart)
{
    if (!part) return nullptr;
    if (!listPart) {
        AppendByClass(part);
        return part;
    }
    for (CPart* p = listPart; p; p = p->GetNextSibling()) {
        if (p->QueryDefault47(part)) {
            p->AddChild(part);
            return part;
        }
    }
    return nullptr;
}

CPart* CPartTree::AddChild(CPart* part) { return InsertByClass(part); }

CPart* CPartTree::PopFront(int code)
{
    CPart* g = GetGroup(code);
    CPart* first = g ? g->GetFirstChild() : nullptr;
    if (!first) return nullptr;
    g->SetFirstChild(first->GetNextSibling());
    first->SetNextSibling(nullptr);
    return first;
}

CPart* CPartTree::PopBack(int code)
{
    CPart* g = GetGroup(code);
    CPart* p = g ? g->GetFirstChild() : nullptr;
    if (!p) return nullptr;
    CPart* prev = nullptr;
    while (p->GetNextSibling()) {
        prev = p;
        p = p->GetNextSibling();
    }
    if (prev)
        prev->SetNextSibling(nullptr);
    else
        g->SetFirstChild(nullptr);
    return p;
}

CPart* CPartTree::GetBeforeLast(int code) const
{
    CPart* g = GetGroup(code);
    CPart* p = g ? g->GetFirstChild() : nullptr;
    if (!p || !p->GetNextSibling()) return p;
    while (p->GetNextSibling()->GetNextSibling()) p = p->GetNextSibling();
    return p;
}

int CPartTree::RemoveFromGroup(int code, CPart* listPart, CPart* part)
{
    if (code == GROUP_PARTLIST || code == GROUP_PARTLIST2) {
        for (CPart* p = listPart; p; p = p->GetNextSibling())
            if (p->RemoveChild(part)) return 1;
        return 0;
    }
    CPart* g = GetGroup(code);
    if (g && part && part == m_pHeldPart && g->GetFirstChild() == part) {
        g->SetFirstChild(nullptr);
        m_pHeldPart = nullptr;
        return 1;
    }
    return g ? g->RemoveChild(part) : 0;
}

int CPartTree::RemovePart(CPart* part)
{
    if (!part) return 0;
    for (int code : kAllGroups)
        if (RemoveFromGroup(code, nullptr, part)) return 1;
    return 0;
}

bool CPartTree::IsEmpty() const
{
    for (int code : kAllGroups) {
        CPart* g = GetGroup(code);
        if (g && g->GetFirstChild()) return false;
    }
    return true;
}

void CPartTree::DetachAll(bool deleteFlag)
{
    if (deleteFlag) {
        m_pComponents = m_pOthers = m_pProbes = m_pWires = m_pFlowObjects = nullptr;
        return;
    }
    m_pHeldPart = nullptr;
    for (int code : kAllGroups)
        if (CPart* g = GetGroup(code)) g->SetFirstChild(nullptr);
}

void CPartTree::DeleteGroups()
{
    if (m_pHeldPart) {
        for (int code : kAllGroups)
            if (CPart* g = GetGroup(code); g && g->GetFirstChild() == m_pHeldPart) g->SetFirstChild(nullptr);
        m_pHeldPart = nullptr;
    }
    DeleteChildren();
    m_pComponents = m_pOthers = m_pProbes = m_pWires = m_pFlowObjects = nullptr;
    m_mapGroups.clear();
}

void CPartTree::RebuildNameMap()
{
    m_mapGroups.clear();
    for (int code : {GROUP_PROBES, GROUP_WIRES, GROUP_COMPONENTS, GROUP_OTHERS})
        if (CPart* g = GetGroup(code)) m_mapGroups[GroupName(code)] = g;
}

void CPartTree::AdoptNamedGroups(CArchive* ar)
{
    std::vector<CPart*> dropped;
    for (auto it = m_mapGroups.begin(); it != m_mapGroups.end();) {
        CPart* g = it->second;
        int code = CodeOfName(it->first);
        if (code >= 0) {
            *GroupSlot(code) = g;
            ++it;
            continue;
        }
        // A group under a name this program does not know: its parts are told
        // to let go of their connections and are deleted with it.
        if (!CPart::RemoveChild(g)) {
            ++it;
            continue;
        }
        for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling()) {
            p->RefreshState();
            p->JoinConnections(this);
        }
        dropped.push_back(g);
        it = m_mapGroups.erase(it);
    }
    DeleteDetached(dropped, ar);
}

void CPartTree::DeleteDetached(const std::vector<CPart*>& parts, CArchive* ar)
{
    if (parts.empty()) return;
    std::unordered_set<const CObject*> gone;
    for (CPart* p : parts) CollectTree(p, gone);
    if (ar) ar->ForgetObjects(gone);
    DropDeadLinks(gone);
    for (CPart* p : parts) delete p;
}

CString CPartTree::NameOfGroup(const CPart* part) const
{
    for (const auto& [name, g] : m_mapGroups)
        if (g == part) return name;
    return CString();
}

void CPartTree::ConvertOldChain(WORD storedVersion, CArchive* ar)
{
    std::vector<CPart*> chain;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) chain.push_back(c);
    size_t i = 0;
    CPart* others = nullptr;
    CPart* components = nullptr;
    if (storedVersion < 3) {
        // Before OTHERS existed the chain begins with COMPONENTS.
        others = new CPart;
        CPart::AddChild(others);
        components = chain.empty() ? nullptr : chain[0];
        i = 1;
    } else {
        others = chain.size() > 0 ? chain[0] : nullptr;
        components = chain.size() > 1 ? chain[1] : nullptr;
        i = 2;
    }
    if (chain.size() < i + 2) throw CArchiveException(CArchiveException::badClass);
    CPart* wires = chain[i];
    CPart* probes = chain[i + 1];
    // Whatever follows PROBES is dropped, however many parts that is.
    std::vector<CPart*> extras;
    while (CPart* extra = probes->GetNextSibling()) {
        probes->SetNextSibling(extra->GetNextSibling());
        extra->SetNextSibling(nullptr);
        extras.push_back(extra);
    }
    DeleteDetached(extras, ar);
    m_pOthers = others;
    m_pComponents = components;
    m_pWires = wires;
    m_pProbes = probes;
}

void CPartTree::DeletePlaceholders(CArchive* ar)
{
    std::vector<CPart*> placeholders;
    for (int code : kAllGroups) {
        CPart* g = GetGroup(code);
        if (!g) continue;
        CPart* p = g->GetFirstChild();
        while (p) {
            CPart* next = p->GetNextSibling();
            if (p->HasFlag(PF_PLACEHOLDER)) {
                g->RemoveChild(p);
                placeholders.push_back(p);
            }
            p = next;
        }
    }
    DeleteDetached(placeholders, ar);
}

// ---- the part tree in the archive ----

void CPartTree::WriteGroups(CArchive& ar)
{
    for (CPart* g = GetFirstChild(); g; g = g->GetNextSibling()) {
        ar << NameOfGroup(g);
        ar.SetTreeFlag();
        ar.WriteObject(g);
        ar.TakeTreeFlag();
        ar.Write(kSepTree, 8);
    }
    ar << CString(kNullTree);
    ar.WriteObject(nullptr);
}

void CPartTree::ReadGroups(CArchive& ar)
{
    m_mapGroups.clear();
    bool first = true;
    for (;;) {
        try {
            CString name;
            ar.SetTreeFlag();
            ar >> name;
            CPart* g = ReadPart(ar);
            ar.TakeTreeFlag();
            if (!g) break;
            // A second group of one name replaces the first.
            auto old = m_mapGroups.find(name);
            if (old != m_mapGroups.end()) {
                CPart::RemoveChild(old->second);
                DeleteDetached({old->second}, &ar);
            }
            AppendChild(g);
            m_mapGroups[name] = g;
            char sep[8];
            ar.ReadExact(sep, 8);
        } catch (const CException&) {
            ar.TakeTreeFlag();
            // A group that cannot be read is dropped when its separator is
            // found; the first group is not guarded.
            if (first || !ResyncArchive(ar, kSepTree, 8)) throw;
        }
        first = false;
    }
}

void CPartTree::WriteOldChain(CArchive& ar)
{
    if (ar.GetVersion() >= 3) ar.WriteObject(m_pOthers);
    ar.WriteObject(m_pComponents);
    ar.WriteObject(m_pWires);
    ar.WriteObject(m_pProbes);
    ar.WriteObject(nullptr);
}

void CPartTree::ReadOldChain(CArchive& ar)
{
    const WORD v = ar.GetVersion();
    for (;;) {
        size_t before = ar.GetPosition();
        try {
            CPart* p = ReadPart(ar);
            if (!p) break;
            AppendChild(p);
        } catch (const CArchiveException& e) {
            // Files of versions 400 and 401 may hold parts that cannot be read;
            // they are skipped.  The end of the data is never skipped.
            if ((v != 400 && v != 401) || e.m_cause == CArchiveException::endOfFile ||
                ar.GetPosition() == before)
                throw;
        }
    }
    ConvertOldChain(v, &ar);
}

void CPartTree::SerializeTree(CArchive& ar)
{
    const bool family = HasFamily(ar.GetVersion());
    if (ar.IsStoring()) {
        if (family)
            WriteGroups(ar);
        else
            WriteOldChain(ar);
        SerializeBase(ar);
        SerializeLinks(ar);
        return;
    }
    DeleteGroups();
    if (family)
        ReadGroups(ar);
    else
        ReadOldChain(ar);
    SerializeBase(ar);
    SerializeLinks(ar);
    // The design's settings follow and may refer to parts: the indices of
    // parts deleted here die with them.
    if (family)
        AdoptNamedGroups(&ar);
    else
        RebuildNameMap();
    CreateMissingGroups();
    DeletePlaceholders(&ar);
}

// ---- hit search ----

CPart* CPartTree::SearchAt(CPoint p)
{
    CHitSearch& s = SharedHitSearch();
    if (CPart* r = s.TakeResult(HitTest(p))) return r;
    const CPoint snapped = SnapToGrid(p);
    CPoint near = std::abs(p.x - snapped.x) < std::abs(p.y - snapped.y) ? CPoint(snapped.x, p.y)
                                                                          : CPoint(p.x, snapped.y);
    if (CPart* r = s.TakeResult(HitTest(near))) return r;
    const int grid = GetGridStep();
    const int h = grid / 2;
    if (h > 0) {
        CPoint half(h * ((p.x + grid / 4) / h), h * ((p.y + grid / 4) / h));
        if (CPart* r = s.TakeResult(HitTest(half))) return r;
    }
    return s.TakeResult(HitTest(snapped));
}

CPart* CPartTree::FindPartAt(CPoint point, DWORD mask, DWORD stopMask, WORD options)
{
    CHitSearch& s = SharedHitSearch();
    s.mask = mask;
    s.options = options;
    s.best = nullptr;
    CPart* found = SearchAt(point);
    while (!found) {
        if ((stopMask & mask) || (mask & 1)) break;
        DWORD wider = ((mask >> 1) & 0x7F3F) | (mask & 0x180);
        // A mask that no longer changes (0x180 keeps itself) would search
        // the same way for ever.
        if (wider == mask) break;
        mask = wider;
        if ((mask & 1) && !(stopMask & 1)) break;
        s.mask = mask;
        found = SearchAt(point);
    }
    s.Reset();
    return found;
}

// ---- the walk ----

CPartIterator::CPartIterator(CPartTree* design, int filter, CPart* list) : m_pDesign(design), m_pList(list)
{
    static const int order0[] = {GROUP_COMPONENTS, GROUP_FLOWOBJECTS, GROUP_PROBES, GROUP_WIRES, GROUP_OTHERS};
    static const int order1[] = {GROUP_OTHERS, GROUP_COMPONENTS, GROUP_FLOWOBJECTS, GROUP_PROBES, GROUP_WIRES};
    const int* order = filter == 0 ? order0 : order1;
    if (list) {
        m_order[m_nSteps++] = GROUP_PARTLIST;
        bool after = false;
        for (int i = 0; i < 5; ++i) {
            if (order[i] == GROUP_PROBES) after = true;
            if (after) m_order[m_nSteps++] = order[i];
        }
    } else {
        for (int i = 0; i < 5; ++i) m_order[m_nSteps++] = order[i];
    }
    Reset();
}

void CPartIterator::Reset()
{
    m_bRestricted = m_pDesign && m_pDesign->IsTemporary() && m_pDesign->GetSelectionScope() == 0;
    EnterFrom(0);
}

void CPartIterator::EnterFrom(int step)
{
    for (int s = step; m_pDesign && s < m_nSteps; ++s) {
        CPart* list = m_pDesign->GetGroup(m_order[s], m_pList);
        if (list && list->GetFirstChild()) {
            m_nStep = s;
            m_pCurrent = list->GetFirstChild();
            return;
        }
    }
    m_nStep = m_nSteps;
    m_pCurrent = nullptr;
}

CPart* CPartIterator::Next()
{
    CPart* cur = m_pCurrent;
    if (!cur) return nullptr;
    if (cur->GetNextSibling() && cur != m_pDesign->m_pHeldPart)
        m_pCurrent = cur->GetNextSibling();
    else if (m_bRestricted)
        m_pCurrent = nullptr;
    else
        EnterFrom(m_nStep + 1);
    return cur;
}
