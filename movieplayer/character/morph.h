// Interpolation of morph shapes by ratio t (Fixed, 0 = start, 0x10000 = end):
// every value is a + t·(b − a), truncated toward zero.  The differences are
// formed in 64 bits, so values at the ends of the 32-bit range cannot wrap.
#pragma once

#include <cstdint>

#include "movieplayer/colortransform.h"
#include "movieplayer/geometry.h"

namespace movie {

int32_t InterpolateValue(int32_t a, int32_t b, Fixed t);
MoviePoint InterpolatePoint(MoviePoint a, MoviePoint b, Fixed t);
MovieRect RectInterpolate(const MovieRect& a, const MovieRect& b, Fixed t);
MovieMatrix MatrixInterpolate(const MovieMatrix& a, const MovieMatrix& b, Fixed t);
// Four bytes of a packed colour; t <= 0 gives a, t >= 0x10000 gives b.
uint32_t RgbaInterpolate(uint32_t a, uint32_t b, Fixed t);
RGBI ColourInterpolate(const RGBI& a, const RGBI& b, Fixed t);

}  // namespace movie
