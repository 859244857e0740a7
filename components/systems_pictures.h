// The shared picture sets of the systems parts: the sensors (all frames of
// one bitmap, told apart by their toolbar icon cell), their stimulus
// controls, the outputs, the transmitter and receiver, and the
// microcontroller chip that the flowchart library places among them.  Each
// set exists once per program and is built on first use.
//
// The sensor and output pictures mark their pins in the frame's edge ring;
// their bitmaps leave 2 pixels after the first frame (picture sets with a
// negative image code), as the .pic sources say with `first-gap 2`.
#pragma once

class CVisual;

enum class SystemsPicture {
    kChip,
    kCoinSensor,
    kLightSensor,
    kPressureSensor,
    kSoundSensor,
    kTempSensor,
    kPushSwitchSensor,
    kSwitchSensor,
    kReedSensor,
    kTiltSensor,
    kMoistureSensor,
    kReceive,
    kThermometer,
    kThermometerKnob,
    kSun,
    kSunKnob,
    kNoiseLevel,
    kNoiseLevelKnob,
    kCoinHeight,
    kPushSwitch,
    kLatch,
    kWindow,
    kPinball,
    kRain,
    kFootHeight,
    kAlarm,
    kCan,
    kHeater,
    kMessage,
    kLamp,
    kMotor,
    kSevenSegment,
    kSend,
    kCount
};

// The picture set (built on first use, alive until the program ends).
CVisual& GetSystemsPicture(SystemsPicture which);

// The constructor arguments of one set, as the table holds them.
struct SystemsPictureRow {
    SystemsPicture which;
    int imageCode;
    int iconCell;
    int bitmapId;
    int frames;
    int offsetX;
    int offsetY;
    int width;
    int height;
    int highColourId;
};
const SystemsPictureRow& GetSystemsPictureRow(SystemsPicture which);
