// The file browser on temporary folder trees: order, names and extensions,
// the kind of an item in a large folder, the fallback root, clicks in the
// Books and Blocks trees, a file or folder that comes and goes while its
// folder is open, and a name too long for the column.
#include "app/file_types.h"
#include "app/home/file_browse_ctrl.h"
#include "app/home/file_browse_model.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace shelltest;

namespace {

void Touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

// A folder tree: two folders (one hidden), design files of every type in
// mixed case and files that are no designs.
void MakeTree(const QDir& root)
{
    for (const char* d : {"b-folder", "A-folder", ".hidden"}) root.mkdir(QString::fromLatin1(d));
    for (const char* f : {"zeta.zrn", "Alpha.ZRM", "mid.ckt", "notes.txt", "beta.zrn.bak", "A-folder/inner.zrm"})
        Touch(root.filePath(QString::fromLatin1(f)));
}

QStringList Rows(const QAbstractItemModel& m, const QModelIndex& parent)
{
    QStringList out;
    for (int r = 0; r < m.rowCount(parent); ++r) out << m.index(r, 0, parent).data().toString();
    return out;
}

} // namespace

TEST(HomeBrowser, RootedTreeListsFoldersFirstThenDesignsWithoutExtensions)
{
    EnsureShellApp();
    QTemporaryDir dir;
    MakeTree(QDir(dir.path()));
    CFileBrowseModel model(false);
    model.SetRoot(dir.path(), true);
    model.Initialise();
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(root.data().toString(), QFileInfo(dir.path()).fileName());
    EXPECT_TRUE(model.hasChildren(root)) << "an unlisted folder shows its expand button";
    ASSERT_TRUE(model.ListFolder(root));
    EXPECT_EQ(Rows(model, root), (QStringList{"A-folder", "b-folder", "Alpha", "mid", "zeta"}));

    struct Case {
        int row;
        CFileBrowseModel::Kind kind;
        int type;
        const char* name;
    };
    const Case cases[] = {
        {0, CFileBrowseModel::Kind::kFolder, 0, "A-folder"},
        {1, CFileBrowseModel::Kind::kFolder, 0, "b-folder"},
        {2, CFileBrowseModel::Kind::kFile, 1, "Alpha.ZRM"},
        {3, CFileBrowseModel::Kind::kFile, 15, "mid.ckt"},
        {4, CFileBrowseModel::Kind::kFile, 2, "zeta.zrn"},
    };
    for (const Case& c : cases) {
        const QModelIndex i = model.index(c.row, 0, root);
        EXPECT_EQ(model.ItemKind(i), c.kind) << c.name;
        EXPECT_EQ(model.ItemFileType(i), c.type) << c.name;
        EXPECT_EQ(model.ItemPath(i), QDir(dir.path()).filePath(QString::fromLatin1(c.name))) << c.name;
        // Only the files of the Blocks tree may be dragged; no Books item.
        EXPECT_FALSE(model.flags(i) & Qt::ItemIsDragEnabled) << c.name;
    }
    EXPECT_EQ(model.IndexOfPath(dir.filePath("A-folder/inner.zrm")).data().toString(), QStringLiteral("inner"));
    EXPECT_FALSE(model.IndexOfPath(dir.filePath("notes.txt")).isValid());

    // Not rooted, the volumes are the top items and names keep extensions.
    CFileBrowseModel drives(false);
    drives.SetRoot(dir.path(), false);
    drives.Initialise();
    EXPECT_GE(drives.rowCount(), 1);
    const QModelIndex zeta = drives.IndexOfPath(dir.filePath("zeta.zrn"));
    ASSERT_TRUE(zeta.isValid());
    EXPECT_EQ(zeta.data().toString(), QStringLiteral("zeta.zrn"));
    EXPECT_EQ(drives.ItemKind(zeta), CFileBrowseModel::Kind::kFile);
}

TEST(HomeBrowser, DesignTypesAndPathTests)
{
    EnsureShellApp();
    const struct {
        const char* path;
        int type;
    } cases[] = {{"a.zrn", 2}, {"a.ZRN", 2}, {"a.zrm", 1}, {"b.Ckt", 15}, {"c.txt", 0}, {"zrn", 0}, {"x.zrn.bak", 0}};
    for (const auto& c : cases) EXPECT_EQ(IsDesignFile(QString::fromLatin1(c.path)), c.type) << c.path;

    QTemporaryDir dir;
    MakeTree(QDir(dir.path()));
    EXPECT_TRUE(CFileBrowseModel::PathExists(dir.path() + QLatin1Char('/')));
    EXPECT_TRUE(CFileBrowseModel::PathExists(dir.filePath("zeta.zrn")));
    EXPECT_FALSE(CFileBrowseModel::PathExists(dir.filePath("notes.txt")));
    EXPECT_FALSE(CFileBrowseModel::PathExists(dir.filePath("gone.zrn")));
    EXPECT_TRUE(CFileBrowseModel::FolderHasDesignFiles(dir.path()));
    EXPECT_FALSE(CFileBrowseModel::FolderHasDesignFiles(dir.filePath("b-folder")));
    EXPECT_TRUE(CFileBrowseModel::FolderHasSubfolders(dir.path()));
    EXPECT_FALSE(CFileBrowseModel::FolderHasSubfolders(dir.filePath("A-folder")));
}

TEST(HomeBrowser, ARootThatDoesNotExistFallsBackToTheProgramFolder)
{
    EnsureShellApp();
    const QString program = QDir::cleanPath(GetProgramFolder());
    CFileBrowseModel home(false);
    home.SetRoot(QStringLiteral("/no/such/folder/anywhere"), true);
    home.Initialise();
    EXPECT_EQ(home.Root(), program);
    EXPECT_TRUE(home.IsRooted());
    EXPECT_EQ(home.rowCount(), 1);

    CFileBrowseModel dialog(false);
    dialog.SetRoot(QString(), true);
    dialog.Initialise(true);
    EXPECT_EQ(dialog.Root(), program);
    EXPECT_FALSE(dialog.IsRooted()) << "a dialog's tree shows every volume";
}

TEST(HomeBrowser, EveryItemOfALargeFolderKeepsItsKindAndExtension)
{
    EnsureShellApp();
    // More entries than the gaps between the old item-data ranges: 5100
    // circuits and 100 folders.
    QTemporaryDir dir;
    QDir root(dir.path());
    for (int i = 0; i < 5100; ++i) Touch(root.filePath(QStringLiteral("c%1.ckt").arg(i, 5, 10, QLatin1Char('0'))));
    for (int i = 0; i < 100; ++i) root.mkdir(QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0')));
    CFileBrowseModel model(true);
    model.SetRoot(dir.path(), true);
    model.Initialise();
    const QModelIndex top = model.index(0, 0);
    ASSERT_TRUE(model.ListFolder(top));
    ASSERT_EQ(model.rowCount(top), 5200);
    for (int r : {0, 99}) {
        const QModelIndex i = model.index(r, 0, top);
        EXPECT_EQ(model.ItemKind(i), CFileBrowseModel::Kind::kFolder) << r;
        EXPECT_FALSE(model.flags(i) & Qt::ItemIsDragEnabled) << "a folder is never dragged as a file";
    }
    for (int r : {100, 5000, 5199}) {
        const QModelIndex i = model.index(r, 0, top);
        EXPECT_EQ(model.ItemKind(i), CFileBrowseModel::Kind::kFile) << r;
        EXPECT_EQ(model.ItemFileType(i), 15) << r;
        EXPECT_TRUE(model.ItemPath(i).endsWith(QLatin1String(".ckt"))) << r;
        EXPECT_TRUE(model.flags(i) & Qt::ItemIsDragEnabled);
    }
    std::unique_ptr<QMimeData> mime(model.mimeData({model.index(5199, 0, top)}));
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->urls().value(0).toLocalFile(), root.filePath(QStringLiteral("c05099.ckt")));
    EXPECT_EQ(model.mimeData({model.index(0, 0, top)}), nullptr);
}

TEST(HomeBrowser, FilesAndFoldersComeAndGoWhileTheirFolderIsOpen)
{
    EnsureShellApp();
    QTemporaryDir dir;
    MakeTree(QDir(dir.path()));
    CFileBrowseCtrl tree(false);
    tree.resize(300, 400);
    tree.SetRoot(dir.path(), true);
    tree.Initialise();
    tree.show();
    CFileBrowseModel* m = tree.Model();
    const QModelIndex root = m->index(0, 0);
    ASSERT_TRUE(tree.isExpanded(root)) << "a rooted tree opens on its root";
    const QModelIndex inner = m->IndexOfPath(dir.filePath("A-folder"));
    tree.expand(inner);
    EXPECT_EQ(Rows(*m, inner), QStringList{"inner"});
    EXPECT_TRUE(m->WatchedFolders().contains(dir.filePath("A-folder")));

    Touch(dir.filePath("new.zrn"));
    const QStringList withNew{"A-folder", "b-folder", "Alpha", "mid", "new", "zeta"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return Rows(*m, root) == withNew; }, 5000)) << Rows(*m, root).join(',').toStdString();
    EXPECT_TRUE(tree.isExpanded(inner)) << "the other open folders stay open";
    QDir(dir.path()).mkdir(QStringLiteral("c-folder"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Rows(*m, root).value(2) == QLatin1String("c-folder"); }, 5000));
    ASSERT_TRUE(QFile::remove(dir.filePath("new.zrn")));
    const QStringList withFolder{"A-folder", "b-folder", "c-folder", "Alpha", "mid", "zeta"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return Rows(*m, root) == withFolder; }, 5000)) << Rows(*m, root).join(',').toStdString();
    ASSERT_TRUE(QFile::remove(dir.filePath("A-folder/inner.zrm")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m->rowCount(m->IndexOfPath(dir.filePath("A-folder"))) == 0; }, 5000));

    // A collapsed folder is not watched any more.
    tree.collapse(root);
    EXPECT_FALSE(m->WatchedFolders().contains(dir.filePath("A-folder")));
}

TEST(HomeBrowser, BooksOpensAClickedDesignBlocksDoesNot)
{
    EnsureShellApp();
    QTemporaryDir dir;
    MakeTree(QDir(dir.path()));
    for (bool blocks : {false, true}) {
        CFileBrowseCtrl tree(blocks);
        tree.resize(300, 400);
        tree.SetRoot(dir.path(), true);
        tree.Initialise();
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
        QSignalSpy opened(&tree, &CFileBrowseCtrl::openFileRequested);
        const QModelIndex zeta = tree.Model()->IndexOfPath(dir.filePath("zeta.zrn"));
        ASSERT_TRUE(zeta.isValid());
        for (int click = 0; click < 2; ++click)
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(zeta).center());
        if (blocks) {
            EXPECT_EQ(opened.count(), 0);
            EXPECT_EQ(tree.SelectedPath(), dir.filePath("zeta.zrn"));
        } else {
            // Opened on each click, and no selection is left on it.
            ASSERT_EQ(opened.count(), 2);
            EXPECT_EQ(opened.at(0).at(0).toString(), dir.filePath("zeta.zrn"));
            EXPECT_TRUE(tree.SelectedPath().isEmpty());
        }
        QSignalSpy folders(&tree, &CFileBrowseCtrl::folderSelected);
        const QModelIndex folder = tree.Model()->IndexOfPath(dir.filePath("b-folder"));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(folder).center());
        EXPECT_EQ(folders.count(), 1);
        EXPECT_EQ(opened.count(), blocks ? 0 : 2);
    }
}

TEST(HomeBrowser, ALongNameIsNotShortenedAndShowsWholeInItsTooltip)
{
    EnsureShellApp();
    QTemporaryDir dir;
    Touch(dir.filePath("a.zrn"));
    Touch(dir.filePath("b very long name of an activity that does not fit the column.zrn"));
    CFileBrowseCtrl tree(false);
    tree.setToolTip(QStringLiteral("Open activities by clicking"));
    tree.resize(160, 300);
    tree.SetRoot(dir.path(), true);
    tree.Initialise();
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    CFileBrowseModel* m = tree.Model();
    const QModelIndex shortName = m->IndexOfPath(dir.filePath("a.zrn"));
    const QModelIndex longName = m->IndexOfPath(dir.filePath("b very long name of an activity that does not fit the column.zrn"));
    ASSERT_TRUE(shortName.isValid() && longName.isValid());
    // The tree scrolls sideways to the end of the name instead of cutting it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.horizontalScrollBar()->maximum() > 0; }));
    EXPECT_EQ(longName.data(Qt::ToolTipRole), QVariant()) << "no item shows its path";

    const struct {
        QModelIndex item;
        QString tip;
    } cases[] = {
        {longName, QStringLiteral("b very long name of an activity that does not fit the column")},
        {shortName, QStringLiteral("Open activities by clicking")},
    };
    for (const auto& c : cases) {
        QToolTip::hideText();
        const QPoint at = tree.visualRect(c.item).topLeft() + QPoint(30, 4);
        QHelpEvent help(QEvent::ToolTip, at, tree.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(tree.viewport(), &help);
        EXPECT_EQ(QToolTip::text(), c.tip);
    }
    QToolTip::hideText();
}
