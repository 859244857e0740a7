// Rendering parts into bitmaps (clipboard pictures, printing) through the
// drawing layer.
#pragma once

#include "model/display/display.h"

class CPart;

// What a print job tells the drawing code: the area still free on the page.
struct CPrintInfo {
    CRect m_rectDraw;
    bool m_bPreview = false;
};

// Draws the part (and its children) into a new screen-format bitmap: the
// part's rectangle (within the print info's draw rect when given) inflated
// by 8 pixels on every side, erased to white first.  The DC becomes the text
// DC too when `withText` is set; unless `keepColours` is set, scheme colour 0
// becomes scheme colour 1.  Returns the rendered rectangle; throws
// CResourceException when the bitmap cannot be made or drawing fails.
CRect RenderPartToBitmap(CBitmap& bitmap, CPart* part, DWORD flags, bool withText, bool keepColours,
                         const CPrintInfo* info);
// Paints the bitmap at (0, 0) of the DC through a 24-bit DIB.
bool PrintBitmap(CDC* dc, const CBitmap& bitmap);
// Draws the caption of a printed part; the text parts replace the default
// (one centred line in the default font) with their own text layout.
void SetCaptionPainter(void (*paint)(CDC* dc, const CString& caption, const CRect& rect));
