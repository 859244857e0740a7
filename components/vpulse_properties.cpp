// The signal generator's property toolbar: frequency (the label's own
// number), amplitude, the three waveform buttons and the advanced settings.
#include "components/vpulse.h"

#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/display/gdi.h"
#include "model/parts/controlitem.h"
#include "model/text/sinevalue.h"


#include <algorithm>
#include <cstdlib>

namespace {

enum : int {
    IDC_FREQUENCY = 36053,
    IDC_FREQUENCY_SPIN = 36054,
    IDC_FREQUENCY_PREFIX = 36055,
    IDC_FREQUENCY_PREFIX_SPIN = 36056,
    IDC_FREQUENCY_UNIT = 36057,
    IDC_AMPLITUDE = 36059,
    IDC_AMPLITUDE_SPIN = 36060,
    IDC_AMPLITUDE_PREFIX = 36061,
    IDC_AMPLITUDE_PREFIX_SPIN = 36062,
    IDC_AMPLITUDE_UNIT = 36063,
    IDC_WAVE_SINE = 36070,
    IDC_WAVE_TRIANGLE = 36072,
    IDC_ADVANCED = 36074,
};
constexpr unsigned IDS_HZ = 36574;
// Button strips of the sine, square and triangle waves (32 x 32 cells).
constexpr int kButtonStrips = 341;

struct ItemRow {
    int type;
    int id;
    unsigned label;
    int width;
    bool flag1;
};
const ItemRow kItems[] = {
    {CI_EDIT, IDC_FREQUENCY, 0, -1, false},
    {CI_SPIN, IDC_FREQUENCY_SPIN, 0, -1, false},
    {CI_EDIT, IDC_FREQUENCY_PREFIX, 0, 28, false},
    {CI_SPIN, IDC_FREQUENCY_PREFIX_SPIN, 0, -1, false},
    {CI_STATIC, IDC_FREQUENCY_UNIT, IDS_HZ, 20, false},
    {CI_EDIT, IDC_AMPLITUDE, 0, 44, false},
    {CI_SPIN, IDC_AMPLITUDE_SPIN, 0, -1, false},
    {CI_STATIC, IDC_AMPLITUDE_UNIT, 0, 20, false},
    {CI_TOOLBUTTON_LOCKED, IDC_WAVE_SINE, 0, -1, true},
    {CI_TOOLBUTTON_LOCKED, IDC_WAVE_SINE + 1, 0, -1, true},
    {CI_TOOLBUTTON_LOCKED, IDC_WAVE_TRIANGLE, 0, -1, true},
    {CI_TOOLBUTTON, IDC_ADVANCED, 0, -1, true},
    {CI_SEPARATOR, 0, 0, -1, false},
};

// A spin command's signed step amount; a press without one steps once upward.
int SpinStep(const CString& text)
{
    const int amount = SpinAmount(text);
    return amount == 0 ? 1 : amount;
}

} // namespace

int CVPulse::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    for (const ItemRow& row : kItems) {
        CControlItem item(row.type, row.label, row.id, row.width);
        item.SetFlag1(row.flag1);
        item.reserved = 0;
        items.Add(item);
    }
    // The amplitude's unit names its static item.
    if (const CSineValue* label = GetSineLabel()) items.SetItemText(IDC_AMPLITUDE_UNIT, label->amplitude.unit, 20);
    return 0;
}

int CVPulse::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    std::vector<int> turns;
    CBitmap turnImages;
    const int turned = CComponent::GetPropertyBitmap(turns, bitmap ? &turnImages : nullptr);
    ids = {IDC_ADVANCED, IDC_WAVE_SINE, IDC_WAVE_SINE + 1, IDC_WAVE_TRIANGLE};
    if (turned > 0) ids.insert(ids.end(), turns.begin(), turns.end());
    if (!bitmap) return static_cast<int>(ids.size());
    CBitmap256 strip;
    if (!strip.LoadBitmap256(kButtonStrips + m_nWaveform)) return -1;
    const int count = static_cast<int>(ids.size());
    return AttachJoinedStrips(bitmap, count, {{&strip.Image(), 4}, {&turnImages.Image(), std::max(turned, 0)}}) ? count
                                                                                                               : -1;
}

int CVPulse::GetPropertyTexts(CControlItemList& items)
{
    int written = CComponent::GetPropertyTexts(items);
    const CSineValue* label = GetSineLabel();
    if (!label) return written;
    items.SetItemText(IDC_AMPLITUDE, label->amplitude.Format(), -1);
    CString unit;
    label->amplitude.GetPrefixText(&unit);
    if (unit == " ") unit.Empty();
    unit += "V";
    items.SetItemText(IDC_AMPLITUDE_UNIT, unit, -1);
    return written + 2;
}

int CVPulse::IsPropertyChecked(int commandId, int& flag)
{
    if (commandId >= IDC_WAVE_SINE && commandId <= IDC_WAVE_TRIANGLE) {
        flag = 1;
        return commandId == IDC_WAVE_SINE + m_nWaveform ? 1 : 0;
    }
    return CComponent::IsPropertyChecked(commandId, flag);
}

int CVPulse::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId >= IDC_WAVE_SINE && commandId <= IDC_WAVE_TRIANGLE)
        return SetWaveform(commandId - IDC_WAVE_SINE) ? 17 : 0;
    CSineValue* label = GetSineLabel();
    switch (commandId) {
    case IDC_AMPLITUDE: return label ? label->amplitude.SetFromText(text, label) : 0;
    case IDC_AMPLITUDE_SPIN: return label ? label->amplitude.StepValue(SpinStep(text), label) : 0;
    case IDC_AMPLITUDE_PREFIX: return label ? label->amplitude.SetPrefixFromText(text, label) : 0;
    case IDC_AMPLITUDE_PREFIX_SPIN:
        return label ? label->amplitude.StepPrefix(SpinStep(text) > 0 ? 1 : -1, label) : 0;
    default: break;
    }
    const int result = CComponent::OnPropertyCommand(commandId, text);
    // A new frequency asks for a new update rate.
    if (result & 0x3)
        if (CCircuit* design = GetDesign()) design->RecalcStepLimit();
    return result;
}
