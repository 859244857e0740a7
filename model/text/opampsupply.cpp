#include "model/text/opampsupply.h"

#include "model/circuit/circuit.h"
#include "model/parts/partcircuit.h"
#include "model/text/textdrawing.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(COpampSupply, "CValue", 2)

namespace {

// The two proxy rectangles in the unturned op-amp picture.
constexpr CRect kPositiveArea(4, 29, 36, 43);
constexpr CRect kNegativeArea(4, -12, 36, 2);

CRect Turned(const CRect& area, const CPart* opamp)
{
    const CRect& r = opamp->m_rect;
    CRect a = area;
    a.OffsetRect(CPoint(r.left, r.top));
    const int code = opamp->GetOrientation();
    if (code == 0) return a;
    const CPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const CPoint p = TurnPoint(CPoint(a.left, a.top), centre, code, 0);
    const CPoint q = TurnPoint(CPoint(a.right, a.bottom), centre, code, 0);
    return CRect(std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y));
}

COpampDialogHost* g_opampHost = nullptr;

// A rail as the dialog shows it: whole volts within its range.
int DialogVolts(double v)
{
    const double a = std::fabs(v);
    return a > kOpampSupplyMax ? kOpampSupplyMax : static_cast<int>(std::lround(a));
}

CPart* NthChild(const CPart* part, int n)
{
    CPart* c = part->GetFirstChild();
    while (c && n-- > 0) c = c->GetNextSibling();
    return c;
}

}  // namespace

COpampSupply::COpampSupply(CPart* opampPart) : opamp(opampPart)
{
    number.Assign(9.0, 4, "V", 3);
    negative.Assign(-9.0, 4, "V", 4);
    OnNumberChanged(&number);
    rtf.Reset();
    if (opamp) {
        AppendChild(new CDummyPart(Turned(kPositiveArea, opamp), this));
        AppendChild(new CDummyPart(Turned(kNegativeArea, opamp), this));
    }
}

void COpampSupply::Serialize(CArchive& ar)
{
    if (ar.IsLoading() && ar.GetVersion() < 4) {
        CPart::Serialize(ar);
        WORD p = 0, n = 0;
        ar >> p >> n;
        number.Assign(p, 4, "V", 3);
        negative.Assign(-static_cast<double>(n), 4, "V", 4);
        // Marked as every value read is (the record of these files has no
        // flags): saved and read again, it keeps the same bytes.
        flags = TF_VALUE;
    } else {
        CValue::Serialize(ar);
    }
    if (ar.IsStoring()) {
        negative.Serialize(ar);
        ar.WriteObjectRef(opamp);
        return;
    }
    if (ar.GetVersion() >= 4) negative.Serialize(ar);
    if (ar.GetVersion() >= 4) opamp = dynamic_cast<CPart*>(ar.ReadObjectRef("CPart"));
    OnNumberChanged(&number);
}

void COpampSupply::PlaceLabel(int sideAsked, CPart* part, const CPoint*)
{
    CPart* target = part ? part : opamp;
    CPart* first = NthChild(this, 0);
    CPart* second = NthChild(this, 1);
    if (!target || !first || !second) return;
    const CRect& r = target->m_rect;
    auto moveTo = [](CPart* c, int x, int y) {
        const CRect old = c->m_rect;
        c->m_rect = CRect(x, y, x + old.Width(), y + old.Height());
    };
    if (sideAsked == 0) {
        moveTo(first, r.left + 4, r.top - 14);
        moveTo(second, r.left + 4, r.top + 29);
    } else {
        moveTo(first, r.right + 4, r.top + 6);
        moveTo(second, r.left - 36, r.top + 6);
    }
}

int COpampSupply::GetLabelPlacements(CLabelPlacement* records)
{
    records[0] = {1, 0, 1};
    records[1] = {1, 3, 1};
    return 2;
}

int COpampSupply::Draw(DWORD drawFlags)
{
    CTextDrawing* d = CTextDrawing::Current();
    CPart* first = NthChild(this, 0);
    CPart* second = NthChild(this, 1);
    if (!(drawFlags & 0x1) || !d || !first || !second) return 0;
    d->DrawPlainText(number.GetFullText(), first->m_rect, CPoint(first->m_rect.left, first->m_rect.top), 0, charFormat,
                     false);
    if (second->m_rect.left < first->m_rect.left)
        d->DrawPlainText(negative.GetFullText(), second->m_rect, CPoint(second->m_rect.right, second->m_rect.top), 2,
                         charFormat, false);
    else
        d->DrawPlainText(negative.GetFullText(), second->m_rect, CPoint(second->m_rect.left, second->m_rect.top), 0,
                         charFormat, false);
    return 1;
}

void COpampSupply::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    if (gone.count(opamp)) opamp = nullptr;
    CValue::DropDeadLinks(gone);
}

COpampDialogHost* COpampDialogHost::Current() { return g_opampHost; }

COpampDialogHost* COpampDialogHost::Install(COpampDialogHost* host)
{
    COpampDialogHost* old = g_opampHost;
    g_opampHost = host;
    return old;
}

bool COpampSupply::ApplySupply(int positive, int negativeVolts)
{
    if (!IsValidOpampSupply(positive) || !IsValidOpampSupply(negativeVolts)) return false;
    number.SetValue(positive, 4);
    negative.SetValue(-static_cast<double>(negativeVolts), 4);
    OnNumberChanged(&number);
    if (opamp) opamp->SetInputValue(nullptr, 0);
    return true;
}

int COpampSupply::EditAdvanced(CPart*)
{
    CPartTree* design = GetCircuit();
    if (!CanMoveWhenLocked(design) || !g_opampHost) return 0;
    // The design stands still while the dialog is open.
    CSimulationPause pause(dynamic_cast<CCircuit*>(design));
    int p = DialogVolts(number.value), n = DialogVolts(negative.value);
    if (!g_opampHost->Edit(&p, &n) || !ApplySupply(p, n)) return 0;
    return 65;
}
