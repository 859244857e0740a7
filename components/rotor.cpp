#include "components/rotor.h"

#include "model/display/visual.h"

#include <cmath>
#include <numbers>

CVisual& RotorPicture()
{
    // Both of the circuit motor's orientations: it draws its rotor turned
    // with its body.
    static CVisual visual(0, 0, 231, 16, 0, 0, 12, 11);
    static const bool ready = (visual.SetOrientationMask(3), true);
    (void)ready;
    return visual;
}

WORD TurnRotorFrame(WORD frame, double angle, double w, double r)
{
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    const double limit = r * 15.278874536821919 / 16.0;
    if (w > limit) return static_cast<WORD>((frame + 6) % 16);
    if (w < -limit) return static_cast<WORD>((frame + 10) % 16);
    double a = std::fmod(angle + std::numbers::pi / 16.0, kTwoPi);
    if (a < 0.0) a += kTwoPi;
    // A runaway angle shows the rest frame rather than an undefined cast.
    if (!std::isfinite(a)) return 0;
    const int n = static_cast<int>(std::floor(16.0 * a / kTwoPi));
    return static_cast<WORD>((16 - n) % 16);
}

bool IsMotorIdle(double volts, double backEmf)
{
    return std::fabs(volts) <= 0.995 && std::fabs(2.0 * backEmf) <= 0.995;
}
