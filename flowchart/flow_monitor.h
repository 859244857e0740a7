// CMonitor: shows whether its flowchart runs and the value of each of its
// variables, one "name : value" line each.  A value of 0 or more prints as
// the number, -2 (above the range) as "++++", -10 (below it) as "----";
// a variable without a value (-1) is left out.  What does not fit ends in
// a "more .." line.
#pragma once

#include "flowchart/flow_viewer.h"

class CMonitor : public CFlowViewer {
    WB_DECLARE_SERIAL(CMonitor)
public:
    CMonitor();
    ~CMonitor() override;

    // The text fitted again.
    void OnSimulationReset() override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    // 36053 binds the monitor to another flowchart: 65.
    int OnPropertyCommand(int commandId, const CString& text) override;
    void RefreshText(int redraw) override;

    // One variable as the start keeps it.
    struct Entry {
        CString name;
        int value = -1;
    };
    // The start's table (the first count entries), and whether it runs.
    void Update(const Entry* table, int count, bool running);

    // "Monitoring " + name + " : " + "Running " or "Stopped".
    CString FirstLine(bool running) const;
    // The shown value of a variable ("" for none).
    static CString ValueText(int value);

private:
    // Drops the last two lines for a "more .." while the text does not fit.
    void Fit();
};
