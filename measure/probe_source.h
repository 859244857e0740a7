// A design's probes as the source of Copy Probe Data: channels 0-3 of the
// PROBES group, their masks and their recorded samples, sample 0 being
// the oldest the design still holds.
#pragma once

#include "model/designfile/probe_text.h"

#include <memory>

class CCircuit;
class CProbe;

// The probe of a channel 0-3 in the design's PROBES group, or null.
CProbe* FindDesignProbe(const CCircuit& design, int channel);

std::unique_ptr<CProbeDataSource> MakeDesignProbeSource(const CCircuit& design);
