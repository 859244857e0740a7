// CLightSensor: the light sensor, worked by a sun that reports light level
// 0 to 5.  The threshold is chosen from the list " 0% " .. " 100% " (levels
// 0 to 5; " 100% " at first); analogue mode reads level / 5 of the logic
// supply.
#pragma once

#include "components/sensor_threshold_base.h"

class CLightSensor : public CThresholdSensor {
    WB_DECLARE_SERIAL(CLightSensor)
public:
    CLightSensor();

    // The CComponent record, threshold level and light level (32 bits
    // each), the level list text, the threshold text, then the mode text
    // and the digital flag.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 the threshold text (ApplySettings 1), 36059 the mode text
    // (ApplySettings 2); 65.
    int OnPropertyCommand(int commandId, const CString& text) override;

    const ThresholdSensorRow& Row() const override;
    int GetLevel() const override { return static_cast<int>(m_nLevel); }
    bool AtThreshold() const override { return static_cast<int>(m_nLevel) >= m_nThreshold; }
    // Type 1: the threshold level from the threshold text (" 0% " 0,
    // " 20% " 1, " 40% " 2, " 60% " 3, " 80% " 4, any other text 5);
    // type 2: the mode.
    void ApplySettings(int type);

    int m_nThreshold = 5;
    unsigned m_nLevel = 0;
    CString m_strLevels;
    CString m_strThreshold;

protected:
    CPart* MakeControl() override;
    void SetLevel(int level) override { m_nLevel = static_cast<unsigned>(level); }
};
