#include "components/pot.h"

#include "components/component_kit.h"
#include "components/slider.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/visual.h"
#include "model/text/value.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CPot, "CComponent", 2)

namespace {
constexpr UINT IDS_POT_RATINGS = 47;

CVisual& PotVisual()
{
    static CVisual visual(0, 0, 315, 1, 0, 0, 32, 24);
    static const bool ready = (visual.SetOrientationMask(15), visual.SetOffsetRow(11), true);
    (void)ready;
    return visual;
}

// Where the slider goes for each turn of the potentiometer: its side and
// its offset (it overlaps the picture's free part, beside the track).
struct SliderPlace {
    int side;
    CPoint offset;
};
SliderPlace SliderPlaceFor(int orientation)
{
    const int side = orientation >= 0 && orientation <= 2 ? orientation + 1 : 0;
    static const CPoint kOffsets[4] = {CPoint(0, 22), CPoint(-22, 0), CPoint(0, -22), CPoint(22, 0)};
    return {side, kOffsets[side]};
}
} // namespace

CPot::CPot()
{
    m_pVisual = &PotVisual();
    m_nOrientationMask = 15;
    LoadRatings(IDS_POT_RATINGS);
}

void CPot::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (!ar.IsStoring() && ar.GetVersion() < 4)
        if (CValue* v = ValueLabelOf(this)) v->number.SetTypeCode(10);
}

void CPot::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    const CPoint offset(-22, 0);
    auto* slider = new CSlider(1, this, this, &offset, 0);
    slider->SetPosition(10 + CSlider::kFirst);
    m_wStateWord = 10;
    AddChild(slider);
    AddChild(new CValue(10000.0, 1.0, 'k', " ", 3, m_rect, 10));
}

int CPot::SetInputValue(CPartTree*, int position)
{
    CCircuit* design = GetDesign();
    if (CSlider* s = SliderOf(this)) s->InvalidateTrack();
    m_wStateWord = static_cast<WORD>(position < 0 ? 0 : position > kPositions ? kPositions : position);
    Draw(design ? design->GetOptions() : 0);
    if (design) design->ControlSimulation(SIM_SENSOR_CHANGED);
    return 0;
}

int CPot::Draw(DWORD flags)
{
    if (CSlider* s = SliderOf(this)) s->DrawSlider(flags);
    if (m_pVisual) m_pVisual->DrawWhole(m_rect.left, m_rect.top, 0, GetDrawVariant(), m_nOrientation);
    if (!(IsSelected() || (flags & 0x200))) return 0;
    CPartDrawing* d = CPartDrawing::Current();
    return d ? d->FrameSelection(TrackStrip()) : 0;
}

CRect CPot::TrackStrip() const
{
    constexpr int kStrip = 8;
    const CRect& r = m_rect;
    switch (m_nOrientation & 3) {
    case 1: return CRect(r.left, r.top, r.right, r.top + kStrip);
    case 2: return CRect(r.right - kStrip, r.top, r.right, r.bottom);
    case 3: return CRect(r.left, r.bottom - kStrip, r.right, r.bottom);
    default: return CRect(r.left, r.top, r.left + kStrip, r.bottom);
    }
}

void CPot::Deselect(DWORD flags)
{
    if (!(flags & 0x80000))
        CDisplay::DrawFrame(m_rect.TopLeft(), CPoint(m_rect.right - 1, m_rect.bottom - 1), ColourRGB(255, 255, 255), 0,
                            1);
    CComponent::Deselect(flags);
}

int CPot::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    if (newCode == m_nOrientation) return 6;
    TurnKeepingTerminalOrder(this, newCode, oldCode, flag, anchor);
    const SliderPlace place = SliderPlaceFor(newCode);
    if (CSlider* s = SliderOf(this)) s->PlaceLabel(place.side, this, &place.offset);
    if (CValue* v = ValueLabelOf(this)) v->PlaceLabel(newCode == 0 ? 3 : newCode - 1, this, nullptr);
    return 0;
}

void CPot::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 3) return;
    const double r = LabelValue(this);
    const int p = m_wStateWord;
    CTerminal* wiper = GetTerminal(2);
    if (p != 0)
        m->StampConductance(kPositions / (p * r), GetTerminal(0), wiper);
    else
        m->AddLink(GetTerminal(0), wiper);
    if (p != kPositions)
        m->StampConductance(kPositions / ((kPositions - p) * r), GetTerminal(1), wiper);
    else
        m->AddLink(GetTerminal(1), wiper);
}
