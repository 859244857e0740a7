#include "components/system_heater.h"

WB_IMPLEMENT_SERIAL(CSystemHeater, "CSystemOutput", 2)

CSystemHeater::CSystemHeater() { TakePicture(SystemsPicture::kHeater); }

int CSystemHeater::AfterStep()
{
    const int broken = CSystemOutput::AfterStep();
    ShowOnOff();
    return broken;
}
