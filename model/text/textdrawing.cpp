#include "model/text/textdrawing.h"

#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/text/richtext.h"
#include "model/text/rtf_document.h"
#include "platform/text1252.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
CTextDrawing* g_current = nullptr;

QColor ColorOf(uint32_t c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
}  // namespace

CTextDrawing* CTextDrawing::Current()
{
    if (g_current) return g_current;
    static CDisplayTextDrawing display;
    return CDisplay::GetTextDC() ? &display : nullptr;
}

CTextDrawing* CTextDrawing::Install(CTextDrawing* d)
{
    CTextDrawing* old = g_current;
    g_current = d;
    return old;
}

void CPainterTextDrawing::DrawPlainText(const CString& text, const CRect& rect, CPoint at, int side,
                                        const CCharFormat& cf, bool multiLine)
{
    if (!m_painter) return;
    const RtfCharFormat f = BaseFormatOf(cf);
    QFont font = ToQtFormat(f).font();
    // Points to pixels at the screen's resolution, whatever the device.
    font.setPixelSize(std::max(1, f.halfPoints * kScreenPixelsPerInch / 144));
    m_painter->save();
    m_painter->setFont(font);
    m_painter->setPen(f.hasColor ? ColorOf(f.color) : QColor(Qt::black));
    const QString s = FromWindows1252(text);
    if (multiLine) {
        m_painter->drawText(QRect(rect.left, rect.top, rect.Width(), rect.Height()),
                            Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, s);
    } else {
        const QFontMetrics fm(font);
        const int w = fm.horizontalAdvance(s);
        int x = at.x;
        if ((side & 6) == 6) x -= w / 2;
        else if (side & 2) x -= w;
        const int y = (side & 8) ? at.y - fm.descent() : at.y + fm.ascent();
        m_painter->drawText(x, y, s);
    }
    m_painter->restore();
}

void CPainterTextDrawing::DrawFrame(CPoint a, CPoint b, uint32_t colour, int style)
{
    if (!m_painter) return;
    m_painter->save();
    QPen pen(ColorOf(colour));
    pen.setWidth(0);
    if (style == 1 || style == 2) pen.setStyle(Qt::DashLine);
    m_painter->setPen(pen);
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawRect(QRect(QPoint(a.x, a.y), QPoint(b.x, b.y)));
    m_painter->restore();
}

void CPainterTextDrawing::Erase(const CRect& rect)
{
    if (m_painter) m_painter->fillRect(rect.left, rect.top, rect.Width(), rect.Height(), Qt::white);
}

void CPainterTextDrawing::DrawRichText(const CRTFData& block, const CCharFormat& cf, const CRect& rect,
                                       uint32_t background, const PrintPlacement& at)
{
    if (!m_painter) return;
    if (m_screen) PaintRichText(*m_painter, block, cf, rect, background);
    else PrintRichText(*m_painter, block, cf, rect, background, at);
}

bool CDisplayTextDrawing::IsScreen() const { return !CDisplay::IsPrinting(); }

void CDisplayTextDrawing::DrawRichText(const CRTFData& block, const CCharFormat& cf, const CRect& rect,
                                       uint32_t background, const PrintPlacement& at)
{
    CDC* dc = CDisplay::GetTextDC();
    if (!dc || !dc->Surface() || dc->Surface()->isNull()) return;
    QPainter p(dc->Surface());
    // device = (logical - window origin) x scale + viewport origin
    const CRect clip = dc->DeviceClip();
    p.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    const CPoint vo = dc->GetViewportOrg(), wo = dc->GetWindowOrg();
    p.translate(vo.x, vo.y);
    p.scale(dc->GetScale(), dc->GetScale());
    p.translate(-wo.x, -wo.y);
    if (IsScreen()) PaintRichText(p, block, cf, rect, background);
    else PrintRichText(p, block, cf, rect, background, at);
}

void CDisplayTextDrawing::DrawPlainText(const CString& text, const CRect& rect, CPoint at, int side,
                                        const CCharFormat& cf, bool multiLine)
{
    // A format of the default height draws in the canvas's default font.
    CFont font;
    CFont* use = nullptr;
    if ((cf.mask & kCfmSize) && cf.height > 0) {
        const RtfCharFormat f = BaseFormatOf(cf);
        // Cell height of the em at the screen's resolution (Arial: 2288/2048).
        const int em = f.halfPoints * kScreenPixelsPerInch / 144;
        font.CreateFont(std::max(1, em * 2288 / 2048), f.bold ? 700 : 400, f.italic, f.underline, cf.Face());
        use = &font;
    }
    const uint32_t colour = (cf.mask & kCfmColor) && !(cf.effects & kCfeAutoColor) ? cf.textColor & 0xFFFFFF : 0;
    CDisplay::DrawText(text, rect, at.x, at.y, side, use, multiLine ? 1 : 0, colour, -1);
}

void CDisplayTextDrawing::DrawFrame(CPoint a, CPoint b, uint32_t colour, int style)
{
    CDisplay::DrawFrame(a, b, colour, style, 1, 123456789);
}

void CDisplayTextDrawing::Erase(const CRect& rect) { CDisplay::EraseRect(rect); }
