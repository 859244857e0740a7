#include "app/probe_copy.h"

#include "measure/probe_source.h"
#include "model/circuit/circuit.h"

namespace {

ProbeSourceFactory& Factory()
{
    static ProbeSourceFactory factory;
    return factory;
}

constexpr DWORD kNoQuantities = 0xFFFF;

} // namespace

const std::array<CQuantityBox, 15>& QuantityBoxes()
{
    static const std::array<CQuantityBox, 15> boxes = {{
        {0x0001, 1004, "Voltage"},
        {0x0002, 1006, "Current"},
        {0x0004, 1009, "Position x"},
        {0x0008, 1007, "Velocity x"},
        {0x0010, 1014, "Acceleration x"},
        {0x0020, 1005, "Angle"},
        {0x0040, 1008, "Angular Velocity"},
        {0x0080, 1013, "Angular Acceleration"},
        {0x0100, 1010, "Energy"},
        {0x0200, 1011, "Charge"},
        {0x0400, 1015, "Power (Heat)"},
        {0x1000, 1016, "Position y"},
        {0x2000, 1012, "Velocity y"},
        {0x4000, 1017, "Acceleration y"},
        {0x8000, 1018, "Speed"},
    }};
    return boxes;
}

CCopyDataForm CCopyDataForm::FromSource(const CProbeDataSource& source)
{
    DWORD offered = 0;
    for (int c = 0; c < 4; ++c) {
        if (!source.HasProbe(c)) continue;
        const DWORD mask = source.GetQuantityMask(c);
        if (mask != kNoQuantities) offered |= mask;
    }
    DWORD boxes = 0;
    for (const CQuantityBox& b : QuantityBoxes()) boxes |= b.bit;
    CCopyDataForm f;
    f.m_offered = offered & boxes;
    f.m_checked = f.m_offered;
    return f;
}

int CCopyDataForm::IsQuantityChecked(DWORD bit) const
{
    for (const CQuantityBox& b : QuantityBoxes())
        if (b.bit == bit) return (m_checked & bit) ? 1 : 0;
    return 0;
}

void CCopyDataForm::SetChecked(DWORD bit, bool on)
{
    if (!IsEnabled(bit)) return;
    m_checked = on ? (m_checked | bit) : (m_checked & ~bit);
}

void InstallProbeSourceFactory(ProbeSourceFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<CProbeDataSource> MakeProbeSource(CCircuit& design)
{
    if (Factory())
        if (auto source = Factory()(design)) return source;
    return MakeDesignProbeSource(design);
}

bool BuildDesignProbeText(CCircuit& design, const CProbeDataSource& source, const CCopyDataForm& form, CString* out)
{
    CProbeDataRequest request;
    // The dialog's choice holds for every probe; quantities beyond the
    // fifteen boxes stay as they are.
    DWORD boxes = 0;
    for (const CQuantityBox& b : QuantityBoxes()) boxes |= b.bit;
    request.selected.fill(~boxes | form.Checked());
    request.recordedCount = design.GetSampleCount();
    request.sampleCounter = design.m_nSampleCounter;
    request.stepPeriod = design.GetStepPeriod();
    request.units = CUnitChoices{design.m_wAngleUnit, design.m_wSpeedUnit, false};
    return BuildProbeDataText(source, request, out);
}
