#include "model/text/richtext.h"

#include "model/display/gdi.h"
#include "model/text/rtf_document.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextDocument>

#include <cmath>
#include <list>
#include <memory>
#include <string>

namespace {

// A one-pixel device that only gives layout its resolution.
QImage LayoutDeviceAt(double dpi)
{
    QImage img(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dotsPerMeter);
    img.setDotsPerMeterY(dotsPerMeter);
    return img;
}

// The device the render control lays out for: one pixel at the screen's
// resolution.
QImage& LayoutDevice()
{
    static QImage device = LayoutDeviceAt(kScreenPixelsPerInch);
    return device;
}

QColor QtColourOf(uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

void DrawLaidOut(QPainter& painter, QTextDocument& doc, const QRectF& clip)
{
    painter.setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = clip;
    ctx.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, ctx);
}

void Prepare(QTextDocument& doc, const CRTFData& block, const CCharFormat& cf, int width)
{
    const RtfCharFormat base = BaseFormatOf(cf);
    block.WriteToControl(&doc, false, base);
    doc.setDefaultFont(ToQtFormat(base).font());
    doc.setTextWidth(width);
}

QTextDocument* NewLayoutDocument()
{
    auto* doc = new QTextDocument;
    doc->setDocumentMargin(0);
    doc->setUndoRedoEnabled(false);
    doc->documentLayout()->setPaintDevice(&LayoutDevice());
    return doc;
}

// Laid-out documents of the texts painted last, so that redrawing a canvas
// does not read and lay out every label again: painting a kept layout of a
// typical label costs under 0.1 ms, reading and laying it out again about
// 0.5 ms (bench_rtf).  The key holds everything the layout depends on.
class LayoutCache {
public:
    static constexpr size_t kCapacity = 128;

    QTextDocument& Get(const CRTFData& block, const CCharFormat& cf, int width)
    {
        std::string key;
        key.reserve(block.buffer.size() + block.text.size() + 80);
        key.append(reinterpret_cast<const char*>(&block.mode), sizeof block.mode);
        key.append(reinterpret_cast<const char*>(&width), sizeof width);
        const auto bytes = cf.ToBytes();
        key.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        key += block.buffer;
        key.push_back('\0');
        key += block.text;
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->key == key) {
                m_entries.splice(m_entries.begin(), m_entries, it);
                return *m_entries.front().doc;
            }
        if (m_entries.size() >= kCapacity) m_entries.pop_back();
        std::unique_ptr<QTextDocument> doc(NewLayoutDocument());
        Prepare(*doc, block, cf, width);
        m_entries.push_front({std::move(key), std::move(doc)});
        return *m_entries.front().doc;
    }

private:
    struct Entry {
        std::string key;
        std::unique_ptr<QTextDocument> doc;
    };
    std::list<Entry> m_entries;
};

// Like the render control, kept to the end of the process: its documents
// must not outlive the application's fonts in a static destructor.
LayoutCache& Layouts()
{
    static LayoutCache* cache = new LayoutCache;
    return *cache;
}

}  // namespace

QTextDocument& EnsureRenderControl()
{
    static QTextDocument* control = NewLayoutDocument();
    return *control;
}

int DefaultTextHeightTwips()
{
    return GetDefaultTextHeightTwips(kDefaultFontPixelHeight, kScreenPixelsPerInch);
}

RtfCharFormat BaseFormatOf(const CCharFormat& cf)
{
    return ToRtfFormat(cf, DefaultTextHeightTwips());
}

void RenderRichText(CRTFData* out, const CString& text, const CCharFormat* format)
{
    CCharFormat cf;
    if (format) cf = *format;
    else InitDefaultCharFormat(&cf);
    const RtfCharFormat base = BaseFormatOf(cf);
    QTextDocument& doc = EnsureRenderControl();
    RtfToTextDocument(RtfFromPlainText(text, base), &doc);
    out->ReadFromControl(doc, base);
}

void GetPlainText(CString* out, const CRTFData& block)
{
    CCharFormat cf;
    InitDefaultCharFormat(&cf);
    *out = WindowTextOf(block.ToRtfDocument(false, BaseFormatOf(cf)));
}

void PaintRichText(QPainter& painter, const CRTFData& block, const CCharFormat& cf, const CRect& rect,
                   uint32_t background)
{
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    // The rich-edit layout this replaces wrapped one pixel wider and lower
    // than the label on labels of more than 40 x 32 pixels.
    const int w = rect.Width() + (rect.Width() > 40 ? 1 : 0);
    const int h = rect.Height() + (rect.Height() > 32 ? 1 : 0);
    QTextDocument& doc = Layouts().Get(block, cf, w);
    painter.save();
    if ((background & 0xFFFFFF) != kNoBackground)
        painter.fillRect(rect.left, rect.top, rect.Width(), rect.Height(), QtColourOf(background));
    painter.translate(rect.left, rect.top);
    DrawLaidOut(painter, doc, QRectF(0, 0, w, h));
    painter.restore();
}

double TwipsPerTextPixel(int ppi) { return 15.0 * kScreenPixelsPerInch / (ppi > 0 ? ppi : kScreenPixelsPerInch); }

double DeviceDpiOf(const QPainter& painter)
{
    // The area scale of the transform, so that a rotated or mirrored device
    // gives its resolution too.
    const QTransform& t = painter.worldTransform();
    const double scale = std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
    return kScreenPixelsPerInch * (scale > 0 ? scale : 1.0);
}

void PrintRichText(QPainter& painter, const CRTFData& block, const CCharFormat& cf, const CRect& rect,
                   uint32_t background, const PrintPlacement& at)
{
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    const double twips = TwipsPerTextPixel(at.textPixelsPerInch);
    const double dpi = DeviceDpiOf(painter);
    // Canvas pixels of the rectangle's extent once it is measured in twips.
    const double w = rect.Width() * twips / 15.0;
    const double h = rect.Height() * twips / 15.0;
    painter.save();
    if ((background & 0xFFFFFF) != kNoBackground) {
        QRectF fill(rect.left, rect.top, w, h);
        if (at.selected) fill.adjust(-1, -1, 1, 1);
        painter.fillRect(fill, QtColourOf(background));
    }
    // Laid out in device pixels: the fonts' points become pixels at the
    // device's resolution, and the width is the rectangle's twips there.
    const double devicePerCanvas = dpi / kScreenPixelsPerInch;
    QImage device = LayoutDeviceAt(dpi);
    QTextDocument doc;
    doc.setDocumentMargin(0);
    doc.setUndoRedoEnabled(false);
    doc.documentLayout()->setPaintDevice(&device);
    Prepare(doc, block, cf, static_cast<int>(std::lround(w * devicePerCanvas)));
    painter.translate(rect.left, rect.top);
    painter.scale(1.0 / devicePerCanvas, 1.0 / devicePerCanvas);
    DrawLaidOut(painter, doc, QRectF(0, 0, w * devicePerCanvas, h * devicePerCanvas));
    painter.restore();
}

int MeasureRichTextHeight(const CRTFData& block, const CCharFormat& cf, int width)
{
    QTextDocument& doc = EnsureRenderControl();
    Prepare(doc, block, cf, width);
    return static_cast<int>(std::ceil(doc.size().height()));
}

CFont& SymbolPaletteFont()
{
    static CFont font;
    return font;
}

int InitTextFonts(CDC*)
{
    CFont& font = SymbolPaletteFont();
    if (!font.IsValid()) font.CreateFont(16, 400, false, false, "Symbol");
    return font.IsValid() ? 1 : 0;
}
