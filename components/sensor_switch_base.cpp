#include "components/sensor_switch_base.h"

#include "components/systems_pins.h"
#include "model/circuit/circuit.h"
#include "model/display/visual.h"

void CSwitchTypeSensor::TakeRow()
{
    m_pVisual = &GetSystemsPicture(Row().picture);
    m_nOrientationMask = m_pVisual->GetOrientationMask();
}

void CSwitchTypeSensor::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (Row().wordState) {
        if (ar.IsStoring()) {
            ar << static_cast<WORD>(m_nState);
        } else {
            WORD w = 0;
            ar >> w;
            m_nState = w;
        }
        return;
    }
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nState);
    } else {
        LONG v = 0;
        ar >> v;
        m_nState = v;
    }
}

void CSwitchTypeSensor::CreateChildren()
{
    if (!m_terminals.empty()) return;
    CreateTerminals(0);
    m_nState = 0;
    if (CPart* control = Row().makeControl(3, this)) AddChild(control);
}

int CSwitchTypeSensor::SetInputValue(CPartTree*, int value)
{
    m_nState = Row().wordState ? value : (value & 0xFFFF);
    if (CCircuit* design = GetDesign()) design->ControlSimulation(SIM_SENSOR_CHANGED);
    return 1;
}

void CSwitchTypeSensor::Stamp(CMatrix* matrix)
{
    CCircuit* design = GetDesign();
    if (!design || m_terminals.empty() || !m_nState) return;
    StampSystemsPin(matrix, GetTerminal(0), design->GetLogicHighCurrent(), *design);
}

bool CSwitchTypeSensor::GetPinDrive(double* volts, double* conductance) const
{
    const CCircuit* design = GetDesign();
    if (!design || !m_nState) return false;
    return SystemsPinDrive(design->GetLogicHighCurrent(), *design, volts, conductance);
}
