#include "components/fuse.h"

#include "components/component_kit.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/text/valuevariants.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CFuse, "CComponent", 3)

namespace {
CVisual& FusePicture()
{
    // The alternate look: a glass cartridge fuse (frame 1 blown).
    static CVisual real(0, 0, 427, 2, 0, 0, 56, 16);
    static CVisual picture(0, 0, 223, 2, 0, 0, 24, 8, 0, nullptr, &real);
    real.SetOrientationMask(3);
    return picture;
}
constexpr WORD kMsgPeakCurrent = 11;
} // namespace

CFuse::CFuse()
{
    m_pVisual = &FusePicture();
    SetOrientationMask(3);
    m_pVisual->SetOrientationMask(3);
    m_pVisual->SetOffsetRow(10);
    LoadRatings(35);
}

void CFuse::CreateChildren()
{
    CreateTerminals(0);
    if (m_bAlternateLook)
        AddChild(new CDummyValue(1.0, 1.0, ' ', "A", 5));
    else
        AddChild(new CValue(13.0, 1.0, ' ', "A", 0, m_rect, 5));
}

double CFuse::GetRating() { return LabelValue(this); }

void CFuse::Stamp(CMatrix* m) { m->AddLink(GetTerminal(0), GetTerminal(1)); }

int CFuse::AfterStep()
{
    CCircuit* design = GetDesign();
    const bool indestructible = design && design->TestOptions(OPT_INDESTRUCTIBLE);
    if (!indestructible && !IsBroken() && GetTerminal(0)) {
        double i = std::fabs(GetTerminal(0)->GetCurrent());
        double rating = GetRating();
        if (i > rating) {
            Explode(i, rating, kMsgPeakCurrent, 'A');
            if (design) design->SetChanged();
            Draw(GetDrawFlags());
        }
    }
    return CComponent::AfterStep();
}

int CFuse::Draw(DWORD flags)
{
    const int frame = (flags & OPT_SIMULATE) && IsBroken() ? 1 : 0;
    m_pVisual->DrawWhole(m_rect.left, m_rect.top, frame, IsBroken() ? 2 : 0, m_nOrientation);
    return CPart::Draw(flags);
}

int CFuse::GetPictureFrame()
{
    CCircuit* design = GetDesign();
    return design && design->TestOptions(OPT_SIMULATE) && IsBroken() ? 1 : 0;
}
