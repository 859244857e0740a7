// The design commands of the menus and toolbars that act on the active
// design: the View toggles, Options, Publish, Measure and Sound commands,
// the part-toolbar navigation, and the commands that go to the part the
// property toolbar shows.  Each command has its update rule (enabled,
// checked) in a table; the handlers talk to the windows only through
// CViewCommandHost, so the rules and actions are tested without windows.
#pragma once

#include "app/commands.h"
#include "platform/cstring.h"
#include "platform/geometry.h"

#include <vector>

class CCircuit;
class CPart;
struct CLogicDlgData;
struct CMeterSettings;
struct CMeasurementUnitsDlgData;
struct CSampleRateDlgData;
struct CSoundLengthDlgData;
struct CPageSizeDlgData;
struct CLockedConstraintsData;
class CCopyDataForm;
struct CSaveSoundChoice;
struct CFlowchartOptionsData;

class CViewCommandHost {
public:
    virtual ~CViewCommandHost() = default;
    // The active design (null: none).
    virtual CCircuit* GetDesign() = 0;
    virtual void Repaint() = 0;
    // Zoom and page changes: the scroll sizes follow.
    virtual void UpdateScrollSizes() { Repaint(); }
    // The part toolbars are rebuilt (symbol style changed).
    virtual void RefreshToolBars() {}
    // The property toolbar is rebuilt or only re-reads its values.
    virtual void RefreshPropertyBar() {}
    virtual void RefreshPropertyValues() {}
    virtual void EndHover() {}
    virtual void StopSound() {}
    // The main frame: whether this edition has a toolbar, and showing it.
    virtual bool HasToolBar(int id) = 0;
    virtual void ShowToolBar(int id) = 0;
    virtual int CurrentToolBar() { return 479; }
    // Runs an Add-part command through the view.
    virtual void AddPart(int commandId) = 0;
    // The part the property toolbar shows (null: none).
    virtual CPart* PropertyPart() { return nullptr; }
    virtual void DeselectAll() {}
    // The frame's title follows the design's title.
    virtual void TitleChanged() {}
    virtual CPoint ScrollPosition() { return {}; }
    virtual void ShowMessage(const CString& text) = 0;
    // The sound probe (channel 4) exists / has samples to play.
    virtual bool HasSoundProbe() { return false; }
    virtual bool CanPlaySound() { return false; }
    // Whether this program can make the part of an Add command.
    virtual bool CanCreatePart(int commandId) { (void)commandId; return false; }
    virtual bool IsSoundLooping() { return false; }
    // A new sample rate: the sound output says whether it can be heard.
    virtual void CheckSampleRate(int rate) { (void)rate; }
    // The active design window's graph pane: whether it can be shown, and
    // showing it.
    virtual bool CanShowGraph() { return false; }
    virtual void ShowGraph() {}
    // A status-bar text from the string table.
    virtual void ShowStatusText(unsigned stringId) { (void)stringId; }
    // "Select components when adding" (the canvas's setting).
    virtual bool GetSelectWhenAdding() { return false; }
    virtual void SetSelectWhenAdding(bool) {}
    virtual void SetKeepSelection(bool) {}

    // The dialogs: true on OK (the data then holds the user's entries).
    virtual bool EditLogic(CLogicDlgData& data) = 0;
    virtual bool EditTitle(CString& title) = 0;
    virtual bool EditMeterSettings(CMeterSettings& data) = 0;
    virtual bool EditUnits(CMeasurementUnitsDlgData& data) = 0;
    virtual bool EditSampleRate(CSampleRateDlgData& data) = 0;
    virtual bool EditSoundLength(CSoundLengthDlgData& data) = 0;
    virtual bool EditPageSize(CPageSizeDlgData& data) = 0;
    virtual bool EditLockedConstraints(CLockedConstraintsData& data) = 0;
    virtual bool EditDefaultFont(CCircuit& design) = 0;
    // Font Rescale Options on the program-wide factor.
    virtual bool EditRescaleFactor(double& factor) { (void)factor; return false; }
    // Copy Probe Data: the quantity boxes; then the text on the clipboard
    // (false when the clipboard refused it).
    virtual bool EditCopyData(CCopyDataForm& form) { (void)form; return false; }
    virtual bool PutTextOnClipboard(const CString& text) { (void)text; return false; }
    // Save Sound: what to save, then the file; false on Cancel.
    // Options/Flowchart: the design's flowchart settings.
    virtual bool EditFlowchartOptions(CFlowchartOptionsData& data)
    {
        (void)data;
        return false;
    }
    virtual bool EditSaveSound(CSaveSoundChoice& choice, CString* path)
    {
        (void)choice, (void)path;
        return false;
    }
};

// Option bits of the design's option word used by the commands.
enum : unsigned {
    VOPT_VALUES = 0x1,
    VOPT_PROBES = 0x2,
    VOPT_ANIMATION = 0x4,
    VOPT_MUTE = 0x8,
    VOPT_CURRENT_ARROWS = 0x10,
    VOPT_LOGIC_SIGNALS = 0x20,
    VOPT_BAR_VOLTMETERS = 0x40,
    VOPT_ZOOM = 0x100,
    VOPT_INDESTRUCTIBLE = 0x1000,
    VOPT_GREEN_FILL = 0x2000,
    VOPT_LOCKED = 0x4000,
    VOPT_NO_LOCKING = 0x8000,
    VOPT_BUBBLES = 0x10000,
    VOPT_FORCE_ARROWS = 0x20000,
    VOPT_TORQUE_ARROWS = 0x40000,
    VOPT_HANDLES = 0x100000,
    VOPT_IEC_ANALOG_OFF = 0x200000,
    VOPT_IEC_LOGIC_OFF = 0x400000,
    VOPT_INTERNAL_RESISTANCE = 0x800000,
    VOPT_VALUES_FIXED = 0x4000000,
};
// Permission bits.
enum : unsigned { PERMIT_EDIT = 0x1, PERMIT_SNAP = 0x10 };

// One part-toolbar navigation row: the category command, the toolbar it
// shows and the Add command used when the edition lacks that toolbar.
struct CNavigationRow {
    int command;
    int toolbar;
    int fallbackAdd;
};
const std::vector<CNavigationRow>& NavigationTable();
constexpr int kMainToolBarId = 479;

class CViewCommands : public CCommandTarget {
public:
    explicit CViewCommands(CViewCommandHost& host);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // The toolbar stack (up to five ids).
    const std::vector<int>& ToolBarStack() const { return m_stack; }
    void ShowCategory(int toolbar, int fallbackAdd);
    void Back();
    void BackToMain();
    bool GetKeepSelection() const { return m_keepSelection; }

    struct Toggle;

private:
    const Toggle* FindToggle(int id) const;
    void RunToggle(const Toggle& t, CCircuit& design);
    bool RunOther(int id, CCircuit* design);
    bool UpdateOther(CCmdUI& ui, CCircuit* design);
    void ChangeSetting(CCircuit& design);
    // Z-order, align and same size on the selection (34196-34202).
    void Arrange(int id, CCircuit& design);
    // Edit/Copy Probe Data: the quantity dialog, then the text as the
    // clipboard's text.
    void CopyProbeData(CCircuit& design);
    // Sound/Save Sound: the whole recording or its selection as a WAVE file.
    void SaveSound(CCircuit& design);
    // Sound/Play Sound: the components play the selection or the whole
    // recording.
    void PlaySound(CCircuit& design);

    CViewCommandHost& m_host;
    std::vector<int> m_stack;
    bool m_keepSelection = false;
    int m_programSettings = 0;
};
