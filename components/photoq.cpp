#include "components/photoq.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

WB_IMPLEMENT_SERIAL(CPhotoQ, "CComponent", 4)

// Ratings text of the phototransistor: 50 mA, 35 V.
constexpr UINT IDS_PHOTOQ_RATINGS = 4108;

namespace {

// Picture 4241: 20 x 24, frame 0 in light, frame 1 in the dark.
CVisual& PhotoVisual()
{
    static CVisual visual(0, 0, 4241, 2, 0, 2, 20, 24);
    static const bool ready = (visual.SetOrientationMask(1), visual.SetOffsetRow(1), true);
    (void)ready;
    return visual;
}

// Prefix codes of the photocurrent label.
constexpr int kMilli = 3;
constexpr int kMicro = 2;

} // namespace

CPhotoQ::CPhotoQ()
{
    m_pVisual = &PhotoVisual();
    m_nOrientationMask = 1;
    LoadRatings(IDS_PHOTOQ_RATINGS);
}

void CPhotoQ::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
    const CPoint at = m_rect.TopLeft();
    // The light slider belongs to the canvas controls; it is added when the
    // program has them.
    if (CObject* made = CRuntimeClass::CreateObject("CLamp")) {
        if (auto* slider = dynamic_cast<CPart*>(made)) {
            slider->m_rect.SetRect(at.x - 46, at.y + 6, at.x - 20, at.y + 46);
            AddChild(slider);
        } else {
            delete made;
        }
    }
    auto* label = new CFixedValue(1e-7, 1.0, 'u', "A", 0, CRect(), 5);
    label->m_rect.OffsetRect(at.x - 75, at.y + 65);
    AddChild(label);
    m_wStateWord = kDark;
}

void CPhotoQ::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring())
        ar << m_wBase;
    else
        ar >> m_wBase;
}

void CPhotoQ::AssignInternalNodes(uint16_t* nextNode) { m_wBase = (*nextNode)++; }

double CPhotoQ::GetPhotocurrent() { return LabelValue(this); }

int CPhotoQ::SetInputValue(CPartTree*, int position)
{
    if (CValue* label = ValueLabelOf(this)) {
        if (position < kDark)
            label->SetNumber((kDark - position) * 0.1, kMilli);
        else
            label->SetNumber(0.1, kMicro);
        CCircuit* design = GetDesign();
        label->Draw(design ? design->GetOptions() : 0);
    }
    m_wStateWord = static_cast<WORD>(position < kDark ? kDark - std::max(position, 0) : 0);
    CCircuit* design = GetDesign();
    Draw(design ? design->GetOptions() : 0);
    if (design) design->ControlSimulation(SIM_SENSOR_CHANGED);
    return 0;
}

void CPhotoQ::Stamp(CMatrix* m)
{
    if (m_terminals.size() < 2) return;
    m_q.Stamp(m, m_wBase, Collector(), Emitter());
    // The photocurrent's share flows into the base.
    m_q.StampBaseSource(m, 0.0, -kBaseShare * GetPhotocurrent(), nullptr, nullptr, m_wBase, Emitter());
}

void CPhotoQ::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 2) return;
    m_q.LimitStep(out, fraction, nodeValues, m_wBase, Collector(), Emitter());
}

int CPhotoQ::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_q.Commit();
    return broken;
}

int CPhotoQ::Draw(DWORD flags)
{
    if (!m_pVisual) return CPart::Draw(flags);
    const int recolour = IsBroken();
    const CSize size = m_pVisual->GetSize(m_nOrientation);
    const int x = m_rect.left, y = m_rect.top;
    if (!(flags & 0x4)) {
        m_pVisual->DrawWhole(x, y, 1, recolour, m_nOrientation);
    } else {
        const int dark = std::min<int>(m_wStateWord, kDark);
        const int darkRows = dark > 0 ? std::min(dark + 1, static_cast<int>(size.cy)) : 0;
        const int lightRows = size.cy - darkRows;
        if (lightRows > 0)
            m_pVisual->DrawBitmap(x, y, 0, recolour, CPoint(0, 0), CSize(size.cx, lightRows), m_nOrientation);
        if (darkRows > 0)
            m_pVisual->DrawBitmap(x, y, 1, recolour, CPoint(0, lightRows), CSize(size.cx, darkRows),
                                  m_nOrientation);
    }
    return CPart::Draw(flags);
}
