// A device context on a 32-bit QImage, with the drawing objects it selects.
//
// Designs were drawn by code that relies on exact pixel rules of the
// platform it was written for: one-pixel lines leave out their last pixel,
// styled pens paint their gaps in the background colour, hatch brushes are
// 8 x 8 patterns fixed to the device origin, raster operations combine
// source, pattern and destination bit by bit, and monochrome bitmaps turn
// into the text and background colours when copied to colour.  CDC keeps
// those rules in its own pixel code; Qt's QPainter only fills polygons and
// ellipses (antialiasing off) and draws text.
#pragma once

#include <QFont>
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/display/colour.h"
#include "platform/cstring.h"
#include "platform/geometry.h"

class CDC;

// Pen styles.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };
// Hatch styles.
enum : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };
// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
// Binary raster operations of pens (the value minus one is the truth table
// over pen bit P and destination bit D at bit 2P + D).
enum : int {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
    R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};
// Ternary raster operations of blits: bits 16-23 are the truth table over
// pattern P, source S and destination D at bit 4P + 2S + D.
enum : std::uint32_t {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021, PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062
};
// Text alignment.
enum : int { TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };
// ExtTextOut options.
enum : int { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
// DrawText formats used by the model.
enum : int {
    DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8, DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_EDITCONTROL = 0x2000
};
// Device capabilities.
enum : int { BITSPIXEL = 12, PLANES = 14, LOGPIXELSY = 90, RASTERCAPS = 38 };
// Mapping modes: text-like (1 logical unit = 1 pixel) and scaled.
enum : int { MM_TEXT = 1, MM_ANISOTROPIC = 8 };
enum : int { ALTERNATE = 1, WINDING = 2 };

// A bitmap: colour (32 bits per pixel, the screen format here) or
// monochrome (1 bit per pixel; stored as black and white pixels).
class CBitmap {
public:
    CBitmap() = default;
    virtual ~CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // A colour bitmap in the format of the DC (always 32 bits here), black.
    bool CreateCompatibleBitmap(const CDC* dc, int width, int height);
    // 1 plane of 1 bit gives a monochrome bitmap (black); anything else colour.
    bool CreateBitmap(int width, int height, int planes, int bitsPerPixel);
    // Takes a ready image (converted to the 32-bit surface format).
    bool Attach(const QImage& image);
    void DeleteObject() { m_image = QImage(); m_mono = false; }
    bool IsNull() const { return m_image.isNull(); }
    CSize GetSize() const { return {m_image.width(), m_image.height()}; }
    int BitsPixel() const { return m_mono ? 1 : 32; }
    bool IsMonochrome() const { return m_mono; }
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

    // The largest side a bitmap may have; larger requests fail (a part or a
    // file asking for more is damaged, not a picture).
    static constexpr int kMaxSide = 16384;

private:
    QImage m_image;
    bool m_mono = false;
};

class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    bool CreatePen(int style, int width, COLORREF colour)
    {
        m_style = style; m_width = width; m_colour = colour; m_valid = true;
        return true;
    }
    void DeleteObject() { m_valid = false; }
    int m_style = PS_SOLID;
    int m_width = 1;
    COLORREF m_colour = kBlack;
    bool m_valid = false;
};

class CBrush {
public:
    enum Kind { Null, Solid, Hatch, Pattern };
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    CBrush(int hatch, COLORREF colour) { CreateHatchBrush(hatch, colour); }
    bool CreateSolidBrush(COLORREF colour) { m_kind = Solid; m_colour = colour; return true; }
    bool CreateHatchBrush(int hatch, COLORREF colour)
    {
        m_kind = Hatch; m_hatch = hatch; m_colour = colour;
        return true;
    }
    // An 8 x 8 pattern from a bitmap; a monochrome one takes the DC's text
    // and background colours where it is black and white.
    bool CreatePatternBrush(const CBitmap& bitmap);
    void DeleteObject() { m_kind = Null; }
    bool IsNull() const { return m_kind == Null; }

    // Whether the brush paints device pixel (x, y), and in which colour;
    // a hatch gap is "not painted" and left to the background mode.
    bool PixelAt(const CDC& dc, int x, int y, COLORREF& colour) const;

    Kind m_kind = Null;
    int m_hatch = 0;
    COLORREF m_colour = kBlack;
    QImage m_pattern;
    bool m_patternMono = false;
};

// A font: the face with the metrics of the requested height.  Heights are
// cell heights (ascent + descent) as designs store them; negative heights
// are character heights (em).
class CFont {
public:
    bool CreateFont(int height, int weight = 400, bool italic = false, bool underline = false,
                    const CString& face = "Arial");
    void DeleteObject() { m_valid = false; }
    bool IsValid() const { return m_valid; }
    int Height() const { return m_height; }
    const CString& Face() const { return m_face; }
    // The Qt font at a device scale (1, or 2 in the double-size zoom).
    QFont QtFont(int scale) const;

    int m_height = 0;
    int m_weight = 400;
    bool m_italic = false;
    bool m_underline = false;
    CString m_face;
    bool m_valid = false;
};

// Palettes are kept so the callers' code paths stay as they are; on a
// true-colour surface selecting and realising one changes nothing.
class CPalette {
public:
    bool m_created = false;
};

struct TEXTMETRIC {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

struct ABC {
    int abcA = 0;
    int abcB = 0;
    int abcC = 0;
};

class CDC {
public:
    CDC();
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A DC drawing straight onto a surface image that the caller owns.
    void AttachSurface(QImage* surface);
    // A memory DC: draws on the bitmap selected into it.  Fails only when
    // the model asks for it (kept for the callers' failure paths).
    bool CreateCompatibleDC(const CDC* dc);
    void DeleteDC();
    bool IsMemoryDC() const { return m_memory; }

    CBitmap* SelectObject(CBitmap* bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CPalette* SelectPalette(CPalette* palette, bool) { CPalette* old = m_palette; m_palette = palette; return old; }
    int RealizePalette() { return 0; }
    CBitmap* GetCurrentBitmap() const { return m_bitmap; }
    CPen* GetCurrentPen() const { return m_pen; }
    CBrush* GetCurrentBrush() const { return m_brush; }
    CFont* GetCurrentFont() const { return m_font; }

    QImage* Surface() const { return m_surface; }
    bool IsMonochrome() const { return m_bitmap && m_bitmap->IsMonochrome(); }

    bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }
    int GetDeviceCaps(int index) const;

    COLORREF SetBkColor(COLORREF c) { COLORREF o = m_bkColour; m_bkColour = c; return o; }
    COLORREF GetBkColor() const { return m_bkColour; }
    COLORREF SetTextColor(COLORREF c) { COLORREF o = m_textColour; m_textColour = c; return o; }
    COLORREF GetTextColor() const { return m_textColour; }
    int SetBkMode(int mode) { int o = m_bkMode; m_bkMode = mode; return o; }
    int GetBkMode() const { return m_bkMode; }
    int SetROP2(int rop) { int o = m_rop2; m_rop2 = rop; return o; }
    int GetROP2() const { return m_rop2; }
    int SetTextAlign(int align) { int o = m_textAlign; m_textAlign = align; return o; }
    int GetTextAlign() const { return m_textAlign; }
    int SetTextCharacterExtra(int extra) { int o = m_charExtra; m_charExtra = extra; return o; }
    int GetTextCharacterExtra() const { return m_charExtra; }
    int SetPolyFillMode(int mode) { int o = m_fillMode; m_fillMode = mode; return o; }
    int SetStretchBltMode(int mode) { int o = m_stretchMode; m_stretchMode = mode; return o; }

    // Mapping: device = (logical - window origin) * scale + viewport origin.
    // Scale 1 is MM_TEXT; the double-size zoom uses scale 2.
    CPoint SetViewportOrg(CPoint p) { CPoint o = m_viewportOrg; m_viewportOrg = p; return o; }
    CPoint SetViewportOrg(int x, int y) { return SetViewportOrg(CPoint(x, y)); }
    CPoint GetViewportOrg() const { return m_viewportOrg; }
    CPoint OffsetViewportOrg(int dx, int dy) { CPoint o = m_viewportOrg; m_viewportOrg.Offset(dx, dy); return o; }
    CPoint SetWindowOrg(CPoint p) { CPoint o = m_windowOrg; m_windowOrg = p; return o; }
    CPoint SetWindowOrg(int x, int y) { return SetWindowOrg(CPoint(x, y)); }
    CPoint GetWindowOrg() const { return m_windowOrg; }
    int SetMapMode(int mode);
    int GetMapMode() const { return m_scale == 1 ? MM_TEXT : MM_ANISOTROPIC; }
    // Window extent 1 x 1 with viewport extent s x s.
    void SetScale(int scale) { m_scale = scale < 1 ? 1 : scale; }
    int GetScale() const { return m_scale; }
    CPoint LPtoDP(CPoint p) const;
    CPoint DPtoLP(CPoint p) const;
    CRect LPtoDP(const CRect& r) const;
    CRect DPtoLP(const CRect& r) const;

    // Clipping: one rectangle in device pixels, inside the surface.
    CRect GetClipBox() const;   // logical
    void IntersectClipRect(const CRect& logical);
    void SelectClipRect(const CRect* logical);   // null removes the clip
    bool PtVisible(CPoint logical) const;

    COLORREF GetPixel(int x, int y) const;   // CLR_INVALID outside
    COLORREF SetPixel(int x, int y, COLORREF colour);

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    bool LineTo(int x, int y);
    bool LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_position; }

    void FillRect(const CRect& rect, const CBrush* brush);
    void FillSolidRect(const CRect& rect, COLORREF colour);
    void FrameRect(const CRect& rect, const CBrush* brush);
    void InvertRect(const CRect& rect);
    bool PatBlt(int x, int y, int width, int height, std::uint32_t rop);
    bool Rectangle(const CRect& rect);
    bool Ellipse(const CRect& rect);
    bool Polygon(const CPoint* points, int count);

    bool BitBlt(int x, int y, int width, int height, const CDC* src, int xSrc, int ySrc, std::uint32_t rop);
    bool StretchBlt(int x, int y, int width, int height, const CDC* src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, std::uint32_t rop);

    // Text in the selected font (the default face at 14 pixels without one).
    CSize GetTextExtent(const CString& text) const;
    bool TextOut(int x, int y, const CString& text);
    bool ExtTextOut(int x, int y, int options, const CRect* rect, const CString& text);
    int DrawText(const CString& text, CRect& rect, int format);
    bool GetTextMetrics(TEXTMETRIC& tm) const;
    bool GetCharABCWidths(unsigned char first, unsigned char last, ABC* out) const;

    // Pixel-level helpers shared by the drawing code.
    void PlotDevice(int x, int y, COLORREF colour, int rop2);
    // Fills device pixels with a brush (solid brushes a row at a time), and
    // the slow pixel-by-pixel reference it is tested against.
    void FillDeviceRect(const CRect& device, const CBrush& brush);
    void FillDeviceRectReference(const CRect& device, const CBrush& brush);
    CRect DeviceClip() const { return m_clip; }

private:
    friend class CBrush;
    void ResetClip();
    QImage* Target() const { return m_surface; }
    void StrokeLine(int x1, int y1, int x2, int y2);
    QFont CurrentQtFont() const;
    void PaintText(int x, int y, const QString& text, const CRect* opaqueRect, bool clipped);

    QImage* m_surface = nullptr;
    bool m_memory = false;
    bool m_printing = false;
    CBitmap* m_bitmap = nullptr;
    CBitmap m_placeholder;   // the 1 x 1 bitmap of a fresh memory DC
    CPen* m_pen = nullptr;
    CBrush* m_brush = nullptr;
    CFont* m_font = nullptr;
    CPalette* m_palette = nullptr;
    COLORREF m_bkColour = kWhite;
    COLORREF m_textColour = kBlack;
    int m_bkMode = OPAQUE;
    int m_rop2 = R2_COPYPEN;
    int m_textAlign = TA_LEFT | TA_TOP;
    int m_charExtra = 0;
    int m_fillMode = ALTERNATE;
    int m_stretchMode = 1;
    CPoint m_viewportOrg;
    CPoint m_windowOrg;
    int m_scale = 1;
    CRect m_clip;            // device pixels
    bool m_clipSet = false;
    CPoint m_position;
    int m_styleStep = 0;     // position in a styled pen's pattern
};

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// A ternary raster operation on 24-bit colours (table: bits 16-23 of the
// operation code): the fast form blits use, and its slow reference that
// evaluates the truth table term by term.
std::uint32_t RasterOp3(unsigned table, std::uint32_t p, std::uint32_t s, std::uint32_t d);
std::uint32_t RasterOp3Reference(unsigned table, std::uint32_t p, std::uint32_t s, std::uint32_t d);

// Stock objects shared by the drawing code.
CPen* StockBlackPen();
CPen* StockWhitePen();
CBrush* StockWhiteBrush();
CBrush* StockBlackBrush();
CBrush* StockNullBrush();
