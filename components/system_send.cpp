#include "components/system_send.h"

#include "model/circuit/circuit.h"

WB_IMPLEMENT_SERIAL(CSystemASend, "CSystemOutput", 2)

CSystemASend::CSystemASend() { TakePicture(SystemsPicture::kSend); }

void CSystemASend::Serialize(CArchive& ar)
{
    CSystemOutput::Serialize(ar);
    SerializeInt(ar, m_nCounter);
    SerializeInt(ar, m_nLastInput);
}

int CSystemASend::AfterStep()
{
    const int broken = CSystemOutput::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    m_nCounter = m_nCounter >= 3 || m_nCounter < 0 ? 0 : m_nCounter + 1;
    design->m_fileExtras.transmitted |= m_nLastInput;
    ShowFrame(m_nCounter);
    m_nLastInput = InputHigh() ? 1 : 0;
    return broken;
}
