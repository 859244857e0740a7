#include "components/system_can.h"

#include "model/circuit/circuit.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CSystemCan, "CSystemOutput", 2)

namespace {
constexpr unsigned kFrames = 4;
} // namespace

CSystemCan::CSystemCan() { TakePicture(SystemsPicture::kCan); }

void CSystemCan::Serialize(CArchive& ar)
{
    CSystemOutput::Serialize(ar);
    int counter = static_cast<int>(m_nCounter);
    SerializeInt(ar, m_bDispensing);
    SerializeInt(ar, m_bArmed);
    SerializeInt(ar, counter);
    m_nCounter = static_cast<unsigned>(counter);
}

int CSystemCan::StepsPerFrame(double updateRate)
{
    // The rate comes from the design file: one beyond any the program sets
    // (up to infinity) is bounded, so the count stays an int.
    constexpr double kMaxStepsPerFrame = 1e6;
    return updateRate >= 10.0 ? static_cast<int>(std::min(updateRate / 10.0, kMaxStepsPerFrame)) : 1;
}

int CSystemCan::AfterStep()
{
    const int broken = CSystemOutput::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    const unsigned n = static_cast<unsigned>(StepsPerFrame(design->GetUpdateRate()));
    if (m_bDispensing) {
        ++m_nCounter;
        if (m_nCounter < kFrames * n) {
            ShowFrame(static_cast<int>(m_nCounter / n));
        } else {
            m_nCounter = 0;
            m_bDispensing = 0;
            ShowFrame(0);
        }
    }
    if (InputHigh()) {
        if (m_bArmed && !m_bDispensing) {
            m_bArmed = 0;
            m_bDispensing = 1;
        }
    } else if (!m_bArmed && !m_bDispensing) {
        m_bArmed = 1;
        m_nCounter = 0;
        ShowFrame(0);
    }
    return broken;
}
