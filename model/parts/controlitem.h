// Property-toolbar item records: how a part lists its editable settings
// (edit boxes, spin buttons, static texts, buttons, unit pictures, drop
// lists) for the property toolbar, which sends what the user does back to
// the part as property commands keyed by the item ids.
#pragma once

#include "platform/cstring.h"

#include <cstdint>

class CFont;

// Item types.
enum : int {
    CI_EDIT = 0,
    CI_STATIC = 1,
    CI_SPIN = 2,
    CI_TOOLBUTTON = 3,
    CI_TOOLBUTTON_LOCKED = 4,
    CI_SEPARATOR = 5,
    CI_UNITPICTURE = 6,
    CI_PUSHBUTTON = 7,
    CI_PUSHBUTTON_LOCKED = 8,
    CI_DROPLIST = 9,
};

// Option bits.
enum : uint32_t {
    CIO_ADDS_PART = 0x1,    // pressing it adds a part through the view's add command
    CIO_DISABLED = 0x2,     // always disabled
    CIO_LOCK_DISABLED = 0x4, // disabled while the design is locked
    CIO_EDIT_LOCKED = 0x8,  // enabled when the part can be edited in a locked design
    CIO_LIVE = 0x20,        // refreshed while the simulation runs
};

// A spin button's press reaches the part as the property command of the
// spin item's id whose text is the signed step amount: "+n" for a press
// upwards, "-n" for a press downwards, n being the spinner's acceleration
// (1 to 5; a value's step grows tenfold per level).
CString SpinCommandText(int amount, bool down);
// The signed amount of a spin command's text (0 when it is none).
int SpinAmount(const CString& text);

// The default width of an item type (pixels).
int DefaultItemWidth(int type);

class CControlItem {
public:
    CControlItem() = default;
    // label from the string table (0: none), default options.
    CControlItem(int type, unsigned labelId, int id, int width);
    CControlItem(int type, const CString& label, int id, int width);
    CControlItem(int type, const CString& label, int id, int width, uint32_t options);

    void SetDefaultFlags();
    void SetEnabled(bool on) { SetFlags(CIO_EDIT_LOCKED, on); }
    void SetFlag1(bool on) { SetFlags(CIO_ADDS_PART, on); }
    void SetFlag2(bool on) { SetFlags(CIO_DISABLED, on); }
    uint32_t SetFlags(uint32_t mask, bool on)
    {
        options = on ? (options | mask) : (options & ~mask);
        return options;
    }

    int reserved = 0;
    int type = CI_EDIT;
    CString label;
    int width = -1;
    int id = 0;
    CFont* font = nullptr;
    uint32_t options = 0;
};

// Bitmap id of a unit picture label ("Ohms" 355, "hFE" 356, ...), 0 for none.
int UnitPictureBitmap(const CString& label);

class CControlItemList {
public:
    static constexpr int kCapacity = 30;

    CControlItemList() = default;
    explicit CControlItemList(int listType) { AddStandardItems(listType); }

    // Appends an item; false when the list is full.
    bool Add(const CControlItem& item);
    int FindById(int id) const;
    void SetItemText(int id, const CString& text, int width);
    void SetItemTextId(int id, unsigned stringId, int width);
    // The standard item sets 0..4 of value-carrying parts.
    void AddStandardItems(int listType);

    int GetCount() const { return m_nCount; }
    const CControlItem& operator[](int i) const { return m_items[i]; }
    CControlItem& operator[](int i) { return m_items[i]; }

    int m_nHeader = 0;
    CControlItem m_items[kCapacity];
    int m_nCount = 0;
    int m_nOption1 = 0;
    int m_nOption2 = 0;
    int m_nOption3 = 0;
};
