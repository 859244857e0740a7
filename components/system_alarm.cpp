#include "components/system_alarm.h"

#include "model/circuit/circuit.h"

WB_IMPLEMENT_SERIAL(CSystemAlarm, "CSystemOutput", 2)

CSystemAlarm::CSystemAlarm() { TakePicture(SystemsPicture::kAlarm); }

int CSystemAlarm::AfterStep()
{
    const int broken = CSystemOutput::AfterStep();
    CCircuit* design = GetDesign();
    if (design && InputHigh()) design->m_fileExtras.idleRequest |= 1;
    ShowOnOff();
    return broken;
}
