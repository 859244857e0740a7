#include "measure/probe_source.h"

#include "measure/probe.h"
#include "model/circuit/circuit.h"

#include <string>

namespace {

class CDesignProbes : public CProbeDataSource {
public:
    explicit CDesignProbes(const CCircuit& design) : m_design(design) {}
    bool HasProbe(int channel) const override { return FindDesignProbe(m_design, channel) != nullptr; }
    CString GetProbeName(int channel) const override
    {
        return CString("Probe ") + CString(std::string(1, static_cast<char>('1' + channel)));
    }
    DWORD GetQuantityMask(int channel) const override
    {
        const CProbe* p = FindDesignProbe(m_design, channel);
        return p ? p->GetQuantityMask() : CProbe::kUnconnected;
    }
    bool HasProbedPart(int channel) const override
    {
        const CProbe* p = FindDesignProbe(m_design, channel);
        return p && p->GetProbedPart();
    }
    double GetSample(int channel, int sample, DWORD quantityBit) const override
    {
        const CProbe* p = FindDesignProbe(m_design, channel);
        return p ? p->GetSample(p->GetFirstSampleNumber() + sample, quantityBit) : 0.0;
    }

private:
    const CCircuit& m_design;
};

} // namespace

CProbe* FindDesignProbe(const CCircuit& design, int channel)
{
    if (channel < 0 || channel >= 4) return nullptr;
    return dynamic_cast<CProbe*>(design.FindProbe(channel));
}

std::unique_ptr<CProbeDataSource> MakeDesignProbeSource(const CCircuit& design)
{
    return std::make_unique<CDesignProbes>(design);
}
