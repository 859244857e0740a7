// CScopeToolbar, the graph part: the settings of the graph window (time per
// division; per graph the quantity, the maximum and minimum, which probe
// channels and which channel differences are drawn), edited on the property
// toolbar like a part and carried in the design file.  The quantity list
// the graphs choose from lives here too.
#pragma once

#include "model/parts/part.h"
#include "model/text/number.h"

#include <array>

class CScopeToolbar;

// What the graph part asks of the graph view that embeds it.
class CScopeView {
public:
    // The settings changed: lay out, scale and draw again.
    virtual void Relayout() = 0;
    // "Advanced Graph Controls" on the graph part; true on OK.
    virtual bool EditAdvanced(CScopeToolbar& settings)
    {
        (void)settings;
        return false;
    }

protected:
    ~CScopeView() = default;
};

// Quantity bits shared by probes and graphs.
enum : DWORD {
    QTY_VOLTAGE = 1,
    QTY_CURRENT = 2,
    QTY_POSITION_X = 4,
    QTY_VELOCITY_X = 8,
    QTY_ACCELERATION_X = 16,
    QTY_ANGLE = 32,
    QTY_ANGULAR_VELOCITY = 64,
    QTY_ANGULAR_ACCELERATION = 128,
    QTY_ENERGY = 256,
    QTY_CHARGE = 512,
    QTY_POWER = 1024,
    QTY_MASS = 2048,
    QTY_POSITION_Y = 4096,
    QTY_VELOCITY_Y = 8192,
    QTY_ACCELERATION_Y = 0x4000,
    QTY_SPEED = 0x8000,
};

// The graph part's quantity list: 15 entries in alphabetical order of their
// names; the index is what the record stores.
constexpr int kScopeQuantityCount = 15;
constexpr int kScopeVoltageIndex = 14;
// The probe quantity bit of a list index (0 for an index outside the list).
DWORD ScopeQuantityBit(int index);
// The list name ("Acceleration x", ... "Voltage"); empty outside the list.
const char* ScopeQuantityName(int index);
// The index whose name matches exactly, or -1.
int ScopeQuantityIndexOfName(const CString& name);

// The settings of one graph.
struct CScopeGraph {
    CNumber maximum{10.0, kPrefixNone, "V", 5};
    CNumber minimum{0.0, kPrefixNone, "V", 5};
    DWORD quantityIndex = kScopeVoltageIndex;
    std::array<WORD, 4> channel{1, 1, 1, 1};
    // Pairs 0-1 and 2-3 drawn as one difference curve.
    std::array<WORD, 2> difference{0, 0};
};

class CScopeToolbar : public CPart {
    WB_DECLARE_SERIAL(CScopeToolbar)
public:
    CScopeToolbar();
    // The CPart record, then the graph settings (two layouts: files of
    // version 3 or below hold the first graph's limits only).
    void Serialize(CArchive& ar) override;
    int IsDeletable() override { return 1; }
    bool CanSelectWhenLocked(CPartTree*) override { return true; }
    // The property toolbar (scope_toolbar_props.cpp): the quantity list,
    // Max, Min and their prefix, the time per division, advanced options
    // and Erase Data.
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // Every setting back to a new graph's.
    void SetDefaults();
    // The settings of another graph part (not its place or owner).
    void CopySettings(const CScopeToolbar& other);
    // 2 with the second graph switched on, else 1.
    int GetGraphCount() const { return twoGraphs ? 2 : 1; }
    DWORD GetQuantityBit(int graph) const;

    CScopeView* owner = nullptr; // the graph view that embeds it
    WORD autoPause = 0;
    WORD setting16 = 1;
    WORD twoGraphs = 0;
    CNumber timePerDivision{2.0, kPrefixNone, "s", 5};
    std::array<CScopeGraph, 2> graph;
    DWORD editedGraph = 0;

    // The graph settings of the active graph view, which a design that is
    // loaded or saved through its document reads into or writes from; null
    // while no graph view is active (a throw-away default object is used).
    static CScopeToolbar*& ActiveViewSettings();
    // Cleared by the view's paste and insert-from-file commands, so that the
    // graph settings of an inserted design do not replace the view's.
    static bool& FollowView();
    // The design record's last item: the graph settings record, through the
    // active view's settings or a temporary default object.
    static void SerializeDesignItem(CArchive& ar);
};

