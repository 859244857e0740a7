// What the drawing layer needs of a view: a client DC to draw on, handed
// out and taken back, and prepared (scroll position, zoom) before use.
#pragma once

#include <QImage>
#include <memory>

#include "model/display/gdi.h"

class CView {
public:
    virtual ~CView() = default;
    // The client DC, or null when none can be had.
    virtual CDC* GetDC() = 0;
    virtual void ReleaseDC(CDC* dc) = 0;
    // Sets the DC's origins and scale for the view's scroll position.
    virtual void OnPrepareDC(CDC*) {}
};

// A view whose client area is an image: the canvas copies it to the screen,
// tests read its pixels.  Like a window with its own DC, every GetDC hands
// out the same DC, so nested drawing scopes draw on one DC.
class CImageView : public CView {
public:
    CImageView(int width, int height, COLORREF fill = kWhite);
    CDC* GetDC() override;
    void ReleaseDC(CDC* dc) override;
    void OnPrepareDC(CDC* dc) override;

    QImage& Image() { return m_image; }
    COLORREF Pixel(int x, int y) const;
    int OpenDCs() const { return m_taken; }
    // Scroll position and zoom applied by OnPrepareDC.
    CPoint m_scroll;
    int m_zoom = 1;
    // When set, GetDC fails (for testing the failure paths).
    bool m_failGetDC = false;

private:
    QImage m_image;
    CDC m_dc;
    int m_taken = 0;
};
