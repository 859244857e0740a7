// File associations, settings paths, the long-path rule, printing to PDF,
// the single-instance hand-over and the Open dialog's filters.
#include "app/file_dialogs.h"
#include "app/file_type_dialog.h"
#include "app/file_types.h"
#include "app/main_frame.h"
#include "app/print.h"
#include "app/single_instance.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "model/designfile/settings_file.h"
#include "model/parts/catalogue.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include <QElapsedTimer>

#include <cstring>
#include <thread>

using namespace shelltest;

TEST(ShellFileTypes, MaskChoosesTheTypes)
{
    EnsureShellApp();
    struct Case { int mask; const char* extensions; };
    const Case cases[] = {
        {0x32, ".zrn .ckt"}, {0x01, ".zrm"}, {0x03, ".zrm .ckt"}, {0x00, ""}, {0x02, ".zrn .ckt"}, {0x10, ".ckt"},
    };
    for (const Case& c : cases) {
        QStringList got;
        for (const CFileTypeEntry& e : ChosenFileTypes(c.mask)) got << e.extension;
        EXPECT_EQ(got.join(QLatin1Char(' ')), QString::fromLatin1(c.extensions)) << c.mask;
    }
    EXPECT_EQ(ChosenFileTypes(0x32)[0].typeId, QStringLiteral("KestraneCircuit"));
    EXPECT_EQ(ChosenFileTypes(0x32)[0].typeName, QStringLiteral("Kestrane Simulation"));
}

TEST(ShellFileTypes, ChoiceIsKeptInTheSettingsFile)
{
    EnsureShellApp();
    QTemporaryDir dir;
    const QByteArray old = qgetenv("WB_SETTINGS_FILE");
    qputenv("WB_SETTINGS_FILE", dir.filePath(QStringLiteral("varnholt.ini")).toLocal8Bit());
    EXPECT_EQ(ReadFileTypeChoice(), 0x32);
    ASSERT_TRUE(WriteFileTypeChoice(0x03));
    EXPECT_EQ(ReadFileTypeChoice(), 0x03);
    QFile ini(dir.filePath(QStringLiteral("varnholt.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[File Types]"));
    qputenv("WB_SETTINGS_FILE", old);
}

TEST(ShellFileTypes, AssociationsGiveTheMimeTypeOfADesign)
{
    EnsureShellApp();
    QTemporaryDir data;
    ASSERT_TRUE(RegisterChosenFileTypes(0x32, data.path(), QStringLiteral("/opt/Marrow gate/workbench")));
    QFile package(data.filePath(QStringLiteral("mime/packages/marrowgate.xml")));
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    const QByteArray xml = package.readAll();
    EXPECT_TRUE(xml.contains("type=\"application/x-kestranecircuit\""));
    EXPECT_TRUE(xml.contains("<glob pattern=\"*.zrn\"/>"));
    EXPECT_TRUE(xml.contains("<glob pattern=\"*.ckt\"/>"));
    EXPECT_FALSE(xml.contains("*.zrm"));
    QFile entry(data.filePath(QStringLiteral("applications/marrowgate.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray desktop = entry.readAll();
    // The program path holds a space: it is quoted, never left to a shell.
    EXPECT_TRUE(desktop.contains("Exec=\"/opt/Marrow gate/workbench\" %f\n"));
    EXPECT_TRUE(desktop.contains("MimeType=application/x-kestranecircuit;"));
    EXPECT_TRUE(desktop.contains("Exec=\"/opt/Marrow gate/workbench\" /p %f\n"));

    // The desktop's own query: GLib's MIME lookup reads the database the
    // updater built in the data folder.
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty() || !QFileInfo::exists(data.filePath(QStringLiteral("mime/mime.cache"))))
        GTEST_SKIP() << "gio or update-mime-database is not installed: the MIME query is not checked";
    const QString design = data.filePath(QStringLiteral("lesson.zrn"));
    QFile(GoldenFile("empty.zrn")).copy(design);
    QProcess query;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    env.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/nonexistent"));
    query.setProcessEnvironment(env);
    query.start(gio, {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("standard::content-type"), design});
    ASSERT_TRUE(query.waitForFinished(10000));
    EXPECT_TRUE(query.readAllStandardOutput().contains("application/x-kestranecircuit"));

    // Mask 0 takes our files away again.
    ASSERT_TRUE(RegisterChosenFileTypes(0, data.path(), QStringLiteral("/x")));
    EXPECT_FALSE(QFileInfo::exists(package.fileName()));
    EXPECT_FALSE(QFileInfo::exists(entry.fileName()));
}

TEST(ShellFileTypes, PathsFallBackToTheProgramFolders)
{
    EnsureShellApp();
    QTemporaryDir dir;
    const QByteArray old = qgetenv("WB_SETTINGS_FILE");
    qputenv("WB_SETTINGS_FILE", dir.filePath(QStringLiteral("varnholt.ini")).toLocal8Bit());
    // A folder that was deleted: the default when that exists, else as stored.
    ASSERT_TRUE(SetActivitiesFolder(dir.filePath(QStringLiteral("gone/"))));
    const bool defaultExists = QFileInfo(GetProgramFolder() + QStringLiteral("Books/")).isDir();
    EXPECT_EQ(GetActivitiesFolder(),
              defaultExists ? GetProgramFolder() + QStringLiteral("Books/") : dir.filePath(QStringLiteral("gone/")));
    ASSERT_TRUE(SetLibraryFolder(dir.path()));
    EXPECT_EQ(GetLibraryFolder(), dir.path());
    EXPECT_TRUE(GetProgramFolder().endsWith(QLatin1Char('/')));
    qputenv("WB_SETTINGS_FILE", old);
}

TEST(ShellFileTypes, LongPathFitsOrGivesAnEmptyBuffer)
{
    char buffer[kMaxPathLength];
    std::memset(buffer, 'x', sizeof buffer);
    const unsigned n = NormalizeLongPath("/tmp/../tmp/./a.zrn", buffer, sizeof buffer);
    EXPECT_EQ(n, std::strlen("/tmp/a.zrn"));
    EXPECT_STREQ(buffer, "/tmp/a.zrn");
    const std::string longPath = "/tmp/" + std::string(300, 'a') + ".zrn";
    const unsigned m = NormalizeLongPath(longPath.c_str(), buffer, sizeof buffer);
    EXPECT_EQ(m, longPath.size());
    EXPECT_STREQ(buffer, "");
}

TEST(ShellFileDialogs, FiltersAreBuiltInOrder)
{
    EnsureShellApp();
    std::string f;
    int count = 0;
    AppendFileFilter(&count, &f, ".zrn", "All Simulations", ".zrm", ".ckt");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(f, std::string("All Simulations (*.zrn, *.zrm, *.ckt)\0*.zrn;*.zrm;*.ckt\0", 56));
    AppendFileFilter(&count, &f, nullptr, "Everything");
    EXPECT_EQ(count, 2);
    const QStringList designs = OpenFilters(kOpenDesigns);
    ASSERT_EQ(designs.size(), 5);
    EXPECT_EQ(designs[0], QStringLiteral("All Simulations (*.zrn *.zrm *.ckt)"));
    EXPECT_EQ(designs[1], QStringLiteral("Kestrane Simulations (*.zrn)"));
    EXPECT_EQ(designs[3], QStringLiteral("Marrowgate and OV1.1 Simulations (*.ckt)"));
    EXPECT_EQ(designs[4], QStringLiteral("All Files (*)"));
    AllSimulationsFilter() = false;
    EXPECT_EQ(OpenFilters(kOpenDesigns).size(), 4);
    AllSimulationsFilter() = true;
    EXPECT_EQ(OpenFilters(kOpenBitmaps).first(), QStringLiteral("Bitmap Files (*.bmp)"));
}

TEST(ShellFileDialogs, AFolderProposesAFileInIt)
{
    EnsureShellApp();
    QTemporaryDir dir;
    QString proposed;
    WhenModal<QFileDialog>([&proposed](QFileDialog* d) {
        proposed = d->directory().absolutePath() + QLatin1Char('|') + d->selectedFiles().value(0);
        d->reject();
    });
    CString documentPath;
    CString file = (dir.path() + QLatin1Char('/')).toStdString();
    EXPECT_FALSE(ShowFileOpenDialog(kOpenDesigns, &documentPath, &file, false));
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/Somecirc.ckt"))) << proposed.toStdString();
}

TEST(ShellPrint, PageGridCoversTheArea)
{
    EXPECT_EQ(PageGrid(QSize(100, 100), QSize(700, 1000)), QSize(1, 1));
    EXPECT_EQ(PageGrid(QSize(701, 1000), QSize(700, 1000)), QSize(2, 1));
    EXPECT_EQ(PageGrid(QSize(1400, 2001), QSize(700, 1000)), QSize(2, 3));
}

namespace {

// PDF pages counted from the file's page objects.
int PdfPageCount(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s") ++pages;
    return pages;
}

} // namespace

TEST(ShellPrint, DesignToPdfHasTheExpectedPageCount)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    QTemporaryDir dir;
    CTeskDoc doc;
    doc.OnNewDocument();
    CCircuit* d = doc.GetDesign();
    // Two resistors 1500 screen pixels apart: on A4 portrait (about 700
    // screen pixels of printable width) that is three pages across.
    for (int x : {40, 1540}) {
        auto* part = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(32769, nullptr, nullptr));
        ASSERT_NE(part, nullptr);
        part->Offset(x - part->GetRect().left, 40 - part->GetRect().top);
        d->AddChild(part);
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    const QString pdf = dir.filePath(QStringLiteral("design.pdf"));
    printer.setOutputFileName(pdf);
    const QRect area = PrintArea(d);
    const double scale = printer.resolution() / 96.0;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize grid = PageGrid(area.size(), QSize(int(page.width() / scale), int(page.height() / scale)));
    EXPECT_EQ(grid.width(), 3) << area.width();
    const int expected = grid.width() * grid.height();
    int pages = 0;
    ASSERT_TRUE(PrintDesign(d, printer, &pages));
    EXPECT_EQ(pages, expected);
    EXPECT_EQ(PdfPageCount(pdf), expected);

    // The print switch of the command line prints a file to a PDF.
    const QString file = dir.filePath(QStringLiteral("two.zrn"));
    ASSERT_TRUE(doc.OnSaveDocument(file));
    const QString pdf2 = dir.filePath(QStringLiteral("switch.pdf"));
    EXPECT_EQ(CTeskApp::PrintFromCommandLine({QStringLiteral("/pt"), file, pdf2}), 0);
    EXPECT_EQ(PdfPageCount(pdf2), expected);
    EXPECT_EQ(CTeskApp::PrintFromCommandLine({file}), -1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ShellSingleInstance, ASecondStartHandsItsFileToTheFirst)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    CTeskApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CSingleInstance instance;
    const QString name = QStringLiteral("marrowgate-test-%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(instance.Listen(name));
    QObject::connect(&instance, &CSingleInstance::openRequested, &app, &CTeskApp::OpenFromAnotherStart);
    // The second start runs in its own thread here, as it would in its own
    // process, while this event loop serves the first copy.
    bool handed = false;
    std::thread second([&] { handed = CSingleInstance::SendToRunning(name, GoldenFile("parts.zrn"), 5000); });
    QElapsedTimer t;
    t.start();
    while (!handed && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    EXPECT_TRUE(handed);
    ASSERT_NE(app.GetActiveDocument(), nullptr);
    EXPECT_EQ(QFileInfo(app.GetActiveDocument()->GetPathName()).fileName(), QStringLiteral("parts.zrn"));
    // Nobody listening: the start goes on by itself.
    EXPECT_FALSE(CSingleInstance::SendToRunning(name + QStringLiteral("-none"), QStringLiteral("/x"), 200));
    app.CloseAllDocuments();
    app.ExitInstance();
}

TEST(ShellFileTypes, TheDialogShowsWhatTheMaskAssociates)
{
    struct Case { int mask; bool older, kestrane, olvandi; };
    // The ".zrn" box follows bit 0x02; it is not ticked for a mask without it.
    const Case cases[] = {{0x32, true, true, false}, {0x01, false, false, true}, {0x30, true, false, false}, {0, false, false, false}};
    for (const Case& c : cases) {
        const CFileTypeBoxes b = BoxesFromMask(c.mask);
        EXPECT_EQ(b.older, c.older) << c.mask;
        EXPECT_EQ(b.kestrane, c.kestrane) << c.mask;
        EXPECT_EQ(b.olvandi, c.olvandi) << c.mask;
        EXPECT_EQ(MaskFromBoxes(b), c.mask);
    }
}
