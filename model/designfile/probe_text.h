// The probe data offered to the clipboard as text: a header line naming
// the columns, then one line per recorded sample with the time and every
// selected quantity of every probe, tab-separated, lines ended by "\r\n"
// (none after the last).
#pragma once

#include "model/designfile/units.h"
#include "platform/archive.h"
#include "platform/cstring.h"

#include <array>

// What the text is built from: the design's four probe channels.
class CProbeDataSource {
public:
    virtual ~CProbeDataSource() = default;
    virtual bool HasProbe(int channel) const = 0;
    virtual CString GetProbeName(int channel) const = 0;
    // The quantity bits the probe records; 0xFFFF counts as none.
    virtual DWORD GetQuantityMask(int channel) const = 0;
    // False for a probe that stands on no part: its values read as 0.
    virtual bool HasProbedPart(int channel) const = 0;
    virtual double GetSample(int channel, int sample, DWORD quantityBit) const = 0;
};

struct CProbeDataRequest {
    // The quantities the copy-data dialog selected, per channel.
    std::array<DWORD, 4> selected{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    int recordedCount = 0;
    int sampleCounter = 0;
    double stepPeriod = 0.0;
    CUnitChoices units;
};

// A number as "%3.8f" prints it, without regard to the locale.
CString FormatFixed8(double v);

// The text; false (with string 36525 shown) when memory runs out.
bool BuildProbeDataText(const CProbeDataSource& source, const CProbeDataRequest& request, CString* out);
