#include "mechanics/mech_text.h"

#include "model/circuit/circuit.h"
#include "model/components/wire.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <cmath>
#include <numbers>

namespace {

enum : UINT {
    IDS_METRES_PER_SECOND = 36530,
    IDS_METRES = 36531,
    IDS_DEGREES = 36532,
    IDS_RADIANS_PER_SECOND = 36535,
    IDS_RADIANS = 36536,
    IDS_RPM = 36573,
};

constexpr double kTwoPi = 2.0 * std::numbers::pi;

CString WithPrefix(double value) { return FormatValueWithPrefix(value, false, true, true, false, false); }

} // namespace

CString MechSpeedText(double value, int kind, const CUnitChoices& units)
{
    if (kind == WIRE_LINEAR) return WithPrefix(value) + LoadResString(IDS_METRES_PER_SECOND);
    if (units.speedUnit == 1) return WithPrefix(value) + LoadResString(IDS_RADIANS_PER_SECOND);
    return WithPrefix(value * 60.0 / kTwoPi) + LoadResString(IDS_RPM);
}

CString MechPositionText(double value, int kind, const CUnitChoices& units)
{
    if (kind == WIRE_LINEAR) return WithPrefix(value) + LoadResString(IDS_METRES);
    double a = std::fmod(-value, kTwoPi);
    if (a < 0.0) a += kTwoPi;
    // fmod keeps the sign of -0: a shaft at 0 shows 0, not -0.
    a += 0.0;
    if (units.angleUnit == 1) return WithPrefix(a) + LoadResString(IDS_RADIANS);
    return WithPrefix(a * 360.0 / kTwoPi) + LoadResString(IDS_DEGREES);
}

CUnitChoices MechUnitChoices(const CCircuit* design)
{
    if (!design) return {};
    return CUnitChoices{design->m_wAngleUnit, design->m_wSpeedUnit, false};
}

int MechDirectionCode(double value, int quantityClass)
{
    if (std::fabs(value) < 5e-9) return 13;
    if (quantityClass == 2) return value > 0 ? 17 : 16;
    return value >= 0 ? 15 : 14;
}
