#include "model/text/meter_reading.h"

#include "platform/numtext.h"

#include <cmath>

MeterReading FormatMeterReading(double v, int flags)
{
    double a = std::fabs(v);
    int code = 0;
    if ((flags & kMeterAutoScale) && a < 0.9995) {
        const double k = a >= 0.0009995 ? 1000.0 : 1000000.0;
        code = a >= 0.0009995 ? 1 : 2;
        v *= k;
        a *= k;
    }
    CString text;
    if (a < 0.005) text = " 0.00";
    else if (a < 9.995) text = FormatFixed(v, 5, 2);
    else if (a < 99.95) text = FormatFixed(v, 5, 1);
    else if (a < 9999.5) text = FormatFixed(v, 5, 0);
    else text = v >= 0 ? "+++++" : "-----";  // NaN fails every test: "-----"
    return {text, code};
}
