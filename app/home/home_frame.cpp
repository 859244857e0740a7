// The design window's home column: the home-screen pane left of the canvas
// in a splitter, and the rules that show, switch and close its trees.
#include "app/canvas/tesk_view.h"
#include "app/home/home_pane.h"
#include "app/tesk_app.h"
#include "app/tesk_frame.h"

#include <QMdiArea>
#include <QSplitter>

namespace {
constexpr int kDefaultHomeWidth = 236;

// The width the other design windows show their home column with (the one
// the user dragged last wins through the active window), else the default.
int SharedHomeWidth(const CTeskFrame* self)
{
    QMdiArea* area = self->mdiArea();
    if (!area) return kDefaultHomeWidth;
    auto* active = qobject_cast<CTeskFrame*>(area->activeSubWindow());
    if (active && active != self) return active->GetHomePaneWidth();
    for (QMdiSubWindow* w : area->subWindowList())
        if (auto* f = qobject_cast<CTeskFrame*>(w); f && f != self && f->GetHomePane()) return f->GetHomePaneWidth();
    return kDefaultHomeWidth;
}
} // namespace

void CTeskFrame::CreateHomeColumn()
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_homePane = new CHomeScreenPane(m_splitter);
    m_splitter->addWidget(m_homePane);
    // The canvas over the graph pane, which comes with the Graph command.
    m_canvasSplitter = new QSplitter(Qt::Vertical, m_splitter);
    m_canvasSplitter->setObjectName(QStringLiteral("canvasSplitter"));
    m_canvasSplitter->addWidget(m_view);
    m_canvasSplitter->setCollapsible(0, false);
    m_splitter->addWidget(m_canvasSplitter);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setCollapsible(1, false);
    setWidget(m_splitter);
    connect(m_homePane, &CHomeScreenPane::closeRequested, this, [this] { SetHomePaneWidth(0); });
    connect(m_homePane, &CHomeScreenPane::openFileRequested, this, [](const QString& path) {
        if (CTeskApp* app = CTeskApp::Get()) app->OpenDocumentFile(path);
    });
    // A window that becomes active takes the shared trees into its pane.
    connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        if ((now & Qt::WindowActive) && m_homePane->isVisible() && m_homePane->width() > 0) m_homePane->TakeTrees();
    });
    SetHomePaneWidth(SharedHomeWidth(this));
}

int CTeskFrame::GetHomePaneWidth() const
{
    if (!m_splitter || m_homePane->isHidden()) return 0;
    return m_splitter->sizes().value(0);
}

void CTeskFrame::SetHomePaneWidth(int width)
{
    if (!m_splitter) return;
    width = std::max(width, 0);
    m_homePane->setVisible(width > 0);
    const int total = std::max(m_splitter->width(), width + 200);
    m_splitter->setSizes({width, total - width});
}

int CTeskFrame::ShowBooks()
{
    if (!m_homePane) return 0;
    m_homePane->ShowBooks();
    const int width = GetHomePaneWidth();
    if (width > 0) return width;
    SetHomePaneWidth(kDefaultHomeWidth);
    return 1;
}

int CTeskFrame::ShowBlocks()
{
    if (!m_homePane) return 0;
    m_homePane->ShowBlocks();
    const int width = GetHomePaneWidth();
    if (width > 0) return width;
    SetHomePaneWidth(kDefaultHomeWidth);
    return 1;
}

void CTeskFrame::ToggleBooks()
{
    if (!m_homePane) return;
    if (IsBooksShown()) SetHomePaneWidth(0);
    else ShowBooks();
}

void CTeskFrame::ToggleBlocks()
{
    if (!m_homePane) return;
    if (IsBlocksShown()) SetHomePaneWidth(0);
    else ShowBlocks();
}

bool CTeskFrame::IsBooksShown() const { return m_homePane && GetHomePaneWidth() > 0 && m_homePane->IsBooksVisible(); }

bool CTeskFrame::IsBlocksShown() const
{
    return m_homePane && GetHomePaneWidth() > 0 && m_homePane->IsBlocksVisible();
}
