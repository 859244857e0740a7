// Where a text goes beside a part: the text rectangle, the stored side code
// for the drawing layer's text routine, and the anchor point.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"

#include <optional>

// Side codes asked for: above, right, below, left, inside, and 14 for "the
// rectangle itself".
enum TextSideAsked { kSideAbove = 0, kSideRight = 1, kSideBelow = 2, kSideLeft = 3, kSideInside = 4, kSideGiven = 14 };

constexpr int kPlacedTextHeight = 14;

struct TextPlacement {
    CRect rect;
    int side;      // the stored code: 0, 2, 6 or 14
    CPoint anchor; // in design coordinates
};

// The text of `width` pixels beside `rect`; nothing for a side code that is
// not one of the six.
std::optional<TextPlacement> PlaceBeside(int width, int side, const CRect& rect);

// Width of a value label placed by its constructor: 32 + 8 per unit
// character, 8 less for a unit of one space, 6 more for a negative scale; a
// width of 38 is taken as 39.
int ValueLabelWidth(const CString& unit, double scale);
// Width of a value label placed again without a rectangle of its own: 32 for
// a unit of one space, else 39; 6 more for a negative scale.
int ValueLabelPlaceWidth(const CString& unit, double scale);
