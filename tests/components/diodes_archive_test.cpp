// Records of the diodes, LEDs and meters: they write the component record
// and nothing of their own, read back to the same part (class, orientation,
// terminals, state word) and to the same bytes.
#include "components/ammeter.h"
#include "components/diode.h"
#include "components/led.h"
#include "components/voltmeter.h"
#include "diodes_support.h"
#include "model/parts/part_records.h"
#include "model/text/meter.h"

#include "tests/components/component_archive.h"

#include <gtest/gtest.h>

#include <memory>

namespace {


template <class T>
std::unique_ptr<T> Built(int orientation, WORD state)
{
    auto p = std::make_unique<T>();
    p->m_rect.SetRect(40, 60, 40, 60);
    p->InitVariant(p->GetRuntimeClass());
    p->m_nOrientation = orientation;
    p->Initialise();
    p->m_wStateWord = state;
    return p;
}

template <class T>
void RoundTrip(int orientation, WORD state, const char* className)
{
    auto p = Built<T>(orientation, state);
    const Bytes b = WriteOne(p.get(), kCurrentVersion);
    auto q = ReadOne(b, kCurrentVersion);
    ASSERT_NE(q, nullptr) << className;
    EXPECT_STREQ(q->GetRuntimeClass()->m_lpszClassName, className);
    EXPECT_NE(dynamic_cast<T*>(q.get()), nullptr);
    EXPECT_EQ(q->m_nOrientation, orientation);
    EXPECT_EQ(q->m_rect, p->m_rect);
    EXPECT_EQ(q->m_wStateWord, state);
    EXPECT_EQ(q->m_rcPicture.TopLeft(), p->m_rcPicture.TopLeft());
    ASSERT_EQ(q->GetTerminalCount(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(q->GetTerminal(i)->GetPinPoint(), p->GetTerminal(i)->GetPinPoint());
    EXPECT_EQ(WriteOne(q.get(), kCurrentVersion), b) << className;
}

TEST(DiodesArchive, RoundTrips)
{
    RoundTrip<CDiode>(3, 0, "CDiode");
    RoundTrip<CLED>(7, 4, "CLED");
    RoundTrip<CLED_G>(0, 10, "CLED_G");
    RoundTrip<CLED_Y>(1, 2, "CLED_Y");
    RoundTrip<CAmmeter>(3, 1, "CAmmeter");
    RoundTrip<CVoltmeter>(0, 2, "CVoltmeter");
}

TEST(DiodesArchive, ClassesCarryTheirSchemas)
{
    EXPECT_EQ(RUNTIME_CLASS(CDiode)->m_wSchema, 2u);
    EXPECT_EQ(RUNTIME_CLASS(CLED)->m_wSchema, 2u);
    EXPECT_EQ(RUNTIME_CLASS(CLED_G)->m_wSchema, 3u);
    EXPECT_EQ(RUNTIME_CLASS(CLED_Y)->m_wSchema, 3u);
    EXPECT_EQ(RUNTIME_CLASS(CAmmeter)->m_wSchema, 2u);
    EXPECT_EQ(RUNTIME_CLASS(CVoltmeter)->m_wSchema, 2u);
    EXPECT_TRUE(RUNTIME_CLASS(CLED_G)->IsDerivedFrom("CDiode"));
}

TEST(DiodesArchive, ReadLedKeepsItsColourKnee)
{
    auto p = Built<CLED_Y>(7, 0);
    auto q = ReadOne(WriteOne(p.get(), kCurrentVersion), kCurrentVersion);
    auto* led = dynamic_cast<CLED_Y*>(q.get());
    ASSERT_NE(led, nullptr);
    EXPECT_DOUBLE_EQ(led->Model().GetKnee(), 1.667);
}

TEST(DiodesArchive, MeterKeepsItsReadout)
{
    auto p = Built<CAmmeter>(3, 0);
    auto q = ReadOne(WriteOne(p.get(), kCurrentVersion), kCurrentVersion);
    ASSERT_NE(q, nullptr);
    CMeter* text = FindMeterText(q.get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->rtf.text, " 0.00");
}

} // namespace
