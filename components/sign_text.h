// The message box of the illuminated sign.  The flowchart library's meter
// message part (class kSignTextClass) provides it: the sign builds it by
// its class name and reaches it through this interface, so the component
// library does not depend on the flowchart library.  Without that class in
// the program the sign shows its picture and no text.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"

class CSignText {
public:
    // The box: from x - 25 to x + width and from y - 5 to y + 9, x and y
    // given from the owner's place; mode 1 chooses text style 4, any other
    // style 14; the tag starts as the text.
    virtual void SetUp(CPoint ownerPlace, int x, int y, const CString& text, int width, int mode, int value) = 0;
    // Stores the tag; when the text differs from the one shown, shows it
    // and redraws with the flags.
    virtual void ShowMessage(const CString& text, DWORD flags, const CString& tag) = 0;
    // ShowMessage with the text as its own tag.
    virtual void ShowText(const CString& text, DWORD flags) = 0;
    // The text does not fit the box.
    virtual bool TextOverflows(const CString& text) = 0;

protected:
    ~CSignText() = default;
};

inline constexpr const char* kSignTextClass = "CFlowMeterMessage";
