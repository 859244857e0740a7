// Records of the transistors, lamps, displays and sources: each writes the
// component record (and its own fields), reads back to the same class,
// place, terminals and state word, and writes the same bytes again.
#include "components/bulb.h"
#include "components/component_kit.h"
#include "components/current_source.h"
#include "components/filament.h"
#include "components/isolator.h"
#include "components/mosfet_n.h"
#include "components/mosfet_p.h"
#include "components/npn.h"
#include "components/photoq.h"
#include "components/pnp.h"
#include "components/resistors.h"
#include "components/seven_segment.h"
#include "components/thyristor.h"
#include "components/zener.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/parts/part_records.h"
#include "model/text/valuevariants.h"

#include "tests/components/component_archive.h"

#include <gtest/gtest.h>

#include <memory>

namespace {


template <class T>
std::unique_ptr<T> Built(WORD state)
{
    auto p = std::make_unique<T>();
    p->m_rect.SetRect(200, 160, 200, 160);
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    p->m_wStateWord = state;
    return p;
}

template <class T>
void RoundTrip(WORD state, const char* className)
{
    auto p = Built<T>(state);
    const Bytes b = WriteOne(p.get(), kCurrentVersion);
    auto q = ReadOne(b, kCurrentVersion);
    ASSERT_NE(q, nullptr) << className;
    EXPECT_STREQ(q->GetRuntimeClass()->m_lpszClassName, className);
    EXPECT_EQ(q->m_nOrientation, p->m_nOrientation) << className;
    EXPECT_EQ(q->m_rect, p->m_rect) << className;
    EXPECT_EQ(q->m_wStateWord, state) << className;
    ASSERT_EQ(q->GetTerminalCount(), p->GetTerminalCount()) << className;
    for (int i = 0; i < p->GetTerminalCount(); ++i)
        EXPECT_EQ(q->GetTerminal(i)->GetPinPoint(), p->GetTerminal(i)->GetPinPoint()) << className << " pin " << i;
    EXPECT_EQ(LabelValue(q.get()), LabelValue(p.get())) << className;
    // A label read back keeps its loaded text flags: from the first reading
    // on the record is stable to the byte.
    const Bytes again = WriteOne(q.get(), kCurrentVersion);
    auto r = ReadOne(again, kCurrentVersion);
    ASSERT_NE(r, nullptr) << className;
    EXPECT_EQ(WriteOne(r.get(), kCurrentVersion), again) << className;
}

TEST(SemisArchive, RoundTrips)
{
    RoundTrip<CNPN>(0, "CNPN");
    RoundTrip<CPNP>(0, "CPNP");
    RoundTrip<CZener>(0, "CZener");
    RoundTrip<CThyristor>(0, "CThyristor");
    RoundTrip<CMOSFETn>(0, "CMOSFETn");
    RoundTrip<CMOSFETp>(0, "CMOSFETp");
    RoundTrip<CPhotoQ>(7, "CPhotoQ");
    RoundTrip<CIsolator>(4, "CIsolator");
    RoundTrip<CBulb>(5, "CBulb");
    RoundTrip<CFilament>(3, "CFilament");
    RoundTrip<CCurrent>(0, "CCurrent");
    RoundTrip<CResistors>(0, "CResistors");
    RoundTrip<CSevenSegmentDisplay>(0, "CSevenSegmentDisplay");
}

TEST(SemisArchive, ClassesCarryTheirSchemas)
{
    struct Row {
        const char* name;
        const char* base;
        UINT schema;
    };
    const Row rows[] = {
        {"CNPN", "CComponent", 2},      {"CPNP", "CNPN", 2},           {"CZener", "CComponent", 2},
        {"CThyristor", "CComponent", 3}, {"CMOSFETn", "CComponent", 6}, {"CMOSFETp", "CMOSFETn", 6},
        {"CPhotoQ", "CComponent", 4},   {"CIsolator", "CComponent", 4}, {"CBulb", "CComponent", 2},
        {"CFilament", "CComponent", 4}, {"CSevenSegmentDisplay", "CComponent", 1},
        {"CCurrent", "CComponent", 4},  {"CResistors", "CComponent", 4},
    };
    for (const Row& r : rows) {
        const CRuntimeClass* rc = CRuntimeClass::FromName(r.name);
        ASSERT_NE(rc, nullptr) << r.name;
        EXPECT_EQ(rc->m_wSchema, r.schema) << r.name;
        ASSERT_NE(rc->GetBaseClass(), nullptr) << r.name;
        EXPECT_STREQ(rc->GetBaseClass()->m_lpszClassName, r.base) << r.name;
    }
}

} // namespace
