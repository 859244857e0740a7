// The drawing layer: one program-wide current DC on which every part draws,
// made current by CDisplay scopes, with the shared memory DCs, fonts, pens
// and brushes.  User-interface thread only; nothing here is locked.
#pragma once

#include <cstdint>

#include "model/display/gdi.h"
#include "model/display/view.h"
#include "platform/archive.h"
#include "platform/cstring.h"
#include "platform/geometry.h"

class CBitmap256;
class CVisual;
class CPart;
struct CPrintInfo;

// Thrown when a DC, memory DC or bitmap of the drawing layer cannot be had.
class CResourceException : public CException {
public:
    const char* what() const noexcept override { return "drawing resource unavailable"; }
};

// The value of DrawFrame's second colour that means "same as the first".
constexpr COLORREF kSameColour = 123456789;

class CDisplay {
public:
    // Takes the view's client DC (prepared by the view) and makes it current.
    explicit CDisplay(CView* view);
    // Makes a given DC (printer, memory) current; with a view the DC is
    // released to it at the end.
    CDisplay(CDC* dc, CView* view);
    ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    static int SuspendDrawing();
    static CDC* ResumeDrawing();
    static bool IsIdle();
    static bool IsPrinting();
    static bool PtVisible(CPoint p);

    static int InitFonts(CView* view, CDC* dc);
    static int CreateFittingFont(CDC* dc, CFont& font, int& created, const CString& face, int maxWidth,
                                 int maxHeight, bool scaled);
    static int CreateDefaultFont(CDC* dc);

    static void EraseRect(const CRect& rect);
    static void FillRectColour(const CRect& rect, COLORREF colour);
    static void FillRectBrush(const CRect& rect, CBrush* brush);
    static void FrameRectHatched(const CRect& rect, CBrush* brush, COLORREF colour);
    static void InvertRect(const CRect& rect);
    static void DrawLine(int x1, int y1, int x2, int y2, COLORREF colour, int penStyle, int width);
    static void DrawThinLine(int x1, int y1, int x2, int y2);
    static void DrawRect(CPoint corner, CPoint opposite, COLORREF colour);
    static void DrawFrame(CPoint corner, CPoint opposite, COLORREF colour, int style, int width,
                          COLORREF second = kSameColour);
    static void DrawCircle(CPoint centre, int size, int unused, int penWidth, COLORREF colour);
    static void DrawEdgeLine(int x1, int y1, int x2, int y2, bool raised);
    static int DrawText(const CString& text, const CRect& rect, int x, int y, int alignment, CFont* font,
                        int flags, COLORREF colour, int limit);
    static CSize GetTextExtent(const CString& text);
    static void BlitMemoryBitmap(CBitmap* bitmap, const CRect& rect, CPalette* palette);
    static COLORREF GetBitmapPixel(CBitmap* bitmap, int x, int y);
    static int BeginBuffer(const CRect& rect);
    static void EndBuffer(const CRect& rect, bool noInset);
    // Loads a picture by bitmap id into a slot of the shared bitmap table;
    // throws CResourceException when there is no such picture.
    static void LoadSharedBitmap(int slot, int id);
    // Prints a part: its picture centred across the print info's draw rect
    // 90 units below its top, the part drawn over it on the printer, the
    // caption below; the draw rect's top then moves below it all.
    static void PrintPart(CDC* printer, CPrintInfo* info, CPart* part, DWORD flags, const CString& caption);

    // The drawing layer's state, for the drawing code and tests.
    static CDC* GetCurrentDC();
    static CDC* GetTextDC();
    static CDC* GetBitmapDC();
    static CView* GetView();
    static int GetNesting();
    static bool IsColour();
    static void SetZoomWord(std::uint16_t zoom);
    static std::uint16_t GetZoomWord();
    static void SetZoomLineCompensation(int on);
    static int GetZoomLineCompensation();
    static const TEXTMETRIC& GetTextMetrics();
    // The font state record.
    static int GetScreenFontHeight();
    // Sets the drawing layer's current and text DC directly (rendering into
    // a bitmap, capturing a drag image); returns the previous current DC.
    static CDC* SetCurrentDC(CDC* dc, CDC* textDC);
    // Called once by InitFonts to set up the text parts' fonts; its result
    // is kept and returned by InitFonts.
    static void SetTextFontInitialiser(int (*init)(CDC*));
    // The printing and colour flags, as printing sets them.
    static void SetPrintState(bool printing, bool colour);
    // Ends the drawing scopes by force (after a failure) and forgets fonts;
    // for the start of a test.
    static void ResetForTest();

    // Detaching by force, as the failure paths of the drawing code do.
    static void DetachForced();

private:
    static void AttachDC(CDC* dc, CView* view, bool release);
    static void DetachDC(bool force);
};

CFont* GetDefaultFont();
COLORREF GetSchemeColour(int index);
int GetScreenColourBits();
void EraseClipBox();
void DrawDashedLine(int x1, int y1, int x2, int y2, int unused, int style);
void DrawXorLine(int x1, int y1, int x2, int y2, int dashedStyle);
void FillPolygon(const CPoint* points, int count, CBrush* brush);
void ReplaceBitmapColour(CBitmap& bitmap, COLORREF colour, COLORREF newColour);
bool ComposeIconBitmap(CBitmap& source, CBitmap& destination, int leftIcon, int rightIcon);
// The application's shared bitmap table (toolbar icon strips and shared
// pictures), by slot.
CBitmap256* GetSharedBitmap(int slot);
constexpr int kSharedBitmapSlots = 64;
// A table whose making is left until after start-up: the filler runs once,
// on the first GetSharedBitmap or FillSharedBitmaps, whichever comes first
// (a CResourceException it throws reaches that caller).
void SetSharedBitmapFiller(void (*fill)());
void FillSharedBitmaps();
