// Measurement units: the unit text of a quantity code, the conversion of a
// value for display under the design's unit choices, and the logic of the
// measurement-units and sample-rate dialogs (the windows themselves belong
// to the application).
#pragma once

#include "platform/cstring.h"

#include <array>

// The design's unit choices and the flag for signed currents.
struct CUnitChoices {
    int angleUnit = 0; // 1: radians, else degrees
    int speedUnit = 0; // 1: rad/s, else rpm
    bool signedCurrents = false;
};

// The unit text of a quantity code ("V", "A", "m", ... " rad", "deg", ...);
// empty for a code without one.  Without a design both choices count as 0.
CString GetQuantityUnitText(unsigned code, const CUnitChoices* units);

// A value as shown: currents as magnitudes unless signed currents are shown;
// angles wrapped into one turn (the negated angle's remainder by 2 pi) and
// in degrees unless radians are chosen; angular velocity in rpm unless rad/s
// are chosen; other codes unchanged.
double ConvertQuantity(double value, unsigned code, const CUnitChoices& units);

// The measurement-units dialog: radio group 215 (angle) and 217 (speed).
struct CMeasurementUnitsDlgData {
    int angleChoice = 0;
    int speedChoice = 0;
};
// Fills the dialog's data from the choices; on OK stores it back.
CMeasurementUnitsDlgData BeginMeasurementUnits(const CUnitChoices& units);
void ApplyMeasurementUnits(const CMeasurementUnitsDlgData& data, CUnitChoices& units);

// The sample-rate dialog (resource 304).
struct CSampleRateDlgData {
    // Radio group 220: 0 11025 Hz, 1 22050 Hz, 2 44100 Hz.
    int rateChoice = 0;
    double displayRate = 5.0;
    // Which rate buttons (228, 229, 230) are shown.
    std::array<bool, 3> rateShown{true, true, true};
};
constexpr double kDisplayRateMin = 0.00001;
constexpr double kDisplayRateMax = 99999.0;
constexpr std::array<int, 3> kSampleRates{11025, 22050, 44100};
// The waveOut format bits of 16-bit mono at the three rates.
constexpr std::array<unsigned, 3> kSampleRateFormatBits{4, 64, 1024};
// The rate choice of a rate (0 for a rate outside the three).
int SampleRateChoice(int rate);
// The dialog's data: the rate's button, the display rate, and the buttons of the
// rates the sound device supports (isSupported receives the format bits).
CSampleRateDlgData BeginSampleRate(int rate, double displayRate, bool (*isSupported)(unsigned formatBits));
// Whether the display rate lies within the dialog's limits.
bool IsValidDisplayRate(double rate);

// The design values that a new sample rate changes.
struct CSampleRateState {
    int soundRate = 11025;
    double displayRate = 5.0;
    int sampleCounter = 0;
    int sampleLimit = 22050;
};
// Applies the dialog's OK: a new rate rescales the sample counter and the
// sample limit by new rate / old rate; returns true when the rate changed
// (the caller tells the sound system).
bool ApplySampleRate(const CSampleRateDlgData& data, CSampleRateState& state);
