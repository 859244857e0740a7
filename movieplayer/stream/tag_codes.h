// Tag codes of the movie format that the engine knows by name.  Every other
// code is skipped by its length.
#pragma once

namespace movie {

enum TagCode : int {
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagDefineShape = 2,
    kTagFreeCharacter = 3,
    kTagPlaceObject = 4,
    kTagRemoveObject = 5,
    kTagDefineBits = 6,
    kTagDefineButton = 7,
    kTagJpegTables = 8,
    kTagSetBackgroundColor = 9,
    kTagDefineFont = 10,
    kTagDefineText = 11,
    kTagDoAction = 12,
    kTagDefineFontInfo = 13,
    kTagDefineBitsLossless = 20,
    kTagDefineBitsJpeg2 = 21,
    kTagDefineShape2 = 22,
    kTagDefineButtonCxform = 23,
    kTagProtect = 24,
    kTagPlaceObject2 = 26,
    kTagRemoveObject2 = 28,
    kTagDefineShape3 = 32,
    kTagDefineText2 = 33,
    kTagDefineButton2 = 34,
    kTagDefineBitsJpeg3 = 35,
    kTagDefineBitsLossless2 = 36,
    kTagDefineEditText = 37,
    kTagDefineSprite = 39,
    kTagFrameLabel = 43,
    kTagDefineMorphShape = 46,
    kTagDefineFont2 = 48,
};

}  // namespace movie
