// The five-character readout of a meter part: two decimals up to 9.99, one
// up to 99.9, none up to 9999, then "+++++" or "-----" for off-scale.
#pragma once

#include "platform/cstring.h"

// With flag 0x400 readings below 0.9995 are shown in the sub-unit: x1000
// (code 1, milli) down to 0.0009995, else x1,000,000 (code 2, micro).
constexpr int kMeterAutoScale = 0x400;

struct MeterReading {
    CString text;
    int scaleCode;
};

MeterReading FormatMeterReading(double v, int flags);
