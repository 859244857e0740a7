#include "components/led.h"

#include "model/circuit/circuit.h"
#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CLED, "CDiode", 2)
WB_IMPLEMENT_SERIAL(CLED_G, "CLED", 3)
WB_IMPLEMENT_SERIAL(CLED_Y, "CLED", 3)

// Ratings text of every LED: 30 mA, 9 V reverse.
constexpr UINT IDS_LED_RATINGS = 30;

namespace {

// One picture set per colour: 12 frames of 32 x 24 (frame k is brightness
// level k), drawn pointing down with the light arrows on the right; the
// pin axis is column 12.
CVisual& LedVisual(int bitmapId)
{
    // A table keeps the three sets apart without a branch per colour.
    struct Set {
        int id;
        CVisual* visual;
    };
    // The alternate look: a real LED whose dome lights up (one source
    // serves both colour depths: the surface is always true colour).
    static CVisual redReal(0, 0, 435, 12, 0, 0, 32, 48);
    static CVisual greenReal(0, 0, 433, 12, 0, 0, 32, 48);
    static CVisual yellowReal(0, 0, 437, 12, 0, 0, 32, 48);
    static CVisual red(5, 3, 110, 12, 0, 2, 32, 24, 0, nullptr, &redReal);
    static CVisual green(5, 5, 208, 12, 0, 2, 32, 24, 0, nullptr, &greenReal);
    static CVisual yellow(5, 4, 205, 12, 0, 2, 32, 24, 0, nullptr, &yellowReal);
    static const Set sets[] = {{110, &red}, {208, &green}, {205, &yellow}};
    static const bool ready = [] {
        for (const Set& s : sets) {
            s.visual->SetOrientationMask(135);
            s.visual->GetAlternate()->SetOrientationMask(135);
        }
        return true;
    }();
    (void)ready;
    for (const Set& s : sets)
        if (s.id == bitmapId) return *s.visual;
    return red;
}

} // namespace

CLED::CLED() : CLED(&LedVisual(110), 1.567) {}

CLED::CLED(CVisual* visual, double knee)
{
    m_pVisual = visual;
    m_model.SetKnee(knee);
    m_nOrientationMask = 135;
    m_nOrientation = 7;
    LoadRatings(IDS_LED_RATINGS);
}

CLED_G::CLED_G() : CLED(&LedVisual(208), 1.767) {}

CLED_Y::CLED_Y() : CLED(&LedVisual(205), 1.667) {}

void CLED::InitVariant(const CRuntimeClass* variant)
{
    TurnTo(7);
    m_rcPicture.SetRect(-12, 0, 20, 24);
    m_rect.bottom += 2;
    CComponent::InitVariant(variant);
}

int CLED::BrightnessOfCurrent(double amps)
{
    if (amps < 0.0) return 0;
    if (amps > 0.01) return 10;
    // 1 mA a level, truncated; 0.01 A exactly gives 10.
    return static_cast<int>(amps * 1000.0);
}

int CLED::AfterStep()
{
    if (CDiode::AfterStep()) return 1;
    const int level = BrightnessOfCurrent(GetModelCurrent());
    if (level != m_wStateWord) {
        m_wStateWord = static_cast<WORD>(level);
        Draw(GetDrawFlags());
    }
    return 0;
}
