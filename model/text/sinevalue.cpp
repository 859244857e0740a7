#include "model/text/sinevalue.h"

#include "model/circuit/circuit.h"
#include "model/parts/parttree.h"

WB_IMPLEMENT_SERIAL(CSineValue, "CValue", 2)

namespace {
CSineDialogHost* g_sineHost = nullptr;
}

CSineDialogHost* CSineDialogHost::Current() { return g_sineHost; }

CSineDialogHost* CSineDialogHost::Install(CSineDialogHost* host)
{
    CSineDialogHost* old = g_sineHost;
    g_sineHost = host;
    return old;
}

CSineValue::CSineValue(int sideAsked, const CRect& rect, int typeCode) : CValue(500.0, 1.0, ' ', "Hz", sideAsked, rect, typeCode)
{
    amplitude.Assign(5.0, 4, "V", 7);
    m_rect.left -= 8;
    anchor.x += 8;
}

void CSineValue::Serialize(CArchive& ar)
{
    CValue::Serialize(ar);
    const WORD v = ar.GetVersion();
    if (ar.IsStoring()) {
        amplitude.Serialize(ar);
        ar << dcOffset << static_cast<LONG>(unitChoice) << phase;
        return;
    }
    if (v > 3) {
        amplitude.Serialize(ar);
        LONG choice = 0;
        ar >> dcOffset >> choice >> phase;
        unitChoice = choice;
        return;
    }
    double dropped = 0.0;
    LONG choice = 0;
    ar >> dropped >> dcOffset >> choice;
    unitChoice = choice;
    if (unitChoice == 0) amplitude.SetValue(dcOffset * 1000.0, 3);
    else amplitude.SetValue(dcOffset, 4);
    number.unit = "Hz";
    amplitude.unit = "V";
    number.SetTypeCode(6);
    amplitude.SetTypeCode(7);
    phase = 0.0;
    if (v == 3) ar >> phase;
}

void CSineValue::ApplyAdvanced(double typedOffset, int volts, double phaseDegrees)
{
    unitChoice = volts ? 1 : 0;
    dcOffset = typedOffset * (unitChoice ? 1.0 : 0.001);
    double m = 0.0;
    amplitude.GetMantissa(&m);
    amplitude.SetValue(m, unitChoice + 3);
    phase = phaseDegrees;
}

int CSineValue::EditAdvanced(CPart* design)
{
    if (!CanMoveWhenLocked(dynamic_cast<CPartTree*>(design))) return 0;
    if (!g_sineHost) return 0;
    // The design stands still while the dialog is open.
    CSimulationPause pause(dynamic_cast<CCircuit*>(design));
    double offset = TypedOffset(), ph = phase;
    int volts = unitChoice;
    if (!g_sineHost->Edit(&offset, &volts, &ph)) return 0;
    ApplyAdvanced(offset, volts, ph);
    return 65;
}
