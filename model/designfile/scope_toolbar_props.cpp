// The graph part on the property toolbar: the quantity of the edited graph,
// its maximum and minimum under one prefix, the time per division, the
// advanced options and Erase Data.  Every change lays the graph out again.
#include "model/designfile/scope_toolbar.h"

#include "model/designfile/units.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

namespace {

enum : int {
    IDC_GRAPH_MAX = 36053,
    IDC_GRAPH_MAX_SPIN = 36054,
    IDC_GRAPH_PREFIX = 36055,
    IDC_GRAPH_PREFIX_SPIN = 36056,
    IDC_GRAPH_UNIT = 36057,
    IDC_GRAPH_MIN = 36059,
    IDC_GRAPH_MIN_SPIN = 36060,
    IDC_GRAPH_TIME = 36065,
    IDC_GRAPH_TIME_SPIN = 36066,
    IDC_GRAPH_TIME_PREFIX = 36067,
    IDC_GRAPH_TIME_PREFIX_SPIN = 36068,
    IDC_GRAPH_ADVANCED = 36074,
    IDC_GRAPH_QUANTITY = 36081,
    IDC_ERASE_DATA = 35006,
};
constexpr unsigned IDS_MAX = 205, IDS_MIN = 206, IDS_TIME = 207, IDS_SECONDS = 36558;

struct ItemRow {
    int type;
    int id;
    unsigned label;
    int width;
};
// The quantity list comes first; its label is the list of names.
const ItemRow kItems[] = {
    {CI_STATIC, IDS_MAX, IDS_MAX, 26},
    {CI_EDIT, IDC_GRAPH_MAX, 0, 40},
    {CI_SPIN, IDC_GRAPH_MAX_SPIN, 0, -1},
    {CI_STATIC, IDS_MIN, IDS_MIN, 22},
    {CI_EDIT, IDC_GRAPH_MIN, 0, 40},
    {CI_SPIN, IDC_GRAPH_MIN_SPIN, 0, -1},
    {CI_EDIT, IDC_GRAPH_PREFIX, 0, 24},
    {CI_SPIN, IDC_GRAPH_PREFIX_SPIN, 0, -1},
    {CI_STATIC, IDC_GRAPH_UNIT, 0, 32},
    {CI_STATIC, IDS_TIME, IDS_TIME, 24},
    {CI_EDIT, IDC_GRAPH_TIME, 0, 38},
    {CI_SPIN, IDC_GRAPH_TIME_SPIN, 0, -1},
    {CI_EDIT, IDC_GRAPH_TIME_PREFIX, 0, 24},
    {CI_SPIN, IDC_GRAPH_TIME_PREFIX_SPIN, 0, -1},
    {CI_STATIC, IDS_SECONDS, IDS_SECONDS, 12},
    {CI_TOOLBUTTON, IDC_GRAPH_ADVANCED, 0, -1},
    {CI_TOOLBUTTON, IDC_ERASE_DATA, 0, -1},
};

int SpinStep(const CString& text)
{
    const int amount = SpinAmount(text);
    return amount == 0 ? 1 : amount;
}

CString PrefixText(const CNumber& n)
{
    CString p;
    n.GetPrefixText(&p);
    return p.empty() ? CString(" ") : p;
}

int PrefixOf(const CNumber& n)
{
    double ignored = 0.0;
    return n.GetMantissa(&ignored);
}

// The minimum is shown under the maximum's prefix (the toolbar has one
// prefix field for both): a new prefix keeps the minimum's shown digits.
void FollowPrefix(CScopeGraph& g, int oldCode)
{
    const int code = PrefixOf(g.maximum);
    g.minimum.SetValue(g.minimum.value / PrefixFactor(oldCode), code);
}

// The limits row of a graph's ends: below zero as far as above it.  The
// numbers keep the type code they are stored with.
constexpr int kSignedLimitsRow = 1;

template <class Edit>
int EditSigned(CNumber& n, Edit edit)
{
    CNumber t = n;
    t.SetTypeCode(kSignedLimitsRow);
    const int result = edit(t);
    t.SetTypeCode(n.typeCode);
    n = t;
    return result;
}

} // namespace

int CScopeToolbar::FillProperties(CControlItemList& items)
{
    CString names;
    for (int i = 0; i < kScopeQuantityCount; ++i) {
        if (i) names += "\n";
        names += ScopeQuantityName(i);
    }
    items.Add(CControlItem(CI_DROPLIST, names, IDC_GRAPH_QUANTITY, 128));
    for (const ItemRow& row : kItems) items.Add(CControlItem(row.type, row.label, row.id, row.width));
    return 0;
}

int CScopeToolbar::GetPropertyTexts(CControlItemList& items)
{
    const CScopeGraph& g = graph[editedGraph & 1];
    items.SetItemText(IDC_GRAPH_QUANTITY, ScopeQuantityName(static_cast<int>(g.quantityIndex)), -1);
    double mantissa = 0.0;
    const int code = g.maximum.GetMantissa(&mantissa);
    items.SetItemText(IDC_GRAPH_MAX, g.maximum.Format(), -1);
    CNumber shownMin = g.minimum;
    shownMin.SetValue(g.minimum.value / PrefixFactor(code), code);
    items.SetItemText(IDC_GRAPH_MIN, shownMin.Format(), -1);
    items.SetItemText(IDC_GRAPH_PREFIX, PrefixText(g.maximum), -1);
    const CString unit = GetQuantityUnitText(GetQuantityBit(static_cast<int>(editedGraph & 1)), nullptr);
    items.SetItemText(IDC_GRAPH_UNIT, unit.empty() ? CString(" ") : unit, -1);
    items.SetItemText(IDC_GRAPH_TIME, timePerDivision.Format(), -1);
    items.SetItemText(IDC_GRAPH_TIME_PREFIX, PrefixText(timePerDivision), -1);
    return 7;
}

int CScopeToolbar::IsPropertyChecked(int commandId, int& flag)
{
    (void)commandId;
    flag = 1;
    return 0;
}

int CScopeToolbar::OnPropertyCommand(int commandId, const CString& text)
{
    CScopeGraph& g = graph[editedGraph & 1];
    int result = 0;
    switch (commandId) {
    case IDC_GRAPH_QUANTITY: {
        const int index = ScopeQuantityIndexOfName(text);
        if (index < 0) return 0;
        result = static_cast<DWORD>(index) != g.quantityIndex;
        g.quantityIndex = static_cast<DWORD>(index);
        break;
    }
    case IDC_GRAPH_MAX:
        result = EditSigned(g.maximum, [&](CNumber& n) { return n.SetFromText(text.c_str(), nullptr); });
        break;
    case IDC_GRAPH_MAX_SPIN:
        result = EditSigned(g.maximum, [&](CNumber& n) { return n.StepValue(SpinStep(text), nullptr); });
        break;
    case IDC_GRAPH_MIN: {
        // Typed under the maximum's prefix.
        CNumber shown = g.minimum;
        double ignored = 0.0;
        const int code = g.maximum.GetMantissa(&ignored);
        shown.SetValue(g.minimum.value / PrefixFactor(code), code);
        result = EditSigned(shown, [&](CNumber& n) { return n.SetFromText(text.c_str(), nullptr); });
        if (result) g.minimum = shown;
        break;
    }
    case IDC_GRAPH_MIN_SPIN: {
        FollowPrefix(g, PrefixOf(g.maximum));
        result = EditSigned(g.minimum, [&](CNumber& n) { return n.StepValue(SpinStep(text), nullptr); });
        break;
    }
    case IDC_GRAPH_PREFIX: {
        const int old = PrefixOf(g.maximum);
        result = EditSigned(g.maximum, [&](CNumber& n) { return n.SetPrefixFromText(text.c_str(), nullptr); });
        FollowPrefix(g, old);
        break;
    }
    case IDC_GRAPH_PREFIX_SPIN: {
        const int old = PrefixOf(g.maximum);
        result = EditSigned(g.maximum,
                            [&](CNumber& n) { return n.StepPrefix(SpinStep(text) > 0 ? 1 : -1, nullptr); });
        FollowPrefix(g, old);
        break;
    }
    case IDC_GRAPH_TIME: result = timePerDivision.SetFromText(text.c_str(), nullptr); break;
    case IDC_GRAPH_TIME_SPIN: result = timePerDivision.StepValue(SpinStep(text), nullptr); break;
    case IDC_GRAPH_TIME_PREFIX: result = timePerDivision.SetPrefixFromText(text.c_str(), nullptr); break;
    case IDC_GRAPH_TIME_PREFIX_SPIN:
        result = timePerDivision.StepPrefix(SpinStep(text) > 0 ? 1 : -1, nullptr);
        break;
    case IDC_GRAPH_ADVANCED: {
        const DWORD wasTwo = twoGraphs;
        if (!owner || !owner->EditAdvanced(*this)) return 0;
        result = 1;
        // The second graph switched off while it was being edited.
        if (wasTwo && !twoGraphs && editedGraph == 1) {
            editedGraph = 0;
            result |= 16;
        }
        break;
    }
    default: return 0;
    }
    // A time per division of nothing would spread one sample over the
    // whole width; the least the field keeps is a nanosecond.
    if (!(timePerDivision.value >= 1e-9)) timePerDivision.SetValue(1.0, 1);
    if (owner) owner->Relayout();
    return result;
}
