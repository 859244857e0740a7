// The threshold sensors (temperature, light, sound): like the switch-type
// sensors a block with one logic output and a stimulus control on its
// left, but the control reports a level and the sensor has two modes:
//   digital   the output is driven high (G and Ih) when the level is at or
//             above the threshold; below it nothing is stamped at all;
//   analogue  G and I = (level - zero) x Ih / span, so an unloaded output
//             reads the level's share of the logic supply.
// The mode is the property toolbar's "Signal:" choice; the part's state
// word is 0 in digital and 1 in analogue mode (the picture frame).
#pragma once

#include "components/logicin.h"
#include "components/systems_pictures.h"

struct ThresholdSensorRow {
    SystemsPicture picture;
    int zero;
    int span;
    int addCommand; // the Add-menu command of the toolbar's part button
};

// Property items and commands of the threshold sensors.
enum : int {
    kSensorThresholdLabel = 36052,
    kSensorThreshold = 36053,
    kSensorThresholdSpin = 36054,
    kSensorSignalLabel = 36058,
    kSensorSignal = 36059,
};

// String ids.
enum : unsigned {
    IDS_SENSOR_THRESHOLD = 772, // "   Threshold: "
    IDS_SENSOR_MODES = 846,     // "Digital\nAnalog"
    IDS_SENSOR_DIGITAL = 851,   // "Digital"
    IDS_SENSOR_SIGNAL = 865,    // "Signal: "
};

class CThresholdSensor : public CLogicIn {
public:
    // The pin, then the stimulus control at its place.
    void CreateChildren() override;
    // The level (16 bits) from the control; a new solve at once.
    int SetInputValue(CPartTree* design, int value) override;
    void Stamp(CMatrix* matrix) override;
    bool GetPinDrive(double* volts, double* conductance) const override;
    // In analogue mode the threshold cannot be edited.
    int IsPropertyChecked(int commandId, int& enabled) override;

    bool IsDigital() const { return m_bDigital != 0; }
    // The level the control last reported.
    virtual int GetLevel() const = 0;
    // In digital mode: the level is at or above the threshold.
    virtual bool AtThreshold() const = 0;
    virtual const ThresholdSensorRow& Row() const = 0;

    CString m_strMode;
    int m_bDigital = 1;

protected:
    CThresholdSensor();
    // The control, built at its place beside the sensor.
    virtual CPart* MakeControl() = 0;
    virtual void SetLevel(int level) = 0;
    // The source current of the output pin; false when nothing is stamped.
    bool OutputCurrent(double* current) const;
    // Digital flag and state word from the mode text.
    void ApplyMode();
    // The mode text and the digital flag: always written, read only from
    // files whose version has them (older files keep the digital default).
    void SerializeMode(CArchive& ar);
    // Items 0-2 ("Signal:", the mode list, "Threshold:") after the empty
    // list type 4; the subclass adds the threshold's own items.
    void FillCommonItems(CControlItemList& items);
    // The last item: the Add-menu button of this sensor.
    void AddPartButton(CControlItemList& items);
    // The picture set (one orientation, offset row 1).
    void TakeRow();
};
