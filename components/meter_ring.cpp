#include "components/meter_ring.h"

#include "model/circuit/circuit.h"
#include "model/display/visual.h"
#include "model/text/meter.h"

#include <algorithm>
#include <cmath>

int ListMeterOrientationCommands(std::vector<int>& commands)
{
    static const int kCodes[] = {0, 1, 6, 3};
    commands.clear();
    for (int code : kCodes) commands.push_back(kFirstOrientCmd + code);
    return 4;
}

void CMeterRing::Resize(int length)
{
    length = std::clamp(length, kMinMeterSamples, kMaxMeterSamples);
    m_ring.assign(static_cast<size_t>(length), 0.0);
    m_wIndex = 0;
    m_dSum = 0.0;
}

double CMeterRing::Add(double x)
{
    if (++m_wIndex >= m_ring.size()) m_wIndex = 0;
    double& slot = m_ring[m_wIndex];
    m_dSum += (x - slot) * (x + slot);
    slot = x;
    // Rounding can leave the running sum a hair below 0 when the ring
    // empties to zeros.
    return std::sqrt(std::max(m_dSum, 0.0) / static_cast<double>(m_ring.size()));
}

CMeter* FindMeterText(CComponent* part)
{
    for (CPart* c = part->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* m = dynamic_cast<CMeter*>(c)) return m;
    return nullptr;
}

void CreateMeterText(CComponent* part)
{
    if (FindMeterText(part)) return;
    auto* meter = new CMeter;
    meter->rtf.SetText(" 0.00");
    part->AddChild(meter);
    meter->PlaceLabel(3, part, nullptr);
}

void UpdateMeterReading(CComponent* part, CMeterRing& ring, double x)
{
    CCircuit* design = part->GetDesign();
    const DWORD options = design ? design->GetOptions() : 0;
    const int samples = std::clamp(design ? design->m_nMeterSamples : 20, kMinMeterSamples, kMaxMeterSamples);
    if (samples != ring.GetLength()) ring.Resize(samples);
    const double rms = ring.Add(x);
    const double reading = (options & OPT_METER_INSTANT) ? x : rms;
    if (CMeter* text = FindMeterText(part)) {
        if (text->SetReading(reading, &part->m_wStateWord, static_cast<int>(options))) part->Draw(part->GetDrawFlags());
    }
    if (design) design->SetChanged();
}

CMeterSettings CMeterSettings::FromDesign(const CCircuit& design)
{
    CMeterSettings s;
    s.autorange = design.TestOptions(OPT_METER_AUTORANGE) ? 1 : 0;
    s.instantaneous = design.TestOptions(OPT_METER_INSTANT) ? 1 : 0;
    s.rms = !s.instantaneous;
    s.samples = design.m_nMeterSamples;
    return s;
}

bool CMeterSettings::ApplyTo(CCircuit& design) const
{
    if (!IsValid()) return false;
    const CMeterSettings now = FromDesign(design);
    if ((autorange != 0) != (now.autorange != 0)) design.ToggleOptions(OPT_METER_AUTORANGE);
    if ((instantaneous != 0) != (now.instantaneous != 0)) design.ToggleOptions(OPT_METER_INSTANT);
    design.m_nMeterSamples = samples;
    design.ControlSimulation(SIM_SENSOR_CHANGED);
    return true;
}
