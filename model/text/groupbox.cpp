#include "model/text/groupbox.h"

#include "model/display/bitmap256.h"
#include "model/parts/parttree.h"
#include "model/text/textdrawing.h"


WB_IMPLEMENT_SERIAL(CGroupBox, "CTextLabel", 1)

namespace {
constexpr int kGroupBoxBitmap = 348;
constexpr int kGroupBoxBitmapIds[] = {36070, 36071, 33523, 0, 32920, 33920};
// Hit-search bits: looking for operable controls, the search that excludes
// them, and the search in which a grouping box never claims the point.
constexpr DWORD kSearchControls = 0x40;
constexpr DWORD kSearchNoControls = 0x100;
constexpr DWORD kSearchNeverBox = 0x20;

// Stops the control search of PtInPart from re-entering itself.
bool g_inControlSearch = false;

// An operable control other than `box` under the point that overlaps it.
CPart* ControlAt(CPartTree* design, CPart* box, CPoint point)
{
    if (!design) return nullptr;
    CPartIterator it(design, 0);
    while (CPart* p = it.Next()) {
        if (p == box || !p->IsControl()) continue;
        CRect overlap;
        if (p->PtInPart(point) && overlap.IntersectRect(p->m_rect, box->m_rect)) return p;
    }
    return nullptr;
}
}  // namespace

CGroupBox::CGroupBox() { m_rect = CRect(-4, -4, 20, 20); }

CGroupBox::CGroupBox(CPartTree* design, const CCharFormat* designFormat) : CTextLabel(design, CPoint(-4, -4), designFormat)
{
    m_rect = CRect(-4, -4, 20, 20);
}

void CGroupBox::Serialize(CArchive& ar)
{
    CTextLabel::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(fixed);
        ar.WriteObjectRef(m_pCircuit);
        return;
    }
    WORD w = 0;
    ar >> w;
    fixed = w ? 1 : 0;
    CObject* owner = ar.ReadObjectRef("CCircuit");
    if (owner) {
        auto* design = dynamic_cast<CPartTree*>(owner);
        if (!design) throw CArchiveException(CArchiveException::badClass);
        m_pCircuit = design;
    }
}

std::vector<CPart*> CGroupBox::EnclosedParts(CPartTree* design)
{
    std::vector<CPart*> parts;
    if (!design) return parts;
    CPartIterator it(design, 0);
    while (CPart* p = it.Next())
        if (p != this && p->IsInRect(m_rect, 1)) parts.push_back(p);
    return parts;
}

int CGroupBox::ContainsWhenFixed(CPoint point) { return fixed && m_rect.PtInRect(point) ? 1 : 0; }

void CGroupBox::SetGrouping(int grouping)
{
    fixed = grouping ? 0 : 1;
    for (CPart* p : EnclosedParts(GetCircuit())) p->ModifyFlags16(PF_ANCHORED, grouping != 0);
}

int CGroupBox::CanDrop(CPartTree* design) { return fixed ? 1 : CTextLabel::CanDrop(design); }

int CGroupBox::CollectEnclosed(CPartTree* design)
{
    for (CPart* p : EnclosedParts(design)) {
        p->ModifyFlags16(PF_ANCHORED, false);
        if (IsSelected() && !fixed) p->Select(design ? design->GetRedrawFlags() : 0);
    }
    return 0;
}

int CGroupBox::ReleaseEnclosed(CPartTree* design)
{
    for (CPart* p : EnclosedParts(design)) p->ModifyFlags16(PF_ANCHORED, !fixed);
    return 0;
}

int CGroupBox::PtInPart(CPoint point)
{
    if (fixed) {
        CPart* frame = GetResizeFrame();
        return frame ? frame->PtInPart(point) : 0;
    }
    const DWORD mask = SharedHitSearch().mask;
    if (mask & kSearchNeverBox) return 0;
    if ((mask & kSearchControls) && !(mask & kSearchNoControls) && !g_inControlSearch) {
        g_inControlSearch = true;
        CPart* control = ControlAt(GetCircuit(), this, point);
        g_inControlSearch = false;
        if (control) return 0;
    }
    return CTextLabel::PtInPart(point);
}

int CGroupBox::IntersectsRect(const CRect& rect) { return fixed ? 0 : CTextLabel::IntersectsRect(rect); }

int CGroupBox::IntersectsPart(CPart* other) { return fixed ? 0 : CTextLabel::IntersectsPart(other); }

int CGroupBox::OnPress(CPartTree* design, int x, int y)
{
    pressTarget = nullptr;
    if (fixed) {
        if (CPart* frame = GetResizeFrame())
            if (int r = frame->OnPress(design, x, y)) return r;
        return CPart::OnPress(design, x, y);
    }
    CPart* under = ControlAt(design, this, CPoint(x, y));
    if (!under || IsSelected()) {
        CPart::OnPress(design, x, y);
        return 1;
    }
    pressTarget = under;
    return under->OnPress(design, x, y);
}

CRect CGroupBox::OnDrag(CPartTree* design, CPoint point)
{
    if (pressTarget) return pressTarget->OnDrag(design, point);
    if (fixed)
        if (CPart* frame = GetResizeFrame()) return frame->OnDrag(design, point);
    return CPart::OnDrag(design, point);
}

int CGroupBox::OnRelease(CPartTree* design, int x, int y)
{
    if (CPart* target = pressTarget) {
        pressTarget = nullptr;
        return target->OnRelease(design, x, y);
    }
    if (fixed)
        if (CPart* frame = GetResizeFrame()) return frame->OnRelease(design, x, y);
    return CPart::OnRelease(design, x, y);
}

int CGroupBox::Draw(DWORD drawFlags)
{
    CTextDrawing* d = CTextDrawing::Current();
    if (!d) return 0;
    const CPoint a(m_rect.left, m_rect.top), b(m_rect.right - 1, m_rect.bottom - 1);
    d->DrawFrame(a, b, 0xFFFFFF, 0);
    d->DrawFrame(a, b, 0x000000, 2);
    return CText::Draw(drawFlags);
}

void CGroupBox::AfterLoad(CPartTree* design, DWORD loadFlags, WORD version)
{
    CTextLabel::AfterLoad(design, loadFlags, version);
    if (CPart* frame = GetResizeFrame()) frame->OnSimulationReset();
    if (version < 400) SetGrouping(!fixed);
}

void CGroupBox::OnSimulationReset()
{
    if (CPart* frame = GetResizeFrame()) frame->OnSimulationReset();
    CPart::OnSimulationReset();
}

int CGroupBox::GetPropertyBitmap(int id)
{
    for (int known : kGroupBoxBitmapIds)
        if (known && known == id) return kGroupBoxBitmap;
    return 0;
}

// The box's own buttons (after a gap in the toolbar), then its caption's:
// the box strip and the label strip side by side, a 32-pixel cell per id.
int CGroupBox::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    std::vector<int> captionIds;
    const int caption = CTextLabel::GetPropertyBitmap(captionIds, nullptr);
    ids.assign(std::begin(kGroupBoxBitmapIds), std::end(kGroupBoxBitmapIds));
    ids.insert(ids.end(), captionIds.begin(), captionIds.end());
    const int count = static_cast<int>(ids.size());
    if (!bitmap) return count;
    CBitmap256 own;
    CBitmap captionStrip;
    if (!own.LoadBitmap256(kGroupBoxBitmap) || CTextLabel::GetPropertyBitmap(captionIds, &captionStrip) != caption)
        return -1;
    const int ownCells = static_cast<int>(std::size(kGroupBoxBitmapIds));
    return AttachJoinedStrips(bitmap, count, {{&own.Image(), ownCells}, {&captionStrip.Image(), caption}}) ? count
                                                                                                          : -1;
}

int CGroupBox::IsPropertyChecked(int commandId, int& flag)
{
    // The result is the check state; both buttons stay enabled so the box
    // can be switched either way.  The caption's buttons follow the label's
    // rule (enabled while the caption is edited), except the border button:
    // the box draws its own frame instead of the label's border, so that
    // setting would change nothing and the button stays greyed.
    if (commandId == IDC_GROUPBOX_FIXED) { flag = 1; return fixed ? 1 : 0; }
    if (commandId == IDC_GROUPBOX_GROUPING) { flag = 1; return fixed ? 0 : 1; }
    if (commandId == IDC_LABEL_BORDER) { flag = 0; return 0; }
    return CTextLabel::IsPropertyChecked(commandId, flag);
}

int CGroupBox::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == IDC_GROUPBOX_FIXED) {
        SetGrouping(0);
        return 32;
    }
    if (commandId == IDC_GROUPBOX_GROUPING) {
        SetGrouping(1);
        return 32;
    }
    // The border flag has no picture on a box; every other caption button
    // acts on it as on any label.
    if (commandId == IDC_LABEL_BORDER) return CPart::OnPropertyCommand(commandId, text);
    return CTextLabel::OnPropertyCommand(commandId, text);
}

void CGroupBox::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(pressTarget)) pressTarget = nullptr;
    CTextLabel::DropDeadLinks(gone);
}
