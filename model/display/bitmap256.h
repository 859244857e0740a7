// A picture bitmap loaded by bitmap id from the pictures built into the
// program.  The palette argument stays for the callers' code paths; the
// surface is true colour, so it changes nothing.
#pragma once

#include "model/display/gdi.h"

class CBitmap256 : public CBitmap {
public:
    // Loads the picture with this bitmap id (replacing any earlier one);
    // false when there is none.
    bool LoadBitmap256(int id, CPalette* palette = nullptr);
};
