// A slow, obvious rasteriser that draws what a Rasteriser has been given,
// sample by sample, for testing the fast one against.
//
// For every sample (each pixel, or 4 x 4 per pixel with anti-aliasing) on
// integer scan line y it solves every edge's exact crossing of that line,
// rounds it to the nearest unit, applies the crossings left of or at the
// sample to per-fill parity and winding counts, collects the visible fills
// from scratch (depth order, clip chains, first opaque fill) and composites
// them. No active lists, no runs, no incremental stepping.
#pragma once

#include "movieplayer/rasteriser.h"

namespace movie {

// Draws the rasteriser's current objects into out (same size and format as
// the rasteriser's target; it should start with the same pixels).
void ReferenceRender(Rasteriser& r, PixelTarget& out);

}  // namespace movie
