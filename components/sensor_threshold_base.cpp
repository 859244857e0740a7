#include "components/sensor_threshold_base.h"

#include "components/systems_pins.h"
#include "model/circuit/circuit.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/strings.h"

CThresholdSensor::CThresholdSensor() : m_strMode(LoadResString(IDS_SENSOR_DIGITAL)) {}

void CThresholdSensor::TakeRow()
{
    m_pVisual = &GetSystemsPicture(Row().picture);
    m_pVisual->SetOrientationMask(1);
    m_pVisual->SetOffsetRow(1);
    m_nOrientationMask = 1;
}

void CThresholdSensor::CreateChildren()
{
    if (!m_terminals.empty()) return;
    CreateTerminals(0);
    if (CPart* control = MakeControl()) AddChild(control);
}

int CThresholdSensor::SetInputValue(CPartTree*, int value)
{
    SetLevel(value & 0xFFFF);
    if (CCircuit* design = GetDesign()) design->ControlSimulation(SIM_SENSOR_CHANGED);
    return 1;
}

bool CThresholdSensor::OutputCurrent(double* current) const
{
    const CCircuit* design = GetDesign();
    if (!design) return false;
    const double ih = design->GetLogicHighCurrent();
    if (!IsDigital()) {
        const ThresholdSensorRow& r = Row();
        *current = (GetLevel() - r.zero) * ih / r.span;
        return true;
    }
    *current = ih;
    return AtThreshold();
}

void CThresholdSensor::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    double current = 0.0;
    if (!design || m_terminals.empty() || !OutputCurrent(&current)) return;
    StampSystemsPin(matrix, GetTerminal(0), current, *design);
}

bool CThresholdSensor::GetPinDrive(double* volts, double* conductance) const
{
    double current = 0.0;
    return OutputCurrent(&current) && SystemsPinDrive(current, *GetDesign(), volts, conductance);
}

int CThresholdSensor::IsPropertyChecked(int commandId, int& enabled)
{
    // The base enables every item; in analogue mode the threshold is then
    // taken back.
    const int checked = CLogicIn::IsPropertyChecked(commandId, enabled);
    if (!IsDigital()) enabled = commandId != kSensorThreshold;
    return checked;
}

void CThresholdSensor::ApplyMode()
{
    m_bDigital = m_strMode == LoadResString(IDS_SENSOR_DIGITAL) ? 1 : 0;
    m_wStateWord = m_bDigital ? 0 : 1;
}

void CThresholdSensor::SerializeMode(CArchive& ar)
{
    // Records of versions before 0x10B3 / 0x20B1 end before the mode.  They
    // are written that way too: a mode written where the reader expects
    // none would be read as the next record's first bytes.
    const bool hasMode = IsVersionAtLeast(static_cast<WORD>(ar.GetVersion()), 0x10B3, 0x20B1);
    if (ar.IsStoring()) {
        if (hasMode) ar << m_strMode << static_cast<LONG>(m_bDigital);
        return;
    }
    if (hasMode) {
        LONG digital = 1;
        ar >> m_strMode >> digital;
        m_bDigital = digital;
    }
    // The picture frame follows the mode the part has now.
    m_wStateWord = m_bDigital ? 0 : 1;
}

void CThresholdSensor::FillCommonItems(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, IDS_SENSOR_SIGNAL, kSensorSignalLabel, 35));
    items.Add(CControlItem(CI_DROPLIST, IDS_SENSOR_MODES, kSensorSignal, 70));
    items.Add(CControlItem(CI_STATIC, IDS_SENSOR_THRESHOLD, kSensorThresholdLabel, 62));
}

void CThresholdSensor::AddPartButton(CControlItemList& items)
{
    CControlItem button(CI_TOOLBUTTON, CString(), Row().addCommand, -1);
    button.SetFlag1(true);
    items.Add(button);
}
