// A picture bitmap loaded by bitmap id from the pictures built into the
// program.  The palette argument stays for the callers' code paths; the
// surface is true colour, so it changes nothing.
#pragma once

#include "model/display/gdi.h"

#include <initializer_list>

class CBitmap256 : public CBitmap {
public:
    // Loads the picture with this bitmap id (replacing any earlier one);
    // false when there is none.
    bool LoadBitmap256(int id, CPalette* palette = nullptr);
};

// Attaches the picture with this bitmap id to `bitmap`; false when there is
// none or it cannot be taken.
bool AttachPicture(CBitmap* bitmap, int pictureId);

// A toolbar strip of `cells` 32-pixel cells on white, holding the first n
// cells of each given strip side by side, attached to `bitmap`; false when
// it cannot be made.
struct StripCells {
    const QImage* image;
    int cells;
};
bool AttachJoinedStrips(CBitmap* bitmap, int cells, std::initializer_list<StripCells> strips);
