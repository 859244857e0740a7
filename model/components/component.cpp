#include "model/components/component.h"

#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "model/display/display.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CComponent, "CPart", 2)

CComponent::~CComponent()
{
    // No wire of the design may keep a pointer to a terminal of this part.
    if (CCircuit* design = m_pFiledIn; design && !design->IsTearingDown())
        for (CTerminal* t : m_terminals) design->UnlinkEverywhere(t);
}

CCircuit* CComponent::GetDesign() const
{
    // Asked several times a pass by every part: the cast is kept while the
    // owner is the same object of the same class.
    const CRuntimeClass* rc = m_pCircuit ? m_pCircuit->GetRuntimeClass() : nullptr;
    if (m_pCircuit != m_pDesignKey || rc != m_pDesignClass) {
        m_pDesignKey = m_pCircuit;
        m_pDesignClass = rc;
        m_pDesignCast = dynamic_cast<CCircuit*>(m_pCircuit);
    }
    return m_pDesignCast;
}

int CComponent::Initialise()
{
    AttachToCircuit(m_pCircuit);
    ResetSimulation();
    CreateChildren();
    // A readout or value asked for a side that a terminal takes (a meter
    // lying across its two stubs) moves to a free one.
    PlaceTextLabels(true);
    return 1;
}

CTerminal* CComponent::AddTerminal(int side, CPoint pin, int kind)
{
    CCircuit* design = GetDesign();
    auto* t = new CTerminal(side, pin, design ? design->NewNode() : 0, kind);
    t->m_pOwner = this;
    AppendChild(t);
    m_terminals.push_back(t);
    m_wTerminalCount = static_cast<WORD>(m_terminals.size());
    return t;
}

void CComponent::DetachTerminals()
{
    for (CTerminal* t : m_terminals) {
        CPart::RemoveChild(t);
        delete t;
    }
    m_terminals.clear();
    m_wTerminalCount = 0;
}

std::vector<CComponent::PinCell> CComponent::GetPinCells()
{
    std::vector<PinCell> cells;
    if (!m_pVisual) return cells;
    CSize size = m_pVisual->GetSize(m_nOrientation);
    m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + size.cx, m_rect.top + size.cy);
    // The picture's edge cells, each side in turn.
    for (int x = 0; x < size.cx; ++x) {
        if (m_pVisual->IsPinCell(x, 0, m_nOrientation, m_nOrientation)) cells.push_back({0, CPoint(m_rect.left + x, m_rect.top)});
        if (m_pVisual->IsPinCell(x, size.cy - 1, m_nOrientation, m_nOrientation))
            cells.push_back({2, CPoint(m_rect.left + x, m_rect.bottom - 1)});
    }
    for (int y = 0; y < size.cy; ++y) {
        if (m_pVisual->IsPinCell(0, y, m_nOrientation, m_nOrientation)) cells.push_back({3, CPoint(m_rect.left, m_rect.top + y)});
        if (m_pVisual->IsPinCell(size.cx - 1, y, m_nOrientation, m_nOrientation))
            cells.push_back({1, CPoint(m_rect.right - 1, m_rect.top + y)});
    }
    return cells;
}

void CComponent::CreateTerminals(int)
{
    if (!m_pVisual) return;
    for (const PinCell& cell : GetPinCells()) AddTerminal(cell.side, cell.pin);
    ApplyOrientation(m_nOrientation);
}

void CComponent::BuildTerminalArray()
{
    m_terminals.clear();
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* t = dynamic_cast<CTerminal*>(c)) {
            t->m_pOwner = this;
            m_terminals.push_back(t);
        }
    m_wTerminalCount = static_cast<WORD>(m_terminals.size());
}

void CComponent::ApplyOrientation(int code)
{
    m_nOrientation = code;
    if (m_terminals.size() < 2) return;
    static const int kSideOrder[8][4] = {{0, 3, 2, 1}, {1, 0, 3, 2}, {2, 1, 0, 3}, {3, 2, 1, 0},
                                         {0, 1, 2, 3}, {1, 2, 3, 0}, {2, 3, 0, 1}, {3, 0, 1, 2}};
    bool mirrored = code >= 4;
    std::vector<CTerminal*> ordered;
    for (int side : kSideOrder[code & 7]) {
        std::vector<CTerminal*> onSide;
        for (CTerminal* t : m_terminals)
            if (t->GetSide() == side) onSide.push_back(t);
        // Along a side by position: x on the top and bottom, y on the left and right.
        std::stable_sort(onSide.begin(), onSide.end(), [&](CTerminal* a, CTerminal* b) {
            CPoint pa = a->GetPinPoint(), pb = b->GetPinPoint();
            int ka = (side == 0 || side == 2) ? pa.x : pa.y, kb = (side == 0 || side == 2) ? pb.x : pb.y;
            return mirrored ? ka > kb : ka < kb;
        });
        ordered.insert(ordered.end(), onSide.begin(), onSide.end());
    }
    // Relink the terminals in the child list in the new order, keeping every
    // other child in front of them.
    for (CTerminal* t : m_terminals) CPart::RemoveChild(t);
    for (CTerminal* t : ordered) AppendChild(t);
    m_terminals = ordered;
}

void CComponent::RotateTerminals(int orientation, CPoint centre)
{
    int old = m_nOrientation;
    for (CTerminal* t : m_terminals) t->SetOrientation(orientation, old, 0, &centre);
}

namespace {

CPoint TurningPoint(const CRect& rect, int orientation)
{
    // A quarter turn about a whole pixel maps pixels onto pixels exactly.
    // The pixel is fixed to the part, not to its rect: it is the middle pixel
    // (rounded towards the top-left) of the unturned part, carried to where
    // the current orientation puts it. Every turn then leaves it where it is,
    // so turns compose exactly (four quarter turns give back the rect, two
    // half turns too) even when a side has an even number of pixels, where
    // the rect's own middle pixel would move by one with each turn.
    const bool across = IsOddOrientation(orientation);
    const int w0 = across ? rect.Height() : rect.Width(), h0 = across ? rect.Width() : rect.Height();
    if (w0 <= 0 || h0 <= 0) return rect.CenterPoint();
    const CPoint mid((w0 - 1) / 2, (h0 - 1) / 2);
    const CPoint a = TurnPoint(CPoint(0, 0), mid, orientation, 0);
    const CPoint b = TurnPoint(CPoint(w0 - 1, h0 - 1), mid, orientation, 0);
    return CPoint(rect.left + mid.x - std::min(a.x, b.x), rect.top + mid.y - std::min(a.y, b.y));
}

} // namespace

int CComponent::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    if (newCode == m_nOrientation) return 6;
    oldCode = m_nOrientation;
    CPoint centre = anchor ? *anchor : TurningPoint(m_rect, m_nOrientation);
    // The rect turns about that pixel: its first and last pixels are turned
    // (turning the half-open corner would shift the rect by one pixel a turn).
    CPoint a = TurnPoint(m_rect.TopLeft(), centre, newCode, oldCode);
    CPoint b = TurnPoint(CPoint(m_rect.right - 1, m_rect.bottom - 1), centre, newCode, oldCode);
    CRect turned(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
    RotateTerminals(newCode, centre);
    // Children that are not terminals (labels, values) move with the part,
    // then the texts among them find free sides of the turned part.
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (!dynamic_cast<CTerminal*>(c)) c->SetOrientation(newCode, oldCode, 0, &centre);
    m_rect = turned;
    ApplyOrientation(newCode);
    PlaceTextLabels(false);
    return flag;
}

void CComponent::PlaceTextLabels(bool onlyCovering)
{
    bool taken[4] = {false, false, false, false};
    for (CTerminal* t : m_terminals) taken[t->GetSide() & 3] = true;
    const auto covers = [this](CPart* text) {
        CRect overlap;
        for (CTerminal* t : m_terminals)
            if (overlap.IntersectRect(text->GetRect(), t->GetRect())) return true;
        return false;
    };
    std::vector<CPart*> texts;
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (c->IsKindOf("CText") && !c->IsInert() && (!onlyCovering || covers(c))) texts.push_back(c);
    std::vector<bool> placed(texts.size(), false);
    for (int pass = 1; pass <= 5; ++pass) {
        for (size_t i = 0; i < texts.size(); ++i) {
            if (placed[i]) continue;
            CLabelPlacement wishes[8];
            const int n = std::clamp(texts[i]->GetLabelPlacements(wishes), 0, 8);
            for (int k = 0; k < n; ++k) {
                const int side = wishes[k].side;
                if (wishes[k].pass != pass || side < 0 || side > 3 || taken[side]) continue;
                texts[i]->PlaceLabel(side, this, nullptr);
                taken[side] = true;
                placed[i] = true;
                break;
            }
        }
    }
}

CTerminal* CComponent::GetFirstTerminal() { return m_terminals.empty() ? nullptr : m_terminals[0]; }

CTerminal* CComponent::GetReferenceTerminal()
{
    return m_terminals.size() >= 2 ? m_terminals[1] : GetFirstTerminal();
}

int CComponent::GetSupplyRails(double* high, double* low)
{
    if (GetKindCode() != 7) return 0;
    CCircuit* design = GetDesign();
    *high = design ? design->GetLogicSupplyVoltage() : 5.0;
    *low = 0.0;
    return 1;
}

CPart* CComponent::GetValueLabel()
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) {
        if (c->IsInert()) return nullptr;
        if (c->IsKindOf("CValue")) return c;
    }
    return nullptr;
}

CExplode* CComponent::GetExplosion() const
{
    // An exact class test: no class derives from the marker.
    CPart* first = GetFirstChild();
    return first && first->GetRuntimeClass() == RUNTIME_CLASS(CExplode) ? static_cast<CExplode*>(first) : nullptr;
}

int CComponent::IsBroken() { return GetExplosion() ? 1 : 0; }

void CComponent::ReadSolution(const double* nodeValues)
{
    CCircuit* design = GetDesign();
    double low = design ? design->GetInputLowThreshold() : 0.805;
    double high = design ? design->GetInputHighThreshold() : 1.995;
    // Redrawing is asked for only when something is drawn on.
    const bool drawing = CDisplay::GetCurrentDC() != nullptr;
    const DWORD flags = drawing ? GetDrawFlags() : 0;
    for (CTerminal* t : m_terminals) {
        const int what = t->ReadSolution(nodeValues, 0, low, high);
        if (what && drawing) t->Refresh(what, flags);
    }
}

void CComponent::Explode(double excess, double rating, WORD messageId, char unit)
{
    CPart::AddChild(new CExplode(GetDesign(), m_rect, excess, rating, messageId, unit));
}

void CComponent::UseAlternateLook()
{
    CPartCircuit::UseAlternateLook();
    m_bAlternateLook = 1;
    if (m_pVisual && m_pVisual->GetAlternate()) m_pVisual = m_pVisual->GetAlternate();
}

void CComponent::RefreshState()
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->RefreshState();
}

void CComponent::OnSimulationStopped()
{
    ResetState();
    for (CTerminal* t : m_terminals) t->OnSimulationStopped();
}

void CComponent::OnSimulationReset()
{
    for (CTerminal* t : m_terminals) t->OnSimulationReset();
}

DWORD CComponent::GetProbeQuantities(int, int) { return m_terminals.size() == 2 ? 3 : 2; }

double CComponent::GetQuantity(int, int, int code)
{
    switch (code) {
    case 1:
        return m_terminals.size() >= 2 ? m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage() : 0.0;
    case 2:
        return m_terminals.empty() ? 0.0 : m_terminals[0]->GetCurrent();
    case 1024:
        return m_dPower;
    default:
        return 0.0;
    }
}

int CComponent::CanProbeAt(int x, int y)
{
    if (m_terminals.size() == 2 && !IsBroken()) return 1;
    return CPartCircuit::CanProbeAt(x, y);
}

void CComponent::ResetVisual()
{
    CPartCircuit::ResetVisual();
    const int rest = m_pVisual ? m_pVisual->GetRestFrame() : -1;
    if (rest >= 0) m_wStateWord = static_cast<WORD>(rest);
}

int CComponent::GetAllowedOrientations() const
{
    const int mask = m_pVisual ? m_pVisual->GetOrientationMask() : m_nOrientationMask;
    return (mask & 0xFF) | 1;
}

int CComponent::NearestAllowedOrientation(int code) const
{
    code &= 7;
    static const int kSteps[4] = {0, 1, 3, 2};
    for (int mirror : {code & 4, (code & 4) ^ 4})
        for (int step : kSteps) {
            const int c = mirror | ((code + step) & 3);
            if (IsOrientationAllowed(c)) return c;
        }
    return 0;
}

void CComponent::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CPartCircuit::AfterLoad(design, flags, version);
    // A file may name an orientation the picture has no bitmap for (written
    // by a program that did not check the turn): the part would be invisible,
    // so it takes the nearest orientation it can be drawn in.
    if (!IsOrientationAllowed(m_nOrientation)) SetOrientation(NearestAllowedOrientation(m_nOrientation), m_nOrientation, 0, nullptr);
    ResetVisual();
    for (CTerminal* t : m_terminals) t->m_pOwner = this;
    if (auto* c = dynamic_cast<CCircuit*>(design); c && c->FileByClass(this) == GROUP_COMPONENTS) m_pFiledIn = c;
}

void CComponent::Serialize(CArchive& ar)
{
    CPartCircuit::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteObjectRef(GetFirstTerminal());
        ar << m_wTerminalCount << m_wStateWord;
        // As reading takes them: older records end here.
        if (ar.GetVersion() > 3) {
            WritePairAsWords(ar, m_rcPicture.left, m_rcPicture.top);
            ar << static_cast<WORD>(m_bAlternateLook);
        }
        return;
    }
    CObject* firstRef = ar.ReadObjectRef("CTerminal");
    auto* first = dynamic_cast<CTerminal*>(firstRef);
    if (firstRef && !first) throw CArchiveException(CArchiveException::badClass);
    // The array is built from this part's own children only: a damaged file
    // may name a terminal of another part.
    bool own = false;
    for (CPart* c = GetFirstChild(); c && !own; c = c->GetNextSibling()) own = c == first;
    if (!own) first = nullptr;
    WORD count = 0;
    ar >> count >> m_wStateWord;
    // The array follows the child chain from the first terminal.
    m_terminals.clear();
    for (CPart* c = first; c && m_terminals.size() < count; c = c->GetNextSibling())
        if (auto* t = dynamic_cast<CTerminal*>(c)) {
            t->m_pOwner = this;
            m_terminals.push_back(t);
        }
    m_wTerminalCount = static_cast<WORD>(m_terminals.size());
    if (ar.GetVersion() <= 2)
        for (CTerminal* t : m_terminals) t->TakeSideFromOwner(m_rect);
    if (ar.GetVersion() > 3) {
        int l = 0, t = 0;
        ReadPairAsWords(ar, l, t);
        m_rcPicture.SetRect(l, t, l, t);
        WORD alt = 0;
        ar >> alt;
        if (alt) UseAlternateLook();
    }
}
