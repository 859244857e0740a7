// CGroupBox: a captioned rectangle drawn around parts.  Fixed, it is a frame
// that only its resize handles answer to; grouping, it owns the top-level
// parts inside it (flag PF_ANCHORED): selecting it selects them, and a click
// inside it reaches an operable control under the click.
#pragma once

#include "model/text/textlabel.h"

enum : int {
    IDC_GROUPBOX_FIXED = 36070,
    IDC_GROUPBOX_GROUPING = 36071,
    ID_ADD_GROUPBOX = 33523,
};

class CGroupBox : public CTextLabel {
    WB_DECLARE_SERIAL(CGroupBox)
public:
    CGroupBox();
    CGroupBox(CPartTree* design, const CCharFormat* designFormat);

    // The CTextLabel record, then the fixed flag (word) and the owning
    // design as a reference.
    void Serialize(CArchive& ar) override;

    // ---- virtual operations introduced here, in their order ----
    virtual int ContainsWhenFixed(CPoint point);
    virtual void SetGrouping(int grouping);
    virtual int IsGrouping() { return fixed ? 0 : 1; }

    // ---- CPart operations ----
    int IsGroupBox() override { return 1; }
    DWORD GetHitClass() override { return 96; }
    bool HasResizeFrame() override { return fixed != 0; }
    int CanDrop(CPartTree* design) override;
    int CollectEnclosed(CPartTree* design) override;
    int ReleaseEnclosed(CPartTree* design) override;
    int PtInPart(CPoint point) override;
    int IntersectsRect(const CRect& rect) override;
    int IntersectsPart(CPart* other) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int Draw(DWORD drawFlags) override;
    void AfterLoad(CPartTree* design, DWORD loadFlags, WORD version) override;
    void OnSimulationReset() override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // The top-level parts of the design other than the box that lie in it.
    std::vector<CPart*> EnclosedParts(CPartTree* design);

    int fixed = 1;
    CPart* pressTarget = nullptr;
};
