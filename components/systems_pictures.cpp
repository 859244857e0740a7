#include "components/systems_pictures.h"

#include "model/display/visual.h"

#include <array>
#include <memory>

namespace {

using P = SystemsPicture;

// image code, icon cell, bitmap, frames, offset, size, high-colour bitmap.
// A bitmap id of 0 with a high-colour id: the picture exists only in the
// high-colour form.
constexpr SystemsPictureRow kRows[] = {
    {P::kChip, -27, 1, 505, 1, 8, 5, 64, 128, 0},
    {P::kCoinSensor, -24, 5, 507, 2, 0, 0, 32, 32, 0},
    {P::kLightSensor, -24, 10, 507, 2, 0, 0, 32, 32, 0},
    {P::kPressureSensor, -24, 4, 507, 2, 0, 0, 32, 32, 0},
    {P::kSoundSensor, -24, 12, 507, 2, 0, 0, 32, 32, 0},
    {P::kTempSensor, -24, 11, 507, 2, 0, 0, 32, 32, 0},
    {P::kPushSwitchSensor, -24, 3, 507, 2, 0, 0, 32, 32, 0},
    {P::kSwitchSensor, -24, 6, 507, 2, 0, 0, 32, 32, 0},
    {P::kReedSensor, -24, 8, 507, 2, 0, 0, 32, 32, 0},
    {P::kTiltSensor, -24, 7, 507, 2, 0, 0, 32, 32, 0},
    {P::kMoistureSensor, -24, 9, 507, 2, 0, 0, 32, 32, 0},
    {P::kReceive, -24, 13, 595, 4, 0, 0, 88, 64, 0},
    {P::kThermometer, 0, 0, 0, 11, 0, 0, 16, 64, 568},
    {P::kThermometerKnob, 0, 0, 210, 3, 0, 0, 15, 15, 0},
    {P::kSun, 0, 0, 0, 6, 0, 0, 64, 64, 506},
    {P::kSunKnob, 0, 0, 210, 3, 0, 0, 15, 15, 0},
    {P::kNoiseLevel, 0, 0, 0, 4, 0, 0, 64, 64, 495},
    {P::kNoiseLevelKnob, 0, 0, 210, 3, 0, 0, 15, 15, 0},
    {P::kCoinHeight, 0, 0, 0, 2, 0, 0, 48, 64, 496},
    {P::kPushSwitch, 0, 0, 0, 2, 0, 0, 48, 64, 503},
    {P::kLatch, 0, 0, 0, 2, 0, 0, 64, 64, 501},
    {P::kWindow, 0, 0, 0, 2, 0, 0, 64, 64, 565},
    {P::kPinball, 0, 0, 0, 2, 0, 0, 64, 64, 566},
    {P::kRain, 0, 0, 0, 2, 0, 0, 64, 64, 567},
    {P::kFootHeight, 0, 0, 0, 2, 0, 0, 64, 64, 511},
    {P::kAlarm, -26, 3, 0, 2, 6, 0, 112, 64, 500},
    {P::kCan, -26, 6, 499, 4, 2, 0, 112, 64, 0},
    {P::kHeater, -26, 4, 0, 2, 6, 6, 112, 64, 509},
    {P::kMessage, -26, 2, 502, 2, 7, 1, 128, 32, 0},
    {P::kLamp, -26, 5, 0, 2, 6, 6, 112, 64, 508},
    {P::kMotor, -26, 7, 552, 12, 5, 0, 96, 64, 0},
    {P::kSevenSegment, -26, 8, 564, 16, 5, 2, 96, 120, 0},
    {P::kSend, -26, 9, 594, 6, 2, 0, 96, 64, 0},
};
constexpr int kCount = static_cast<int>(SystemsPicture::kCount);
static_assert(sizeof kRows / sizeof kRows[0] == kCount);

constexpr bool RowsInOrder()
{
    for (int i = 0; i < kCount; ++i)
        if (static_cast<int>(kRows[i].which) != i) return false;
    return true;
}
static_assert(RowsInOrder());

} // namespace

const SystemsPictureRow& GetSystemsPictureRow(SystemsPicture which) { return kRows[static_cast<int>(which)]; }

CVisual& GetSystemsPicture(SystemsPicture which)
{
    // The program's registry of picture sets must outlive these.
    static const bool registryFirst = (CVisual::All(), true);
    (void)registryFirst;
    static std::array<std::unique_ptr<CVisual>, kCount> sets;
    auto& v = sets[static_cast<int>(which)];
    if (!v) {
        const SystemsPictureRow& r = GetSystemsPictureRow(which);
        v = std::make_unique<CVisual>(r.imageCode, r.iconCell, r.bitmapId, r.frames, r.offsetX, r.offsetY, r.width,
                                      r.height, 0, nullptr, nullptr, r.highColourId);
    }
    return *v;
}
