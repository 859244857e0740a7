// A design file dragged from the Blocks tree onto a folder of the Books
// tree, on the real trees of the home screen over temporary folders: the
// drag data comes from the source tree's model and the drop is delivered to
// the target tree's viewport as the window system would deliver it.  Moves,
// copies, the places a file may land, the folders re-read, and the failures
// (a name clash, a read-only folder, a vanished folder) that must leave
// every file as it was.
#include "app/home/file_browse_ctrl.h"
#include "app/home/file_browse_model.h"
#include "app/home/home_pane.h"
#include "app/home/tree_transfer.h"
#include "platform/messagebox.h"
#include "platform/text1252.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace shelltest;

namespace {

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Rows(const QAbstractItemModel& m, const QModelIndex& parent)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(parent); ++r) out << m.index(r, 0, parent).data().toString();
    return out;
}

// Where on the target a drop lands.
enum class Spot { kOnItem, kLowerEdgeOfItem, kBelowAllItems };

class TreeDrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        // Blocks: amp.zrn and filter.ckt in the library and a sub-folder;
        // Books: two unit folders and a page.
        QDir root(m_dir.path());
        for (const char* d : {"Blocks", "Blocks/Old", "Books", "Books/Unit 1", "Books/Unit 2"})
            root.mkdir(QString::fromLatin1(d));
        Write(Blocks("amp.zrn"), "amplifier");
        Write(Blocks("filter.ckt"), "filter");
        Write(Blocks("Old/relay.zrm"), "relay");
        Write(Books("Unit 1/page.zrn"), "page");
        m_trees = std::make_unique<CTreeCtrlWrapper>(nullptr);
        m_trees->resize(300, 600);
        // Both trees on screen at once: Blocks above Books.
        m_trees->Blocks()->show();
        m_trees->Blocks()->SetRoot(m_dir.filePath("Blocks"), true);
        m_trees->Blocks()->Initialise();
        m_trees->Books()->SetRoot(m_dir.filePath("Books"), true);
        m_trees->Books()->Initialise();
        m_trees->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_trees.get()));
    }
    void TearDown() override
    {
        for (const char* d : {"Books/Unit 1", "Books/Unit 2", "Blocks"})
            QFile::setPermissions(m_dir.filePath(QString::fromLatin1(d)),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString Blocks(const char* name) const { return m_dir.filePath(QStringLiteral("Blocks/") + QString::fromLatin1(name)); }
    QString Books(const char* name) const { return m_dir.filePath(QStringLiteral("Books/") + QString::fromLatin1(name)); }
    CFileBrowseCtrl* BooksTree() const { return m_trees->Books(); }
    CFileBrowseCtrl* BlocksTree() const { return m_trees->Blocks(); }

    // The drag data of a Blocks item, as the view makes it when a drag starts.
    std::unique_ptr<QMimeData> DragOf(CFileBrowseCtrl* tree, const QString& path) const
    {
        const QModelIndex item = tree->Model()->IndexOfPath(path);
        EXPECT_TRUE(item.isValid()) << path.toStdString();
        return std::unique_ptr<QMimeData>(tree->Model()->mimeData({item}));
    }

    QPoint PointAt(CFileBrowseCtrl* tree, const QString& path, Spot spot) const
    {
        if (spot == Spot::kBelowAllItems) return QPoint(20, tree->viewport()->height() - 4);
        const QModelIndex item = tree->Model()->IndexOfPath(path);
        EXPECT_TRUE(item.isValid()) << path.toStdString();
        tree->scrollTo(item);
        const QRect r = tree->visualRect(item);
        return spot == Spot::kOnItem ? r.center() : QPoint(r.center().x(), r.bottom() - 1);
    }

    // Enters, moves over and drops on the target tree at `at`; whether the
    // tree took the drop while the pointer moved over it, and the action of
    // the drop.
    struct DropResult {
        bool acceptedOnMove = false;
        bool acceptedOnDrop = false;
        Qt::DropAction action = Qt::IgnoreAction;
    };
    DropResult Drop(CFileBrowseCtrl* target, const QMimeData* data, QPoint at, Qt::KeyboardModifiers keys = {})
    {
        DropResult out;
        // What the trees' drags offer: a copy only.
        const Qt::DropActions offered = Qt::CopyAction;
        QWidget* port = target->viewport();
        QDragEnterEvent enter(at, offered, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(port, &enter);
        if (!enter.isAccepted()) return out;
        QDragMoveEvent move(at, offered, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(port, &move);
        out.acceptedOnMove = move.isAccepted();
        if (!out.acceptedOnMove) {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(port, &leave);
            return out;
        }
        QDropEvent drop(QPointF(at), offered, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(port, &drop);
        out.acceptedOnDrop = drop.isAccepted();
        out.action = drop.dropAction();
        // A failure is told once the drop is over.
        QCoreApplication::processEvents();
        return out;
    }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    QTemporaryDir m_dir;
    std::unique_ptr<CTreeCtrlWrapper> m_trees;
};

} // namespace

TEST_F(TreeDrop, ABlockDroppedOnABooksFolderMovesThereAndBothTreesShowIt)
{
    CFileBrowseModel* books = BooksTree()->Model();
    CFileBrowseModel* blocks = BlocksTree()->Model();
    const QModelIndex blocksRoot = blocks->index(0, 0);
    ASSERT_EQ(Rows(*blocks, blocksRoot), (QStringList{"Old", "amp", "filter"}));
    // Unit 1 is open, Unit 2 is not: only the listed folders are read again.
    BooksTree()->expand(books->IndexOfPath(Books("Unit 1")));
    const QStringList watchedBefore = books->WatchedFolders();

    // A drag offers other programs (a file manager) only a copy, so none of
    // them can take a block out of the library.
    EXPECT_EQ(blocks->supportedDragActions(), Qt::CopyAction);
    auto data = DragOf(BlocksTree(), Blocks("amp.zrn"));
    ASSERT_TRUE(data);
    const DropResult r = Drop(BooksTree(), data.get(), PointAt(BooksTree(), Books("Unit 1"), Spot::kOnItem));
    EXPECT_TRUE(r.acceptedOnMove);
    EXPECT_TRUE(r.acceptedOnDrop);
    EXPECT_EQ(r.action, Qt::CopyAction) << "the drag's source is never asked to remove anything";
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;

    EXPECT_FALSE(QFileInfo::exists(Blocks("amp.zrn")));
    EXPECT_EQ(Read(Books("Unit 1/amp.zrn")), QByteArray("amplifier"));
    // At once, without waiting for the folder watcher: the Books folder
    // lists it, the Blocks folder no longer does, and it is selected.
    EXPECT_EQ(Rows(*books, books->IndexOfPath(Books("Unit 1"))), (QStringList{"amp", "page"}));
    EXPECT_EQ(Rows(*blocks, blocksRoot), (QStringList{"Old", "filter"}));
    EXPECT_EQ(BooksTree()->SelectedPath(), Books("Unit 1/amp.zrn"));
    EXPECT_EQ(books->WatchedFolders(), watchedBefore) << "no folder was listed that was not open";
    EXPECT_TRUE(BooksTree()->isExpanded(books->IndexOfPath(Books("Unit 1"))));
}

TEST_F(TreeDrop, WhereAFileLandsAndHowCtrlCopiesIt)
{
    const struct Case {
        const char* block;
        const char* over;  // a Books path under the pointer
        Spot spot;
        Qt::KeyboardModifiers keys;
        const char* lands;  // its new path under Books
        bool stays;         // the Blocks file is still there
    } cases[] = {
        // Onto a folder: into it.
        {"amp.zrn", "Unit 2", Spot::kOnItem, {}, "Unit 2/amp.zrn", false},
        // Onto a file (it takes nothing): into that file's folder.
        {"filter.ckt", "Unit 1/page.zrn", Spot::kOnItem, {}, "Unit 1/filter.ckt", false},
        // Below everything in the rooted tree: into the root folder; Ctrl
        // copies.
        {"Old/relay.zrm", "", Spot::kBelowAllItems, Qt::ControlModifier, "relay.zrm", true},
    };
    BooksTree()->expand(BooksTree()->Model()->IndexOfPath(Books("Unit 1")));
    for (const Case& c : cases) {
        BlocksTree()->expand(BlocksTree()->Model()->IndexOfPath(Blocks("Old")));
        auto data = DragOf(BlocksTree(), Blocks(c.block));
        ASSERT_TRUE(data) << c.block;
        const DropResult r = Drop(BooksTree(), data.get(), PointAt(BooksTree(), Books(c.over), c.spot), c.keys);
        EXPECT_TRUE(r.acceptedOnDrop) << c.block;
        EXPECT_TRUE(QFileInfo::exists(Books(c.lands))) << c.lands;
        EXPECT_EQ(QFileInfo::exists(Blocks(c.block)), c.stays) << c.block;
        EXPECT_EQ(Read(Books(c.lands)).isEmpty(), false) << c.lands;
        EXPECT_EQ(BooksTree()->SelectedPath(), Books(c.lands)) << "the new item is selected";
    }
    EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;
}

TEST_F(TreeDrop, WhatCannotBeDroppedIsNotTaken)
{
    // A block onto a folder of its own tree.
    BlocksTree()->expand(BlocksTree()->Model()->IndexOfPath(Blocks("Old")));
    auto amp = DragOf(BlocksTree(), Blocks("amp.zrn"));
    EXPECT_FALSE(Drop(BlocksTree(), amp.get(), PointAt(BlocksTree(), Blocks("Old"), Spot::kOnItem)).acceptedOnMove);

    // The Books tree is never dragged from.
    CFileBrowseModel* books = BooksTree()->Model();
    EXPECT_FALSE(books->flags(books->IndexOfPath(Books("Unit 1/page.zrn"))) & Qt::ItemIsDragEnabled);
    // Drag data from outside the program's trees (a file manager's).
    QMimeData outside;
    outside.setUrls({QUrl::fromLocalFile(Blocks("amp.zrn"))});
    EXPECT_FALSE(Drop(BooksTree(), &outside, PointAt(BooksTree(), Books("Unit 1"), Spot::kOnItem)).acceptedOnMove);
    // A tree whose root is the folder the block is in: nothing to do there.
    CFileBrowseCtrl library(false);
    library.SetRoot(m_dir.filePath("Blocks"), true);
    library.Initialise();
    EXPECT_FALSE(library.Model()->canDropMimeData(amp.get(), Qt::MoveAction, -1, -1, QModelIndex()));
    EXPECT_TRUE(library.Model()->canDropMimeData(amp.get(), Qt::MoveAction, -1, -1,
                                                 library.Model()->IndexOfPath(Blocks("Old"))));
    EXPECT_TRUE(QFileInfo::exists(Blocks("amp.zrn")));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(TreeDrop, AFailedDropTellsWhyAndLeavesEveryFileWhereItWas)
{
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;
    const struct Case {
        const char* name;
        std::function<void()> arrange;
        Qt::KeyboardModifiers keys;
        const char* says;  // a piece of the message
    } cases[] = {
        {"name clash", [this] { Write(Books("Unit 1/AMP.zrn"), "pupil's work"); }, {},
         "There is already a file called amp.zrn in "},
        {"read-only target",
         [this, readOnly] { ASSERT_TRUE(QFile::setPermissions(Books("Unit 1"), readOnly)); }, {},
         "is read-only: amp.zrn cannot be put there"},
        {"read-only source on a move",
         [this, readOnly] { ASSERT_TRUE(QFile::setPermissions(Blocks(""), readOnly)); }, {},
         "amp.zrn cannot be moved out of "},
        {"target gone between drag and drop",
         [this] {
             ASSERT_TRUE(QFile::remove(Books("Unit 1/page.zrn")));
             ASSERT_TRUE(QDir(Books("")).rmdir(QStringLiteral("Unit 1")));
         },
         Qt::ControlModifier, "is no longer there, so amp.zrn was left where it was"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        m_trees.reset();
        m_messages.shown.clear();
        for (const char* f : {"Books/Unit 1/AMP.zrn", "Blocks/amp.zrn"}) QFile::remove(m_dir.filePath(QString::fromLatin1(f)));
        QDir(m_dir.path()).mkpath(QStringLiteral("Books/Unit 1"));
        SetUp();
        const QPoint at = PointAt(BooksTree(), Books("Unit 1"), Spot::kOnItem);
        auto data = DragOf(BlocksTree(), Blocks("amp.zrn"));
        ASSERT_TRUE(data);
        c.arrange();
        const DropResult r = Drop(BooksTree(), data.get(), at, c.keys);
        EXPECT_FALSE(r.acceptedOnDrop);
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_NE(FromWindows1252(m_messages.shown[0].text).indexOf(QString::fromLatin1(c.says)), -1)
            << m_messages.shown[0].text;
        EXPECT_EQ(m_messages.shown[0].type, unsigned(MB_OK | MB_ICONEXCLAMATION));
        // The block is where it was, whole; nothing was replaced.
        EXPECT_EQ(Read(Blocks("amp.zrn")), QByteArray("amplifier"));
        EXPECT_FALSE(QFileInfo::exists(Books("Unit 1/amp.zrn")));
        if (QFileInfo::exists(Books("Unit 1/AMP.zrn"))) {
            EXPECT_EQ(Read(Books("Unit 1/AMP.zrn")), QByteArray("pupil's work"));
        }
        EXPECT_TRUE(BlocksTree()->Model()->IndexOfPath(Blocks("amp.zrn")).isValid());
    }
}

TEST(TreeTransfer, ItChecksBothPlacesFirstAndEveryFailureHasItsMessage)
{
    EnsureShellApp();
    // A target path that is a file, not a folder, a source that went, and a
    // file dropped into its own folder.
    QTemporaryDir dir;
    Write(dir.filePath("a.zrn"), "a");
    Write(dir.filePath("not-a-folder"), "x");
    EXPECT_EQ(TransferFile(dir.filePath("a.zrn"), dir.filePath("not-a-folder"), true).result,
              TransferResult::kTargetMissing);
    EXPECT_EQ(TransferFile(dir.filePath("gone.zrn"), dir.path(), true).result, TransferResult::kSourceMissing);
    EXPECT_EQ(TransferFile(dir.filePath("a.zrn"), dir.path(), true).result, TransferResult::kSameFolder);
    EXPECT_EQ(Read(dir.filePath("a.zrn")), QByteArray("a"));
    // Every failure has its own message naming the file.
    for (TransferResult r : {TransferResult::kSourceMissing, TransferResult::kTargetMissing, TransferResult::kNameTaken,
                             TransferResult::kTargetReadOnly, TransferResult::kSourceReadOnly, TransferResult::kFailed}) {
        for (bool move : {true, false}) {
            const QString text = TransferMessage(r, dir.filePath("a.zrn"), dir.path(), move);
            EXPECT_TRUE(text.contains(QLatin1String("a.zrn"))) << text.toStdString();
            EXPECT_FALSE(text.contains(QLatin1Char('%'))) << text.toStdString();
        }
    }
    EXPECT_TRUE(TransferMessage(TransferResult::kDone, dir.filePath("a.zrn"), dir.path(), true).isEmpty());
}
