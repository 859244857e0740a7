// CInputBox: a one-line box bound to a flowchart by name, into which the
// user types a number when one of the flowchart's read elements asks for
// input.  The start arms every box bound to it; an armed box is editable
// and its submit button enabled.  Submitting hands the number (C atoi of
// the typed text, so "12ab" gives 12 and letters alone 0) to the start
// that armed it, and disarms the box.
#pragma once

#include "model/text/textlabel.h"

class CFlowStart;
class CFlowSubmitButton;

// Text styles: disarmed (bordered, digits only, not editable) and armed.
constexpr uint32_t kInputBoxDisarmed = 265;
constexpr uint32_t kInputBoxArmed = 9;

class CInputBox : public CTextLabel {
    WB_DECLARE_SERIAL(CInputBox)
public:
    CInputBox();
    ~CInputBox() override;

    // The label record, then the reserved string, the label text, the
    // flowchart name, the value text and the armed flag.
    void Serialize(CArchive& ar) override;
    // The resize frame and the submit button.
    void CreateChildren() override;
    // From the submit button: 1 the button went down (nothing yet), 0 it
    // came up (the typed number is submitted); any other value only shows
    // the number and disarms.
    int SetInputValue(CPartTree* design, int value) override;
    bool HasResizeFrame() override { return false; }
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    // 36053 binds the box to another flowchart: 65.
    int OnPropertyCommand(int commandId, const CString& text) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // ---- what the start tells it ----
    void Arm(CFlowStart* start);
    void Disarm();

    void RefreshText();
    const CString& GetTargetName() const { return m_strFlowchart; }
    bool IsArmed() const { return m_bArmed != 0; }
    CFlowStart* GetWaitingStart() const { return m_pWaiting; }
    CFlowSubmitButton* GetSubmitButton() const;

    CString m_strReserved;
    CString m_strLabel;
    CString m_strFlowchart;
    CString m_strValue = " ";
    int m_bArmed = 0;

private:
    CFlowStart* m_pWaiting = nullptr;
};
