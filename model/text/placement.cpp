#include "model/text/placement.h"

std::optional<TextPlacement> PlaceBeside(int width, int side, const CRect& r)
{
    const int h = kPlacedTextHeight;
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom - h) / 2;
    switch (side) {
    case kSideAbove: return TextPlacement{CRect(cx - width / 2, r.top - h, cx + width / 2, r.top), 14, CPoint(cx, r.top)};
    case kSideRight: return TextPlacement{CRect(r.right + 1, cy, r.right + 1 + width, cy + h), 0, CPoint(r.right + 1, cy)};
    case kSideBelow: return TextPlacement{CRect(cx - width / 2, r.bottom, cx + width / 2, r.bottom + h), 6, CPoint(cx, r.bottom)};
    case kSideLeft: return TextPlacement{CRect(r.left - 1 - width, cy, r.left - 1, cy + h), 2, CPoint(r.left - 1, cy)};
    case kSideInside: return TextPlacement{CRect(r.left, r.top, r.left + width, r.top + h), 0, CPoint(r.left, r.top)};
    case kSideGiven: return TextPlacement{r, 6, CPoint(cx, r.top)};
    default: return std::nullopt;
    }
}

int ValueLabelWidth(const CString& unit, double scale)
{
    int w = 32 + 8 * unit.GetLength();
    if (unit == " ") w -= 8;
    if (scale < 0) w += 6;
    return w == 38 ? 39 : w;
}

int ValueLabelPlaceWidth(const CString& unit, double scale)
{
    return (unit == " " ? 32 : 39) + (scale < 0 ? 6 : 0);
}
