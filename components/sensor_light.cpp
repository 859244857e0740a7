#include "components/sensor_light.h"

#include "components/stimulus_sun.h"
#include "model/parts/controlitem.h"

WB_IMPLEMENT_SERIAL(CLightSensor, "CLogicIn", 2)

namespace {
const ThresholdSensorRow kRow = {SystemsPicture::kLightSensor, 0, 5, 33874};
// The threshold texts of the levels below the top one.
const char* const kLevelTexts[] = {" 0% ", " 20% ", " 40% ", " 60% ", " 80% "};
} // namespace

CLightSensor::CLightSensor() : m_strLevels(" 0% \n 20% \n 40% \n 60% \n 80% \n 100% "), m_strThreshold(" 100% ")
{
    TakeRow();
}

const ThresholdSensorRow& CLightSensor::Row() const { return kRow; }

void CLightSensor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nThreshold) << static_cast<DWORD>(m_nLevel) << m_strLevels << m_strThreshold;
    } else {
        LONG threshold = 0;
        DWORD level = 0;
        ar >> threshold >> level >> m_strLevels >> m_strThreshold;
        m_nThreshold = threshold;
        m_nLevel = level;
    }
    SerializeMode(ar);
}

void CLightSensor::ApplySettings(int type)
{
    if (type == 1) {
        m_nThreshold = 5;
        for (int i = 0; i < 5; ++i)
            if (m_strThreshold == kLevelTexts[i]) m_nThreshold = i;
        return;
    }
    if (type == 2) ApplyMode();
}

int CLightSensor::FillProperties(CControlItemList& items)
{
    FillCommonItems(items);
    items.Add(CControlItem(CI_DROPLIST, m_strLevels, kSensorThreshold, 70));
    AddPartButton(items);
    return 0;
}

int CLightSensor::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(kSensorThreshold, m_strThreshold, -1);
    items.SetItemText(kSensorSignal, m_strMode, -1);
    return 2;
}

int CLightSensor::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == kSensorThreshold) {
        m_strThreshold = text;
        ApplySettings(1);
    } else if (commandId == kSensorSignal) {
        m_strMode = text;
        ApplySettings(2);
    } else {
        return CThresholdSensor::OnPropertyCommand(commandId, text);
    }
    return 65;
}

CPart* CLightSensor::MakeControl() { return new CSun(m_rect.left - 100, m_rect.top - 30, this); }
