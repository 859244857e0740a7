#include "mechanics/generator.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CGenerator, "CMotorEM", 4)

namespace {

constexpr UINT IDS_GENERATOR_RATINGS = 204;

// The motor's body with a wave beside its upper lead in place of the plus.
CVisual& GeneratorPicture()
{
    static CVisual visual(0, 0, 1331, 1, 0, 0, 24, 24);
    static const bool ready = (visual.SetOrientationMask(0xFF), true);
    (void)ready;
    return visual;
}

} // namespace

CGenerator::CGenerator()
{
    m_pVisual = &GeneratorPicture();
    LoadRatings(IDS_GENERATOR_RATINGS);
}

CVisual& CGenerator::BodyPicture() { return GeneratorPicture(); }

double CGenerator::AnimationAngle() const
{
    const CMechTerm* shaft = GetMechTerminal(2);
    return shaft ? shaft->GetPosition() : 0.0;
}

void CGenerator::Stamp(CMatrix* m)
{
    CMotorEM::Stamp(m);
    if (m_terminals.size() < 3) return;
    m->StampConductance(kLeakage, GetTerminal(1), nullptr);
}
