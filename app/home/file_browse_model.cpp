#include "app/home/file_browse_model.h"

#include "app/file_types.h"
#include "app/home/tree_transfer.h"
#include "model/display/picture_source.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QPixmap>
#include <QSet>
#include <QStorageInfo>
#include <QUrl>

#include <algorithm>

namespace {

// The browser's picture set: 16-pixel images side by side.
constexpr int kImageBitmap = 380;
constexpr int kImageCount = 15;

// Image numbers.
enum : int {
    kImgFolderClosed = 5,
    kImgFolderOpen = 6,
    kImgBookFile = 7,
    kImgOtherBookFile = 8,
    kImgBooksFolder = 9,
    kImgBooksFolderOpen = 10,
    kImgBlockFile = 11,
    kImgOtherBlockFile = 12,
    kImgBlocksFolder = 13,
    kImgBlocksFolderOpen = 14,
};

QString WithoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

// The drag data that names the tree an item comes from: the process and
// the tree's model, compared only, never followed.
const QString kTreeItemFormat = QStringLiteral("application/x-workbench-tree-item");

QByteArray TreeTag(const void* model)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(model));
}

QString Join(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

int IsDesignFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("zrn")) return 2;
    if (suffix == QLatin1String("zrm")) return 1;
    if (suffix == QLatin1String("ckt")) return 15;
    return 0;
}

struct CFileBrowseModel::Node {
    Kind kind = Kind::kFolder;
    QString name;          // the file or folder name (files with their extension); a drive's root path
    int fileType = 0;      // 1, 2 or 15 for files
    int driveType = kFixed;
    QString volumeId;      // removable and CD drives: the medium seen when listed
    bool listed = false;   // its folder has been read
    bool readable = true;  // the last read succeeded
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    int Row() const
    {
        if (!parent) return 0;
        for (size_t i = 0; i < parent->children.size(); ++i)
            if (parent->children[i].get() == this) return static_cast<int>(i);
        return 0;
    }
};

namespace {

// Folders first, then files; names without regard to case.
bool Before(const std::unique_ptr<CFileBrowseModel::Node>& a, const std::unique_ptr<CFileBrowseModel::Node>& b);

} // namespace

CFileBrowseModel::CFileBrowseModel(bool blocksMode, QObject* parent)
    : QAbstractItemModel(parent), m_blocksMode(blocksMode), m_top(std::make_unique<Node>())
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CFileBrowseModel::OnDirectoryChanged);
}

CFileBrowseModel::~CFileBrowseModel() = default;

void CFileBrowseModel::SetRoot(const QString& folder, bool rooted)
{
    m_root = folder.isEmpty() ? QString() : WithoutTrailingSeparator(QDir::cleanPath(folder));
    m_rooted = rooted;
}

void CFileBrowseModel::Initialise(bool inDialog)
{
    m_initialised = true;
    if (m_root.isEmpty() || !QFileInfo(m_root).isDir()) {
        m_root = WithoutTrailingSeparator(GetProgramFolder());
        m_rooted = !inDialog;
    }
    beginResetModel();
    const QStringList watched = m_watcher.directories();
    if (!watched.isEmpty()) m_watcher.removePaths(watched);
    m_top->children.clear();
    m_top->listed = true;
    if (m_rooted) {
        auto root = std::make_unique<Node>();
        root->kind = Kind::kFolder;
        const QFileInfo info(m_root);
        const QString longForm = info.canonicalFilePath().isEmpty() ? m_root : info.canonicalFilePath();
        root->name = longForm == QLatin1String("/") ? longForm : QFileInfo(longForm).fileName();
        root->parent = m_top.get();
        m_top->children.push_back(std::move(root));
    } else {
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            if (!volume.isValid() || !volume.isReady()) continue;
            auto drive = std::make_unique<Node>();
            drive->kind = Kind::kDrive;
            drive->name = volume.rootPath();
            drive->driveType = DriveTypeOf(QString::fromLatin1(volume.fileSystemType()));
            drive->volumeId = volume.name() + QLatin1Char('|') + QString::fromLatin1(volume.device());
            drive->parent = m_top.get();
            m_top->children.push_back(std::move(drive));
        }
        std::sort(m_top->children.begin(), m_top->children.end(),
                  [](const auto& a, const auto& b) { return a->name < b->name; });
    }
    endResetModel();
}

CFileBrowseModel::DriveType CFileBrowseModel::DriveTypeOf(const QString& fs)
{
    static const struct {
        const char* name;
        DriveType type;
    } kTypes[] = {
        {"iso9660", kCdRom}, {"udf", kCdRom},      {"nfs", kRemote},     {"nfs4", kRemote},
        {"cifs", kRemote},   {"smb3", kRemote},    {"sshfs", kRemote},   {"fuse.sshfs", kRemote},
        {"tmpfs", kRamDisk}, {"ramfs", kRamDisk},  {"vfat", kRemovable}, {"exfat", kRemovable},
    };
    for (const auto& t : kTypes)
        if (fs == QLatin1String(t.name)) return t.type;
    return kFixed;
}

// ---------------------------------------------------------------- paths

QString CFileBrowseModel::NodePath(const Node* node) const
{
    if (!node || node == m_top.get()) return {};
    if (node->kind == Kind::kDrive) return node->name;
    if (node->parent == m_top.get()) return m_rooted ? m_root : node->name;
    return Join(NodePath(node->parent), node->name);
}

QString CFileBrowseModel::ItemPath(const QModelIndex& index) const { return NodePath(NodeOf(index)); }

CFileBrowseModel::Kind CFileBrowseModel::ItemKind(const QModelIndex& index) const
{
    const Node* n = NodeOf(index);
    return n ? n->kind : Kind::kFolder;
}

int CFileBrowseModel::ItemFileType(const QModelIndex& index) const
{
    const Node* n = NodeOf(index);
    return n && n->kind == Kind::kFile ? n->fileType : 0;
}

QModelIndex CFileBrowseModel::IndexOfPath(const QString& wanted)
{
    const QString path = WithoutTrailingSeparator(QDir::cleanPath(wanted));
    // The top item the path lies below: the root, or the volume with the
    // longest matching root path.
    Node* start = nullptr;
    QString startPath;
    for (auto& top : m_top->children) {
        const QString p = WithoutTrailingSeparator(NodePath(top.get()));
        const bool below = path.compare(p, Qt::CaseInsensitive) == 0 ||
                           path.startsWith(p == QLatin1String("/") ? p : p + QLatin1Char('/'), Qt::CaseInsensitive);
        if (below && p.size() > startPath.size()) {
            start = top.get();
            startPath = p;
        }
    }
    if (!start) return {};
    Node* node = start;
    const QStringList parts = path.mid(startPath.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (node->kind == Kind::kFile) return {};
        if (!node->listed) ListFolder(IndexOf(node));
        Node* next = nullptr;
        // An exact match wins over one that differs only in case.
        for (auto& c : node->children)
            if (c->name == part) next = c.get();
        if (!next)
            for (auto& c : node->children)
                if (!next && c->name.compare(part, Qt::CaseInsensitive) == 0) next = c.get();
        if (!next) return {};
        node = next;
    }
    return IndexOf(node);
}

bool CFileBrowseModel::PathExists(const QString& path)
{
    const QFileInfo info(WithoutTrailingSeparator(path));
    if (!info.exists()) return false;
    return info.isDir() || IsDesignFile(path) != 0;
}

bool CFileBrowseModel::FolderHasDesignFiles(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files))
        if (IsDesignFile(name)) return true;
    return false;
}

bool CFileBrowseModel::FolderHasSubfolders(const QString& folder)
{
    return !QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
}

// ---------------------------------------------------------------- listing

namespace {
bool Before(const std::unique_ptr<CFileBrowseModel::Node>& a, const std::unique_ptr<CFileBrowseModel::Node>& b)
{
    const bool aFolder = a->kind != CFileBrowseModel::Kind::kFile;
    const bool bFolder = b->kind != CFileBrowseModel::Kind::kFile;
    if (aFolder != bFolder) return aFolder;
    const int c = a->name.compare(b->name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a->name < b->name;
}
} // namespace

std::vector<std::unique_ptr<CFileBrowseModel::Node>> CFileBrowseModel::ReadFolder(const QString& folder) const
{
    std::vector<std::unique_ptr<Node>> out;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot)) {
        if (info.isHidden()) continue;
        auto n = std::make_unique<Node>();
        n->name = info.fileName();
        if (info.isDir()) {
            n->kind = Kind::kFolder;
        } else {
            n->fileType = IsDesignFile(n->name);
            if (!n->fileType) continue;
            n->kind = Kind::kFile;
        }
        out.push_back(std::move(n));
    }
    std::sort(out.begin(), out.end(), Before);
    return out;
}

bool CFileBrowseModel::ListFolder(const QModelIndex& index)
{
    Node* node = NodeOf(index);
    if (!node || node->kind == Kind::kFile) return false;
    if (node->kind == Kind::kDrive) {
        // A removable medium swapped since the drive was listed: start again.
        const QStorageInfo volume(node->name);
        const QString id = volume.name() + QLatin1Char('|') + QString::fromLatin1(volume.device());
        if (node->listed && id != node->volumeId) Collapse(index);
        node->volumeId = id;
    }
    Relist(node);
    return !node->children.empty();
}

void CFileBrowseModel::Relist(Node* node)
{
    const QString folder = NodePath(node);
    const QFileInfo info(folder);
    node->readable = info.isDir() && info.isReadable();
    std::vector<std::unique_ptr<Node>> fresh = node->readable ? ReadFolder(folder) : decltype(fresh)();
    const QModelIndex parentIndex = IndexOf(node);
    if (!node->listed && !node->children.empty()) {
        beginRemoveRows(parentIndex, 0, static_cast<int>(node->children.size()) - 1);
        node->children.clear();
        endRemoveRows();
    }
    // Remove what is no longer there (or changed kind), keeping the rest
    // and whatever was listed below it.
    auto key = [](const Node& n) { return QString(QChar(n.kind == Kind::kFile ? u'f' : u'd')) + n.name; };
    QSet<QString> freshKeys, oldKeys;
    for (const auto& f : fresh) freshKeys.insert(key(*f));
    for (int i = static_cast<int>(node->children.size()) - 1; i >= 0; --i) {
        Node* old = node->children[static_cast<size_t>(i)].get();
        if (freshKeys.contains(key(*old))) {
            oldKeys.insert(key(*old));
            continue;
        }
        Unwatch(old);
        beginRemoveRows(parentIndex, i, i);
        node->children.erase(node->children.begin() + i);
        endRemoveRows();
    }
    if (node->children.empty() && !fresh.empty()) {
        // A first listing: everything at once.
        beginInsertRows(parentIndex, 0, static_cast<int>(fresh.size()) - 1);
        for (auto& f : fresh) f->parent = node;
        node->children = std::move(fresh);
        endInsertRows();
        fresh.clear();
    }
    // Insert what is new at its place in the order.
    for (auto& f : fresh) {
        if (oldKeys.contains(key(*f))) continue;
        const auto at = std::lower_bound(node->children.begin(), node->children.end(), f, Before);
        const int row = static_cast<int>(at - node->children.begin());
        beginInsertRows(parentIndex, row, row);
        f->parent = node;
        node->children.insert(node->children.begin() + row, std::move(f));
        endInsertRows();
    }
    if (!node->listed && node->readable) m_watcher.addPath(folder);
    node->listed = true;
    emit dataChanged(parentIndex, parentIndex);
}

void CFileBrowseModel::Unwatch(Node* node)
{
    if (node->listed) m_watcher.removePath(NodePath(node));
    for (auto& c : node->children) Unwatch(c.get());
}

void CFileBrowseModel::Collapse(const QModelIndex& index)
{
    Node* node = NodeOf(index);
    if (!node || node == m_top.get() || !node->listed) return;
    Unwatch(node);
    if (!node->children.empty()) {
        beginRemoveRows(index, 0, static_cast<int>(node->children.size()) - 1);
        node->children.clear();
        endRemoveRows();
    }
    node->listed = false;
}

CFileBrowseModel::Node* CFileBrowseModel::FindListed(Node* node, const QString& path) const
{
    if (node != m_top.get() && node->listed && WithoutTrailingSeparator(NodePath(node)) == path) return node;
    for (auto& c : node->children)
        if (c->listed)
            if (Node* found = FindListed(c.get(), path)) return found;
    return nullptr;
}

void CFileBrowseModel::RefreshFolder(const QString& path)
{
    Node* node = FindListed(m_top.get(), WithoutTrailingSeparator(QDir::cleanPath(path)));
    if (!node) return;
    if (!QFileInfo(NodePath(node)).isDir()) {
        // The folder itself went: its parent's listing drops it.
        Node* parent = node->parent;
        if (parent && parent != m_top.get()) {
            Relist(parent);
        } else {
            Collapse(IndexOf(node));
        }
        return;
    }
    Relist(node);
}

void CFileBrowseModel::CollectListed(const Node* node, QStringList& out) const
{
    if (node != m_top.get() && node->listed) out << NodePath(node);
    for (const auto& c : node->children) CollectListed(c.get(), out);
}

void CFileBrowseModel::RefreshAll()
{
    QStringList listed;
    CollectListed(m_top.get(), listed);
    for (const QString& p : listed) RefreshFolder(p);
}

QStringList CFileBrowseModel::WatchedFolders() const { return m_watcher.directories(); }

void CFileBrowseModel::OnDirectoryChanged(const QString& path) { RefreshFolder(path); }

// ---------------------------------------------------------------- the model interface

CFileBrowseModel::Node* CFileBrowseModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_top.get();
}

QModelIndex CFileBrowseModel::IndexOf(Node* node) const
{
    if (!node || node == m_top.get()) return {};
    return createIndex(node->Row(), 0, node);
}

QModelIndex CFileBrowseModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* p = NodeOf(parent);
    if (!p || column != 0 || row < 0 || row >= static_cast<int>(p->children.size())) return {};
    return createIndex(row, 0, p->children[static_cast<size_t>(row)].get());
}

QModelIndex CFileBrowseModel::parent(const QModelIndex& child) const
{
    const Node* n = NodeOf(child);
    if (!child.isValid() || !n || !n->parent) return {};
    return IndexOf(n->parent);
}

int CFileBrowseModel::rowCount(const QModelIndex& parent) const
{
    const Node* p = NodeOf(parent);
    return p ? static_cast<int>(p->children.size()) : 0;
}

int CFileBrowseModel::columnCount(const QModelIndex&) const { return 1; }

bool CFileBrowseModel::hasChildren(const QModelIndex& parent) const
{
    const Node* p = NodeOf(parent);
    if (!p || p->kind == Kind::kFile) return false;
    // A drive or folder shows its expand button until it has been listed.
    return p == m_top.get() || !p->listed || !p->children.empty();
}

QIcon CFileBrowseModel::Image(int n) const
{
    if (m_images.empty()) {
        m_images.resize(kImageCount);
        if (const PictureSource* pic = FindPicture(kImageBitmap)) {
            for (int i = 0; i < kImageCount; ++i) {
                QImage frame = pic->image.copy(i * 16, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
                // Cyan is the mask colour of the set.
                for (int y = 0; y < frame.height(); ++y)
                    for (int x = 0; x < frame.width(); ++x)
                        if ((frame.pixel(x, y) & 0xFFFFFF) == 0x00FFFF) frame.setPixel(x, y, 0);
                m_images[static_cast<size_t>(i)] = QIcon(QPixmap::fromImage(frame));
            }
        }
    }
    return n >= 0 && n < kImageCount ? m_images[static_cast<size_t>(n)] : QIcon();
}

QVariant CFileBrowseModel::data(const QModelIndex& index, int role) const
{
    const Node* n = NodeOf(index);
    if (!index.isValid() || !n) return {};
    switch (role) {
    case Qt::DisplayRole:
        // Rooted trees show design files without their extension.
        if (n->kind == Kind::kFile && m_rooted) return QFileInfo(n->name).completeBaseName();
        return n->name;
    case Qt::DecorationRole: {
        if (n->kind == Kind::kDrive) return Image(n->driveType);
        if (n->kind == Kind::kFile) {
            const bool plain = n->fileType == 1;
            if (m_blocksMode) return Image(plain ? kImgBlockFile : kImgOtherBlockFile);
            return Image(plain ? kImgBookFile : kImgOtherBookFile);
        }
        const bool open = n->listed && !n->children.empty();
        if (!m_rooted) return Image(open ? kImgFolderOpen : kImgFolderClosed);
        if (m_blocksMode) return Image(open ? kImgBlocksFolderOpen : kImgBlocksFolder);
        return Image(open ? kImgBooksFolderOpen : kImgBooksFolder);
    }
    default:
        return {};
    }
}

Qt::ItemFlags CFileBrowseModel::flags(const QModelIndex& index) const
{
    // Below the items of a rooted tree lies its root folder.
    if (!index.isValid()) return m_rooted ? Qt::ItemIsDropEnabled : Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Only a design file of the Blocks tree can be dragged; files are put
    // into drives and folders.
    const Kind kind = ItemKind(index);
    if (m_blocksMode && kind == Kind::kFile) f |= Qt::ItemIsDragEnabled;
    if (kind != Kind::kFile) f |= Qt::ItemIsDropEnabled;
    return f;
}

QStringList CFileBrowseModel::mimeTypes() const { return {QStringLiteral("text/uri-list"), kTreeItemFormat}; }

QMimeData* CFileBrowseModel::mimeData(const QModelIndexList& indexes) const
{
    QList<QUrl> urls;
    for (const QModelIndex& i : indexes)
        if (ItemKind(i) == Kind::kFile) urls << QUrl::fromLocalFile(ItemPath(i));
    if (urls.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setData(kTreeItemFormat, TreeTag(this));
    return data;
}

// ---------------------------------------------------------------- dropping files from another tree

namespace {

// The design files of drag data that comes from another tree of this
// program; empty for anything else.
QStringList DroppedFiles(const QMimeData* data, const void* self)
{
    if (!data || !data->hasFormat(kTreeItemFormat) || !data->hasUrls()) return {};
    const QByteArray tag = data->data(kTreeItemFormat);
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + ':';
    if (!tag.startsWith(pid) || tag == TreeTag(self)) return {};
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || !IsDesignFile(url.toLocalFile())) return {};
        files << url.toLocalFile();
    }
    return files;
}

} // namespace

QString CFileBrowseModel::DropFolder(const QModelIndex& parent) const
{
    if (!parent.isValid()) return m_rooted ? m_root : QString();
    const QString path = ItemPath(parent);
    return ItemKind(parent) == Kind::kFile ? QFileInfo(path).absolutePath() : path;
}

bool CFileBrowseModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                       const QModelIndex& parent) const
{
    if (action != Qt::MoveAction && action != Qt::CopyAction) return false;
    const QStringList files = DroppedFiles(data, this);
    const QString folder = DropFolder(parent);
    if (files.isEmpty() || folder.isEmpty()) return false;
    // A file dropped into its own folder has nowhere to go.
    const QString target = QFileInfo(folder).canonicalFilePath();
    for (const QString& f : files)
        if (QFileInfo(QFileInfo(f).absolutePath()).canonicalFilePath() == target) return false;
    return true;
}

bool CFileBrowseModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    const bool move = action == Qt::MoveAction;
    const QString folder = DropFolder(parent);
    QStringList changed{folder};
    QString arrived;
    QString failure;
    for (const QString& file : DroppedFiles(data, this)) {
        const TransferOutcome out = TransferFile(file, folder, move);
        if (out.result != TransferResult::kDone) {
            failure = TransferMessage(out.result, file, folder, move);
            break;
        }
        arrived = out.target;
        if (move) changed << QFileInfo(file).absolutePath();
    }
    // Only the folders that changed are read again.
    changed.removeDuplicates();
    for (const QString& f : changed) RefreshFolder(f);
    if (!arrived.isEmpty()) {
        emit foldersChanged(changed);
        emit fileDropped(arrived);
    }
    if (!failure.isEmpty()) emit dropFailed(failure);
    return failure.isEmpty();
}
