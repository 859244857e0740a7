#include "app/canvas/tesk_view.h"

#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"

#include <QPainter>
#include <QScrollBar>

CTeskView::CTeskView(CTeskDoc* document, QWidget* parent) : QAbstractScrollArea(parent), m_document(document)
{
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    connect(m_document, &CTeskDoc::designReplaced, this, [this] {
        UpdateScrollBars();
        UpdateView();
    });
    UpdateScrollBars();
}

CTeskView::~CTeskView() = default;

CCircuit* CTeskView::GetDesign() const
{
    return m_document ? m_document->GetDesign() : nullptr;
}

void CTeskView::UpdateView()
{
    viewport()->update();
}

bool CTeskView::IdleStep(long)
{
    return false;
}

QSize CTeskView::PageSize() const
{
    CCircuit* d = GetDesign();
    if (!d) return {};
    const CRect page = d->GetPageRect();
    return QSize(page.right, page.bottom);
}

QImage CTeskView::RenderDesign(int scale) const
{
    const QSize page = PageSize();
    if (page.isEmpty()) return {};
    CImageView image(page.width() * scale, page.height() * scale);
    image.m_zoom = scale;
    CCircuit* d = GetDesign();
    if (d && CDisplay::IsIdle()) {
        CDisplay display(&image);
        d->DrawTree(d->GetRedrawFlags());
    }
    return image.Image();
}

void CTeskView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    CCircuit* d = GetDesign();
    const QSize size = viewport()->size();
    // Drawing refuses re-entry: while another scope draws (a paint event
    // inside a dialog of the design, say), the previous picture stays.
    if (!d || size.isEmpty() || !CDisplay::IsIdle()) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    CImageView image(size.width(), size.height());
    image.m_scroll = CPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    {
        CDisplay display(&image);
        d->DrawTree(d->GetRedrawFlags());
    }
    painter.drawImage(0, 0, image.Image());
}

void CTeskView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CTeskView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CTeskView::UpdateScrollBars()
{
    const QSize page = PageSize();
    const QSize port = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, page.width() - port.width()));
    horizontalScrollBar()->setPageStep(port.width());
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setRange(0, std::max(0, page.height() - port.height()));
    verticalScrollBar()->setPageStep(port.height());
    verticalScrollBar()->setSingleStep(16);
}
