// CWriteBox: the display box of a flowchart.  Its first line is the
// flowchart's name and "Output"; below a blank line it collects what the
// flowchart's display elements print.  When the text no longer fits, the
// oldest printed lines go first; the title line always stays.
#pragma once

#include "flowchart/flow_viewer.h"

class CWriteBox : public CFlowViewer {
    WB_DECLARE_SERIAL(CWriteBox)
public:
    CWriteBox();
    ~CWriteBox() override;

    // The text fitted again.
    void OnSimulationReset() override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    // 36053 binds the box to another flowchart: 65.
    int OnPropertyCommand(int commandId, const CString& text) override;
    void RefreshText(int redraw) override;

    // ---- what the start tells it ----
    // At the start of a run: the title alone.
    void Clear();
    void AppendText(const CString& text);
    // The value printed with "%d".
    void AppendNumber(int value);

    // The title line and the blank line after it.
    CString Title() const;

    // Drops the fewest oldest printed lines that make the text fit (all of
    // them when even the title alone does not).  The text gets shorter as
    // lines go, so the count is found by halving: a few layouts of the text
    // instead of one per line (a narrow box filled from a file holds
    // thousands of one-character lines, and dropping them one at a time
    // took minutes).  FitOneLineAtATime is the plain loop, kept to check it.
    void Fit();
    void FitOneLineAtATime();
};
