#include "model/display/view.h"

CImageView::CImageView(int width, int height, COLORREF fill)
    : m_image(width, height, QImage::Format_RGB32)
{
    m_image.fill(PixelOf(fill));
}

CDC* CImageView::GetDC()
{
    if (m_failGetDC) return nullptr;
    if (m_taken++ == 0) {
        m_dc.AttachSurface(&m_image);
        m_dc.SetBkColor(kWhite);
        m_dc.SetROP2(R2_COPYPEN);
    }
    return &m_dc;
}

void CImageView::ReleaseDC(CDC* dc)
{
    if (dc == &m_dc && m_taken > 0) --m_taken;
}

void CImageView::OnPrepareDC(CDC* dc)
{
    dc->SetScale(m_zoom);
    dc->SetWindowOrg(m_scroll);
    dc->SetViewportOrg(0, 0);
}

COLORREF CImageView::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height()) return CLR_INVALID;
    return ColourOf(reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x]);
}
