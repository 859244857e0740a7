// The systems parts' registry and records: every class is registered with
// its schema and base, creatable by name, and each record reads back to
// itself; the record layouts and the version gate of the sensors' mode.
#include "systems_support.h"

#include "components/sensor_light.h"
#include "components/sensor_pressure.h"
#include "components/sensor_switch.h"
#include "components/sensor_temperature.h"
#include "components/stimulus_sun.h"
#include "components/system_7sled.h"
#include "components/system_can.h"
#include "components/system_message.h"
#include "components/system_motor.h"
#include "components/system_receive.h"
#include "components/system_send.h"
#include "components/systems_pictures.h"
#include "model/display/visual.h"
#include "model/parts/catalogue.h"
#include "model/parts/part_records.h"
#include "model/text_qtapp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WriteOne(CObject* part, WORD version = kCurrentVersion)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

template <class T>
std::unique_ptr<T> ReadOne(const Bytes& data, WORD version = kCurrentVersion)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    auto* t = dynamic_cast<T*>(o.get());
    if (t) o.release();
    return std::unique_ptr<T>(t);
}

struct Registration {
    const char* name;
    unsigned schema;
    const char* base;
};

TEST(SystemsArchive, EveryClassIsRegisteredWithItsSchemaAndBase)
{
    EnsureTextGuiApp();
    const Registration rows[] = {
        {"CPressureSensor", 4, "CLogicIn"},
        {"CTempSensor", 2, "CLogicIn"},
        {"CLightSensor", 2, "CLogicIn"},
        {"CSoundSensor", 2, "CLogicIn"},
        {"CSwitchSensor", 2, "CLogicIn"},
        {"CPushSwitchSensor", 2, "CLogicIn"},
        {"CCoinSensor", 2, "CLogicIn"},
        {"CReedSensor", 2, "CLogicIn"},
        {"CTiltSensor", 2, "CLogicIn"},
        {"CMoistureSensor", 2, "CLogicIn"},
        {"CSystemAReceive", 2, "CComponent"},
        {"CThermometer", 3, "CSlider"},
        {"CFootHeight", 4, "CSlider"},
        {"CSun", 4, "CSlider"},
        {"CNoiseLevel", 4, "CSlider"},
        {"CCoinHeight", 4, "CSlider"},
        {"CPushSwitch", 2, "CToggle"},
        {"CLatch", 2, "CToggle"},
        {"CWindow", 2, "CToggle"},
        {"CPinball", 2, "CToggle"},
        {"CRain", 2, "CToggle"},
        {"CSystemOutput", 2, "CComponent"},
        {"CSystemHeater", 2, "CSystemOutput"},
        {"CSystemLamp", 2, "CSystemOutput"},
        {"CSystemAlarm", 2, "CSystemOutput"},
        {"CSystemCan", 2, "CSystemOutput"},
        {"CSystemMessage", 2, "CSystemOutput"},
        {"CSystemMotor", 2, "CComponent"},
        {"CSystem7SLED", 2, "CComponent"},
        {"CSystemASend", 2, "CSystemOutput"},
    };
    EXPECT_EQ(std::size(rows), 30u);
    for (const Registration& r : rows) {
        const CRuntimeClass* rc = CRuntimeClass::FromName(r.name);
        ASSERT_NE(rc, nullptr) << r.name;
        EXPECT_EQ(rc->m_wSchema, r.schema) << r.name;
        EXPECT_STREQ(rc->m_lpszBaseClassName, r.base) << r.name;
        std::unique_ptr<CObject> made(rc->CreateObject());
        ASSERT_NE(made, nullptr) << r.name;
        EXPECT_STREQ(made->GetRuntimeClass()->m_lpszClassName, r.name);
    }
    // The Add menu's rows of the systems parts create them.
    PartCatalogue& cat = PartCatalogue::Get();
    for (int id : {33871, 33873, 33874, 33878, 33875, 33876, 33877, 33879, 33880, 33881, 33882, 33890, 33886, 33885,
                   33510, 33884, 33883, 33895, 33896}) {
        const int row = cat.FindCommand(id);
        ASSERT_GE(row, 0) << id;
        EXPECT_EQ(cat.GetRowStatus(row), PartCatalogue::rowReady) << id;
    }
}

TEST(SystemsArchive, PictureSetsAreTheThirtyThreeOfTheTable)
{
    EnsureTextGuiApp();
    std::set<int> cells;
    for (int i = 0; i < static_cast<int>(SystemsPicture::kCount); ++i) {
        const auto which = static_cast<SystemsPicture>(i);
        const SystemsPictureRow& row = GetSystemsPictureRow(which);
        CVisual& v = GetSystemsPicture(which);
        EXPECT_EQ(&v, &GetSystemsPicture(which)); // one set per program
        EXPECT_TRUE(v.LoadFrames()) << i;
        EXPECT_EQ(v.GetFrameCount(), row.frames) << i;
        EXPECT_EQ(v.GetSize(), CSize(row.width, row.height)) << i;
        EXPECT_EQ(v.HasMarginPins(), row.imageCode < 0) << i;
        EXPECT_EQ(v.GetBitmapId(0), row.highColourId ? row.highColourId : row.bitmapId) << i;
        const CPoint last = v.GetFrameOrigin(row.frames - 1, 0);
        EXPECT_LE(last.x + row.width, v.GetBitmap(0)->GetSize().cx) << i;
        EXPECT_LE(last.y + row.height, v.GetBitmap(0)->GetSize().cy) << i;
        if (row.bitmapId == 507) cells.insert(row.iconCell);
    }
    EXPECT_EQ(static_cast<int>(SystemsPicture::kCount), 33);
    // Every sensor shows frame 0 or 1 of bitmap 507; only the icon cell differs.
    EXPECT_EQ(cells.size(), 10u);
}

TEST(SystemsArchive, LoadingASunMakesASliderWithTheSunsPictures)
{
    EnsureTextGuiApp();
    CSun sun;
    sun.SetPosition(23);
    std::unique_ptr<CSun> back = ReadOne<CSun>(WriteOne(&sun));
    ASSERT_NE(back, nullptr);
    EXPECT_NE(dynamic_cast<CSlider*>(back.get()), nullptr);
    EXPECT_EQ(back->m_pTrack, &GetSystemsPicture(SystemsPicture::kSun));
    EXPECT_EQ(back->m_pKnob, &GetSystemsPicture(SystemsPicture::kSunKnob));
    EXPECT_EQ(back->GetPosition(), 23);
    EXPECT_EQ(back->GetValue(), 3);
}

TEST(SystemsArchive, SensorStatesAreStoredInTheirWidth)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* pressure = b.AddAt<CPressureSensor>(300, 200);
    auto* sw = b.AddAt<CSwitchSensor>(300, 400);
    b.Reset();
    pressure->m_nState = 0x0102;
    sw->m_nState = 0x0102;
    // The state is the last field of the record: 2 bytes for the pressure
    // sensor, 4 for the switch sensor.
    const Bytes p = WriteOne(pressure), s = WriteOne(sw);
    ASSERT_GT(p.size(), 4u);
    EXPECT_EQ(Bytes(p.end() - 3, p.end()), (Bytes{0x00, 0x02, 0x01}));
    EXPECT_EQ(Bytes(s.end() - 5, s.end()), (Bytes{0x00, 0x02, 0x01, 0x00, 0x00}));
    EXPECT_EQ(ReadOne<CPressureSensor>(p)->GetState(), 0x0102);
    EXPECT_EQ(ReadOne<CSwitchSensor>(s)->GetState(), 0x0102);
}

TEST(SystemsArchive, OldFilesLoadThresholdSensorsInDigitalMode)
{
    EnsureTextGuiApp();
    // Bare sensors (no pins or controls) keep the records to their own fields.
    CTempSensor temp;
    CLightSensor light;
    temp.OnPropertyCommand(kSensorSignal, "Analog");
    temp.OnPropertyCommand(kSensorThreshold, "55");
    temp.SetInputValue(nullptr, 350);
    light.OnPropertyCommand(kSensorSignal, "Analog");
    light.OnPropertyCommand(kSensorThreshold, " 40% ");
    light.SetInputValue(nullptr, 4);
    // At the current version the mode comes back.
    auto t2 = ReadOne<CTempSensor>(WriteOne(&temp));
    EXPECT_FALSE(t2->IsDigital());
    EXPECT_EQ(t2->m_wStateWord, 1);
    EXPECT_EQ(t2->m_strMode, CString("Analog"));
    EXPECT_FLOAT_EQ(t2->m_fThreshold, 328.0f);
    EXPECT_EQ(t2->GetLevel(), 350);
    EXPECT_EQ(t2->m_threshold.Format(), CString("55"));
    auto l2 = ReadOne<CLightSensor>(WriteOne(&light));
    EXPECT_FALSE(l2->IsDigital());
    EXPECT_EQ(l2->m_nThreshold, 2);
    EXPECT_EQ(l2->GetLevel(), 4);
    EXPECT_EQ(l2->m_strThreshold, CString(" 40% "));
    // A file of a version before the mode ends before the mode text and the
    // flag: it loads in digital mode, and the record written at that version
    // ends there too, so that it reads back whole (first family below
    // 0x10B3, second below 0x20B1).
    for (WORD old : {WORD(0x10B2), WORD(0x20B0)}) {
        for (CThresholdSensor* s : {static_cast<CThresholdSensor*>(&temp), static_cast<CThresholdSensor*>(&light)}) {
            const Bytes current = WriteOne(s, WORD(old + 1));
            const Bytes bytes = WriteOne(s, old);
            EXPECT_EQ(bytes.size() + 4 + 1 + s->m_strMode.size(), current.size()) << std::hex << old;
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), current.begin())) << std::hex << old;
            auto back = ReadOne<CThresholdSensor>(bytes, old);
            ASSERT_NE(back, nullptr);
            EXPECT_TRUE(back->IsDigital());
            EXPECT_EQ(back->m_wStateWord, 0);
            EXPECT_EQ(back->m_strMode, CString("Digital"));
        }
    }
}

// A part tree of a version before the sensors' mode, holding a light
// sensor with its sun, reads back from what it writes, to the same bytes.
TEST(SystemsArchive, TreesOfVersionsBeforeTheModeReadBackWhatTheyWrite)
{
    EnsureTextGuiApp();
    for (WORD version : {WORD(0x2000), WORD(0x10B2), WORD(0x20B0), kCurrentVersion}) {
        auto write = [version](CPartTree& tree) {
            CArchive ar;
            ar.SetVersion(version);
            tree.SerializeTree(ar);
            return ar.GetBuffer();
        };
        CPartTree tree;
        tree.CreateMissingGroups();
        auto* light = new CLightSensor;
        light->AddChild(new CSun(0, 0, light));
        tree.AddChild(light);
        const Bytes first = write(tree);
        CPartTree back;
        CArchive ar(first);
        ar.SetVersion(version);
        ASSERT_NO_THROW(back.SerializeTree(ar)) << std::hex << version;
        EXPECT_EQ(ar.BytesLeft(), 0u) << std::hex << version;
        EXPECT_EQ(write(back), first) << std::hex << version;
    }
}

TEST(SystemsArchive, OutputRecordsReadBack)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* can = b.AddAt<CSystemCan>(300, 200);
    can->m_dwState = 0x101;
    can->m_dwSecondWord = 0xDEADBEEF;
    can->m_bDispensing = 1;
    can->m_bArmed = 0;
    can->m_nCounter = 3;
    auto c2 = ReadOne<CSystemCan>(WriteOne(can));
    EXPECT_EQ(c2->m_dwState, 0x101u);
    EXPECT_EQ(c2->m_dwSecondWord, 0xDEADBEEFu);
    EXPECT_EQ(c2->m_bDispensing, 1);
    EXPECT_EQ(c2->m_bArmed, 0);
    EXPECT_EQ(c2->m_nCounter, 3u);
    auto* sign = b.AddAt<CSystemMessage>(300, 400);
    sign->m_strMessage = "Doors open";
    sign->m_strShown = "Doors o..";
    auto s2 = ReadOne<CSystemMessage>(WriteOne(sign));
    EXPECT_EQ(s2->m_strMessage, CString("Doors open"));
    EXPECT_EQ(s2->m_strShown, CString("Doors o.."));
    auto* motor = b.AddAt<CSystemMotor>(300, 600);
    motor->m_nDirection = 2;
    motor->m_wStateWord = 7;
    auto m2 = ReadOne<CSystemMotor>(WriteOne(motor));
    EXPECT_EQ(m2->m_nDirection, 2);
    EXPECT_EQ(m2->GetFrame(), 7);
    auto* led = b.AddAt<CSystem7SLED>(300, 800);
    led->m_nShownCode = 11;
    EXPECT_EQ(ReadOne<CSystem7SLED>(WriteOne(led))->m_nShownCode, 11);
    auto* send = b.AddAt<CSystemASend>(600, 200);
    send->m_nCounter = 2;
    send->m_nLastInput = 1;
    auto t2 = ReadOne<CSystemASend>(WriteOne(send));
    EXPECT_EQ(t2->m_nCounter, 2);
    EXPECT_EQ(t2->m_nLastInput, 1);
    auto* receive = b.AddAt<CSystemAReceive>(600, 400);
    receive->m_nCounter = 3;
    EXPECT_EQ(ReadOne<CSystemAReceive>(WriteOne(receive))->m_nCounter, 3);
}

// A shown output draws its "on" picture again after a simulation reset.
TEST(SystemsArchive, ResetShowsTheOnPictureAgain)
{
    EnsureTextGuiApp();
    SystemsBench b;
    auto* can = b.AddAt<CSystemCan>(300, 200);
    can->m_dwState = 0x100;
    can->m_wStateWord = 0;
    b.Reset();
    EXPECT_EQ(can->GetFrame(), 1);
}

} // namespace
