#include "model/text/meter.h"

#include "model/text/meter_reading.h"

WB_IMPLEMENT_SERIAL(CMeter, "CText", 2)

CMeter::CMeter() { rtf.Reset(); }

int CMeter::SetReading(double v, WORD* scaleCode, int drawFlags)
{
    const MeterReading r = FormatMeterReading(v, drawFlags);
    if (r.text != rtf.text) {
        rtf.SetText(r.text);
        Draw(static_cast<DWORD>(drawFlags));
    }
    const WORD old = scaleCode ? *scaleCode : 0;
    if (scaleCode) *scaleCode = static_cast<WORD>(r.scaleCode);
    return r.scaleCode != old ? 1 : 0;
}

int CMeter::Draw(DWORD drawFlags)
{
    return (drawFlags & 0x4) ? CText::Draw(drawFlags) : 0;
}
