#include "app/tesk_frame.h"

#include "app/canvas/tesk_view.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/text1252.h"

#include <QCloseEvent>

CTeskFrame::CTeskFrame(CTeskDoc* document, QWidget* parent)
    : QMdiSubWindow(parent), m_document(document), m_view(new CTeskView(document, this))
{
    CreateHomeColumn();
    setAttribute(Qt::WA_DeleteOnClose, false);
    connect(m_document, &CTeskDoc::titleChanged, this, &CTeskFrame::OnUpdateFrameTitle);
    connect(m_document, &CTeskDoc::designReplaced, this, &CTeskFrame::OnUpdateFrameTitle);
    OnUpdateFrameTitle();
}

void CTeskFrame::SetWindowNumber(int number)
{
    m_number = number;
    OnUpdateFrameTitle();
}

QString CTeskFrame::BuildTitle() const
{
    QString title;
    if (CCircuit* d = m_document->GetDesign(); d && !d->m_strName.empty())
        title = QStringLiteral("\"%1\" ").arg(FromWindows1252(d->m_strName));
    title += m_document->GetTitle();
    if (m_number > 0) title += QStringLiteral(":%1").arg(m_number);
    if (m_document->IsModified()) title += QStringLiteral(" *");
    return title;
}

void CTeskFrame::OnUpdateFrameTitle()
{
    setWindowTitle(BuildTitle());
    emit titleUpdated();
}

void CTeskFrame::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    emit closeRequested(this);
}
