// The threshold sensors whose threshold is a number typed or stepped in
// the property toolbar (temperature and sound).  ApplySettings turns the
// number into the threshold the output compares with and applies the mode.
#pragma once

#include "components/sensor_threshold_base.h"
#include "model/text/number.h"

#include <algorithm>

class CNumberThresholdSensor : public CThresholdSensor {
public:
    // The CComponent record, threshold and level (floats), the threshold
    // number, then the mode text and the digital flag.
    void Serialize(CArchive& ar) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 the typed threshold, 36054 a step (the text carries the signed
    // amount), 36059 the mode text; 65 after an accepted change.
    int OnPropertyCommand(int commandId, const CString& text) override;

    // The level is stored as a float: one read from a damaged file may lie
    // beyond an int or be no number at all; it counts as the nearest int
    // (no number as 0).
    int GetLevel() const override
    {
        if (!(m_fLevel == m_fLevel)) return 0;
        return static_cast<int>(std::clamp(m_fLevel, -2147483520.0f, 2147483520.0f));
    }
    bool AtThreshold() const override { return m_fLevel >= m_fThreshold; }
    // The threshold from the number, then the mode.
    virtual void ApplySettings() = 0;

    float m_fThreshold = 0.0f;
    float m_fLevel = 0.0f;
    CNumber m_threshold;

protected:
    CNumberThresholdSensor(float threshold, float level, const CNumber& number);
    void SetLevel(int level) override { m_fLevel = static_cast<float>(level); }
};
