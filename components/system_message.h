// CSystemMessage: the illuminated sign.  It shows its message while its
// input is high and blanks while it is low; a message too long for the
// sign's box is cut and ends in "..".  The message is typed in the property
// toolbar.
#pragma once

#include "components/system_output.h"

class CSignText;

enum : int {
    kSignMessageItem = 36053,
    kSignAddCommand = 33890,
};

class CSystemMessage : public CSystemOutput {
    WB_DECLARE_SERIAL(CSystemMessage)
public:
    CSystemMessage();

    // The CSystemOutput record, then the message and the shown text.
    void Serialize(CArchive& ar) override;
    // The pin, then the message box at (77, -2), 50 wide.
    void CreateChildren() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 sets the message (UpdateText) and returns 65; others 0.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // The input test, then the box shows the shown text (input high) or
    // blanks (low).
    int AfterStep() override;

    // An empty message becomes " "; the shown text is the message, cut
    // while the box reports that it overflows, and, when anything was cut,
    // two more characters dropped and ".." appended.  The box then shows it
    // when the state word is non-zero, else blanks.
    void UpdateText();
    // The message box child, or null.
    CSignText* GetSignText() const;

    CString m_strMessage;
    CString m_strShown;
};
