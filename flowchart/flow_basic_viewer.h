// CPBasicViewer: a text panel of the design that shows one flowchart as
// BASIC while the user edits it.  It names its flowchart and a dialect
// ("BASIC C1" or "BASIC C2"); the flowchart's start exports the program in
// that dialect and hands it over (CFlowStart::RefreshBasicViewers), and the
// viewer frames it under a heading ("Flowchart 1 - BASIC C1") and cuts what
// does not fit by whole lines, ending in "more ..".
#pragma once

#include "model/text/textlabel.h"

class CPBasicViewer : public CTextLabel {
    WB_DECLARE_SERIAL(CPBasicViewer)
public:
    CPBasicViewer();
    ~CPBasicViewer() override;

    // The label record, then the title, the flowchart name, the dialect and
    // the shown text.
    void Serialize(CArchive& ar) override;
    // The resize frame; the shown text laid out.
    void CreateChildren() override;
    // The shown text cut again to the panel.
    void OnSimulationReset() override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    // 36053 the flowchart, 36059 the dialect: 65; nothing outside a design.
    int OnPropertyCommand(int commandId, const CString& text) override;

    // The heading alone, then the bound flowchart's program when a start
    // of that name stands in the design.
    void RefreshText(int code);
    // The flowchart's program under the heading.
    void ShowProgram(const CString& program, bool redraw);

    const CString& GetTargetName() const { return m_strFlowchart; }
    const CString& GetLanguage() const { return m_strLanguage; }
    const CString& GetShownText() const { return m_strShown; }
    // " - BASIC C2" for that dialect, else " - BASIC C1".
    CString Suffix() const;

    CString m_strTitle;
    CString m_strFlowchart;
    CString m_strLanguage = "BASIC C1";
    CString m_strShown;

private:
    // The shown text into the label; while it does not fit, its last two
    // lines give way to "more ..".
    void LayOut();
    bool TooLong(const CString& text);
};
