#include "model/designfile/probe_text.h"

#include "platform/messagebox.h"
#include "platform/strings.h"

#include <charconv>
#include <cmath>
#include <new>

CString FormatFixed8(double v)
{
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 8);
    return CString(buf, static_cast<size_t>(r.ptr - buf));
}

namespace {

struct Column {
    int channel;
    DWORD bit;
};

// Appends a value column: "\t0.0" for magnitudes below 5e-9, else the value
// limited to +-1e12 with eight decimals.
void AppendValue(CString& out, double v)
{
    if (v > 1e12) v = 1e12;
    if (v < -1e12) v = -1e12;
    if (std::fabs(v) < 5e-9) {
        out += "\t0.0";
        return;
    }
    out += '\t';
    out += FormatFixed8(v);
}

} // namespace

bool BuildProbeDataText(const CProbeDataSource& src, const CProbeDataRequest& req, CString* out)
{
    out->clear();
    try {
        std::vector<Column> columns;
        bool anyProbe = false;
        for (int c = 0; c < 4; ++c) {
            if (!src.HasProbe(c)) continue;
            anyProbe = true;
            const DWORD mask = src.GetQuantityMask(c);
            if (mask == 0xFFFF) continue;
            for (int b = 0; b < 32; ++b) {
                const DWORD bit = DWORD(1) << b;
                if ((mask & bit) && (req.selected[static_cast<size_t>(c)] & bit)) columns.push_back({c, bit});
            }
        }
        CString& t = *out;
        if (anyProbe) {
            // Appended piece by piece: GCC 12 misreads chained temporaries
            // here as overlapping copies (-Wrestrict).
            t += LoadResString(36527);
            t += " (";
            t += LoadResString(36558);
            t += ')';
            for (const Column& col : columns) {
                t += '\t';
                t += src.GetProbeName(col.channel);
                t += " (";
                t += GetQuantityUnitText(col.bit, &req.units);
                t += ')';
            }
            t += "\r\n";
        }
        const int count = std::max(req.recordedCount, 0);
        const double start = static_cast<double>(req.sampleCounter) - count;
        for (int i = 0; i < count; ++i) {
            if (i > 0) t += "\r\n";
            t += FormatFixed8((start + i) * req.stepPeriod);
            for (const Column& col : columns) {
                const double raw = src.HasProbedPart(col.channel) ? src.GetSample(col.channel, i, col.bit) : 0.0;
                AppendValue(t, ConvertQuantity(raw, col.bit, req.units));
            }
        }
    } catch (const std::bad_alloc&) {
        out->clear();
        out->shrink_to_fit();
        WbMessageBox(36525, MB_OK);
        return false;
    }
    return true;
}
