// The SPICE netlist of a design: a header with the file's name, one card
// per component of the design's components group (chosen by the runtime
// class name) and a trailer with the default device models.  Node numbers
// are the design's net numbers (0 is the reference net); the text reads in
// ngspice's PSpice compatibility mode with the model library below for the
// X cards.
#pragma once

#include <iosfwd>
#include <set>
#include <string>

class CCircuit;
class CComponent;

// Card letters in the order of the device counters.
enum SpiceDevice { kSpiceR, kSpiceC, kSpiceL, kSpiceI, kSpiceV, kSpiceD, kSpiceQ, kSpiceX, kSpiceM, kSpiceDevices };

// The design's logic family as its subcircuits take it (the defaults are
// the TTL family at 5 V, the library's own defaults).
struct CSpiceLogic {
    double supply = 5.0;
    double conductance = 0.06;
    double threshold = 1.48;
    double schmittThreshold = 0.805;
    double schmittHysteresis = 0.78;
};

// What one export carries from card to card.
struct CSpiceState {
    int counters[kSpiceDevices] = {};
    int nextNode = 0;         // the last extra node given out ("N" pins, internal nodes)
    int vccNode = 0;          // the node of every "VCC" pin
    int vccUses = 0;          // how often the VCC source was written
    double logicSupply = 5.0; // the design's logic supply voltage
    bool internalResistance = false; // cells have 1 ohm inside
    std::set<int> groundedNets;      // nets a 0 V card ties to node 0 already
    int uncarded = 0;                // components written as a comment card
    CSpiceLogic logic;
    double updateRate = 20.0;        // steps a second, for the signal generator
};

// Width of the file-name placeholder in the first line.
constexpr int kNetlistNameField = 56;

// The card of one component (one or more lines, no final line end); nothing
// for the classes that are not exported.
void WriteSpiceCard(CComponent* part, std::ostream& out, CSpiceState& state);
// The whole netlist of the design with the file's name in the first line
// (a name too long for the placeholder keeps its end behind "...").  The
// design's nets are numbered first.
std::string WriteNetlist(CCircuit* design, const std::string& fileName);
// The first line: "**  Netlist - " and the placeholder holding the name.
std::string NetlistTitleLine(const std::string& fileName);
// The model library that the netlist's ".lib nom.lib" names (its subcircuits
// define the X cards of the parts that have a SPICE equivalent).
std::string SpiceModelLibrary();
// True when the library defines the subcircuit.
bool SpiceLibraryHas(const std::string& name);
