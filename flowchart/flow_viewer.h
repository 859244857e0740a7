// The text panels that show a running flowchart to the user: CFlowViewer,
// the base of the display box (CWriteBox, what the flowchart's display
// elements print) and the monitor (CMonitor, the running state and the
// variables).  A panel is a text label of the design, bound to one
// flowchart by the flowchart's name (compared without case); the
// flowchart's start finds its panels by that name whenever it tells them
// something (flow_start_panels.cpp).
#pragma once

#include "model/text/textlabel.h"

class CControlItemList;

// The text style of a viewer: bordered, several lines, not editable.
constexpr uint32_t kFlowViewerStyle = 259;

class CFlowViewer : public CTextLabel {
    WB_DECLARE_SERIAL(CFlowViewer)
public:
    CFlowViewer();
    ~CFlowViewer() override;

    // The label record, then the flowchart name, running flag, panel
    // text, previous name, reserved string and monitor flag.
    void Serialize(CArchive& ar) override;
    // The resize frame; the panel text into the text part.
    void CreateChildren() override;

    // The flowchart the panel is bound to.
    const CString& GetTargetName() const { return m_strFlowchart; }
    // Puts the panel text into the text part and redraws it.
    void ShowPanelText(bool redraw);
    // A text that does not fit the panel (measured with its format).
    bool TooLong(const CString& text);
    // What the panel shows again after its flowchart name changed.
    virtual void RefreshText(int redraw) {}

    CString m_strFlowchart;
    CString m_strPanelText;
    CString m_strPrevName;
    CString m_strReserved;
    int m_bRunning = 0;
    int m_bMonitor = 0;

protected:
    // The items of a panel's property toolbar and its flowchart choice.
    static CString FlowchartNames(const CPartTree* design);
    int TakeFlowchartName(int commandId, const CString& text);
};
