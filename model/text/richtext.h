// Laying out and painting rich text.  One program-wide QTextDocument, the
// render control, lays out every text part in turn (user-interface thread
// only); it is laid out for a screen of kScreenPixelsPerInch, so a 10-point
// font is 13.3 pixels high on the canvas at any zoom.  Printers and pictures
// lay text out at their own resolution instead (PrintRichText).
#pragma once

#include "model/text/charformat.h"
#include "model/text/rtfdata.h"
#include "platform/geometry.h"

class QPainter;
class QTextDocument;

constexpr int kScreenPixelsPerInch = 96;
// Pixel height of the drawing layer's default font, from which the default
// text height of labels follows.
constexpr int kDefaultFontPixelHeight = 14;
// Colour meaning "no background": white is never painted.
constexpr uint32_t kNoBackground = 0xFFFFFF;

// The render control, created on first use.
QTextDocument& EnsureRenderControl();

// GetDefaultTextHeightTwips of the screen's default font.
int DefaultTextHeightTwips();

// The format of text that names none: the CHARFORMAT, its height filled in
// with the default height when it is 0.
RtfCharFormat BaseFormatOf(const CCharFormat& cf);

// Makes `out` the rich text of a plain text in one format (the default
// CHARFORMAT when format is null): left-aligned paragraphs without indents
// or tab stops, read back as RTF (mode 2).
void RenderRichText(CRTFData* out, const CString& text, const CCharFormat* format);

// The plain text of a block as the render control shows it.
void GetPlainText(CString* out, const CRTFData& block);

// Lays the block out across rect's width and paints it at rect's top-left,
// clipped to rect, on a background of `background` unless that is
// kNoBackground.  A block without bytes shows its plain text in the format.
void PaintRichText(QPainter& painter, const CRTFData& block, const CCharFormat& cf, const CRect& rect,
                   uint32_t background);

// Printing and metafiles lay rich text out in twips, for the device's own
// resolution, rather than for the screen.  The text's rectangle is measured
// in the pixels of the screen it was laid out on (`textPixelsPerInch`, the
// part's GetPixelsPerInch): 96 / ppi x 15 twips per pixel, so the text keeps
// the proportion to its rectangle that it had there.  The device resolution
// follows from the painter: its world transform maps canvas pixels (1/96
// inch) to device pixels, so a device pixel is 1440 / (96 x scale) twips.
// The rectangle's top-left stays where the canvas puts it.
struct PrintPlacement {
    int textPixelsPerInch = kScreenPixelsPerInch;
    // A selected part's background reaches one pixel further (over the
    // selection frame's inner edge).
    bool selected = false;
};

// Twips per pixel of text laid out at ppi (ppi 0 or less: the screen's).
double TwipsPerTextPixel(int ppi);
// The device resolution (pixels per inch) of a painter whose world
// transform maps canvas pixels to device pixels.
double DeviceDpiOf(const QPainter& painter);

// The print branch of PaintRichText: the background (unless kNoBackground)
// and the block laid out in twips at the device's resolution.
void PrintRichText(QPainter& painter, const CRTFData& block, const CCharFormat& cf, const CRect& rect,
                   uint32_t background, const PrintPlacement& at);

// The laid-out height in pixels of the block at the given width.
int MeasureRichTextHeight(const CRTFData& block, const CCharFormat& cf, int width);

class CDC;
class CFont;
// The drawing layer's text-font initialiser (CDisplay::SetTextFontInitialiser,
// installed at start-up): creates the symbol palette's font, "Symbol" at 16
// pixels.  Returns 1 when it exists.
int InitTextFonts(CDC* dc);
CFont& SymbolPaletteFont();
