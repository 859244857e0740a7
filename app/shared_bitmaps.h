// The drawing layer's shared bitmap table, filled once at start-up: the
// toolbar picture strips from which a part's orientation buttons take its
// icon (a part's picture set names a table slot and a cell; a cell is 32 x
// 32, one per button of the toolbar, separators taking none).
//
// A strip of a toolbar layout is composed from the icons its buttons show
// on the main toolbar (the parts' own pictures, our pictures for the other
// commands); the variants of a layout drawn for the other symbol styles
// share its buttons.  The strips that belong to no layout are pictures of
// their own in resources/pictures/.
#pragma once

#include <QImage>

#include <vector>

struct SharedBitmapRow {
    int slot;
    int bitmapId;
};

// The registrations in start-up order (slot 19 stays empty).
const std::vector<SharedBitmapRow>& SharedBitmapRows();

// The layout whose buttons a strip shows (0 for a strip of no layout).
int StripLayout(int bitmapId);

// A layout's strip: one 32 x 32 cell per button on white, in button order.
QImage ComposeToolBarStrip(int layout);

// Makes the missing strips and loads every row into its slot; a bitmap that
// cannot be made throws CResourceException (CDisplay::LoadSharedBitmap).
void RegisterSharedBitmaps();
