// Picture sets of the logic parts and chips, and their ratings texts.
#pragma once

#include <cstdint>

class CVisual;

// Ratings of every logic output: 50 mA, 1 V beyond the supply rails.
constexpr unsigned IDS_LOGIC_RATINGS = 26;

// The shared picture set of one bitmap (built once, orientations 0-3; the
// pins stand on the frame's edge ring, so turned frames need no offset).
CVisual& LogicVisual(int bitmapId, int frames, int width, int height, int orientationMask = 15);
