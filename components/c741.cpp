#include "components/c741.h"

#include "components/logic_pins.h"
#include "components/logic_visual.h"
#include "model/circuit/circuit.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "model/parts/controlitem.h"
#include "model/text/opampsupply.h"

#include <charconv>
#include <cmath>

WB_IMPLEMENT_SERIAL(C741, "CComponent", 2)

// Ratings of the op-amp: 1 V beyond its supply rails.
constexpr UINT IDS_741_RATINGS = 28;

namespace {
// Property items of the supply (item list 1) and their texts.
enum : int {
    kItemPlusLabel = 36052,
    kItemPlus = 36053,
    kItemPlusUnit = 36057,
    kItemMinusLabel = 36058,
    kItemMinus = 36059,
    kItemMinusSpin = 36060,
    kItemMinusUnit = 36063,
    kItemSupplyDialog = 36074,
};

double ParseVolts(const CString& text, bool* ok)
{
    double v = 0.0;
    const char* b = text.data();
    const char* e = b + text.size();
    while (b < e && *b == ' ') ++b;
    if (b < e && *b == '+') ++b;
    const auto r = std::from_chars(b, e, v);
    *ok = r.ec == std::errc() && std::isfinite(v);
    return v;
}
} // namespace

C741::C741()
{
    m_pVisual = &LogicVisual(303, 2, 24, 29, 255);
    m_nOrientationMask = 255;
    const double a = 64.0 / 3.0;
    m_input.SetPoints(-1.0, a, -0.08, a, 0.08, -a, 1.0, -a);
    m_output.SetRamp(-1.875, -0.025, 1.875, 0.025);
    LoadRatings(IDS_741_RATINGS);
}

void C741::CreateChildren()
{
    if (!m_terminals.empty()) return;
    CreateTerminals(0);
    AddChild(new COpampSupply(this));
    PlaceSupplyLabel();
    SetInputValue(nullptr, 0);
}

void C741::SerializeLinks(CArchive& ar)
{
    CComponent::SerializeLinks(ar);
    if (!ar.IsStoring()) SetInputValue(nullptr, 0);
}

int C741::SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor)
{
    const int result = TurnKeepingPinOrder(this, newCode, oldCode, flag, anchor);
    if (result != 6) PlaceSupplyLabel();
    return result;
}

void C741::PlaceSupplyLabel()
{
    COpampSupply* supply = GetSupplyLabel();
    if (!supply) return;
    // The label's own rectangle is empty; kept at the part's corner, a turn
    // about the part's centre moves it (and the two texts with it) no
    // further than the part.  The texts then go above and below a lying
    // op-amp, right and left of a standing one.
    supply->m_rect = CRect(m_rect.TopLeft(), m_rect.TopLeft());
    supply->PlaceLabel(IsOddOrientation(m_nOrientation) ? 1 : 0, this, nullptr);
}

COpampSupply* C741::GetSupplyLabel() const
{
    // A broken part carries its burn-out marker first.
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* s = dynamic_cast<COpampSupply*>(c)) return s;
    return nullptr;
}

int C741::GetSupplyRails(double* high, double* low)
{
    const COpampSupply* s = GetSupplyLabel();
    *high = s ? s->number.value : 9.0;
    *low = s ? s->negative.value : -9.0;
    return 1;
}

double C741::LagCoefficient() const
{
    CCircuit* design = GetDesign();
    return 0.0032 * (design ? design->GetUpdateRate() : 5.0);
}

int C741::SetInputValue(CPartTree*, int)
{
    double plus = 0.0, minus = 0.0;
    GetSupplyRails(&plus, &minus);
    const double mid = (plus + minus) / 2;
    double s = plus - mid - 2.0;
    // A supply with V+ at or below V- + 4 V still gives a valid ramp.
    if (!(s >= 1e-6)) s = 1e-6;
    const double c = s / kOutputOhms;
    m_gain.SetRamp(-s, c, s, -c);
    m_dMidTerm = -(mid / kOutputOhms);
    m_dSwing = s;
    return 1;
}

int C741::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(1);
    items.SetItemTextId(kItemPlusLabel, kItemPlusLabel, 32);
    items.SetItemTextId(kItemPlusUnit, kItemPlusUnit, 12);
    items.SetItemTextId(kItemMinusLabel, kItemMinusLabel, 40);
    items.SetItemTextId(kItemMinusUnit, kItemMinusUnit, 12);
    // Both rails in whole volts in one dialog (the supply label's own).
    items.Add(CControlItem(CI_PUSHBUTTON, CString("Supply..."), kItemSupplyDialog, 56));
    return 0;
}

int C741::GetPropertyTexts(CControlItemList& items)
{
    const COpampSupply* s = GetSupplyLabel();
    if (!s) return 0;
    items.SetItemText(kItemPlus, s->number.Format(), -1);
    items.SetItemText(kItemMinus, s->negative.Format(), -1);
    return 1;
}

int C741::OnPropertyCommand(int commandId, const CString& text)
{
    COpampSupply* s = GetSupplyLabel();
    if (!s) return 0;
    bool ok = false;
    const double v = ParseVolts(text, &ok);
    int result = 0;
    switch (commandId) {
    case kItemMinus:
        if (!ok) return 0;
        s->negative.SetValue(v, 4);
        result = 1;
        break;
    case kItemMinusSpin:
        // The text carries the step, its sign the direction.
        if (!ok) return 0;
        s->negative.SetValue(s->negative.value + v, 4);
        result = 1;
        break;
    case kItemPlus:
        result = s->SetValueFromText(text);
        break;
    case kItemSupplyDialog:
        // The label rebuilds the gain stage itself when the dialog is
        // accepted.
        return s->EditAdvanced(this);
    default:
        return CComponent::OnPropertyCommand(commandId, text);
    }
    SetInputValue(nullptr, 0);
    return result;
}

int C741::Draw(DWORD flags) { return DrawSymbolFor(*this, flags, kPlainAnalogSymbols); }

void C741::Stamp(CMatrix* matrix)
{
    if (GetTerminalCount() < kPins) return;
    CTerminal* inv = GetTerminal(kInverting);
    CTerminal* non = GetTerminal(kNonInverting);
    CTerminal* out = GetTerminal(kOutput);
    const double k = LagCoefficient();
    if (m_output.GetSegment() == 2) {
        // The gain stage's slope (-1/75) times its controlling factor
        // (-75 / (k + 1)) folds into one transfer from the input pins.
        if (m_gain.GetSegment() == 2)
            matrix->StampTransfer(m_input.GetSlope() / (k + 1),
                                  m_dMidTerm + m_gain.GetIntercept() +
                                      (k * m_dPreviousGain + m_input.GetIntercept()) / (k + 1),
                                  non, inv, out, nullptr);
        else
            matrix->StampTransfer(0.0, m_dMidTerm + m_gain.GetIntercept(), non, inv, out, nullptr);
    }
    matrix->StampTransfer(m_output.GetSlope(), m_output.GetIntercept(), out, nullptr, out, nullptr);
}

void C741::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (GetTerminalCount() < kPins) return;
    auto v = [&](int pin) { return nodeValues[GetTerminal(pin)->GetNode()]; };
    const double k = LagCoefficient();
    m_input.LimitStep(out, fraction, v(kNonInverting) - v(kInverting));
    m_gain.LimitStep(out, fraction, -((m_input.GetValue() + k * m_dPreviousGain) * kOutputOhms / (k + 1)));
    m_output.LimitStep(out, fraction, v(kOutput) + (m_gain.GetValue() + m_dMidTerm) * kOutputOhms);
}

int C741::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_dPreviousGain = m_gain.GetValue();
    if (CCircuit* design = GetDesign()) design->SetChanged();
    m_input.Commit();
    m_gain.Commit();
    m_output.Commit();
    return broken;
}
