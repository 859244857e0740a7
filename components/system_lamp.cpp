#include "components/system_lamp.h"

WB_IMPLEMENT_SERIAL(CSystemLamp, "CSystemOutput", 2)

CSystemLamp::CSystemLamp() { TakePicture(SystemsPicture::kLamp); }

int CSystemLamp::AfterStep()
{
    const int broken = CSystemOutput::AfterStep();
    ShowOnOff();
    return broken;
}
