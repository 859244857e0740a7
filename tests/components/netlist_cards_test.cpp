// The netlist writer's cards, one class at a time: every component class of
// the program alone in a design (its pins on nets 1, 2, ... in terminal
// order unless it is the design's reference part) and the text its card
// must be, field widths included; then the export-wide rules (numbering
// past 9, VCC written once, 0 V cards merged per net, the title line).
#include "components/battery.h"
#include "components/c741.h"
#include "components/spice_netlist.h"
#include "components/vresistor.h"
#include "components/zener.h"
#include "components/npn.h"
#include "components/current_source.h"
#include "components/sensor_threshold_base.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/text/value.h"
#include "components/component_kit.h"
#include "part_by_name.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

namespace {

CComponent* AddByName(CCircuit& d, const char* className, int x = 200, int y = 200)
{
    return AddPartByName(d, className, x, y);
}

// The card lines of a netlist: everything between the banner and the trailer.
std::string Cards(const std::string& netlist)
{
    const size_t from = netlist.find(".lib nom.lib\n\n\n");
    const size_t to = netlist.rfind(" \n.MODEL Diode D()");
    if (from == std::string::npos || to == std::string::npos) return "<no banner or trailer>";
    return netlist.substr(from + 15, to - from - 15);
}

std::string CardOf(const char* className, const std::function<void(CComponent*)>& set = {})
{
    CCircuit d;
    CComponent* p = AddByName(d, className);
    if (!p) return "<cannot create>";
    if (set) set(p);
    // An earth apart from the part: with it the design has no reference
    // part, so the part's pins take nets 1, 2, ... in terminal order.  Its
    // own card (the last line) is left out.
    AddByName(d, "CEarth", 900, 900);
    std::string cards = Cards(WriteNetlist(&d, "t.cir"));
    const size_t last = cards.rfind('\n', cards.size() - 2);
    return last == std::string::npos ? std::string() : cards.substr(0, last + 1);
}

void SetLabel(CComponent* p, double v)
{
    if (CValue* label = ValueLabelOf(p)) label->number.value = v;
}

struct CardCase {
    const char* className;
    const char* card;
};

} // namespace

TEST(NetlistCards, EveryBuiltClassHasItsCard)
{
    // A lone part: its pins on nets 1, 2, ... (a cell is the reference
    // part: its first pin is net 0).  Defaults: 10k, 100 uF, 9 V, 1 A ...
    const CardCase cases[] = {
        {"CResistor", "R1     1     2    10000\n"},
        {"CVResistor", "R1     1     2    50\n"},            // 100 ohm at the slider's half-way scale
        {"CCapacitor", "C1     1     2    1e-06\n"},
        {"CECapacitor", "C1     1     2    0.0001\n"},
        {"CInductor", "L1     1     2    0.01\n"},
        {"CCurrent", "I1     2     1    DC     1\n"},          // leaves the first pin
        {"CVoltRail", "V1     1     0    DC     9\n"},
        {"CVSlide", "V1     1     0    DC     5\n"},           // 10 V at half scale
        {"CVZero", "V1     1     0    DC     0\n"},
        {"CEarth", "V1     1     0    DC     0\n"},
        {"CAmmeter", "V1     1     2     DC     0\n"},
        {"CRailThru", "V1     1     2     DC     0\n"},
        {"CBattery", "V1     1     2    DC     9\n"},
        {"CBattery9V", "V1     2     1    DC     9\n"}, // positive pin second
        {"CDiode", "D1     1     2    Diode\n"},
        {"CZener", "D1     2     1    Zener\n"},
        {"CNPN", "Q1     1     2     3    NPN100\n"},
        {"CPNP", "Q1     3     2     1    PNP100\n"},
        {"CMOSFETn", "M1     1     2     3         3     nMOSFET\n"},
        {"CMOSFETp", "M1     3     2     1         1     pMOSFET\n"},
        // Nets 1-3 and the earth's 4: VCC would be 5, the extra nodes 6 and 7.
        {"C741", "X1     0     1     2     6     0     3     7     0    741\n"
                 "V1     6     0    DC    -9\n"
                 "V2     7     0    DC     9\n"},
        {"C555", "X1     6     5     8     2     7     4     3     1    555D\n"},
        {"CVoltmeter", "\n"},
        {"CLogicOut", "\n"},
        // Library subcircuits: the terminals in order, a part's state or
        // value as parameters.
        {"CNAND", "X1     1     2     3    7400\n"},
        {"CSPST", "X1     1     2    SPST PARAMS: ON=0\n"},
        {"CPushBreak", "X1     1     2    PushBreak PARAMS: ON=1\n"},
        {"CRelaySPDT", "X1     1     2     3     4     5    RelaySPDT\n"},
        {"CTransformer", "X1     1     2     3     4    Transformer PARAMS: N=20\n"},
        {"CThyristor", "X1     1     2     3    Thyristor\n"},
        {"CLogicIn", "X1     1    LogicIn PARAMS: V=0\n"},
        {"CBuzzer", "X1     1     2    Buzzer\n"},
        // The wiper half-way along the default 10k.
        {"CPot", "X1     1     2     3    Pot PARAMS: RA=5000 RB=5000\n"},
        // Nets 1-7 and the earth's 8: the VCC source on 9.
        {"CCounter16", "X1     1     3     3     0     9     0     0     5     6     0     4     7     0     2    7493\n"
                       "V1     9     0    DC     5\n"},
        // 500 Hz, 5 V from phase 0 (a new design runs at 10000 steps a second).
        {"CVPulse", "V1     1     2    SIN(0 5 500 0 0 0)\n"},
    };
    for (const CardCase& c : cases) EXPECT_EQ(CardOf(c.className), c.card) << c.className;
}

TEST(NetlistCards, ValuesAreTheSimulatedOnes)
{
    // Breakdown voltages other than 5.1 V and gains other than 100 bring
    // their own model lines.
    EXPECT_EQ(CardOf("CZener", [](CComponent* p) { SetLabel(p, 3.3); }), "D1     2     1    ZN1\n.MODEL ZN1 D(BV = 3.3)\n");
    EXPECT_EQ(CardOf("CNPN", [](CComponent* p) { SetLabel(p, 250); }),
              "Q1     1     2     3    QN1\n.MODEL QN1 NPN(BF = 250)\n");
    EXPECT_EQ(CardOf("CPNP", [](CComponent* p) { SetLabel(p, 0); }),
              "Q1     3     2     1    QN1\n.MODEL QN1 PNP(BF = 0.01)\n");
    // A variable resistor at the end of its track is a link: a 0 V source.
    EXPECT_EQ(CardOf("CVResistor", [](CComponent* p) { static_cast<CVResistor*>(p)->SetSliderPosition(20); }),
              "V1     1     2     DC     0\n");
    // A cell with internal resistance: the source and its 1 ohm.
    EXPECT_EQ(CardOf("CBattery",
                     [](CComponent* p) { p->GetDesign()->SetOptionBits(OPT_INTERNAL_RESISTANCE, true); }),
              "V1     1     5    DC     9\nR1     5     2    1\n");
}

TEST(NetlistCards, EveryClassWritesACardOrAComment)
{
    // Classes without a SPICE equivalent (and classes added later without a
    // row) give a comment that names them, never a card that ngspice cannot
    // resolve.
    for (const CRuntimeClass* rc : CRuntimeClass::AllClasses()) {
        if (!rc->IsDerivedFrom("CComponent") || rc->IsNamed("CComponent") || rc->IsNamed("CMechComp")) continue;
        CCircuit d;
        CComponent* p = AddByName(d, rc->m_lpszClassName);
        if (!p) continue;
        const std::string cards = Cards(WriteNetlist(&d, "t.cir"));
        std::istringstream lines(cards);
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '*' || line[0] == '.') continue;
            ASSERT_NE(std::string("RCLIVDQXM").find(line[0]), std::string::npos) << rc->m_lpszClassName << ": " << line;
            if (line[0] == 'X') {
                const std::string card = line.substr(0, line.find(" PARAMS:"));
                const std::string name = card.substr(card.find_last_of(' ') + 1);
                EXPECT_TRUE(SpiceLibraryHas(name)) << rc->m_lpszClassName << ": " << line;
            }
        }
    }
}

TEST(NetlistCards, LampsMotorDisplayAndSensorsWriteTheirLibraryModels)
{
    // Classes without a part-name row: an X card named after the class,
    // the part as it stands in parameters.  A new design runs at 5 steps a
    // second: the motor's back-EMF lags by 2 (r + 1) / r = 2.4 s.
    const struct {
        const char* className;
        std::function<void(CComponent*)> set;
        const char* card;
    } cases[] = {
        {"CMotor", {}, "X1     1     2    Motor PARAMS: TAU=2.4 E0=0\n"},
        // 10 W at 12 V: X = 10 x 0.0063239; the torch bulb 1 W x 0.042626.
        {"CFilament", {}, "X1     1     2    Filament PARAMS: X=0.063239 W=0.06\n"},
        {"CSevenSegmentDisplay", {},
         "X1     1     2     3     4     5     6     7     8     9    SevenSegmentDisplay\n"},
        // Sensors are logic inputs: a sensor that drives nothing leaves 1
        // Gohm, one that drives its pin high the supply behind G.
        {"CSwitchSensor", {}, "X1     1    LogicIn PARAMS: V=0 G=1e-9\n"},
        {"CSwitchSensor", [](CComponent* p) { p->SetInputValue(p->GetDesign(), 1); },
         "X1     1    LogicIn PARAMS: V=5 G=0.06\n"},
        {"CTiltSensor", [](CComponent* p) { p->SetInputValue(p->GetDesign(), 1); },
         "X1     1    LogicIn PARAMS: V=5 G=0.06\n"},
        // An analogue light sensor at level 4 of 5: 4 V open.
        {"CLightSensor",
         [](CComponent* p) {
             p->OnPropertyCommand(kSensorSignal, "Analog");
             p->SetInputValue(p->GetDesign(), 4);
         },
         "X1     1    LogicIn PARAMS: V=4 G=0.06\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(CardOf(c.className, c.set), c.card) << c.className;
    EXPECT_EQ(CardOf("CFilament", [](CComponent* p) { SetLabel(p, 24); }),
              "X1     1     2    Filament PARAMS: X=0.1517736 W=0.06\n");
}

TEST(NetlistCards, NumbersPastNineNarrowTheFirstField)
{
    CCircuit d;
    // The first resistor is the reference part (its second pin is net 0).
    for (int i = 0; i < 10; ++i) AddByName(d, "CResistor", 100 + 60 * i, 100 + 60 * i);
    const std::string cards = Cards(WriteNetlist(&d, "t.cir"));
    EXPECT_NE(cards.find("\nR9    16    17    10000\n"), std::string::npos) << cards;
    EXPECT_NE(cards.find("\nR10   18    19    10000\n"), std::string::npos) << cards;
}

TEST(NetlistCards, SupplyCardsAreWrittenOnceAndNumbered)
{
    // Two 741s: four supply sources, each its own number.
    CCircuit d;
    AddByName(d, "C741", 100, 100);
    AddByName(d, "C741", 300, 300);
    const std::string cards = Cards(WriteNetlist(&d, "t.cir"));
    for (const char* v : {"\nV1 ", "\nV2 ", "\nV3 ", "\nV4 "}) EXPECT_NE(("\n" + cards).find(v), std::string::npos) << cards;
}

TEST(NetlistCards, TitleLineKeepsThePlaceholderWidth)
{
    const std::string shortLine = NetlistTitleLine("divider.cir");
    EXPECT_EQ(shortLine, "**  Netlist - divider.cir  **" + std::string(56 - 15, ' '));
    const std::string longName(80, 'a');
    const std::string longLine = NetlistTitleLine(longName + ".cir");
    EXPECT_EQ(longLine.size(), std::string("**  Netlist - ").size() + 56);
    EXPECT_EQ(longLine.substr(14, 3), "...");
    EXPECT_NE(longLine.find(".cir  **"), std::string::npos);
    // The whole text: title, banner, trailer.
    CCircuit d;
    const std::string text = WriteNetlist(&d, "x.cir");
    EXPECT_EQ(text.substr(0, text.find('\n')), NetlistTitleLine("x.cir"));
    EXPECT_NE(text.find("\n**  Produced by Kestrane or Olvandi **   \n\n* Include PSpice library\n.lib nom.lib\n\n\n"),
              std::string::npos);
    EXPECT_TRUE(text.size() > 5 && text.compare(text.size() - 5, 5, ".END\n") == 0);
}
