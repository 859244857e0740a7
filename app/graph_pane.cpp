#include "app/graph_pane.h"

#include "app/control_toolbar.h"
#include "app/graph_dialog.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_item.h"
#include "model/designfile/scope_settings.h"
#include "platform/text1252.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

namespace {

QColor ToQColor(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

CPoint ToPoint(const QPointF& p) { return CPoint(static_cast<int>(p.x()), static_cast<int>(p.y())); }

} // namespace

void CQtScopePainter::Line(int x1, int y1, int x2, int y2, COLORREF colour, int width)
{
    QPen pen(ToQColor(colour));
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    if (x1 == x2 && y1 == y2)
        m_painter.drawPoint(x1, y1);
    else
        m_painter.drawLine(x1, y1, x2, y2);
}

void CQtScopePainter::FillRect(const CRect& r, COLORREF colour)
{
    m_painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(colour));
}

void CQtScopePainter::Text(const CRect& r, const CString& text, Align align, bool bold, COLORREF colour)
{
    QFont font = m_painter.font();
    font.setBold(bold);
    m_painter.setFont(font);
    m_painter.setPen(ToQColor(colour));
    int flags = Qt::AlignVCenter | Qt::TextDontClip;
    switch (align) {
    case kCentredBelow: flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip; break;
    case kRightAligned: flags |= Qt::AlignRight; break;
    case kLeftCaption: flags |= Qt::AlignLeft; break;
    }
    m_painter.drawText(QRect(r.left, r.top, r.Width(), r.Height()), flags, FromWindows1252(text));
}

CScopeWidget::CScopeWidget(CTeskDoc* document, QWidget* parent)
    : QWidget(parent), m_document(document), m_settings(document->GetItem()->ShareGraphSettings()),
      m_scope(*this, *m_settings)
{
    setObjectName(QStringLiteral("graphPane"));
    setMinimumHeight(kMinimumHeight);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scope.SetDesign(document->GetDesign());
    connect(document, &CTeskDoc::designReplaced, this, [this] { m_scope.SetDesign(m_document->GetDesign()); });
}

CScopeWidget::~CScopeWidget()
{
    // The property toolbar must not keep the graph part of a closed pane.
    CTeskApp* app = CTeskApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (CControlToolBar* bar = frame ? frame->ControlBar() : nullptr; bar && bar->Part() == &m_scope.Settings())
        bar->ShowPart(nullptr, nullptr);
}

void CScopeWidget::ShowGraphPart()
{
    CTeskApp* app = CTeskApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    CControlToolBar* bar = frame ? frame->ControlBar() : nullptr;
    if (!bar) return;
    QPointer<CScopeWidget> self(this);
    bar->ShowOutsidePart(&m_scope.Settings(), [self] {
        if (self) self->m_scope.Relayout();
    });
    frame->UpdateCommands();
}

bool CScopeWidget::EditAdvanced(CAdvancedScopeForm& form)
{
    CAdvancedScopeForm edited = form;
    CAdvancedScopeDialog dialog(edited, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    form = edited;
    return true;
}

void CScopeWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    CQtScopePainter p(painter);
    m_scope.Draw(p);
}

bool CScopeWidget::PrintTo(QPagedPaintDevice& device)
{
    QPainter painter(&device);
    if (!painter.isActive()) return false;
    // The page in the screen's pixels, so that the graph prints as large as
    // it shows.
    const double scale = static_cast<double>(device.logicalDpiX()) / std::max(logicalDpiX(), 1);
    painter.scale(scale, scale);
    const int w = static_cast<int>(device.width() / scale), h = static_cast<int>(device.height() / scale);
    CQtScopePainter p(painter);
    return m_scope.Print(p, w, h);
}

void CScopeWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_scope.OnSize(width(), height());
}

void CScopeWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) m_scope.OnButtonDown(ToPoint(event->position()));
}

void CScopeWidget::mouseMoveEvent(QMouseEvent* event) { m_scope.OnMouseMove(ToPoint(event->position())); }

void CScopeWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) m_scope.OnButtonUp(ToPoint(event->position()));
}

void CScopeWidget::wheelEvent(QWheelEvent* event)
{
    const QPoint d = event->angleDelta();
    const int notches = (d.x() != 0 ? d.x() : d.y()) / 120;
    if (notches != 0) m_scope.ScrollSteps(-notches);
    event->accept();
}

void CScopeWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: m_scope.ScrollSteps(-1); break;
    case Qt::Key_Right: m_scope.ScrollSteps(1); break;
    case Qt::Key_Home: m_scope.ScrollBy(-1000000); break;
    case Qt::Key_End: m_scope.ScrollBy(1000000); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}
