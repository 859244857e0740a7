// The tree of drives, folders and design files behind the home screen's
// Books and Blocks browsers and the folder-choice dialog.
//
// Every node keeps its kind (drive, folder, design file and its type) apart
// from its position in the folder listing, so a large folder cannot turn a
// file into a folder or give it another extension.  A folder is listed when
// it is first expanded; while it stays listed it is watched
// (QFileSystemWatcher, on the user-interface thread) and a change in it
// re-reads that one folder: new entries are inserted in order, vanished ones
// removed, everything else (expansion, selection) stays.
#pragma once

#include <QAbstractItemModel>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QString>

#include <memory>
#include <vector>

// Design file types by extension: ".zrm" 1, ".zrn" 2, ".ckt" 15, else 0.
int IsDesignFile(const QString& path);

class CFileBrowseModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum class Kind { kDrive, kFolder, kFile };
    // Drive types of the volumes (images 0 to 4).
    enum DriveType { kFixed = 0, kRemovable = 1, kCdRom = 2, kRemote = 3, kRamDisk = 4 };

    explicit CFileBrowseModel(bool blocksMode, QObject* parent = nullptr);
    ~CFileBrowseModel() override;

    // The folder shown as the tree's root (rooted) or all volumes (not rooted).
    void SetRoot(const QString& folder, bool rooted);
    QString Root() const { return m_root; }
    bool IsRooted() const { return m_rooted; }
    bool IsBlocksMode() const { return m_blocksMode; }
    // Fills the tree.  A root that is empty or does not exist falls back to
    // the program's folder (rooted unless inDialog).
    void Initialise(bool inDialog = false);
    bool IsInitialised() const { return m_initialised; }

    // The full path of an item (files with their extension); empty for none.
    QString ItemPath(const QModelIndex& index) const;
    Kind ItemKind(const QModelIndex& index) const;
    // The file type (1, 2 or 15) of a file item, 0 for other items.
    int ItemFileType(const QModelIndex& index) const;
    // The item of an absolute path, listing the folders on the way; invalid
    // when the path is not in the tree.
    QModelIndex IndexOfPath(const QString& path);
    // Lists the folder of an item (again); false when nothing was listed.
    bool ListFolder(const QModelIndex& index);
    // Forgets the children of a collapsed item; it is listed afresh when it
    // opens again.
    void Collapse(const QModelIndex& index);
    // Re-reads every listed folder (the Refresh Folders command).
    void RefreshAll();
    // Re-reads one listed folder: what vanished goes, what is new comes.
    void RefreshFolder(const QString& path);
    // The folders being watched (the listed ones).
    QStringList WatchedFolders() const;

    static bool PathExists(const QString& path);
    static bool FolderHasDesignFiles(const QString& folder);
    static bool FolderHasSubfolders(const QString& folder);
    // The volume's drive type from its file system.
    static DriveType DriveTypeOf(const QString& fileSystemType);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // A drag only ever offers a copy, so that no other program (a file
    // manager) moves a block out of its folder; a drop into another of our
    // trees moves the file itself.
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    // A design file dragged from another tree of this program may be dropped
    // onto a folder (into it), between items (into their folder) or below
    // the items of a rooted tree (into the root folder).  A move is the
    // default; a copy keeps the file in its own folder too.
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    // The folder a drop onto parent lands in (empty: none).
    QString DropFolder(const QModelIndex& parent) const;

signals:
    // A drop could not be carried out: the text says why.
    void dropFailed(const QString& message);
    // A drop changed these folders; this tree has re-read the ones it lists.
    void foldersChanged(const QStringList& folders);
    // A dropped file arrived at path.
    void fileDropped(const QString& path);

public:

    struct Node;

private:
    Node* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(Node* node) const;
    QString NodePath(const Node* node) const;
    // The entries of a folder in the tree's order.
    std::vector<std::unique_ptr<Node>> ReadFolder(const QString& folder) const;
    void Relist(Node* node);
    void Unwatch(Node* node);
    Node* FindListed(Node* node, const QString& path) const;
    void CollectListed(const Node* node, QStringList& out) const;
    QIcon Image(int n) const;
    void OnDirectoryChanged(const QString& path);

    bool m_blocksMode;
    bool m_rooted = true;
    bool m_initialised = false;
    QString m_root;
    std::unique_ptr<Node> m_top;  // invisible: its children are the top items
    QFileSystemWatcher m_watcher;
    mutable std::vector<QIcon> m_images;
};
