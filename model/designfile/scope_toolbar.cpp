#include "model/designfile/scope_toolbar.h"

#include <cstring>
#include <memory>

WB_IMPLEMENT_SERIAL(CScopeToolbar, "CPart", 4)

namespace {

struct QuantityRow {
    DWORD bit;
    const char* name;
};

const QuantityRow kQuantities[kScopeQuantityCount] = {
    {QTY_ACCELERATION_X, "Acceleration x"},
    {QTY_ACCELERATION_Y, "Acceleration y"},
    {QTY_ANGLE, "Angle"},
    {QTY_ANGULAR_ACCELERATION, "Angular Acceleration"},
    {QTY_ANGULAR_VELOCITY, "Angular Velocity"},
    {QTY_CHARGE, "Charge"},
    {QTY_CURRENT, "Current"},
    {QTY_ENERGY, "Energy"},
    {QTY_POSITION_X, "Position x"},
    {QTY_POSITION_Y, "Position y"},
    {QTY_POWER, "Power"},
    {QTY_SPEED, "Speed"},
    {QTY_VELOCITY_X, "Velocity x"},
    {QTY_VELOCITY_Y, "Velocity y"},
    {QTY_VOLTAGE, "Voltage"},
};

// Files of version 4 and older numbered the list before "Acceleration y",
// "Position y" and "Velocity y" were added: old index -> current index.
DWORD RenumberOldQuantity(DWORD index)
{
    static const DWORD map[] = {0, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14};
    return index < std::size(map) ? map[index] : index;
}

void SerializeWords(CArchive& ar, WORD* words, int n)
{
    for (int i = 0; i < n; ++i) {
        if (ar.IsStoring())
            ar << words[i];
        else
            ar >> words[i];
    }
}

void SerializeDword(CArchive& ar, DWORD& v)
{
    if (ar.IsStoring())
        ar << v;
    else
        ar >> v;
}

} // namespace

DWORD ScopeQuantityBit(int index) { return index >= 0 && index < kScopeQuantityCount ? kQuantities[index].bit : 0; }

const char* ScopeQuantityName(int index)
{
    return index >= 0 && index < kScopeQuantityCount ? kQuantities[index].name : "";
}

int ScopeQuantityIndexOfName(const CString& name)
{
    for (int i = 0; i < kScopeQuantityCount; ++i)
        if (name == kQuantities[i].name) return i;
    return -1;
}

// ---- CScopeToolbar ----

CScopeToolbar::CScopeToolbar() { SetDefaults(); }

void CScopeToolbar::SetDefaults()
{
    autoPause = 0;
    setting16 = 1;
    twoGraphs = 0;
    timePerDivision = CNumber(2.0, kPrefixNone, "s", 5);
    for (CScopeGraph& g : graph) g = CScopeGraph();
    editedGraph = 0;
}

void CScopeToolbar::CopySettings(const CScopeToolbar& other)
{
    autoPause = other.autoPause;
    setting16 = other.setting16;
    twoGraphs = other.twoGraphs;
    timePerDivision = other.timePerDivision;
    graph = other.graph;
    editedGraph = other.editedGraph;
}

DWORD CScopeToolbar::GetQuantityBit(int g) const
{
    return g == 0 || g == 1 ? ScopeQuantityBit(static_cast<int>(graph[g].quantityIndex)) : 0;
}

void CScopeToolbar::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    const WORD v = ar.GetVersion();
    if (v > 3) {
        for (CScopeGraph& g : graph) {
            SerializeWords(ar, g.channel.data(), 4);
            SerializeWords(ar, g.difference.data(), 2);
            SerializeDword(ar, g.quantityIndex);
            g.maximum.Serialize(ar);
            g.minimum.Serialize(ar);
        }
        SerializeWords(ar, &twoGraphs, 1);
        SerializeWords(ar, &autoPause, 1);
        SerializeWords(ar, &setting16, 1);
        SerializeDword(ar, editedGraph);
        timePerDivision.Serialize(ar);
    } else {
        // Oldest layout: plain doubles and prefix steps e (code 4 - e).
        double t = 0, mx = 0, mn = 0;
        LONG et = 0, ey = 0;
        if (ar.IsStoring()) {
            const int ct = timePerDivision.GetMantissa(&t);
            const int cy = graph[0].maximum.GetMantissa(&mx);
            // The minimum shares the maximum's prefix in this layout.
            mn = graph[0].minimum.value / PrefixFactor(cy);
            et = 4 - ct;
            ey = 4 - cy;
            ar << t << mx << mn << et << ey;
        } else {
            ar >> t >> mx >> mn >> et >> ey;
            timePerDivision.SetValue(t, 4 - et);
            graph[0].maximum.SetValue(mx, 4 - ey);
            graph[0].minimum.SetValue(mn, 4 - ey);
            twoGraphs = 0;
            editedGraph = 0;
        }
        SerializeWords(ar, graph[0].difference.data(), 2);
        SerializeWords(ar, &autoPause, 1);
    }
    if (ar.IsLoading()) {
        // A first maximum that is zero, negative or not a number marks a
        // record without usable settings.
        if (!(graph[0].maximum.value >= 1e-24)) SetDefaults();
        if (v <= 4)
            for (CScopeGraph& g : graph) g.quantityIndex = RenumberOldQuantity(g.quantityIndex);
        // An index outside the list or a graph number other than 0 and 1
        // would index the list and the graphs later.
        for (CScopeGraph& g : graph)
            if (g.quantityIndex >= kScopeQuantityCount) g.quantityIndex = kScopeVoltageIndex;
        if (editedGraph > 1) editedGraph = 0;
    }
}

CScopeToolbar*& CScopeToolbar::ActiveViewSettings()
{
    static CScopeToolbar* active = nullptr;
    return active;
}

bool& CScopeToolbar::FollowView()
{
    static bool follow = true;
    return follow;
}

void CScopeToolbar::SerializeDesignItem(CArchive& ar)
{
    CScopeToolbar* view = ActiveViewSettings();
    if (view && FollowView() && (ar.IsDocumentSerialization() || ar.IsStoring())) {
        view->Serialize(ar);
        return;
    }
    CScopeToolbar temporary;
    temporary.Serialize(ar);
}

