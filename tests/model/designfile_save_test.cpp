// Saving never loses a pupil's work: a save that fails at any byte, or at
// the last step, leaves either the old file or the whole new one, reports
// the failure, and leaves no temporary file behind.
#include "model/circuit/circuit.h"
#include "model/designfile/design_file.h"
#include "platform/safe_save.h"

#include "circuit_testparts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Bytes(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// The real steps, with a failure wherever the test puts it.  At every step
// it also checks what a pupil would find if the program were killed right
// then: the target still holds the old file.
class CFailingSteps : public CSaveSteps {
public:
    CFailingSteps(QString target, QByteArray old) : m_target(std::move(target)), m_old(std::move(old)) {}
    int64_t failAfter = -1;     // bytes written before the disk "fills up"
    bool failOpen = false;
    bool failBeforeRename = false;
    bool failAfterRename = false;
    bool killedStateOk = true;

    bool Open(const QString& path) override { return !failOpen && m_real.Open(path); }
    int64_t Write(const char* data, int64_t size) override
    {
        Check();
        if (failAfter >= 0 && m_written + size > failAfter) size = failAfter - m_written;
        if (size <= 0) return 0;
        const int64_t n = m_real.Write(data, size);
        m_written += n;
        return n;
    }
    bool Commit() override
    {
        Check();
        if (failBeforeRename) return false;
        const bool ok = m_real.Commit();
        return ok && !failAfterRename;
    }
    void Cancel() override { m_real.Cancel(); }

private:
    void Check()
    {
        if (ReadAll(m_target) != m_old) killedStateOk = false;
    }
    CFileSaveSteps m_real;
    QString m_target;
    QByteArray m_old;
    int64_t m_written = 0;
};

// A design with one part, named by the test so two saves differ.
std::vector<uint8_t> SmallDesign(const char* name)
{
    CCircuit d;
    auto* r = new CTestResistor;
    r->Place(&d, 40, 40);
    d.AddChild(r);
    d.m_strName = name;
    CArchive ar;
    ar.SetDocumentSerialization(true);
    ar.WriteObject(&d);
    return ar.GetBuffer();
}

} // namespace

TEST(DesignfileSave, AFailureAtAnyByteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/design.zrn";
    const CString cpath(path.toStdString());
    const std::vector<uint8_t> oldBytes = SmallDesign("Potential divider"), newBytes = SmallDesign("Light sensor");
    ASSERT_NE(oldBytes, newBytes);
    ASSERT_TRUE(SaveBytesSafely(cpath, oldBytes));

    for (int64_t n = 0; n <= static_cast<int64_t>(newBytes.size()); ++n) {
        CFailingSteps steps(path, Bytes(oldBytes));
        steps.failAfter = n;
        // Failing after the last byte is no failure: the save goes through.
        const bool whole = n == static_cast<int64_t>(newBytes.size());
        EXPECT_EQ(SaveBytesSafely(cpath, newBytes, &steps), whole) << "failing after " << n << " bytes";
        EXPECT_TRUE(steps.killedStateOk) << n;
        EXPECT_EQ(ReadAll(path), Bytes(whole ? newBytes : oldBytes)) << n;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"design.zrn"}) << n;
        if (whole) {
            ASSERT_TRUE(SaveBytesSafely(cpath, oldBytes));
        }
    }
}

TEST(DesignfileSave, FailuresAroundTheRenameLeaveAWholeFile)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/design.zrn";
    const CString cpath(path.toStdString());
    const std::vector<uint8_t> oldBytes = SmallDesign("Potential divider"), newBytes = SmallDesign("Light sensor");

    struct Case { const char* name; bool open, beforeRename, afterRename; bool newFile; };
    const Case cases[] = {
        {"cannot create the temporary file", true, false, false, false},
        {"flush or rename fails", false, true, false, false},
        {"fails after the rename", false, false, true, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SaveBytesSafely(cpath, oldBytes));
        CFailingSteps steps(path, Bytes(oldBytes));
        steps.failOpen = c.open;
        steps.failBeforeRename = c.beforeRename;
        steps.failAfterRename = c.afterRename;
        // Every failure is reported, even one after which the new file is
        // already whole in place.
        EXPECT_FALSE(SaveBytesSafely(cpath, newBytes, &steps)) << c.name;
        EXPECT_EQ(ReadAll(path), Bytes(c.newFile ? newBytes : oldBytes)) << c.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"design.zrn"}) << c.name;
    }
}

TEST(DesignfileSave, AFolderWithoutWriteAccessRefusesAndKeepsTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/design.zrn";
    const CString cpath(path.toStdString());
    ASSERT_TRUE(SaveBytesSafely(cpath, SmallDesign("Potential divider")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    // Running as root ignores the permission bits; there is nothing to test.
    if (QFileInfo(dir.path()).isWritable() || geteuid() == 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "the folder stays writable for this user";
    }
    EXPECT_FALSE(SaveBytesSafely(cpath, SmallDesign("Light sensor")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadAll(path), Bytes(SmallDesign("Potential divider")));
}
