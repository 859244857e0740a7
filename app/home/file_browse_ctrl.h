// CFileBrowseCtrl: the tree view of drives, folders and design files.  The
// Books browser opens a design file when it is clicked (and leaves no
// selection on it, so it can be clicked again); the Blocks browser lets its
// design files be dragged onto a canvas, where they arrive as a module.
// Expanded folders are watched by the model: a change shows at once.
//
// A design file dragged from another tree onto this one is moved into the
// folder it is dropped on (copied when Ctrl is held); a failure is told in a
// message box and leaves the file where it was.
#pragma once

#include "app/home/file_browse_model.h"

#include <QPersistentModelIndex>
#include <QTreeView>

class CFileBrowseCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CFileBrowseCtrl(bool blocksMode, QWidget* parent = nullptr);

    CFileBrowseModel* Model() const { return m_model; }
    bool IsBlocksMode() const { return m_model->IsBlocksMode(); }

    // The root folder (rooted: only that folder; else every volume).
    void SetRoot(const QString& folder, bool rooted);
    // A path to select; selected now when the tree is filled, else after
    // Initialise.
    void SelectPath(const QString& path);
    // Fills the tree (and selects the pending path).
    void Initialise(bool inDialog = false);
    bool IsInitialised() const { return m_model->IsInitialised(); }
    QString GetItemPath(const QModelIndex& index) const { return m_model->ItemPath(index); }
    // The path of the selected item (empty: none).
    QString SelectedPath() const;
    // Re-reads the listed folders.
    void Refresh() { m_model->RefreshAll(); }

signals:
    // A design file of the Books browser was clicked.
    void openFileRequested(const QString& path);
    // An existing folder was chosen.
    void folderSelected(const QString& path);
    // A drop into this tree changed these folders (the other trees that
    // list them re-read them).
    void foldersChanged(const QStringList& folders);

protected:
    // Runs the click rules for the item under the mouse or the keyboard.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A name cut off at the tree's edge shows whole in a tooltip; elsewhere
    // the tree's own tooltip shows.
    bool viewportEvent(QEvent* event) override;

private:
    void OnExpanded(const QModelIndex& index);
    void OnCollapsed(const QModelIndex& index);
    void OnItemChosen(const QModelIndex& index);
    void OnDropFailed(const QString& message);

    CFileBrowseModel* m_model;
    QString m_pendingSelection;
    QPersistentModelIndex m_pressed;
    bool m_byKey = false;
};
