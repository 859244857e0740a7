// The property toolbar's rules, without windows: the item list of the part
// it shows, the texts it refreshes, which items are enabled, and what a
// property command's result bits make the view do.  The toolbar widget
// (control_toolbar.h) turns the items into controls and calls this.
#pragma once

#include "app/commands.h"
#include "model/parts/controlitem.h"

#include "model/display/bitmap256.h"
#include "model/display/gdi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class CCircuit;
class CPart;

// What the property toolbar needs of the design view.
class CPropertyBarHost {
public:
    virtual ~CPropertyBarHost() = default;
    virtual CCircuit* GetDesign() = 0;
    // Result 8: the part applies its settings text (a turn) and is dropped
    // again where it stands.
    virtual void ReorientPart(CPart* part);
    // The part is erased and drawn again.
    virtual void RedrawPart(CPart* part);
    // Result 0x10: the toolbars are rebuilt.
    virtual void RebuildBars() {}
    // Result 0x40: the toolbar re-reads its values.
    virtual void RefreshValues() {}
    // An item with option 0x1 adds a new part through the view.
    virtual void AddPart(int commandId) { (void)commandId; }
    // The design view's state that suppresses the leading delete button.
    virtual bool SuppressDelete() { return false; }
};

// Result bits of CPart::OnPropertyCommand.
enum : int {
    PR_CHANGED = 0x1,
    PR_CLAMPED = 0x2,
    PR_REFUSED = 0x4,
    PR_REDROP = 0x8,
    PR_REBUILD = 0x10,
    PR_NO_REDRAW_CHANGE = 0x20,
    PR_REFRESH = 0x40,
    PR_NO_ERASE = 0x80,
};

// The spinner's acceleration: 1 while not held or held up to 2 s, 2 up to
// 5 s, 3 up to 8 s, 4 up to 12 s, 5 beyond.
int SpinAcceleration(uint32_t heldMs);

// The spinner's press clock: the tick of the button press, forgotten on
// release.  The clock is passed in, so tests drive it.
class CSpinClock {
public:
    void Press(uint32_t now) { m_pressed = now; m_held = true; }
    void Release() { m_held = false; }
    int Acceleration(uint32_t now) const { return m_held ? SpinAcceleration(now - m_pressed) : 1; }

private:
    uint32_t m_pressed = 0;
    bool m_held = false;
};

// The toolbar from which parts are dragged: a left press is remembered;
// when the pointer, with the button held, goes more than 4 pixels below
// the press point (and right of the first button's left edge), the press
// ends there, as if released at the press point, so that the part the
// button adds follows the mouse instead.
class CDragBarTracker {
public:
    static constexpr int kThreshold = 4;
    void Press(CPoint at)
    {
        m_press = at;
        m_armed = true;
    }
    void Release() { m_armed = false; }
    // True once per press: end the press now, at PressPoint().
    bool Move(CPoint at, bool leftHeld, int firstButtonLeft)
    {
        if (!m_armed || !leftHeld) return false;
        if (at.y - m_press.y <= kThreshold || at.x < firstButtonLeft) return false;
        m_armed = false;
        return true;
    }
    CPoint PressPoint() const { return m_press; }

private:
    CPoint m_press;
    bool m_armed = false;
};

class CControlBar {
public:
    explicit CControlBar(CPropertyBarHost& host) : m_host(host) {}

    // Shows a part's settings (null clears): the part fills the list, the
    // toolbar adds its delete and back buttons.
    void ShowPart(CPart* part);
    // A part that lives outside the design (the graph pane's graph part):
    // shown until another part is; its owner clears it before it goes.
    void ShowOutsidePart(CPart* part);
    // The shown part while it still stands in the active design or in the
    // design's floating design (a part deleted with its design, by undo or
    // by a close, is forgotten).
    CPart* Part() const;
    const CControlItemList& Items() const { return m_items; }
    // The delete button leads the list (the toolbar's delete setting).
    void SetLeadingDelete(bool on) { m_leadingDelete = on; }
    // The part's bitmap buttons add parts (option 0x1) instead of sending
    // commands (the toolbar's add mode).
    void SetAddMode(bool on) { m_addMode = on; }
    // The picture of a bitmap button: its cell in the part's strip (32
    // pixels square); for an orientation button without one, the shared
    // orientation picture; the toolbar's own delete and back pictures;
    // else a null image.
    QImage ButtonPicture(int id) const;

    // The value texts the part gives, one per item (none for the items it
    // leaves empty; a single space becomes an empty text).  With liveOnly
    // only the items with option 0x20.
    std::vector<std::optional<CString>> ReadTexts(bool liveOnly) const;
    // The enabled state of the item at index.
    bool IsItemEnabled(int index) const;

    // A property command from the toolbar or the menus: refused (0) while a
    // part has blown or the part disables the item; otherwise the part's
    // answer, acted on (design changed, redraw, re-drop, rebuild).
    int Command(int id, const CString& text);
    // The text of an edit item was confirmed (Enter, or the box lost the
    // focus): the part takes it once more and, when it kept its value
    // (no number in the text: an emptied box) or limited it to its range,
    // *message says so with the value it now holds.  The box shows that
    // value again.  Returns the part's answer.
    int ConfirmText(int id, const CString& text, CString* message);
    // The in-place editor's text changed (command 36089, whatever the
    // items): the shown part takes it; its answer is acted on as above.
    int EditBoxCommand(const CString& text);
    // A button of this id runs a command of the application (the toolbar's
    // delete and back buttons, and a part's buttons that carry a view
    // command, such as a probe's Graph and Erase Data) along the menu's
    // route, enabled by the menu's rule; the other ids are the part's own.
    static bool IsRoutedCommand(int id);
    // Delete and Back: always offered while a part's toolbar shows.
    static bool IsDeleteOrBack(int id);
    // Update of a property command id: false when the toolbar does not
    // show an item with that id.
    bool UpdateCommand(CCmdUI& ui) const;
    // A control of the item took or lost the keyboard focus.  Gaining it on
    // a live item (option 0x20) pauses the design, so the value typed is not
    // overwritten while the simulation runs.  Losing it: true when the
    // focus goes back to the design view (the design is not paused).
    bool OnItemFocus(int id, bool gained);

private:
    // Sends a property command to the part and acts on the result bits.
    int Dispatch(CPart* part, int id, const CString& text);

    CPropertyBarHost& m_host;
    // Read through Part(), which checks that it still stands.
    CPart* m_part = nullptr;
    CPart* m_outside = nullptr;
    CControlItemList m_items;
    bool m_leadingDelete = false;
    bool m_addMode = false;
    CBitmap m_strip;
    std::map<int, int> m_cells; // button id -> cell of the strip
    mutable CBitmap256 m_orientations; // loaded on first use
    bool m_uprightAtZero = false;      // which half of the orientation pictures
    mutable std::map<int, CBitmap256> m_icons; // delete and back, likewise
};

// The command target of the property ids (36043-36050, 36053-36098,
// 36100-36500): they go to the part the toolbar shows.
class CPropertyCommands : public CCommandTarget {
public:
    explicit CPropertyCommands(CControlBar& bar) : m_bar(bar) {}
    static bool IsPropertyId(int id);
    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

private:
    CControlBar& m_bar;
};
