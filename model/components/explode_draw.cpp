// The burst of a burnt-out component: eight frames on the design's 200 ms
// blink (picture frames 0 1 2 3 4 3 2 1 for frame counters 9 down to 2).
// Each blink first puts back the screen under the last frame (Animate),
// then draws the next one over it (Tick); the design under the burst does
// not change meanwhile, since no pass runs while a burst plays.
#include "model/components/explode.h"

#include "model/components/component.h"
#include "model/display/animate.h"
#include "model/display/visual.h"

namespace {

constexpr int kBurstSize = 40;

CVisual& BurstPicture()
{
    static CVisual picture(0, 0, 203, 5, 0, 0, kBurstSize, kBurstSize);
    return picture;
}

// The part the animation images: the burst picture's area, drawing the
// marker's present frame.
class CBurstPlaceholder : public CPart {
public:
    explicit CBurstPlaceholder(CExplode* marker) : CPart(marker->GetBurstRect()), m_marker(marker) {}
    int Draw(DWORD) override
    {
        m_marker->DrawBurst();
        return 0;
    }

private:
    CExplode* m_marker;
};

} // namespace

CExplode::CExplode() = default;
CExplode::~CExplode() { EndAnimation(); }

CRect CExplode::GetBurstRect() const
{
    const CPoint c = m_rect.CenterPoint();
    return CRect(c.x - kBurstSize / 2, c.y - kBurstSize / 2, c.x + kBurstSize / 2, c.y + kBurstSize / 2);
}

int CExplode::GetDrawFrame() const
{
    if (m_wFrameCounter < 2) return -1;
    return m_wFrameCounter > 4 ? 9 - m_wFrameCounter : m_wFrameCounter - 1;
}

void CExplode::DrawBurst()
{
    const int frame = GetDrawFrame();
    if (frame < 0) return;
    const CRect r = m_pPlaceholder ? m_pPlaceholder->m_rect : GetBurstRect();
    BurstPicture().DrawWhole(r.left, r.top, frame, 0, 0);
}

int CExplode::Draw(DWORD)
{
    DrawBurst();
    return 0;
}

void CExplode::EndAnimation()
{
    // Deleting the animation puts the screen under it back.
    m_pAnimate.reset();
    m_pPlaceholder.reset();
}

void CExplode::ResetVisual()
{
    CPart::ResetVisual();
    if (!m_bAnimating && m_wFrameCounter == 0) return;
    EndAnimation();
    m_bAnimating = false;
    m_wFrameCounter = 0;
    m_rect.SetRectEmpty();
}

void CExplode::Animate()
{
    if (m_bAnimating) {
        if (m_wFrameCounter < 2) {
            EndAnimation();
            m_bAnimating = false;
        } else if (m_pAnimate && CDisplay::GetCurrentDC()) {
            m_pAnimate->RestoreBackground();
        }
        return;
    }
    if (m_wFrameCounter != 9) return;
    m_bAnimating = true;
    m_pPlaceholder = std::make_unique<CBurstPlaceholder>(this);
    if (!CDisplay::GetCurrentDC()) return;
    try {
        m_pAnimate = std::make_unique<CAnimate>(m_pPlaceholder.get(), 0);
        m_pAnimate->SaveBackground();
    } catch (const CResourceException&) {
        // The drawing scopes have ended; the burst goes on uncounted on screen.
        m_pAnimate.reset();
    }
}

int CExplode::Tick(CPart* component, DWORD drawFlags)
{
    if (m_wFrameCounter == 1) {
        m_wFrameCounter = 0;
        m_rect.SetRectEmpty();
        if (auto* c = dynamic_cast<CComponent*>(component)) c->ResetSimulation();
        if (component) component->DrawTree(drawFlags);
    }
    if (!m_bAnimating) return 0;
    if (m_pAnimate && CDisplay::GetCurrentDC() && m_wFrameCounter >= 2) m_pAnimate->CaptureAndDraw(drawFlags | 1);
    if (m_wFrameCounter > 0) --m_wFrameCounter;
    return 1;
}
