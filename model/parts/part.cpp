#include "model/parts/part.h"

#include "model/display/animate.h"
#include "model/parts/controlitem.h"
#include "model/parts/parttree.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CPart, "CObject", 2)

namespace {
CHitSearch g_hitSearch;
CPressState g_pressState;
CPart* g_hovered = nullptr;
} // namespace

CHitSearch& SharedHitSearch() { return g_hitSearch; }
CPressState& SharedPressState() { return g_pressState; }
CPart*& CPart::HoveredPart() { return g_hovered; }

CPart* CHitSearch::TakeResult(CPart* def)
{
    CPart* r = best ? best : def;
    best = nullptr;
    return r;
}

CPart::CPart() = default;

CPart::CPart(const CRect& rect) : m_rect(rect) {}

CPart::~CPart()
{
    if (g_hovered == this) g_hovered = nullptr;
    if (g_hitSearch.best == this) g_hitSearch.best = nullptr;
    if (g_pressState.pendingOp == this) g_pressState.pendingOp = nullptr;
    DeleteChildren();
}

void CPart::DeleteChildren()
{
    CPart* c = m_pFirstChild;
    m_pFirstChild = nullptr;
    while (c) {
        CPart* next = c->m_pNext;
        c->m_pNext = nullptr;
        delete c;
        c = next;
    }
}

int CPart::ChildCount() const
{
    int n = 0;
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) ++n;
    return n;
}

void CPart::AppendChild(CPart* part)
{
    if (!part) return;
    part->m_pNext = nullptr;
    if (!m_pFirstChild) {
        m_pFirstChild = part;
        return;
    }
    CPart* last = m_pFirstChild;
    while (last->m_pNext) last = last->m_pNext;
    last->m_pNext = part;
}

// ---- virtual operations ----

int CPart::Initialise()
{
    CreateChildren();
    return 1;
}

void CPart::CreateChildren() {}

CRect CPart::BeginDragImage()
{
    // The drag image covers the part and its children with a 2-pixel margin.
    // Its pictures need a drawing scope; without one (headless editing) only
    // the press state records the image.
    CRect r = GetUnionRect();
    r.InflateRect(2, 2);
    if (CDisplay::GetCurrentDC()) BeginDragAnimation(this, 0x4);
    CPressState& s = SharedPressState();
    s.dragImage = true;
    s.dragRect = r;
    return r;
}

void CPart::ResetVisual()
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->ResetVisual();
}

void CPart::InitVariant(const CRuntimeClass*) {}

void CPart::SerializeLinks(CArchive& ar)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->SerializeLinks(ar);
}

void CPart::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->AfterLoad(design, flags, version);
    if (m_pPendingVariant) {
        const CRuntimeClass* v = m_pPendingVariant;
        m_pPendingVariant = nullptr;
        InitVariant(v);
    }
    if (version < 400) {
        m_wFlags |= PF_CANSELECT_LOCKED;
        if (!(design && (design->GetOptionWord() & 0x04000000))) m_wFlags |= PF_MOVABLE_LOCKED;
    }
}

int CPart::QueryDefault13() { return 0; }

int CPart::OnPress(CPartTree* design, int x, int y)
{
    BeginPress(design, CPoint(x, y), false);
    return 0;
}

int CPart::OnMouseDown(CPartTree* design, int x, int y, UINT) { return OnPress(design, x, y); }

CRect CPart::OnDrag(CPartTree*, CPoint) { return CRect(); }

int CPart::OnRelease(CPartTree* design, int, int)
{
    CPressState& s = SharedPressState();
    if (!s.pressed || !s.dragImage) return 0;
    if (s.canDrop && !(design && design->IsDropBlocked())) {
        Drop(design);
        return 9;
    }
    if (design && (design->IsAboveView(s.dragPoint) || design->IsDropBlocked() || design->IsInProgress())) return 2;
    return 3;
}

int CPart::SetInputValue(CPartTree*, int) { return 0; }
int CPart::DefersToParent() { return 0; }
void CPart::AfterParentPress() {}
int CPart::IsGroupBox() { return 0; }
void CPart::OnChildPressed(int flag, CPart*) { SharedPressState().childFlag = flag; }
int CPart::TrackHandle(CPartTree*, CPoint) { return 0; }
int CPart::AttachMechanism(int, int) { return 0; }
void CPart::FindAttachments(CPartTree*) {}
void CPart::UpdateAttachments(CPartTree*) {}
void CPart::AccumulateMotion(CPartTree*, int, int, double) {}

void CPart::StartDrag(CPartTree* design, CPoint point)
{
    CPressState& s = SharedPressState();
    s.dragOrigin = design ? design->SnapToGrid(point) : point;
    s.dragPoint = s.dragOrigin;
    s.pressed = true;
    if (design) design->OnDragStarted(this);
    BeginDragImage();
    s.canDrop = CanDrop(design) != 0;
}

int CPart::CanDrop(CPartTree* design)
{
    if (!design) return 0;
    CRect page = design->GetPageRect();
    CRect inter;
    inter.IntersectRect(m_rect, page);
    if (!(inter == m_rect)) return 0;
    return (GetHitClass() & 0x10) || !design->Overlaps(this);
}

void CPart::Drop(CPartTree* design)
{
    m_bChanged = 0;
    if (!design) return;
    design->AddChild(this);
    FinishDrop(design);
}

void CPart::FinishDrop(CPartTree* design)
{
    if (!design) return;
    DrawTree(design->GetRedrawFlags());
    // Light coupling: a sensor looks 24 pixels left of its centre for a light
    // source; a source tells the part 24 pixels right of its centre.
    int role = CoupleLight(nullptr);
    CPoint c = m_rect.CenterPoint();
    if (role == 1) {
        CPart* other = design->FindPartAt(CPoint(c.x - 24, c.y), 1, 1, 0);
        if (other && other != this && other->CoupleLight(nullptr) == 2) CoupleLight(other);
    } else if (role == 2) {
        CPart* other = design->FindPartAt(CPoint(c.x + 24, c.y), 1, 1, 0);
        if (other && other != this) other->CoupleLight(this);
    }
}

CPart* CPart::FindContainer()
{
    CPartTree* design = GetCircuit();
    if (!HasFlag(PF_ANCHORED) || !design) return nullptr;
    CPartIterator it(design, 1);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) {
        if (p == this || !p->IsKindOf("CGroupBox") || !p->IsGroupBox()) continue;
        CRect inter;
        inter.IntersectRect(p->m_rect, m_rect);
        if (inter == m_rect && !m_rect.IsRectEmpty()) return p;
    }
    return nullptr;
}

CPart* CPart::AddChild(CPart* part)
{
    if (!part) return nullptr;
    part->m_pNext = m_pFirstChild;
    m_pFirstChild = part;
    return part;
}

int CPart::RemoveChild(CPart* part)
{
    if (!part) return 0;
    CPart** link = &m_pFirstChild;
    while (*link) {
        if (*link == part) {
            *link = part->m_pNext;
            part->m_pNext = nullptr;
            return 1;
        }
        link = &(*link)->m_pNext;
    }
    return 0;
}

void CPart::MarkChanged() { m_bChanged = 1; }
int CPart::IsChanged() { return m_bChanged; }
int CPart::HasText() { return 0; }

int CPart::ShowInfo(CPoint point, CString& bubbleText)
{
    if (!HasInfo(point.x, point.y)) return 0;
    CString text;
    BuildInfo(text, 36002, point);
    bubbleText = text;
    return 1;
}

DWORD CPart::GetProbeQuantities(int, int) { return 0; }
double CPart::GetQuantity(int, int, int) { return 0.0; }
int CPart::CanProbeAt(int, int) { return 0; }
CRect CPart::GetExtent(int, int) { return m_rect; }

CPart* CPart::FindLinkedControls(CPartTree* design, int matchExtent, int x, int y, int* count, CPart* skip)
{
    // The probes that are attached to this part (the PROBES group's parts
    // whose attached part is this one).
    int n = 0;
    CPart* last = nullptr;
    CPart* probes = design ? design->GetGroup(GROUP_PROBES) : nullptr;
    for (CPart* p = probes ? probes->GetFirstChild() : nullptr; p; p = p->GetNextSibling()) {
        if (p == skip || p->GetAttachedPart() != this) continue;
        if (matchExtent && !(p->m_rect == GetExtent(x, y))) continue;
        ++n;
        last = p;
    }
    if (count) *count = n;
    return last;
}

void CPart::OnSimulationStopped() {}
void CPart::OnSimulationReset() {}
void CPart::OnRunStateChanged() {}
void CPart::UpdateChildWindow() {}
int CPart::QueryDefault47(CPart*) { return 0; }
int CPart::CollectEnclosed(CPartTree*) { return 0; }
int CPart::ReleaseEnclosed(CPartTree*) { return 0; }
int CPart::CanConnectKind(int) { return 0; }
int CPart::IsInert() { return 0; }
int CPart::IsWire() { return 0; }
int CPart::LiesWithin(const CRect&) { return 0; }

void CPart::JoinConnections(CPartTree* design)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->JoinConnections(design);
}

void CPart::RenumberNet(int oldNet, int newNet)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->RenumberNet(oldNet, newNet);
}

void CPart::VisitNets(int a, int b)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->VisitNets(a, b);
}

void CPart::NumberNets(int limit, int& counter)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->NumberNets(limit, counter);
}

void CPart::ClearNets()
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->ClearNets();
}

int CPart::CoupleLight(CPart*) { return 0; }
double CPart::GetLightOutput() { return 0.0; }
int CPart::IsControl() { return 0; }
int CPart::IsDesignItem() { return 0; }
int CPart::IsFreeDesignItem() { return IsDesignItem() && !HasFlag(PF_ANCHORED); }
int CPart::IsBroken() { return 0; }
int CPart::IsWindowShown() { return 0; }
int CPart::OnHoverLeave() { return 0; }
int CPart::OnHoverEnter() { return 0; }
int CPart::IsPlainItem() { return (GetHitClass() & 0x70) == 0; }
CPart* CPart::GetLinkedSwitch() { return nullptr; }
CPart* CPart::GetNext() { return m_pNext; }
CPartTree* CPart::GetCircuit() { return nullptr; }
const char* CPart::GetLinkName() { return nullptr; }

bool CPart::HasResizeFrame()
{
    return IsKindOf("CPartResize") || (m_pFirstChild && m_pFirstChild->IsKindOf("CPartResize"));
}

bool CPart::CanMoveWhenLocked(CPartTree* design)
{
    return !(design && design->IsLocked() && !HasFlag(PF_MOVABLE_LOCKED));
}

int CPart::HasAlternateLook() { return 0; }
void CPart::UseAlternateLook() {}
int CPart::HasInfo(int, int) { return m_bInfo && !IsBroken(); }

int CPart::BuildInfo(CString& text, UINT messageId, CPoint)
{
    if (messageId > 9) {
        text = LoadResString(messageId);
        int nl = text.ReverseFind('\n');
        if (nl >= 0) text = text.Mid(nl + 1);
    }
    return 0;
}

void CPart::OnViewChanged(int code, void* view)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->OnViewChanged(code, view);
}

void CPart::SetRunning(int) {}

void CPart::OnPartChanged(CPart* part)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->OnPartChanged(part);
}

void CPart::AttachToCircuit(CPartTree*) {}
void CPart::SetRect(const CRect& rect) { m_rect = rect; }

CPart* CPart::HitTest(CPoint point)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext)
        if (CPart* r = c->HitTest(point)) return r;
    CHitSearch& s = SharedHitSearch();
    if (this == s.skip || m_rect.IsRectEmpty() || !PtInPart(point)) return nullptr;
    DWORD hc = GetHitClass();
    if (!(s.mask & 1) && !(hc & s.mask)) return nullptr;
    if ((s.options & 1) && !IsDesignItem()) return nullptr;
    if ((s.options & 2) && !CanProbeAt(point.x, point.y)) return nullptr;
    CPart* best = s.best;
    // A 0x70-class part (wires, terminals, frames) is only a candidate: the
    // walk goes on looking for a plain part, which a candidate outranks.
    bool replace = !best || !(best->GetHitClass() & 0x70) ||
                   ((hc & 0x70) && (IsSelected() || !best->IsSelected()) && hc >= best->GetHitClass());
    if (replace) s.best = this;
    if (hc & 0x70) return nullptr;
    return s.best;
}

int CPart::PtInPart(CPoint point) { return m_rect.PtInRect(point); }

int CPart::IntersectsRect(const CRect& rect)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext)
        if (c->IntersectsRect(rect)) return 1;
    CRect inter;
    return !m_rect.IsRectEmpty() && inter.IntersectRect(m_rect, rect);
}

int CPart::IntersectsPart(CPart* other)
{
    if (!other) return 0;
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext)
        if (c->IntersectsPart(other)) return 1;
    return other->IntersectsRect(m_rect);
}

void CPart::Offset(int dx, int dy)
{
    m_rect.OffsetRect(dx, dy);
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->Offset(dx, dy);
}

int CPart::IsInRect(const CRect& rect, int whole)
{
    CRect inter;
    if (!inter.IntersectRect(rect, m_rect)) return 0;
    return whole ? inter == m_rect : 1;
}

DWORD CPart::GetHitClass() { return 2; }
int CPart::GetPartKind() { return 0; }

void CPart::OnSettingsChanged(int value)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->OnSettingsChanged(value);
}

void CPart::RefreshState() {}
int CPart::QueryDefault94() { return 0; }

void CPart::DrawTree(DWORD flags)
{
    Draw(flags);
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->DrawTree(flags);
}

void CPart::EraseTree()
{
    if (CPartDrawing* d = CPartDrawing::Current()) d->EraseRect(m_rect);
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->EraseTree();
}

void CPart::DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except)
{
    if (this == except) return;
    CRect inter;
    if ((mode & 4) && !(flags & 0x80000) && inter.IntersectRect(m_rect, rect)) {
        DrawTree(flags);
        return;
    }
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->DrawTreeInRect(flags, mode, rect, except);
}

void CPart::Redraw(DWORD flags) { DrawTree(flags); }
void CPart::SetHover(int, CPoint) {}

int CPart::Draw(DWORD flags)
{
    if (!(m_bSelected || (flags & 0x200))) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(m_rect) : 0;
}

void CPart::Select(DWORD flags)
{
    m_bSelected = 1;
    if (!(flags & 0x80000)) DrawTree(flags);
}

void CPart::Deselect(DWORD flags)
{
    int was = m_bSelected;
    m_bSelected = 0;
    if (was && !(flags & 0x80000)) DrawTree(flags);
}

void CPart::FollowSelection(CPartTree* design)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->FollowSelection(design);
}

void CPart::SelectIfInRect(const CRect& rect, DWORD flags, int whole)
{
    if (IsInRect(rect, whole)) Select(flags);
}

int CPart::IsDeletable() { return 0; }

bool CPart::CanSelectWhenLocked(CPartTree* design)
{
    return !(design && design->IsLocked() && !HasFlag(PF_CANSELECT_LOCKED));
}

CPart* CPart::GetPropertyOwner() { return nullptr; }

int CPart::GetLabelPlacements(CLabelPlacement* records)
{
    records[0] = {5, 3, 0};
    records[1] = {5, 0, 0};
    return 2;
}

int CPart::AllowsSharedLabelSide() { return 0; }

void CPart::SetRectRecursive(const CRect& rect)
{
    if (!HasResizeFrame()) return;
    m_rect = rect;
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->SetRectRecursive(rect);
}

void CPart::PlaceLabel(int side, CPart* part, const CPoint* offset)
{
    if (!part) return;
    CRect o = part->m_rect;
    if (offset) o.OffsetRect(*offset);
    const int w = m_rect.Width(), h = m_rect.Height();
    CPoint tl;
    switch (side) {
    case 0: tl = CPoint(o.left + (o.Width() - w) / 2, o.top - 4 - h); break;
    case 1: tl = CPoint(o.right + 4, o.top + (o.Height() - h) / 2); break;
    case 2: tl = CPoint(o.left + (o.Width() - w) / 2, o.bottom + 4); break;
    case 3: tl = CPoint(o.left - 4 - w, o.top + (o.Height() - h) / 2); break;
    default: return;
    }
    Offset(tl.x - m_rect.left, tl.y - m_rect.top);
}

int CPart::ApplySettingsText() { return 1; }
int CPart::ApplySettingsText(const CString&, int) { return 1; }
void CPart::OnWaveformChanged() {}

int CPart::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    return 0;
}

int CPart::GetPropertyTexts(CControlItemList&) { return 0; }
int CPart::GetPropertyBitmap(int) { return 0; }
int CPart::GetPropertyBitmap(std::vector<int>& ids, CBitmap*)
{
    ids.clear();
    return 0;
}
int CPart::IsPropertyChecked(int, int&) { return 0; }
int CPart::OnPropertyCommand(int, const CString&) { return 0; }
int CPart::IsFlowchartPart() { return 0; }

CPart* CPart::GetAttachedPart() { return nullptr; }

void CPart::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->DropDeadLinks(gone);
}

void CollectTree(const CPart* part, std::unordered_set<const CObject*>& set)
{
    if (!part) return;
    set.insert(part);
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling()) CollectTree(c, set);
}

void ForgetTree(CArchive& ar, const CPart* part)
{
    std::unordered_set<const CObject*> set;
    CollectTree(part, set);
    ar.ForgetObjects(set);
}

// ---- plain operations ----

void CPart::ModifyFlags16(WORD bits, bool set)
{
    if (set)
        m_wFlags = static_cast<WORD>(m_wFlags | bits);
    else
        m_wFlags = static_cast<WORD>(m_wFlags & ~bits);
}

bool CPart::IsSelectableWhenLocked(CPartTree* design) const
{
    return !(design && design->IsLocked() && !HasFlag(PF_SELECTABLE_LOCKED));
}

void CPart::GetTotalRect(CRect& rect) const
{
    rect.UnionRect(rect, m_rect);
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) c->GetTotalRect(rect);
}

CRect CPart::GetUnionRect() const
{
    CRect r(0, 0, 0, 0);
    GetTotalRect(r);
    return r;
}

CPart* CPart::FindParentOf(CPart* list, CPart* part)
{
    for (CPart* p = list; p; p = p->m_pNext) {
        for (CPart* c = p->m_pFirstChild; c; c = c->m_pNext)
            if (c == part) return p;
        if (CPart* r = FindParentOf(p->m_pFirstChild, part)) return r;
    }
    return nullptr;
}

CPart* CPart::HitTestExcept(CPoint point, CPart* skipped)
{
    CHitSearch& s = SharedHitSearch();
    CPart* saved = s.skip;
    s.skip = skipped;
    CPart* r = HitTest(point);
    s.skip = saved;
    return r;
}

bool CPart::OverlapsOtherPart(CPart* part)
{
    if (!part) return false;
    // A design decides by its own overlap operation (its top-level parts).
    if (auto* tree = dynamic_cast<CPartTree*>(this)) return tree->Overlaps(part);
    for (CPart* c = m_pFirstChild; c; c = c->m_pNext) {
        if (c == part) continue;
        if (c->IntersectsPart(part)) return true;
    }
    return false;
}

void CPart::BeginPress(CPartTree* design, CPoint point, bool)
{
    CPressState& s = SharedPressState();
    s.dragOrigin = design ? design->SnapToGrid(point) : point;
    s.dragPoint = s.dragOrigin;
    Select(design ? design->GetRedrawFlags() : 0);
    if (IsSelectableWhenLocked(design)) {
        s.pressed = true;
        s.dropAllowed = true;
    }
}
