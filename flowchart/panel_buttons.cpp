#include "flowchart/panel_buttons.h"

#include "model/display/visual.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CFlowStartButton, "CKey", 2)
WB_IMPLEMENT_SERIAL(CFlowRecordButton, "CKey", 2)
WB_IMPLEMENT_SERIAL(CFlowSubmitButton, "CKey", 2)
WB_IMPLEMENT_SERIAL(CFlowMoreArrow, "CKey", 2)

namespace {
constexpr WORD kDisabled = 2;

// The picture sets (bitmap, frames, size); the buttons keep their shape
// when their owner turns.
CVisual& StartPicture()
{
    static CVisual picture(0, 0, 553, 2, 0, 0, 15, 15);
    return picture;
}
CVisual& RecordPicture()
{
    static CVisual picture(0, 0, 585, 2, 0, 0, 15, 15);
    return picture;
}
CVisual& SubmitPicture()
{
    static CVisual picture(0, 0, 578, 3, 0, 0, 15, 15);
    return picture;
}
CVisual& MorePicture()
{
    static CVisual picture(0, 0, 603, 2, 0, 0, 12, 12);
    return picture;
}

void TakePicture(CKey* key, CVisual& picture)
{
    key->m_pVisual = &picture;
    const CSize s = picture.GetSize();
    key->m_rect.SetRect(0, 0, s.cx, s.cy);
}

// The state's frame (a damaged file's state shows frame 0), whatever the
// design's animation option: the panels have no other picture of them.
int DrawButton(CKey* key, DWORD flags)
{
    if (!key->m_pVisual) return 0;
    const int frames = std::max(1, key->m_pVisual->GetFrameCount());
    const int frame = key->m_wState < frames ? key->m_wState : 0;
    key->m_pVisual->DrawWhole(key->m_rect.left, key->m_rect.top, frame, 0, 0);
    return key->CPart::Draw(flags);
}
} // namespace

CFlowStartButton::CFlowStartButton() { TakePicture(this, StartPicture()); }

CFlowStartButton::CFlowStartButton(int side, CPart* owner) : CFlowStartButton()
{
    m_pOperated = owner;
    const CPoint offset(-10, -2);
    PlaceLabel(side, owner, &offset);
}

int CFlowStartButton::Draw(DWORD flags) { return DrawButton(this, flags); }

CFlowRecordButton::CFlowRecordButton() { TakePicture(this, RecordPicture()); }

CFlowRecordButton::CFlowRecordButton(int side, CPart* owner) : CFlowRecordButton()
{
    m_pOperated = owner;
    const CPoint offset(-m_rect.Width() - 10, -2);
    PlaceLabel(side, owner, &offset);
}

int CFlowRecordButton::Draw(DWORD flags) { return DrawButton(this, flags); }

CFlowSubmitButton::CFlowSubmitButton()
{
    TakePicture(this, SubmitPicture());
    m_wState = kDisabled;
}

CFlowSubmitButton::CFlowSubmitButton(int side, CPart* owner) : CFlowSubmitButton()
{
    m_pOperated = owner;
    PlaceLabel(side, owner, nullptr);
}

void CFlowSubmitButton::SetEnabled(bool enabled, DWORD drawFlags)
{
    const WORD state = enabled ? 0 : kDisabled;
    if (state == m_wState) return;
    m_wState = state;
    Redraw(drawFlags);
}

int CFlowSubmitButton::OnPress(CPartTree* design, int x, int y)
{
    if (m_wState == kDisabled) return 0;
    return CKey::OnPress(design, x, y);
}

int CFlowSubmitButton::OnRelease(CPartTree* design, int x, int y)
{
    if (m_wState == kDisabled) return 1;
    return CKey::OnRelease(design, x, y);
}

int CFlowSubmitButton::Draw(DWORD flags) { return DrawButton(this, flags); }

CFlowMoreArrow::CFlowMoreArrow() { TakePicture(this, MorePicture()); }

CFlowMoreArrow::CFlowMoreArrow(int side, CPart* owner) : CFlowMoreArrow()
{
    m_pOperated = owner;
    // The key's placement already centres a control on the owner's side,
    // so the arrow stands centred on the owner's height without an offset.
    const CPoint offset(0, 0);
    PlaceLabel(side, owner, &offset);
}

int CFlowMoreArrow::Draw(DWORD flags) { return DrawButton(this, flags); }
