#include "model/designfile/units.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct UnitRow {
    unsigned code;
    const char* text;
};

// "m/s\xB2" is "m/s²" in the model's 8-bit text.
const UnitRow kUnits[] = {
    {1, "V"},     {2, "A"},          {4, "m"},          {4096, "m"},   {8, "m/s"},   {8192, "m/s"},
    {0x8000, "m/s"}, {16, "m/s\xB2"}, {0x4000, "m/s\xB2"}, {128, "rad/s\xB2"}, {256, "J"}, {512, "C"},
    {1024, "W"},  {2048, "kg"},
};

} // namespace

CString GetQuantityUnitText(unsigned code, const CUnitChoices* units)
{
    const int angle = units ? units->angleUnit : 0;
    const int speed = units ? units->speedUnit : 0;
    if (code == 32) return angle == 1 ? " rad" : "deg";
    if (code == 64) return speed == 1 ? " rad/s" : "rpm";
    for (const UnitRow& r : kUnits)
        if (r.code == code) return r.text;
    return {};
}

double ConvertQuantity(double value, unsigned code, const CUnitChoices& units)
{
    constexpr double twoPi = 2.0 * std::numbers::pi;
    switch (code) {
    case 2: return units.signedCurrents ? value : std::fabs(value);
    case 32: {
        const double wrapped = std::fmod(-value, twoPi);
        return units.angleUnit == 1 ? wrapped : wrapped * 360.0 / twoPi;
    }
    case 64: return units.speedUnit == 1 ? value : value * 60.0 / twoPi;
    default: return value;
    }
}

CMeasurementUnitsDlgData BeginMeasurementUnits(const CUnitChoices& units)
{
    return {units.angleUnit, units.speedUnit};
}

void ApplyMeasurementUnits(const CMeasurementUnitsDlgData& data, CUnitChoices& units)
{
    units.angleUnit = data.angleChoice;
    units.speedUnit = data.speedChoice;
}

int SampleRateChoice(int rate)
{
    for (size_t i = 0; i < kSampleRates.size(); ++i)
        if (kSampleRates[i] == rate) return static_cast<int>(i);
    return 0;
}

CSampleRateDlgData BeginSampleRate(int rate, double displayRate, bool (*isSupported)(unsigned))
{
    CSampleRateDlgData d;
    d.rateChoice = SampleRateChoice(rate);
    d.displayRate = displayRate;
    for (size_t i = 0; i < kSampleRates.size(); ++i)
        d.rateShown[i] = !isSupported || isSupported(kSampleRateFormatBits[i]);
    return d;
}

bool IsValidDisplayRate(double rate) { return rate >= kDisplayRateMin && rate <= kDisplayRateMax; }

bool ApplySampleRate(const CSampleRateDlgData& data, CSampleRateState& s)
{
    if (IsValidDisplayRate(data.displayRate)) s.displayRate = data.displayRate;
    const int choice = data.rateChoice >= 0 && data.rateChoice < 3 ? data.rateChoice : 0;
    const int newRate = kSampleRates[static_cast<size_t>(choice)];
    if (newRate == s.soundRate) return false;
    // A rate of 0 read from a damaged design must not divide.
    if (s.soundRate > 0) {
        const double f = static_cast<double>(newRate) / s.soundRate;
        auto scale = [f](int v) { return static_cast<int>(std::clamp(v * f, -2147483648.0, 2147483647.0)); };
        s.sampleCounter = scale(s.sampleCounter);
        s.sampleLimit = scale(s.sampleLimit);
    }
    s.soundRate = newRate;
    return true;
}
