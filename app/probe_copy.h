// Copy Probe Data without windows: the dialog's fifteen quantity boxes
// (which ones the design's probes offer, which ones the user keeps) and the
// text the command puts on the clipboard.  The probes come from the
// design's probe parts (measure/probe_source.h) unless another source is
// installed (tests script one).
#pragma once

#include "model/designfile/probe_text.h"

#include <array>
#include <functional>
#include <memory>

class CCircuit;

// One box of the dialog: its quantity bit, control id and label.
struct CQuantityBox {
    DWORD bit;
    int controlId;
    const char* label;
};
const std::array<CQuantityBox, 15>& QuantityBoxes();

class CCopyDataForm {
public:
    // Boxes whose bit no probe of channels 0-3 records are disabled and
    // unchecked; the others start checked.
    static CCopyDataForm FromSource(const CProbeDataSource& source);

    bool IsEnabled(DWORD bit) const { return (m_offered & bit) != 0; }
    // The box's value for one of the fifteen bits, 0 for any other value.
    int IsQuantityChecked(DWORD bit) const;
    void SetChecked(DWORD bit, bool on);
    DWORD Checked() const { return m_checked; }

private:
    DWORD m_offered = 0;
    DWORD m_checked = 0;
};

// The design's probes as a text source: the installed factory's, else
// the design's probe parts.
using ProbeSourceFactory = std::function<std::unique_ptr<CProbeDataSource>(CCircuit&)>;
void InstallProbeSourceFactory(ProbeSourceFactory factory);
std::unique_ptr<CProbeDataSource> MakeProbeSource(CCircuit& design);

// The text for the quantities chosen in the form (sample count, counter,
// step period and units from the design); false when memory ran out.
bool BuildDesignProbeText(CCircuit& design, const CProbeDataSource& source, const CCopyDataForm& form, CString* out);
