// The design root after loading (the part counts made again, the file-open
// warnings shown once) and probes lent to another design.
#include "circuit_testparts.h"

#include "model/circuit/design_document.h"
#include "model/parts/part_records.h"
#include "model/circuit/file_open_warnings.h"
#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CLoadedCircuit : public CCircuit {
    WB_DECLARE_SERIAL(CLoadedCircuit)
public:
    void Serialize(CArchive& ar) override { SerializeTree(ar); }
};
WB_IMPLEMENT_SERIAL(CLoadedCircuit, "CCircuit", 2)

class CPathDocument : public CDesignDocument {
public:
    int SaveUndoSnapshot() override { return 0; }
    void SetModifiedFlag(bool) override {}
    CString GetDesignPath() const override { return "C:\\lessons\\lamp.zrn"; }
};

std::unique_ptr<CLoadedCircuit> RoundTrip(CLoadedCircuit& d)
{
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&d);
    CArchive in(out.GetBuffer());
    in.SetVersion(kCurrentVersion);
    return std::unique_ptr<CLoadedCircuit>(static_cast<CLoadedCircuit*>(in.ReadNewObject(nullptr)));
}

TEST(CircuitLoad, PartCountsAreMadeAgainFromTheComponents)
{
    CLoadedCircuit d;
    AddPart<CTestCell>(d, 100, 100);
    AddPart<CTestResistor>(d, 300, 100);
    AddPart<CTestResistor>(d, 300, 300);
    AddWire(d, {160, 100}, {280, 100});
    ASSERT_EQ(d.GetElectricCount(), 3);
    auto back = RoundTrip(d);
    ASSERT_TRUE(back);
    back->AfterLoad(back.get(), 0, kCurrentVersion);
    EXPECT_EQ(back->GetElectricCount(), 3);
    EXPECT_EQ(back->GetMechanicalCount(), 0);
    // A second after-load does not count twice.
    back->AfterLoad(back.get(), 0, kCurrentVersion);
    EXPECT_EQ(back->GetElectricCount(), 3);
}

TEST(CircuitLoad, WarningsAreShownOnceWithThePathThenEmptied)
{
    CRecordingMessageBox box;
    CMessageBoxScope scope(&box);
    CPathDocument doc;
    struct Case {
        bool temporary;
        const char* warnings;
        size_t shown;
    };
    const Case cases[] = {{false, "", 0}, {false, "Cannot find file : sun.bmp\r\n", 1}, {true, "x\r\n", 0}};
    for (const Case& c : cases) {
        box.shown.clear();
        FileOpenWarnings().Empty();
        CCircuit d;
        d.m_pDocument = &doc;
        d.m_bTemporary = c.temporary;
        AddFileOpenWarning(c.warnings);
        d.AfterLoad(&d, 0, kCurrentVersion);
        ASSERT_EQ(box.shown.size(), c.shown) << c.warnings;
        if (c.shown) {
            EXPECT_NE(box.shown[0].text.find("C:\\lessons\\lamp.zrn"), std::string::npos);
            EXPECT_NE(box.shown[0].text.find("Cannot find file : sun.bmp"), std::string::npos);
            EXPECT_EQ(FileOpenWarnings(), "");
        }
        d.m_pDocument = nullptr;
    }
    FileOpenWarnings().Empty();
}

// A probe on a fixed channel that remembers where it records.
class CChannelProbe : public CPart, public CProbeRecorder {
public:
    explicit CChannelProbe(int channel) : m_channel(channel) {}
    void RecordSample(int) override {}
    int GetChannel() const override { return m_channel; }
    void AttachToDesign(CCircuit* design) override { attached = design; }
    int m_channel;
    CCircuit* attached = nullptr;
};

TEST(CircuitLoad, ProbesRegisterTheirChannelsInTheTarget)
{
    CCircuit copy, shown;
    auto* p1 = new CChannelProbe(1);
    auto* p3 = new CChannelProbe(3);
    copy.m_pProbes->AppendChild(p1);
    copy.m_pProbes->AppendChild(p3);
    EXPECT_EQ(copy.FindProbe(3), p3);
    EXPECT_EQ(copy.FindProbe(1), p1);
    EXPECT_EQ(copy.FindProbe(0), nullptr);
    EXPECT_EQ(copy.FindProbe(4), nullptr);

    copy.RegisterProbes(&shown);
    EXPECT_EQ(p1->attached, &shown);
    EXPECT_EQ(p3->attached, &shown);
    // Channels 1 and 3 are taken: the free ones are 0 and 2, then none.
    EXPECT_EQ(shown.AllocateProbeChannel(), 0);
    EXPECT_EQ(shown.AllocateProbeChannel(), 2);
    EXPECT_EQ(shown.AllocateProbeChannel(), 4);
}

} // namespace
