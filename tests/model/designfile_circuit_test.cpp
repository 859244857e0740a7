// The design root through the design file layout.
#include "model/circuit/circuit.h"
#include "model/designfile/design_file.h"
#include "model/parts/part_records.h"

#include "circuit_testparts.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

std::vector<uint8_t> Save(CCircuit& d, bool document = true)
{
    CArchive ar;
    ar.SetDocumentSerialization(document);
    ar.WriteObject(&d);
    return ar.GetBuffer();
}

std::unique_ptr<CCircuit> Load(const std::vector<uint8_t>& bytes)
{
    CArchive ar(bytes);
    ar.SetDocumentSerialization(true);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return std::unique_ptr<CCircuit>(static_cast<CCircuit*>(o.release()));
}

} // namespace

TEST(DesignfileCircuit, SettingsTravelWithTheDesign)
{
    CCircuit d;
    auto* r = new CTestResistor;
    r->Place(&d, 40, 40);
    d.AddChild(r);
    d.m_pReferencePart = r;
    d.m_dGravity = 1.62;
    d.m_strChipType = "16F628";
    d.m_strProgrammerChoice = "QUILLON";
    d.m_strExportFlowchart = "Main";
    d.m_wAngleUnit = 1;
    d.m_nSoundSampleRate = 44100;
    d.m_rcPage = CRect(0, 0, 2000, 1800);
    d.m_szOffset = CSize(16, 8);
    d.m_dwPermissions = 0x0000FFFF;
    d.m_strName = "Potential divider";
    d.m_fileExtras.designValue = 42;
    d.m_fileExtras.range.Resize(3);
    d.SetLogicFamily(1, 9.0, 0);
    const auto bytes = Save(d);
    auto back = Load(bytes);
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ(back->m_dGravity, 1.62);
    EXPECT_EQ(back->m_strChipType, "16F628");
    EXPECT_EQ(back->m_strProgrammerChoice, "QUILLON");
    EXPECT_EQ(back->m_strExportFlowchart, "Main");
    EXPECT_EQ(back->m_wAngleUnit, 1);
    EXPECT_EQ(back->m_nSoundSampleRate, 44100);
    EXPECT_EQ(back->m_rcPage, CRect(0, 0, 2000, 1800));
    EXPECT_EQ(back->m_szOffset, CSize(16, 8));
    EXPECT_EQ(back->m_dwPermissions, 0x0000FFFFu);
    EXPECT_EQ(back->m_strName, "Potential divider");
    EXPECT_EQ(back->m_fileExtras.designValue, 42);
    EXPECT_EQ(back->m_fileExtras.range.count, 3);
    EXPECT_EQ(back->m_fileExtras.range.design, back.get());
    EXPECT_EQ(back->m_wVersionWord, kCurrentVersion);
    // The family's levels are applied from the family and supply read.
    EXPECT_EQ(back->m_nLogicFamily, 1);
    EXPECT_DOUBLE_EQ(back->GetLogicThreshold(), 4.5);
    ASSERT_NE(back->GetFirstComponent(), nullptr);
    EXPECT_EQ(static_cast<CPart*>(back->m_pReferencePart), static_cast<CPart*>(back->GetFirstComponent()));
    EXPECT_EQ(back->m_bIdlePending, 1);
    back->m_bIdlePending = 0;
    EXPECT_EQ(Save(*back), bytes);
}

TEST(DesignfileCircuit, NewerFilesFailThroughTheMarker)
{
    CCircuit d;
    d.m_wArchiveVersion2 = 0x20C0; // product word 2
    const auto bytes = Save(d);
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    CArchive ar(bytes);
    EXPECT_THROW(delete ar.ReadNewObject(RUNTIME_CLASS(CCircuit)), CArchiveException);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].text.find("Kestrane"), CString::npos);
}

TEST(DesignfileCircuit, SavingNeverDestroysThePreviousFile)
{
    QTemporaryDir dir;
    const CString path = CString((dir.path() + "/design.zrn").toStdString());
    ASSERT_TRUE(SaveBytesSafely(path, {1, 2, 3}));
    ASSERT_TRUE(SaveBytesSafely(path, {4, 5}));
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\x04\x05", 2));
    f.close();
    // A target that cannot be replaced (a folder of that name): the save
    // fails and nothing beside it is left over.
    QDir(dir.path()).mkdir("folder.zrn");
    EXPECT_FALSE(SaveBytesSafely(CString((dir.path() + "/folder.zrn").toStdString()), {1}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"design.zrn"});
}
