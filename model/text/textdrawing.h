// Where text parts draw.  The drawing layer installs one while a drawing
// scope is open; with none installed text parts draw nothing (headless use).
// CPainterTextDrawing draws with a QPainter, on any paint device.
#pragma once

#include "model/text/charformat.h"
#include "model/text/richtext.h"
#include "model/text/rtfdata.h"
#include "platform/cstring.h"
#include "platform/geometry.h"

#include <cstdint>

class QPainter;

class CTextDrawing {
public:
    virtual ~CTextDrawing() = default;
    // Rich text laid out across rect's width, clipped to rect, on the
    // background colour unless that is 0xFFFFFF (richtext.h).  A screen lays
    // it out for the screen; other devices (printers, pictures) in twips at
    // their own resolution, as `at` describes.
    virtual void DrawRichText(const CRTFData& block, const CCharFormat& cf, const CRect& rect, uint32_t background,
                              const PrintPlacement& at) = 0;
    // True on a screen (the in-place editor hides the text it edits there).
    virtual bool IsScreen() const { return true; }
    // Plain text at `at` with the text-alignment code `side` (0 left, 2
    // right, 6 centred; 8 added: `at` is the bottom of the text, else its
    // top), in the format's font; multi-line text wraps inside rect.
    virtual void DrawPlainText(const CString& text, const CRect& rect, CPoint at, int side, const CCharFormat& font,
                               bool multiLine) = 0;
    // A frame one pixel wide from a to b (inclusive) in colour; style 2 dashed.
    virtual void DrawFrame(CPoint a, CPoint b, uint32_t colour, int style) = 0;
    // Fills rect with the canvas background.
    virtual void Erase(const CRect& rect) = 0;

    // The installed drawing; without one, the drawing layer's current
    // device context when a drawing scope is open; else null.
    static CTextDrawing* Current();
    // Installs d (null: none); returns the previous one.
    static CTextDrawing* Install(CTextDrawing* d);
};

class CPainterTextDrawing : public CTextDrawing {
public:
    explicit CPainterTextDrawing(QPainter* painter, bool screen = true) : m_painter(painter), m_screen(screen) {}
    void DrawRichText(const CRTFData& block, const CCharFormat& cf, const CRect& rect, uint32_t background,
                      const PrintPlacement& at) override;
    bool IsScreen() const override { return m_screen; }
    void DrawPlainText(const CString& text, const CRect& rect, CPoint at, int side, const CCharFormat& font,
                       bool multiLine) override;
    void DrawFrame(CPoint a, CPoint b, uint32_t colour, int style) override;
    void Erase(const CRect& rect) override;

private:
    QPainter* m_painter;
    bool m_screen;
};

// Text on the drawing layer's text DC (CDisplay): plain text through its
// text routine, rich text laid out onto the DC's image through its mapping.
class CDisplayTextDrawing : public CTextDrawing {
public:
    bool IsScreen() const override;
    void DrawRichText(const CRTFData& block, const CCharFormat& cf, const CRect& rect, uint32_t background,
                      const PrintPlacement& at) override;
    void DrawPlainText(const CString& text, const CRect& rect, CPoint at, int side, const CCharFormat& font,
                       bool multiLine) override;
    void DrawFrame(CPoint a, CPoint b, uint32_t colour, int style) override;
    void Erase(const CRect& rect) override;
};

// Installs a drawing for the lifetime of the scope.
class CTextDrawingScope {
public:
    explicit CTextDrawingScope(CTextDrawing* d) : m_previous(CTextDrawing::Install(d)) {}
    ~CTextDrawingScope() { CTextDrawing::Install(m_previous); }
    CTextDrawingScope(const CTextDrawingScope&) = delete;
    CTextDrawingScope& operator=(const CTextDrawingScope&) = delete;

private:
    CTextDrawing* m_previous;
};
