#include "model/parts/catalogue.h"

#include "model/parts/part.h"

#include <cstring>

namespace {

// Command id, class, replacement class, extra value, creation hook.
const PartCatalogueEntry kRows[] = {
    {33921, "CTwoCogs", nullptr, 0, false},
    {33803, "C4511", nullptr, 0, false},
    {32776, "C555", nullptr, 0, false},
    {32782, "C741", nullptr, 0, false},
    {32880, "C741Y", "C741", 0, false},
    {32871, "CAmmeter", nullptr, 0, false},
    {32872, "CAmmeterH", "CAmmeter", 0, false},
    {32843, "CAND", nullptr, 0, false},
    {32772, "CBattery", nullptr, 0, false},
    {33964, "CBattery", nullptr, 0, false},
    {33950, "CBattery", nullptr, 36045, false},
    {33951, "CBattery9V", nullptr, 0, false},
    {33958, "CBuzzer", nullptr, 0, false},
    {33957, "CResistor", nullptr, 0, false},
    {33960, "CLED", nullptr, 0, false},
    {33961, "CLED_Y", nullptr, 0, false},
    {33962, "CLED_G", nullptr, 0, false},
    {33956, "CFuse", nullptr, 0, false},
    {33952, "CSPST", nullptr, 0, false},
    {33955, "CVResistor", nullptr, 0, false},
    {33953, "CPushMake", nullptr, 0, false},
    {33954, "CSPDT", nullptr, 0, false},
    {33963, "CMotorEM", nullptr, 0, false},
    {33959, "CFilament", nullptr, 0, false},
    {32919, "CBatteryD", "CBattery", 0, false},
    {32943, "CBatteryL", "CBattery", 0, false},
    {32944, "CBatteryR", "CBattery", 0, false},
    {32773, "CBulb", nullptr, 0, false},
    {32895, "CBulbH", "CBulb", 0, false},
    {32775, "CBuzzer", nullptr, 0, false},
    {32770, "CCapacitor", nullptr, 0, false},
    {32832, "CCapacitorH", "CCapacitor", 0, false},
    {33910, "CChain", nullptr, 0, false},
    {32946, "CClock", nullptr, 0, false},
    {32940, "CCounter10", nullptr, 0, false},
    {32941, "CCounter10B", nullptr, 0, false},
    {32939, "CCounter16", nullptr, 0, false},
    {33802, "CCurrent", nullptr, 0, false},
    {32938, "CDecoder", nullptr, 0, false},
    {33532, "CDiode", nullptr, 0, false},
    {32902, "CDiodeD", "CDiode", 0, false},
    {32905, "CDiodeL", "CDiodeD", 0, false},
    {32904, "CDiodeR", "CDiodeD", 0, false},
    {32903, "CDiodeU", "CDiodeD", 0, false},
    {32899, "CDPDT", nullptr, 0, false},
    {32900, "CDPST", nullptr, 0, false},
    {32875, "CDtype", nullptr, 0, false},
    {32921, "CEarth", nullptr, 0, false},
    {32915, "CECapacitorD", "CECapacitor", 0, false},
    {32916, "CECapacitorL", "CECapacitor", 0, false},
    {32917, "CECapacitorR", "CECapacitor", 0, false},
    {32914, "CECapacitorU", "CECapacitor", 0, false},
    {32912, "CECapacitor", nullptr, 0, false},
    {33800, "CFilament", nullptr, 0, false},
    {33801, "CFilamentH", "CFilament", 0, false},
    {33512, "CFloatSwitch", nullptr, 0, false},
    {33916, "CFlywheel", nullptr, 0, false},
    {33902, "CForce", nullptr, 0, false},
    {33906, "CForce", nullptr, 0, false},
    {32932, "CFuse", nullptr, 0, false},
    {33913, "CGenerator", nullptr, 0, false},
    {33523, "CGroupBox", nullptr, 0, false},
    {33524, "CFlashViewer", nullptr, 0, true},
    {32777, "CInductor", nullptr, 0, false},
    {32831, "CInductorH", "CInductor", 0, false},
    {32780, "CInverter", nullptr, 0, false},
    {33804, "CIsolator", nullptr, 0, false},
    {32937, "CJK", nullptr, 0, false},
    {32803, "CLDR", nullptr, 0, false},
    {32947, "CLDR_Lamp", nullptr, 0, false},
    {32779, "CLED", nullptr, 0, false},
    {32924, "CLED_G", nullptr, 0, false},
    {32896, "CLEDH", "CLED", 0, false},
    {32925, "CLEDH_G", "CLED_G", 0, false},
    {32927, "CLEDH_Y", "CLED_Y", 0, false},
    {32926, "CLED_Y", nullptr, 0, false},
    {32918, "CLogicIn", nullptr, 0, false},
    {32942, "CLogicOut", nullptr, 0, false},
    {33505, "CLoudSpeaker", nullptr, 0, true},
    {33915, "CMassComp", nullptr, 0, false},
    {33920, "CMechRotCouple", nullptr, 0, false},
    {33912, "CMicroSwitch", nullptr, 0, false},
    {32910, "CMOSFETn", nullptr, 0, false},
    {32911, "CMOSFETp", nullptr, 0, false},
    {32877, "CMotor", nullptr, 0, false},
    {33907, "CMotorEM", nullptr, 0, false},
    {33917, "CMotorEMH", "CMotorEM", 0, false},
    {32928, "CMotorH", "CMotor", 0, false},
    {32771, "CNAND", nullptr, 0, false},
    {32936, "CNAND3", nullptr, 0, false},
    {32935, "CNAND4", nullptr, 0, false},
    {32799, "CNOR", nullptr, 0, false},
    {32906, "CNPN", nullptr, 0, false},
    {32907, "CNPNB", "CNPN", 0, false},
    {32844, "COR", nullptr, 0, false},
    {33805, "CPhotoQ", nullptr, 0, false},
    {33521, "CPicture", nullptr, 0, true},
    {33525, "CPicture", nullptr, 0, true},
    {32908, "CPNP", nullptr, 0, false},
    {32909, "CPNPB", "CPNP", 0, false},
    {32897, "CPot", nullptr, 0, false},
    {32793, "CProbe", nullptr, 0, true},
    {33923, "CPulley", nullptr, 0, false},
    {32836, "CPushBreak", nullptr, 0, false},
    {32898, "CPushBreakV", "CPushBreak", 0, false},
    {32835, "CPushMake", nullptr, 0, false},
    {32847, "CPushMakeV", "CPushMake", 0, false},
    {33901, "CRackPin", nullptr, 0, false},
    {32920, "CRailEnd", "CRailThru", 0, false},
    {32945, "CRailEndL", "CRailThru", 0, false},
    {32920, "CRailThru", nullptr, 0, false},
    {32769, "CResistor", nullptr, 0, false},
    {33806, "CResistors", nullptr, 0, false},
    {32800, "CResistorH", "CResistor", 0, false},
    {32892, "CRelayDPDT", nullptr, 0, false},
    {32891, "CRelaySPDT", nullptr, 0, false},
    {32876, "CRS", nullptr, 0, false},
    {32933, "CSchmitt", nullptr, 0, false},
    {33887, "CSevenSegmentDisplay", nullptr, 0, false},
    {33911, "CSolenoid", nullptr, 0, false},
    {32838, "CSPDT", nullptr, 0, false},
    {32848, "CSPDTX", "CSPDT", 0, false},
    {32948, "CSpecial", nullptr, 0, false},
    {33904, "CSpring", nullptr, 0, false},
    {33908, "CSpringFixed", nullptr, 0, false},
    {32837, "CSPST", nullptr, 0, false},
    {32846, "CSPSTV", "CSPST", 0, false},
    {33522, "CTextLabel", nullptr, 0, true},
    {32929, "CThermistor", nullptr, 0, false},
    {32930, "CThyristor", nullptr, 0, false},
    {33905, "CTorque", nullptr, 0, false},
    {33903, "CTorque", nullptr, 0, false},
    {33919, "CTrolleys", nullptr, 0, false},
    {32931, "CTransformer", nullptr, 0, false},
    {33914, "CVelSource", nullptr, 0, false},
    {33918, "CVelSource", nullptr, 0, false},
    {32890, "CVNeg", "CVoltRail", 0, false},
    {32798, "CVoltmeter", nullptr, 0, false},
    {32841, "CVoltmeterH", "CVoltmeter", 0, false},
    {32888, "CVPos", "CVoltRail", 0, false},
    {32839, "CVPulse", nullptr, 0, false},
    {32781, "CVResistor", nullptr, 0, false},
    {32845, "CVSine", "CVPulse", 0, false},
    {33531, "CVoltRail", nullptr, 0, false},
    {32922, "CVSlide", nullptr, 0, false},
    {33529, "CVTriangle", "CVPulse", 0, false},
    {32889, "CVZero", nullptr, 0, false},
    {32874, "CXOR", nullptr, 0, false},
    {32913, "CZener", nullptr, 0, false},
    {33998, "CValueBigUnits", "CValue", 0, false},
    {33851, "CFlowStart", nullptr, 0, false},
    {33852, "CFlowStop", nullptr, 0, false},
    {33853, "CFlowWait", nullptr, 0, false},
    {33855, "CFlowBeep", nullptr, 0, false},
    {33856, "CFlowDecision", nullptr, 0, false},
    {33859, "CFlowOutput", nullptr, 0, false},
    {33865, "CChip", nullptr, 0, false},
    {33860, "CFlowVariable", nullptr, 0, false},
    {33861, "CFlowIncrement", nullptr, 0, false},
    {33864, "CFlowCheckVar", nullptr, 0, false},
    {33868, "CFlowGoSub", nullptr, 0, false},
    {33867, "CFlowReturn", nullptr, 0, false},
    {33866, "CFlowSubStart", nullptr, 0, false},
    {33871, "CPressureSensor", nullptr, 0, false},
    {33873, "CTempSensor", nullptr, 0, false},
    {33874, "CLightSensor", nullptr, 0, false},
    {33878, "CSoundSensor", nullptr, 0, false},
    {33875, "CSystemHeater", nullptr, 0, false},
    {33876, "CSystemLamp", nullptr, 0, false},
    {33877, "CSystemAlarm", nullptr, 0, false},
    {33879, "CSwitchSensor", nullptr, 0, false},
    {33880, "CPushSwitchSensor", nullptr, 0, false},
    {33881, "CCoinSensor", nullptr, 0, false},
    {33882, "CSystemCan", nullptr, 0, false},
    {33890, "CSystemMessage", nullptr, 0, false},
    {33892, "CMonitor", nullptr, 0, false},
    {33886, "CSystemMotor", nullptr, 0, false},
    {33502, "CFlowMotor", nullptr, 0, false},
    {33885, "CSystem7SLED", nullptr, 0, false},
    {33510, "CReedSensor", nullptr, 0, false},
    {33884, "CMoistureSensor", nullptr, 0, false},
    {33883, "CTiltSensor", nullptr, 0, false},
    {33869, "CFlowWrite", nullptr, 0, false},
    {33870, "CFlowRead", nullptr, 0, false},
    {33872, "CInputBox", nullptr, 0, false},
    {33893, "CPBasicViewer", nullptr, 0, false},
    {33888, "CFlowXanal", nullptr, 0, false},
    {33894, "CFlowTestBit", nullptr, 0, false},
    {33895, "CSystemAReceive", nullptr, 0, false},
    {33896, "CSystemASend", nullptr, 0, false},
    {33897, "CFlowSend", nullptr, 0, false},
    {33898, "CFlowReceive", nullptr, 0, false},
    {33899, "CWriteBox", nullptr, 0, false},
    {33854, "CMonitorVar", "CMonitor", 0, false},
};

constexpr int kRowCount = static_cast<int>(sizeof kRows / sizeof kRows[0]);
static_assert(kRowCount == 194 && kRowCount <= PartCatalogue::kCapacity);

bool SameName(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

} // namespace

PartCatalogue::PartCatalogue() = default;

PartCatalogue& PartCatalogue::Get()
{
    static PartCatalogue table;
    return table;
}

int PartCatalogue::GetCount() const { return kRowCount; }

const PartCatalogueEntry& PartCatalogue::GetRow(int index) const { return kRows[index]; }

int PartCatalogue::FindCommand(int commandId) const
{
    for (int i = 0; i < kRowCount; ++i)
        if (kRows[i].commandId == commandId) return i;
    return -1;
}

int PartCatalogue::FindClass(const char* className) const
{
    for (int i = 0; i < kRowCount; ++i)
        if (SameName(kRows[i].className, className)) return i;
    return -1;
}

int PartCatalogue::FindClass(const CRuntimeClass* rc) const { return rc ? FindClass(rc->m_lpszClassName) : -1; }

PartCatalogue::RowStatus PartCatalogue::GetRowStatus(int index) const
{
    if (index < 0 || index >= kRowCount) return rowNoSuchRow;
    const PartCatalogueEntry& row = kRows[index];
    const CRuntimeClass* rc = CRuntimeClass::FromName(row.className);
    if (!rc) return rowClassMissing;
    if (row.replacementName) {
        const CRuntimeClass* rep = CRuntimeClass::FromName(row.replacementName);
        if (!rep || !rep->m_pfnCreateObject) return rowReplacementMissing;
    } else if (!rc->m_pfnCreateObject) {
        return rowClassMissing;
    }
    return rowReady;
}

CObject* PartCatalogue::CreateAt(int index, CTeskView* view, int* extraOut) const
{
    if (index < 0 || index >= kRowCount) return nullptr;
    const PartCatalogueEntry& row = kRows[index];
    if (extraOut) *extraOut = row.extra;
    if (view && row.hasHook && m_hooks[index]) return m_hooks[index](view);
    return CRuntimeClass::CreateObject(row.replacementName ? row.replacementName : row.className);
}

CObject* PartCatalogue::CreateById(int commandId, CTeskView* view, int* extraOut) const
{
    return CreateAt(FindCommand(commandId), view, extraOut);
}

CObject* PartCatalogue::CreateByClass(const CRuntimeClass* rc, CTeskView* view) const
{
    return CreateAt(FindClass(rc), view, nullptr);
}

CObject* PartCatalogue::CreateForLegacy(const CRuntimeClass* legacyClass) const
{
    int i = FindClass(legacyClass);
    if (i < 0 || !kRows[i].replacementName) return nullptr;
    // A replacement that is itself an old class creates through its own
    // record, so the chain ends at a current class; the outermost old class
    // is the one remembered.
    CObject* obj = CRuntimeClass::CreateObject(kRows[i].replacementName);
    if (auto* part = dynamic_cast<CPart*>(obj)) part->m_pPendingVariant = legacyClass;
    return obj;
}

int PartCatalogue::GetCommandOfClass(const CRuntimeClass* rc) const
{
    int i = FindClass(rc);
    return i < 0 ? 0 : kRows[i].commandId;
}

bool PartCatalogue::IsKindOfByName(const char* className, const CRuntimeClass* rc)
{
    return rc && rc->IsDerivedFrom(className);
}

void PartCatalogue::SetHook(int commandId, PartCreationHook hook)
{
    int i = FindCommand(commandId);
    if (i >= 0) m_hooks[i] = hook;
}
