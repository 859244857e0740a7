#include "app/home/file_browse_ctrl.h"

#include "platform/messagebox.h"
#include "platform/text1252.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

CFileBrowseCtrl::CFileBrowseCtrl(bool blocksMode, QWidget* parent)
    : QTreeView(parent), m_model(new CFileBrowseModel(blocksMode, this))
{
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    // Long names are not shortened: the column is as wide as the widest name
    // in view and the tree scrolls sideways to it.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Only the Blocks tree is dragged from (a canvas takes a copy); every
    // tree takes files from another one.
    setDragEnabled(blocksMode);
    setDragDropMode(blocksMode ? QAbstractItemView::DragDrop : QAbstractItemView::DropOnly);
    setDefaultDropAction(Qt::CopyAction);
    setDropIndicatorShown(true);
    connect(this, &QTreeView::expanded, this, &CFileBrowseCtrl::OnExpanded);
    connect(this, &QTreeView::collapsed, this, &CFileBrowseCtrl::OnCollapsed);
    // Told once the drop is over: a modal message inside the drop would hold
    // up the drag's own hand-over.
    connect(m_model, &CFileBrowseModel::dropFailed, this, &CFileBrowseCtrl::OnDropFailed, Qt::QueuedConnection);
    connect(m_model, &CFileBrowseModel::foldersChanged, this, &CFileBrowseCtrl::foldersChanged);
    connect(m_model, &CFileBrowseModel::fileDropped, this, &CFileBrowseCtrl::SelectPath);
}

// The view's own drop handling finds the drop place and hands the model the
// drop's action.  A drag from a tree offers only a copy (see the model); the
// tree asks for a move unless Ctrl is held, and the drag itself stays a copy
// for its source.
void CFileBrowseCtrl::dropEvent(QDropEvent* event)
{
    QDropEvent inner(event->position(), event->possibleActions() | Qt::MoveAction, event->mimeData(), event->buttons(),
                     event->modifiers());
    inner.setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
    QTreeView::dropEvent(&inner);
    if (inner.isAccepted()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

bool CFileBrowseCtrl::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = indexAt(help->pos());
        // The row spans the whole column; the name ends where its own width
        // says.
        if (at.isValid() && visualRect(at).left() + sizeHintForIndex(at).width() > viewport()->width()) {
            QToolTip::showText(help->globalPos(), at.data().toString(), viewport(), visualRect(at));
            return true;
        }
        // Left to the tree (its tooltip says what a click or a drag does).
        event->ignore();
        return false;
    }
    return QTreeView::viewportEvent(event);
}

void CFileBrowseCtrl::OnDropFailed(const QString& message)
{
    WbMessageBox(ToWindows1252(message), MB_OK | MB_ICONEXCLAMATION);
}

void CFileBrowseCtrl::SetRoot(const QString& folder, bool rooted) { m_model->SetRoot(folder, rooted); }

void CFileBrowseCtrl::SelectPath(const QString& path)
{
    m_pendingSelection = path;
    if (!m_model->IsInitialised()) return;
    const QModelIndex i = m_model->IndexOfPath(path);
    if (!i.isValid()) return;
    m_pendingSelection.clear();
    for (QModelIndex p = i.parent(); p.isValid(); p = p.parent()) expand(p);
    setCurrentIndex(i);
    scrollTo(i);
}

void CFileBrowseCtrl::Initialise(bool inDialog)
{
    m_model->Initialise(inDialog);
    // A rooted tree opens on its root folder's listing.
    if (m_model->IsRooted() && m_model->rowCount() > 0) expand(m_model->index(0, 0));
    if (!m_pendingSelection.isEmpty()) SelectPath(m_pendingSelection);
}

QString CFileBrowseCtrl::SelectedPath() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return rows.isEmpty() ? QString() : m_model->ItemPath(rows.first());
}

void CFileBrowseCtrl::OnExpanded(const QModelIndex& index)
{
    // Nothing to show in it (or it is gone): it stays closed.
    if (!m_model->ListFolder(index)) collapse(index);
}

void CFileBrowseCtrl::OnCollapsed(const QModelIndex& index) { m_model->Collapse(index); }

void CFileBrowseCtrl::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    m_pressed = QPersistentModelIndex(event->button() == Qt::LeftButton ? indexAt(event->position().toPoint()) : QModelIndex());
}

void CFileBrowseCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    // A click: pressed and released on the same item (not on its expand
    // button, which changes nothing of the selection).
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool click = event->button() == Qt::LeftButton && at.isValid() && at == m_pressed && at == currentIndex();
    m_pressed = QPersistentModelIndex();
    if (click) OnItemChosen(at);
}

void CFileBrowseCtrl::keyPressEvent(QKeyEvent* event)
{
    m_byKey = true;
    QTreeView::keyPressEvent(event);
    m_byKey = false;
}

void CFileBrowseCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_byKey && current.isValid()) OnItemChosen(current);
}

void CFileBrowseCtrl::OnItemChosen(const QModelIndex& index)
{
    const QString path = m_model->ItemPath(index);
    switch (m_model->ItemKind(index)) {
    case CFileBrowseModel::Kind::kFile:
        if (!QFileInfo::exists(path)) {
            m_model->RefreshFolder(QFileInfo(path).absolutePath());
            return;
        }
        if (!m_model->IsBlocksMode()) {
            emit openFileRequested(path);
            // The same file can be clicked again.
            clearSelection();
            const QModelIndex root = m_model->index(0, 0);
            selectionModel()->setCurrentIndex(root, QItemSelectionModel::NoUpdate);
        }
        return;
    default:
        if (!QFileInfo(path).isDir()) {
            m_model->RefreshFolder(QFileInfo(path).absolutePath());
            return;
        }
        emit folderSelected(path);
        return;
    }
}
