// The design window's graph pane: below the canvas in a splitter, made the
// first time the Graph command asks for it.
#include "app/canvas/tesk_view.h"
#include "app/graph_pane.h"
#include "app/tesk_frame.h"

#include <QSplitter>

#include <algorithm>

namespace {
// Below this height the pane counts as closed and draws nothing.
constexpr int kShownHeight = 8;
} // namespace

bool CTeskFrame::IsGraphShown() const
{
    return m_graphPane && m_graphPane->isVisible() && m_graphPane->height() > kShownHeight;
}

void CTeskFrame::ShowGraph()
{
    if (!m_canvasSplitter) return;
    bool first = false;
    if (!m_graphPane) {
        first = true;
        m_graphPane = new CScopeWidget(m_document, m_canvasSplitter);
        m_canvasSplitter->addWidget(m_graphPane);
        m_canvasSplitter->setStretchFactor(0, 1);
        m_canvasSplitter->setStretchFactor(1, 0);
        m_view->SetGraphSource([this]() -> CSimulationGraph* {
            return IsGraphShown() ? &m_graphPane->Scope() : nullptr;
        });
        // Dragged open again, the pane takes up the recording where it stands.
        connect(m_canvasSplitter, &QSplitter::splitterMoved, m_graphPane, [this] {
            if (IsGraphShown()) m_graphPane->Scope().SetDesign(m_view->GetDesign());
        });
    }
    m_graphPane->show();
    const QList<int> sizes = m_canvasSplitter->sizes();
    if (first || sizes.value(1) <= kShownHeight) {
        const int total = std::max(sizes.value(0) + sizes.value(1), 2 * CScopeWidget::kMinimumHeight);
        const int pane = std::max(CScopeWidget::kMinimumHeight, total * 2 / 5);
        m_canvasSplitter->setSizes({total - pane, pane});
    }
    m_graphPane->Scope().SetDesign(m_view->GetDesign());
    m_graphPane->Scope().Relayout();
}
