// Windows paths stored in designs, and the programmer launch.
#include "model/designfile/design_paths.h"
#include "model/designfile/programmer.h"

#include "platform/messagebox.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>

namespace {

CString S(const QString& q) { return CString(q.toLocal8Bit().toStdString()); }

void Touch(const QString& path, const QByteArray& content = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

TEST(DesignfilePaths, StoredToNative)
{
    EXPECT_EQ(StoredPathToNative("C:\\Books\\Pic.BMP"), "/Books/Pic.BMP");
    EXPECT_EQ(StoredPathToNative("..\\Pics\\a.bmp"), "../Pics/a.bmp");
    EXPECT_EQ(StoredPathToNative("a.bmp"), "a.bmp");
}

TEST(DesignfilePaths, LooksUpWithoutRegardToCase)
{
    QTemporaryDir dir;
    Touch(dir.path() + "/Books/Pictures/Lamp.bmp");
    CString found;
    ASSERT_TRUE(FindPathNoCase(S(dir.path() + "/BOOKS/pictures/LAMP.BMP"), &found));
    EXPECT_EQ(found, S(dir.path() + "/Books/Pictures/Lamp.bmp"));
    EXPECT_FALSE(FindPathNoCase(S(dir.path() + "/Books/Other/Lamp.bmp"), &found));
}

TEST(DesignfilePaths, ResolvesAgainstTheDesign)
{
    QTemporaryDir dir;
    Touch(dir.path() + "/Work/Pics/Motor.bmp");
    Touch(dir.path() + "/Work/Designs/Lone.bmp");
    const CString design = S(dir.path() + "/Work/Designs/Activity.zrn");
    CString out;
    // Relative, with Windows separators and another case.
    ASSERT_TRUE(ResolveStoredPath("..\\PICS\\motor.BMP", design, &out));
    EXPECT_EQ(out, S(dir.path() + "/Work/Pics/Motor.bmp"));
    ASSERT_TRUE(ResolveStoredPath(".\\lone.bmp", design, &out));
    EXPECT_EQ(out, S(dir.path() + "/Work/Designs/Lone.bmp"));
    // A drive path from another machine: found beside the design by name.
    ASSERT_TRUE(ResolveStoredPath("D:\\School\\Lone.BMP", design, &out));
    EXPECT_EQ(out, S(dir.path() + "/Work/Designs/Lone.bmp"));
    EXPECT_FALSE(ResolveStoredPath("D:\\School\\Missing.bmp", design, &out));
    EXPECT_FALSE(ResolveStoredPath("", design, &out));
}

TEST(DesignfileProgrammer, PlansTheCommandLines)
{
    struct Case {
        unsigned programmer, chip;
        const char* program;
        std::vector<CString> args;
        unsigned refusal;
    };
    const Case cases[] = {
        {893, 873, "PlugIns\\Brackley\\chiplab.exe", {"-t18", "-p", "-fKEExport.bas"}, 0},
        {893, 874, "PlugIns\\Brackley\\chiplab.exe", {"-t28", "-p", "-fKEExport.bas"}, 0},
        {992, 988, "PlugIns\\Tollard\\Picprog.exe", {"-m3", "-t28", "-p", "-fKEExport.bas"}, 0},
        {890, 912, "PlugIns\\Haverstock\\Picprog.exe", {"-m16", "-w5", "-c", "-fKEExport.bas"}, 0},
        {890, 873, "", {}, 980},
        {894, 912, "", {}, 982},
        {894, 873, "PlugIns\\Haverstock\\Picprog.exe", {"-m13", "-w3", "-t18", "-p", "-fKEExport.bas"}, 0},
        {872, 873, "", {}, 981},
    };
    for (const Case& c : cases) {
        CProgrammerLaunch launch;
        unsigned refusal = 0;
        const bool ok = PlanProgrammerLaunch(LoadResString(c.programmer), LoadResString(c.chip), "KEExport.bas",
                                             &launch, &refusal);
        EXPECT_EQ(ok, c.refusal == 0) << c.programmer;
        EXPECT_EQ(refusal, c.refusal) << c.programmer;
        EXPECT_EQ(launch.program, c.program) << c.programmer;
        EXPECT_EQ(launch.arguments, c.args) << c.programmer;
    }
}

TEST(DesignfileProgrammer, StartsTheFakePlugInWithAnArgumentList)
{
    QTemporaryDir dir;
    const QString plugin = dir.path() + "/PlugIns/Brackley/chiplab.exe";
    const QString record = dir.path() + "/arguments.txt";
    Touch(plugin, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" + record.toUtf8() + ".tmp\"\nmv \"" +
                      record.toUtf8() + ".tmp\" \"" + record.toUtf8() + "\"\n");
    QFile::setPermissions(plugin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SetPlugInParentFolder(S(dir.path()));
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    // A file name with a space and a shell character stays one argument.
    const CString exported = S(dir.path() + "/My Prog;1.bas");
    ASSERT_TRUE(ProgramChip(LoadResString(893), LoadResString(874), exported));
    EXPECT_TRUE(box.shown.empty());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!QFile::exists(record) && std::chrono::steady_clock::now() < deadline) QThread::msleep(20);
    QFile f(record);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "-t28\n-p\n-f" + QByteArray(exported.c_str()) + "\n");

    // A missing plug-in: "Cannot find plug-in."
    EXPECT_FALSE(ProgramChip(LoadResString(992), LoadResString(873), exported));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, LoadResString(899));
    // A refusal shows its own text.
    EXPECT_FALSE(ProgramChip(LoadResString(872), LoadResString(873), exported));
    EXPECT_EQ(box.shown.back().text, LoadResString(981));
    SetPlugInParentFolder("");
}
