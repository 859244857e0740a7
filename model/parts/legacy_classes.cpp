// The old class names.  Each is a record with the name and schema that old
// files carry and the declared base of the class that replaced it; creating
// one asks the catalogue for its replacement, which remembers the old class
// so that AfterLoad can turn it into the variant the name stood for.  No
// object of an old class is ever built, so none is ever written.
#include "model/parts/catalogue.h"

#include <array>
#include <cstddef>
#include <utility>

namespace {

const LegacyClassInfo kLegacy[] = {
    {"CMonitorVar", 2, "CMonitor", 33854},
    {"CMotorEMH", 4, "CMotorEM", 33917},
    {"CMotorH", 3, "CMotor", 32928},
    {"CAmmeterH", 2, "CAmmeter", 32872},
    {"CVoltmeterH", 2, "CVoltmeter", 32841},
    {"CCapacitorH", 2, "CCapacitor", 32832},
    {"CECapacitorD", 2, "CECapacitor", 32915},
    {"CECapacitorL", 2, "CECapacitor", 32916},
    {"CECapacitorR", 2, "CECapacitor", 32917},
    {"CECapacitorU", 2, "CECapacitor", 32914},
    {"CInductorH", 2, "CInductor", 32831},
    {"CResistorH", 2, "CResistor", 32800},
    {"CBatteryD", 2, "CBattery", 32919},
    {"CBatteryL", 3, "CBattery", 32943},
    {"CBatteryR", 3, "CBattery", 32944},
    {"CVPos", 2, "CVoltRail", 32888},
    {"CVNeg", 2, "CVoltRail", 32890},
    {"CRailEndL", 3, "CRailThru", 32945},
    {"CRailEnd", 2, "CRailThru", 32920},
    {"CSPSTV", 2, "CSPST", 32846},
    {"CSPDTX", 2, "CSPST", 32848},
    {"CPushMakeV", 2, "CPushMake", 32847},
    {"CPushBreakV", 2, "CPushBreak", 32898},
    {"CDiodeD", 2, "CDiode", 32902},
    {"CDiodeL", 2, "CDiodeU", 32905},
    {"CDiodeR", 2, "CDiodeD", 32904},
    {"CDiodeU", 2, "CDiodeD", 32903},
    {"CNPNB", 2, "CNPN", 32907},
    {"CPNPB", 2, "CPNP", 32909},
    {"C741Y", 2, "C741", 32880},
    {"CBulbH", 2, "CBulb", 32895},
    {"CLEDH", 2, "CLED", 32896},
    {"CLEDH_G", 3, "CLED_G", 32925},
    {"CLEDH_Y", 3, "CLED_Y", 32927},
    {"CFilamentH", 4, "CFilament", 33801},
    {"CVSine", 2, "CVPulse", 32845},
    {"CVTriangle", 4, "CVPulse", 33529},
    {"CValueBigUnits", 4, "CValue", 33998},
};

constexpr int kLegacyCount = static_cast<int>(sizeof kLegacy / sizeof kLegacy[0]);
static_assert(kLegacyCount == 38);

template <int I>
CObject* CreateLegacy();

template <std::size_t... I>
constexpr auto MakeRecords(std::index_sequence<I...>)
{
    return std::array<CRuntimeClass, sizeof...(I)>{
        CRuntimeClass{kLegacy[I].name, 0, kLegacy[I].schema, &CreateLegacy<int(I)>, kLegacy[I].baseName}...};
}

const std::array<CRuntimeClass, kLegacyCount> kRecords = MakeRecords(std::make_index_sequence<kLegacyCount>());

template <int I>
CObject* CreateLegacy()
{
    return PartCatalogue::Get().CreateForLegacy(&kRecords[I]);
}

bool RegisterAll()
{
    for (const CRuntimeClass& rc : kRecords) RegisterRuntimeClass(&rc);
    return true;
}

const bool s_registered = RegisterAll();

} // namespace

int LegacyClassCount() { return kLegacyCount; }

const LegacyClassInfo& LegacyClassAt(int i) { return kLegacy[i]; }

bool LegacyClassesRegistered() { return s_registered; }
