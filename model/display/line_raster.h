// The pixels of a one-pixel line from (x1, y1) to (x2, y2), by the rule the
// drawing calls of designs were written for: one pixel per step along the
// longer axis (x when the extents are equal), the start pixel included and
// the end pixel left out, so that a polyline never paints a shared corner
// twice (which matters for XOR rubber bands).  On the shorter axis the pixel
// is the exact line's position rounded to the nearest pixel; an exact half
// rounds towards the end point.
#pragma once

#include <vector>

#include "platform/geometry.h"

// Fast path: integer Bresenham stepping.  Calls plot(x, y, step) for each
// pixel in order, step counting from 0.
template <class Plot>
void RasterLine(int x1, int y1, int x2, int y2, Plot&& plot)
{
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const int ax = dx < 0 ? -dx : dx;
    const int ay = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    int x = x1;
    int y = y1;
    if (ax >= ay) {
        // err tracks 2*ay*i + ax - 2*ax*(minor steps taken) against 2*ax.
        long long err = ax;
        for (int i = 0; i < ax; ++i) {
            plot(x, y, i);
            x += sx;
            err += 2LL * ay;
            if (err >= 2LL * ax) { y += sy; err -= 2LL * ax; }
        }
    } else {
        long long err = ay;
        for (int i = 0; i < ay; ++i) {
            plot(x, y, i);
            y += sy;
            err += 2LL * ax;
            if (err >= 2LL * ay) { x += sx; err -= 2LL * ay; }
        }
    }
}

// Slow reference of the same rule, straight from its definition: step i of
// n along the longer axis lies at minor offset floor((2*m*i + n) / (2*n)).
std::vector<CPoint> RasterLineReference(int x1, int y1, int x2, int y2);
