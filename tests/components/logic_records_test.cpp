// The logic parts and chips as the catalogue builds them: every row creates
// its class, the pins come in the documented order and count in every
// orientation, each picture set has the documented frames and size, and each
// record reads back to itself.
#include "logic_support.h"
#include "model/display/visual.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

struct Row {
    const char* name;
    int pins;
    int frames;
    int width, height;
    int kind;
    int mask = 15;
};

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = {
        {"CLogicIn", 1, 2, 8, 8, 5},       {"CLogicOut", 1, 3, 16, 16, 7},  {"CClock", 1, 1, 24, 8, 5},
        {"CNAND", 3, 2, 24, 24, 7},        {"CAND", 3, 2, 24, 24, 7},       {"COR", 3, 2, 24, 24, 7},
        {"CNOR", 3, 2, 24, 24, 7},         {"CInverter", 2, 2, 24, 24, 7},  {"CNAND3", 4, 2, 40, 40, 7},
        {"CNAND4", 5, 2, 56, 56, 7},       {"CXOR", 3, 2, 24, 24, 7},       {"CSchmitt", 2, 2, 24, 24, 7},
        {"CDtype", 4, 2, 24, 24, 7},       {"CJK", 7, 2, 32, 40, 7},        {"CRS", 4, 2, 24, 24, 7},
        {"CCounter16", 7, 1, 32, 56, 7},   {"CCounter10", 7, 1, 32, 56, 7}, {"CCounter10B", 13, 1, 40, 120, 7},
        {"CDecoder", 14, 1, 32, 120, 7},   {"C555", 8, 1, 32, 40, 0},        {"C741", 3, 2, 24, 29, 8, 255}, {"C4511", 14, 1, 32, 108, 7},
    };
    return rows;
}

std::unique_ptr<CComponent> Create(const char* name, CCircuit& d, int orientation = 0)
{
    PartCatalogue& cat = PartCatalogue::Get();
    const int row = cat.FindClass(name);
    EXPECT_GE(row, 0) << name;
    EXPECT_EQ(cat.GetRowStatus(row), PartCatalogue::rowReady) << name;
    std::unique_ptr<CComponent> p(dynamic_cast<CComponent*>(cat.CreateAt(row, nullptr, nullptr)));
    EXPECT_NE(p, nullptr) << name;
    if (!p) return p;
    p->m_rect.SetRect(200, 200, 200, 200);
    p->m_pCircuit = &d;
    p->m_nOrientation = orientation;
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    return p;
}

Bytes WriteOne(CObject* part)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

std::unique_ptr<CComponent> ReadOne(const Bytes& data, WORD version = kCurrentVersion)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CComponent> p(dynamic_cast<CComponent*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

TEST(LogicRecords, CatalogueRowsBuildPartsWithTheirPinsAndPictures)
{
    EnsureTextGuiApp();
    for (const Row& r : Rows()) {
        CCircuit d;
        auto p = Create(r.name, d);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->GetTerminalCount(), r.pins) << r.name;
        EXPECT_EQ(p->GetKindCode(), r.kind) << r.name;
        ASSERT_NE(p->m_pVisual, nullptr);
        EXPECT_EQ(p->m_pVisual->GetFrameCount(), r.frames) << r.name;
        EXPECT_EQ(p->m_pVisual->GetSize(), CSize(r.width, r.height)) << r.name;
        EXPECT_EQ(p->m_pVisual->GetOrientationMask(), r.mask) << r.name;
        EXPECT_TRUE(p->m_pVisual->LoadFrames()) << r.name;
        for (int code = 1; code < 4; ++code) {
            CCircuit d2;
            auto q = Create(r.name, d2);
            std::vector<CTerminal*> before;
            for (int i = 0; i < r.pins; ++i) before.push_back(q->GetTerminal(i));
            q->SetOrientation(code, 0, 0, nullptr);
            ASSERT_EQ(q->GetTerminalCount(), r.pins) << r.name << " code " << code;
            // A quarter turn keeps the pins' order.
            for (int i = 0; i < r.pins; ++i) EXPECT_EQ(q->GetTerminal(i), before[i]) << r.name << " code " << code;
            // Every pin stays on the turned part's edge.
            for (int i = 0; i < r.pins; ++i) {
                const CPoint a = q->GetTerminal(i)->GetPinPoint();
                EXPECT_TRUE(q->m_rect.PtInRect(a) || a.x == q->m_rect.right || a.y == q->m_rect.bottom)
                    << r.name << " code " << code << " pin " << i;
            }
        }
    }
}

TEST(LogicRecords, EveryPartReadsBackToItself)
{
    EnsureTextGuiApp();
    for (const Row& r : Rows()) {
        CCircuit d;
        auto p = Create(r.name, d);
        ASSERT_NE(p, nullptr);
        p->m_wStateWord = r.frames - 1;
        const Bytes b = WriteOne(p.get());
        auto q = ReadOne(b);
        ASSERT_NE(q, nullptr) << r.name;
        EXPECT_TRUE(q->GetRuntimeClass()->IsNamed(r.name));
        EXPECT_EQ(q->m_rect, p->m_rect) << r.name;
        EXPECT_EQ(q->m_wStateWord, p->m_wStateWord) << r.name;
        ASSERT_EQ(q->GetTerminalCount(), p->GetTerminalCount()) << r.name;
        for (int i = 0; i < p->GetTerminalCount(); ++i)
            EXPECT_EQ(q->GetTerminal(i)->GetPinPoint(), p->GetTerminal(i)->GetPinPoint()) << r.name << i;
        // A read record writes the same bytes again (a fresh label's text
        // flags differ from a loaded one's, so the first write may differ).
        const Bytes again = WriteOne(q.get());
        auto r2 = ReadOne(again);
        ASSERT_NE(r2, nullptr) << r.name;
        EXPECT_EQ(WriteOne(r2.get()), again) << r.name;
    }
}

TEST(LogicRecords, LoadedGateTakesItsRampFromTheDesign)
{
    // A gate read from a file works without a reset of its own.
    EnsureTextGuiApp();
    LogicBench b;
    CCircuit d;
    auto gate = Create("CInverter", d);
    const Bytes bytes = WriteOne(gate.get());
    CComponent* loaded = ReadOne(bytes).release();
    loaded->AfterLoad(&b.d, 0, kCurrentVersion);
    b.d.AddChild(loaded);
    loaded->Drop(&b.d);
    b.SourceTo(loaded->GetTerminal(0), 0.0);
    b.Reset();
    b.Run(2);
    EXPECT_NEAR(loaded->GetTerminal(1)->GetVoltage(), 5.0, 1e-9);
}

} // namespace
