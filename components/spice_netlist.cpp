#include "components/spice_netlist.h"

#include "components/battery.h"
#include "components/component_kit.h"
#include "components/clock.h"
#include "components/filament.h"
#include "components/float_switch.h"
#include "components/ldr.h"
#include "components/logicin.h"
#include "components/motor.h"
#include "components/mosfet_n.h"
#include "components/pot.h"
#include "components/thermistor.h"
#include "components/photoq.h"
#include "components/resistors.h"
#include "components/transformer.h"
#include "components/vpulse.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/strings.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <locale>
#include <sstream>
#include <vector>

namespace {

constexpr uint32_t IDS_NETLIST_TITLE = 14004;
constexpr uint32_t IDS_NETLIST_BANNER = 14005;
constexpr uint32_t IDS_NETLIST_TRAILER = 14006;
constexpr uint32_t IDS_NETLIST_MODEL = 14007;
constexpr uint32_t IDS_PART_NAMES_FIRST = 15001;
constexpr uint32_t IDS_PART_NAMES_LAST = 15018;

constexpr char kLetters[kSpiceDevices] = {'R', 'C', 'L', 'I', 'V', 'D', 'Q', 'X', 'M'};

// How a class is written.  The rows name the exact runtime class, so a
// class derived later gets the generic X card until it has a row.
enum class Card {
    kNone,       // not exported (an empty line)
    kResistor,   // R, the simulated (scaled) resistance
    kCapacitor,  // C
    kInductor,   // L
    kCurrent,    // I, current out of the first pin
    kRail,       // V from the pin to ground, the simulated (scaled) voltage
    kZero,       // 0 V from the pin to ground, once per net
    kThrough,    // 0 V between the two pins (carries the current)
    kCell,       // V between the pins
    kCellSwapped,// V between the pins, positive pin second
    kDiode,      // D, "Diode"
    kZener,      // D reversed, "Zener" or its own breakdown model
    kNpn,        // Q, pins collector base emitter
    kPnp,        // Q, pins emitter base collector
    kMosfet,     // M, drain and source as the model acts now, bulk on the source
    kMechanism,  // X with all pins but the last
    kMicroSwitch,// X with pins 0, 2, 4, ...
    kPulse,      // V, the signal generator's wave from its present phase
};

struct CCardRow {
    const char* className;
    Card card;
};

constexpr CCardRow kCardRows[] = {
    {"CResistor", Card::kResistor},     {"CVResistor", Card::kResistor},   {"CCapacitor", Card::kCapacitor},
    {"CECapacitor", Card::kCapacitor},  {"CInductor", Card::kInductor},    {"CCurrent", Card::kCurrent},
    {"CVoltRail", Card::kRail},         {"CVSlide", Card::kRail},          {"CEarth", Card::kZero},
    {"CVZero", Card::kZero},            {"CAmmeter", Card::kThrough},      {"CRailThru", Card::kThrough},
    {"CBattery", Card::kCell},          {"CBattery9V", Card::kCellSwapped},{"CDiode", Card::kDiode},
    {"CZener", Card::kZener},           {"CNPN", Card::kNpn},              {"CPNP", Card::kPnp},
    {"CMOSFETn", Card::kMosfet},        {"CMOSFETp", Card::kMosfet},       {"CMotorEM", Card::kMechanism},
    {"CGenerator", Card::kMechanism},   {"CSolenoid", Card::kMechanism},   {"CMicroSwitch", Card::kMicroSwitch},
    {"CVoltmeter", Card::kNone},        {"CMonitorVar", Card::kNone},      {"CLogicOut", Card::kNone},
    {"CVPulse", Card::kPulse},
};

// Classes by the start of their name that write nothing.
constexpr const char* kSilentPrefixes[] = {"CFlow", "CSystem"};

int NodeOf(CComponent* part, int i)
{
    CTerminal* t = part->GetTerminal(i);
    return t ? t->GetNode() : 0;
}

// A card being written: its letter's number and the node fields.
class CCardWriter {
public:
    CCardWriter(std::ostream& out, CSpiceState& state, SpiceDevice device) : m_out(out)
    {
        m_number = ++state.counters[device];
        out << kLetters[device] << m_number << ' ';
    }
    int Number() const { return m_number; }
    // Node fields are 5 wide and one space; the first is 4 wide from device
    // number 10 on, so the columns stay where they were.
    void Node(int node)
    {
        m_out << std::setw(m_fields == 0 && m_number >= 10 ? 4 : 5) << node << ' ';
        ++m_fields;
    }
    void Nodes(CComponent* part, const std::vector<int>& order)
    {
        for (int i : order) Node(NodeOf(part, i));
    }

private:
    std::ostream& m_out;
    int m_number = 0;
    int m_fields = 0;
};

std::vector<int> Forward(CComponent* part)
{
    std::vector<int> order(part->GetTerminalCount());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    return order;
}

std::vector<int> Reversed(CComponent* part)
{
    std::vector<int> order = Forward(part);
    std::reverse(order.begin(), order.end());
    return order;
}

std::string Width5(const std::string& text)
{
    std::ostringstream s;
    s << std::setw(5) << text;
    return s.str();
}

std::string Width5(double value)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s << std::setw(5) << value;
    return s.str();
}

// A 0 V source from the pin to ground; a net already tied to ground (node
// 0 itself, or a net an earlier 0 V card tied) gets a comment instead,
// since two ideal sources across one pair of nodes have no solution.
void WriteZero(CComponent* part, std::ostream& out, CSpiceState& state)
{
    const int node = NodeOf(part, 0);
    if (node == 0 || !state.groundedNets.insert(node).second) {
        out << "* " << part->GetRuntimeClass()->m_lpszClassName << " on node " << node << ": already at 0 V";
        return;
    }
    CCardWriter card(out, state, kSpiceV);
    card.Node(node);
    out << Width5("0") << ' ' << Width5("DC") << ' ' << "    0";
}

void WriteCell(CComponent* part, std::ostream& out, CSpiceState& state, int positive, int negative)
{
    const double emf = LabelValue(part);
    const int p = NodeOf(part, positive), n = NodeOf(part, negative);
    CCardWriter card(out, state, kSpiceV);
    if (!state.internalResistance) {
        card.Node(p);
        card.Node(n);
        out << Width5("DC") << ' ' << Width5(emf);
        return;
    }
    // The cell's 1 ohm sits between the source and the negative pin.
    const int inner = ++state.nextNode;
    card.Node(p);
    card.Node(inner);
    out << Width5("DC") << ' ' << Width5(emf) << '\n';
    CCardWriter r(out, state, kSpiceR);
    r.Node(inner);
    r.Node(n);
    out << "   1";
}

void WriteResistor(CComponent* part, std::ostream& out, CSpiceState& state)
{
    const double ohms = LabelValue(part, true);
    if (ohms == 0.0) {
        // A resistance of 0 is simulated as a link: a 0 V source.
        CCardWriter card(out, state, kSpiceV);
        card.Nodes(part, Forward(part));
        out << "    DC     0";
        return;
    }
    CCardWriter card(out, state, kSpiceR);
    card.Nodes(part, Forward(part));
    out << "   " << ohms;
}

void WriteNodesAndValue(CComponent* part, std::ostream& out, CSpiceState& state, SpiceDevice device)
{
    CCardWriter card(out, state, device);
    card.Nodes(part, Forward(part));
    if (ValueLabelOf(part)) out << "   " << LabelValue(part);
}

void WriteTransistor(CComponent* part, std::ostream& out, CSpiceState& state, bool pnp)
{
    CCardWriter card(out, state, kSpiceQ);
    card.Nodes(part, pnp ? Reversed(part) : Forward(part));
    const double gain = LabelValue(part);
    if (gain == 100.0) {
        out << "   " << (pnp ? "PNP100" : "NPN100");
        return;
    }
    // The simulation takes a gain of 0 as 0.01.
    out << Width5("QN") << card.Number() << LoadResString(IDS_NETLIST_MODEL) << "QN" << card.Number()
        << (pnp ? " PNP(BF = " : " NPN(BF = ") << (gain > 0.0 ? gain : 0.01) << ")";
}

void WriteZener(CComponent* part, std::ostream& out, CSpiceState& state)
{
    CCardWriter card(out, state, kSpiceD);
    card.Nodes(part, Reversed(part));
    const double bv = LabelValue(part);
    if (bv == 5.1) {
        out << "   Zener";
        return;
    }
    out << "   ZN" << card.Number() << LoadResString(IDS_NETLIST_MODEL) << "ZN" << card.Number() << " D(BV = " << bv
        << ")";
}

void WriteMosfet(CComponent* part, std::ostream& out, CSpiceState& state)
{
    auto* fet = dynamic_cast<CMOSFETn*>(part);
    if (!fet || part->GetTerminalCount() < 3) return;
    // The simulated device has no bulk: tying the bulk to the pin that acts
    // as source keeps ngspice's bulk diodes reverse biased.
    const int source = fet->Source()->GetNode();
    CCardWriter card(out, state, kSpiceM);
    card.Node(fet->Drain()->GetNode());
    card.Node(fet->Gate()->GetNode());
    card.Node(source);
    out << "    ";
    card.Node(source);
    out << "    " << (fet->IsPChannel() ? "pMOSFET" : "nMOSFET");
}

// A number of a source's wave: ten significant digits, so that times of a
// cycle add up over many cycles.
std::string Num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v == 0.0 ? 0.0 : v);
    return text;
}

// The signal generator as the workbench runs it from now on: the wave
// w(t) = WaveAt(frac(p + f t)) from its present phase p, square and
// triangle between the offset o and o + a (a triangle that starts part-way
// through its cycle is ngspice's repeating PWL).  The workbench holds each step
// the value computed at the end of the one before, so its pass k shows
// w((k - 1) / r).  Above half the update rate r the phase only alternates
// between 0.25 and 0.75: a square wave of period 2 / r between those two
// values (the first step, at the present phase, is left out).
void WritePulse(CComponent* part, std::ostream& out, CSpiceState& state)
{
    auto* gen = dynamic_cast<CVPulse*>(part);
    if (!gen || part->GetTerminalCount() < 2) return;
    CCardWriter card(out, state, kSpiceV);
    card.Nodes(part, {0, 1});
    const int wave = gen->GetWaveform();
    const double f = gen->GetFrequency(), a = gen->GetAmplitude(), o = gen->GetOffset();
    const double p = gen->GetPhase();
    const double r = state.updateRate;
    out << "   ";
    if (!(f > 0.0) || !(r > 0.0)) {
        const double v = CVPulse::WaveAt(wave, p, a, o);
        out << "DC " << Num(std::isnan(v) ? gen->GetOutput() : v);
        return;
    }
    if (f / r > 0.5) {
        const double first = p > 0.5 ? 0.25 : 0.75;
        const double step = 1.0 / r;
        out << "PULSE(" << Num(CVPulse::WaveAt(wave, 1.0 - first, a, o)) << ' '
            << Num(CVPulse::WaveAt(wave, first, a, o)) << ' ' << Num(step) << ' ' << Num(step * 1e-6) << ' '
            << Num(step * 1e-6) << ' ' << Num(step * (1.0 - 1e-6)) << ' ' << Num(2.0 * step) << ')';
        return;
    }
    const double period = 1.0 / f;
    switch (wave) {
    case CVPulse::kSine: out << "SIN(" << Num(o) << ' ' << Num(a) << ' ' << Num(f) << " 0 0 " << Num(p * 360.0) << ')'; break;
    case CVPulse::kSquare: {
        // High for phases 0 to 1/2 (both ends included), with edges of a
        // millionth of a cycle that end on the wave's own edges.  The pulse
        // starts from the level the wave has now, so its delay is never
        // negative (ngspice can stumble over breakpoints before 0).
        const double edge = period * 1e-6;
        const bool highNow = p <= 0.5;
        const double change = (highNow ? 0.5 - p : 1.0 - p) * period;
        out << "PULSE(" << Num(highNow ? o + a : o) << ' ' << Num(highNow ? o : o + a) << ' '
            << Num(std::max(0.0, change - edge)) << ' ' << Num(edge) << ' ' << Num(edge) << ' '
            << Num(period / 2.0 - edge) << ' ' << Num(period) << ')';
        break;
    }
    case CVPulse::kTriangle: {
        if (p == 0.0) {
            // A pulse whose edges take the whole cycle.  Its top lasts a
            // millionth of the cycle: a width of 0 would stand for "until
            // the end of the run".
            const double top = period * 1e-6;
            out << "PULSE(" << Num(o) << ' ' << Num(o + a) << ' ' << "0 " << Num((period - top) / 2.0) << ' '
                << Num((period - top) / 2.0) << ' ' << Num(top) << ' ' << Num(period) << ')';
            break;
        }
        // From a phase part-way through the cycle: one cycle through the
        // corners, repeated from time 0.
        std::vector<std::pair<double, double>> points{{0.0, CVPulse::WaveAt(wave, p, a, o)}};
        if (p < 0.5) {
            points.push_back({(0.5 - p) * period, o + a});
            points.push_back({(1.0 - p) * period, o});
        } else {
            points.push_back({(1.0 - p) * period, o});
            points.push_back({(1.5 - p) * period, o + a});
        }
        if (points.back().first < period) points.push_back({period, points.front().second});
        out << "PWL(";
        for (size_t i = 0; i < points.size(); ++i)
            out << (i ? " " : "") << Num(points[i].first) << ' ' << Num(points[i].second);
        out << ") r=0";
        break;
    }
    default: out << "DC " << Num(gen->GetOutput()); break;
    }
}

// Classes whose subcircuits take the design's logic family; the library's
// defaults are the TTL family at 5 V.
constexpr const char* kLogicClasses[] = {"CNAND",  "CNOR",       "CXOR",       "CAND",  "CNAND3", "CNAND4",
                                         "COR",    "CInverter",  "CSchmitt",   "CDecoder", "CJK", "CDtype",
                                         "CCounter16", "CCounter10", "C4511", "CCounter10B", "CRS"};

std::string LogicParams(const CSpiceState& s)
{
    const CSpiceLogic ttl;
    const CSpiceLogic& l = s.logic;
    if (l.supply == ttl.supply && l.conductance == ttl.conductance && l.threshold == ttl.threshold &&
        l.schmittThreshold == ttl.schmittThreshold && l.schmittHysteresis == ttl.schmittHysteresis)
        return {};
    return "VSUP=" + Num(l.supply) + " GOUT=" + Num(l.conductance) + " VTH=" + Num(l.threshold) +
           " VSCH=" + Num(l.schmittThreshold) + " VHYS=" + Num(l.schmittHysteresis);
}

// A contact's state as the part stands: 1 conducting (operated).
std::string ContactParams(CComponent* part, const std::string& className)
{
    const bool closed = className == "CPushBreak" ? part->m_wStateWord == 0 : part->m_wStateWord == 1;
    return closed ? "ON=1" : "ON=0";
}

// The clock's levels from its present count c (low for counts 0-2, high
// for 3 and 4, one count a step): pass k of the workbench shows count
// c + k - 1, so the netlist holds each level from one step's start to the
// next and its edges end on the steps.
std::string ClockParams(const CClock& clock, const CSpiceState& state)
{
    const double step = state.updateRate > 0.0 ? 1.0 / state.updateRate : 0.2;
    const double edge = step * 1e-6;
    const int c = clock.GetCounter() % CClock::kPeriodSteps;
    const bool high = c >= CClock::kLowSteps;
    const int change = high ? CClock::kPeriodSteps - c : CClock::kLowSteps - c;
    const int next = high ? CClock::kLowSteps : CClock::kPeriodSteps - CClock::kLowSteps;
    const double v = state.logic.supply;
    return "V1=" + Num(high ? v : 0.0) + " V2=" + Num(high ? 0.0 : v) + " TD=" + Num(std::max(0.0, change * step - edge)) +
           " PW=" + Num(next * step - edge) + " PER=" + Num(CClock::kPeriodSteps * step) + " EDGE=" + Num(edge);
}

// What a subcircuit takes from the part beyond its nodes ("" for nothing).
std::string SubcircuitParams(CComponent* part, const std::string& className, const CSpiceState& state)
{
    for (const char* logic : kLogicClasses)
        if (className == logic) return LogicParams(state);
    for (const char* contact : {"CSPST", "CSPDT", "CDPST", "CDPDT", "CPushMake", "CPushBreak"})
        if (className == contact) return ContactParams(part, className);
    if (auto* t = dynamic_cast<CTransformer*>(part); t && className == "CTransformer") return "N=" + Num(t->GetRatio());
    if (auto* r = dynamic_cast<CResistors*>(part); r && className == "CResistors")
        return "R=" + Num(r->GetResistance());
    if (auto* q = dynamic_cast<CPhotoQ*>(part); q && className == "CPhotoQ") return "IPH=" + Num(q->GetPhotocurrent());
    if (auto* in = dynamic_cast<CLogicIn*>(part); in && className == "CLogicIn") {
        // A plain logic input is an ideal source; a sensor drives its pin
        // through the family's conductance, or not at all (1 Gohm).
        double volts = 0.0, g = 0.0;
        if (!in->GetPinDrive(&volts, &g)) return "V=0 G=1e-9";
        return g > 0.0 ? "V=" + Num(volts) + " G=" + Num(g) : "V=" + Num(volts);
    }
    if (auto* lamp = dynamic_cast<CFilament*>(part); lamp && className == "CFilament")
        return "X=" + Num(lamp->GetPower() * lamp->ScalePerWatt()) + " W=" + Num(lamp->Model().GetWidth());
    if (auto* motor = dynamic_cast<CMotor*>(part); motor && className == "CMotor") {
        // Each step of 1 / r second the back-EMF E moves by
        // (10 I - E) / (2 (r + 1)): a time constant of 2 (r + 1) / r seconds.
        const double r = state.updateRate > 0.0 ? state.updateRate : 5.0;
        return "TAU=" + Num(2.0 * (r + 1.0) / r) + " E0=" + Num(motor->GetBackEmf());
    }
    if (auto* f = dynamic_cast<CFloatSwitch*>(part); f && className == "CFloatSwitch")
        return f->IsClosed() ? "ON=1" : "ON=0";
    if (auto* clock = dynamic_cast<CClock*>(part); clock && className == "CClock") return ClockParams(*clock, state);
    if (className == "CPot") {
        // Twenty wiper positions p: p/20 of the track from the first end,
        // a link at either end.
        const double r = LabelValue(part);
        const int p = part->m_wStateWord;
        auto track = [&](int share) { return share == 0 ? 1e-3 : share * r / CPot::kPositions; };
        return "RA=" + Num(track(p)) + " RB=" + Num(track(CPot::kPositions - p));
    }
    if (auto* ldr = dynamic_cast<CLDR*>(part); ldr && className == "CLDR") return "R=" + Num(1.0 / ldr->LightConductance());
    if (className == "CLDR_Lamp") return "R=" + Num(LabelValue(part));
    if (className == "CThermistor") return "R=" + Num(LabelValue(part, true));
    return {};
}

// The terminals in the order of the subcircuit's pins.  The changeover
// switch's subcircuit takes common, operated, rest; in the alternate look
// the common is the second pin.
std::vector<int> SubcircuitOrder(CComponent* part, const std::string& className)
{
    if (className == "CSPDT" && part->m_bAlternateLook && part->GetTerminalCount() == 3) return {1, 0, 2};
    return Forward(part);
}

// A part without a SPICE equivalent: a comment with what the card would
// have said, so the netlist still runs.
void WriteUncarded(CComponent* part, std::ostream& out, CSpiceState& state, const std::string& name,
                   const std::vector<int>& nodes)
{
    ++state.uncarded;
    out << "* " << name << " (" << part->GetRuntimeClass()->m_lpszClassName << ") has no SPICE model; nodes";
    for (int n : nodes) out << ' ' << n;
}

void WriteSubcircuit(CComponent* part, std::ostream& out, CSpiceState& state, const std::string& name,
                     const std::vector<int>& nodes, const std::string& className)
{
    if (!SpiceLibraryHas(name)) {
        WriteUncarded(part, out, state, name, nodes);
        return;
    }
    CCardWriter card(out, state, kSpiceX);
    for (int n : nodes) card.Node(n);
    out << "   " << name;
    const std::string params = SubcircuitParams(part, className, state);
    if (!params.empty()) out << " PARAMS: " << params;
}

std::vector<int> NodesOf(CComponent* part, const std::vector<int>& order)
{
    std::vector<int> nodes;
    for (int i : order) nodes.push_back(NodeOf(part, i));
    return nodes;
}

// The VCC source, written after the first card that uses a VCC pin.
void WriteVccSource(std::ostream& out, CSpiceState& state)
{
    if (state.vccUses++) return;
    out << "\nV" << ++state.counters[kSpiceV] << ' ' << std::setw(5) << state.vccNode << ' ' << Width5("0") << ' '
        << Width5("DC") << ' ' << Width5(state.logicSupply);
}

// The two supplies of an op-amp: V- on the first extra node, V+ on the second.
void WriteOpampSupplies(CComponent* part, std::ostream& out, CSpiceState& state, int lowNode, int highNode)
{
    double high = 9.0, low = -9.0;
    part->GetSupplyRails(&high, &low);
    out << "\nV" << ++state.counters[kSpiceV] << std::setw(6) << lowNode << "     0    DC " << Width5(low);
    out << "\nV" << ++state.counters[kSpiceV] << std::setw(6) << highNode << "     0    DC " << Width5(high);
}

// The generic X card from the part-name table.
void WriteChip(CComponent* part, std::ostream& out, CSpiceState& state, const std::string& className)
{
    for (uint32_t id = IDS_PART_NAMES_FIRST; id <= IDS_PART_NAMES_LAST; ++id) {
        const std::string row = LoadResString(id);
        const size_t eq = row.find('=');
        if (eq == std::string::npos || row.compare(0, eq, className) != 0) continue;
        const size_t pins = row.find(" Pins=");
        if (pins == std::string::npos) {
            std::string name = row.substr(eq + 1);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            WriteSubcircuit(part, out, state, name, NodesOf(part, SubcircuitOrder(part, className)), className);
            return;
        }
        const std::string name = row.substr(eq + 1, pins - eq - 1);
        std::istringstream tokens(row.substr(pins + 6));
        std::vector<int> nodes, extra;
        bool vcc = false;
        for (std::string t; tokens >> t;) {
            if (t == "GND") {
                nodes.push_back(0);
            } else if (t == "VCC") {
                nodes.push_back(state.vccNode);
                vcc = true;
            } else if (t == "N") {
                nodes.push_back(++state.nextNode);
                extra.push_back(nodes.back());
            } else {
                nodes.push_back(NodeOf(part, std::atoi(t.c_str())));
            }
        }
        WriteSubcircuit(part, out, state, name, nodes, className);
        if (!SpiceLibraryHas(name)) return;
        if (className == "C741" && extra.size() == 2) WriteOpampSupplies(part, out, state, extra[0], extra[1]);
        if (vcc) WriteVccSource(out, state);
        return;
    }
    const std::string name = className.substr(1);
    WriteSubcircuit(part, out, state, name, NodesOf(part, SubcircuitOrder(part, className)), className);
}

// Without regard to case: the sensor classes end in "Sensor".
bool EndsWithNoCase(const std::string& s, const char* tail)
{
    const size_t n = std::strlen(tail);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != std::tolower(static_cast<unsigned char>(tail[i])))
            return false;
    return true;
}

// The update rate the design runs at once started.
double RunningUpdateRate(CCircuit* design) { return design->RequestedUpdateRate(); }

} // namespace

void WriteSpiceCard(CComponent* part, std::ostream& out, CSpiceState& state)
{
    if (!part) return;
    std::string k = part->GetRuntimeClass()->m_lpszClassName;
    if (EndsWithNoCase(k, "sensor")) k = "CLogicIn";
    if (k == "CChip") k = "CMCU";
    for (const char* prefix : kSilentPrefixes)
        if (k.rfind(prefix, 0) == 0) return;

    const CCardRow* row = nullptr;
    for (const CCardRow& r : kCardRows)
        if (k == r.className) row = &r;
    if (!row) {
        // Mechanism parts without a row have no electric side.
        if (part->GetPartKind() != 2) WriteChip(part, out, state, k);
        return;
    }

    switch (row->card) {
    case Card::kNone: return;
    case Card::kResistor: WriteResistor(part, out, state); return;
    case Card::kCapacitor: WriteNodesAndValue(part, out, state, kSpiceC); return;
    case Card::kInductor: WriteNodesAndValue(part, out, state, kSpiceL); return;
    case Card::kCurrent: {
        // The label's current leaves the first pin: SPICE's current flows
        // from its first node through the source to its second.
        CCardWriter c(out, state, kSpiceI);
        c.Nodes(part, Reversed(part));
        out << Width5("DC") << ' ' << Width5(LabelValue(part));
        return;
    }
    case Card::kRail: {
        CCardWriter c(out, state, kSpiceV);
        c.Node(NodeOf(part, 0));
        out << Width5("0") << ' ' << Width5("DC") << ' ' << Width5(LabelValue(part, true));
        return;
    }
    case Card::kZero: WriteZero(part, out, state); return;
    case Card::kThrough: {
        // The simulation links the first two pins.
        CCardWriter c(out, state, kSpiceV);
        c.Nodes(part, {0, 1});
        out << "    DC     0";
        return;
    }
    case Card::kCell: WriteCell(part, out, state, 0, 1); return;
    case Card::kCellSwapped: WriteCell(part, out, state, 1, 0); return;
    case Card::kDiode: {
        CCardWriter c(out, state, kSpiceD);
        c.Nodes(part, Forward(part));
        out << "   Diode";
        return;
    }
    case Card::kZener: WriteZener(part, out, state); return;
    case Card::kNpn: WriteTransistor(part, out, state, false); return;
    case Card::kPnp: WriteTransistor(part, out, state, true); return;
    case Card::kMosfet: WriteMosfet(part, out, state); return;
    case Card::kPulse: WritePulse(part, out, state); return;
    case Card::kMechanism: {
        std::vector<int> order = Forward(part);
        if (!order.empty()) order.pop_back();
        WriteSubcircuit(part, out, state, k.substr(1), NodesOf(part, order), k);
        return;
    }
    case Card::kMicroSwitch: {
        std::vector<int> order;
        for (int i = 0; i < part->GetTerminalCount(); i += 2) order.push_back(i);
        WriteSubcircuit(part, out, state, "MicroSwitch", NodesOf(part, order), k);
        return;
    }
    }
}

std::string NetlistTitleLine(const std::string& fileName)
{
    std::string name = fileName;
    const size_t room = kNetlistNameField - 4;
    if (name.size() > room) name = "..." + name.substr(name.size() - (room - 3));
    std::string line = LoadResString(IDS_NETLIST_TITLE) + name + "  **";
    line.append(kNetlistNameField - name.size() - 4, ' ');
    return line;
}

std::string WriteNetlist(CCircuit* design, const std::string& fileName)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    // The banner starts with the placeholder's spaces: the title line takes
    // their place.
    std::string banner = LoadResString(IDS_NETLIST_BANNER);
    const size_t spaces = std::min(banner.find_first_not_of(' '), banner.size());
    out << NetlistTitleLine(fileName) << banner.substr(spaces);
    if (!design) {
        out << LoadResString(IDS_NETLIST_TRAILER);
        return out.str();
    }
    design->RenumberNodes();

    // Extra nodes start above every node a terminal carries.
    int top = 0;
    for (CPart* p = design->GetFirstComponent(); p; p = p->GetNextSibling())
        if (auto* c = dynamic_cast<CComponent*>(p))
            for (int i = 0; i < c->GetTerminalCount(); ++i) top = std::max(top, NodeOf(c, i));
    CSpiceState state;
    state.vccNode = top + 1;
    state.nextNode = top + 1;
    state.logicSupply = design->GetLogicSupplyVoltage();
    state.logic.supply = design->GetLogicSupplyVoltage();
    state.logic.conductance = design->GetLogicConductance();
    state.logic.threshold = design->GetLogicThreshold();
    state.logic.schmittThreshold = design->GetSchmittThreshold();
    state.logic.schmittHysteresis = design->GetSchmittHysteresis();
    state.updateRate = RunningUpdateRate(design);
    state.internalResistance = design->TestOptions(OPT_INTERNAL_RESISTANCE);
    for (CPart* p = design->GetFirstComponent(); p; p = p->GetNextSibling()) {
        if (auto* c = dynamic_cast<CComponent*>(p)) WriteSpiceCard(c, out, state);
        out << '\n';
    }
    out << LoadResString(IDS_NETLIST_TRAILER);
    return out.str();
}

std::string SpiceModelLibrary()
{
    QFile f(QStringLiteral(":/spice/nom.lib"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

bool SpiceLibraryHas(const std::string& name)
{
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        std::istringstream text(SpiceModelLibrary());
        for (std::string line; std::getline(text, line);) {
            std::istringstream words(line);
            std::string keyword, subckt;
            if (words >> keyword >> subckt && (keyword == ".SUBCKT" || keyword == ".subckt")) out.insert(subckt);
        }
        return out;
    }();
    return names.count(name) != 0;
}
