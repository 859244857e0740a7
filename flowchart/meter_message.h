// CFlowMeterMessage: the one-line status text that a flowchart element, an
// input box, the microcontroller part or a systems output puts beside
// itself: an element's caption, a pin name or a live value.  It keeps the
// tag (the text last asked for, " " for none) that the info bubble shows.
// It is also the illuminated sign's message box (CSignText), which the
// component library builds by class name.
#pragma once

// The text part first: the sign interface uses the class library's types.
#include "model/text/text.h"

#include "components/sign_text.h"

class CFlowMeterMessage : public CText, public CSignText {
    WB_DECLARE_SERIAL(CFlowMeterMessage)
public:
    CFlowMeterMessage();
    // Box x - 25 .. x + width by y - 5 .. y + 9; alignment 4 for mode 1,
    // else 14; the tag and the shown text take text.
    CFlowMeterMessage(int x, int y, const CString& text, int width, int mode, int value);
    // Box x - 25 .. x + width by y - 5 .. y + height, alignment 14; the
    // rich text is emptied only when keep is 0.
    CFlowMeterMessage(int x, int y, const CString& text, int width, int height, bool keep, int value);

    // The CText record, the tag, then the value (from (4275, 8369) on).
    void Serialize(CArchive& ar) override;

    // ---- CSignText ----
    void SetUp(CPoint ownerPlace, int x, int y, const CString& text, int width, int mode, int value) override;
    // Stores the tag; when the text differs from the one shown it is shown
    // and redrawn with the flags.
    void ShowMessage(const CString& text, DWORD flags, const CString& tag) override;
    void ShowText(const CString& text, DWORD flags) override { ShowMessage(text, flags, text); }
    bool TextOverflows(const CString& text) override;

    // Shortens the tag by its last character while it overflows; a
    // shortened text loses two more characters and ends in "..".
    void FitText();
    void SetTag(const CString& tag) { m_strTag = tag; }
    const CString& GetTag() const { return m_strTag; }
    CString GetShownText() const { return rtf.text; }
    int GetValue() const { return static_cast<int>(m_dwValue); }
    // The message's rich text into the shared editor (in-place editing of
    // a pin or element name).
    void PutIntoEditor();

    // ---- CPart overrides ----
    void AfterParentPress() override;
    int HasInfo(int, int) override { return m_strTag != " "; }
    int BuildInfo(CString& text, UINT, CPoint) override
    {
        text = m_strTag;
        return 1;
    }
    int EditInPlace(CString* text) override;

    // Set while an edit ends through the message: the edited text is the tag.
    static bool IsEndingEdit();

private:
    void Lay(int x, int y, int width, int height, int alignment);

    CString m_strTag = " ";
    DWORD m_dwValue = 0;
};
