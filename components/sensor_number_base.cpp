#include "components/sensor_number_base.h"

#include "model/parts/controlitem.h"

#include <cstdlib>

CNumberThresholdSensor::CNumberThresholdSensor(float threshold, float level, const CNumber& number)
    : m_fThreshold(threshold), m_fLevel(level), m_threshold(number)
{
}

void CNumberThresholdSensor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring())
        ar << m_fThreshold << m_fLevel << m_threshold;
    else
        ar >> m_fThreshold >> m_fLevel >> m_threshold;
    SerializeMode(ar);
}

int CNumberThresholdSensor::FillProperties(CControlItemList& items)
{
    FillCommonItems(items);
    items.Add(CControlItem(CI_EDIT, CString(), kSensorThreshold, 35));
    items.Add(CControlItem(CI_SPIN, CString(), kSensorThresholdSpin, -1));
    AddPartButton(items);
    return 0;
}

int CNumberThresholdSensor::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(kSensorThreshold, m_threshold.Format(), -1);
    items.SetItemText(kSensorSignal, m_strMode, -1);
    return 2;
}

int CNumberThresholdSensor::OnPropertyCommand(int commandId, const CString& text)
{
    switch (commandId) {
    case kSensorThreshold: {
        const int status = m_threshold.SetFromText(text.c_str(), nullptr);
        // A refused text: the toolbar shows the threshold as it stands.
        if (status != 1 && status != 2) return 0x40;
        break;
    }
    case kSensorThresholdSpin:
        if (!m_threshold.StepValue(std::atoi(text.c_str()), nullptr, 1.0)) return 0;
        break;
    case kSensorSignal:
        m_strMode = text;
        break;
    default:
        return CThresholdSensor::OnPropertyCommand(commandId, text);
    }
    ApplySettings();
    return 65;
}
