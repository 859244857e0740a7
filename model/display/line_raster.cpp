#include "model/display/line_raster.h"

#include <cstdlib>

std::vector<CPoint> RasterLineReference(int x1, int y1, int x2, int y2)
{
    std::vector<CPoint> out;
    const long long ax = std::llabs(static_cast<long long>(x2) - x1);
    const long long ay = std::llabs(static_cast<long long>(y2) - y1);
    const int sx = x2 < x1 ? -1 : 1;
    const int sy = y2 < y1 ? -1 : 1;
    const bool xMajor = ax >= ay;
    const long long n = xMajor ? ax : ay;
    const long long m = xMajor ? ay : ax;
    for (long long i = 0; i < n; ++i) {
        const long long minor = (2 * m * i + n) / (2 * n);
        if (xMajor)
            out.push_back({x1 + sx * static_cast<int>(i), y1 + sy * static_cast<int>(minor)});
        else
            out.push_back({x1 + sx * static_cast<int>(minor), y1 + sy * static_cast<int>(i)});
    }
    return out;
}
