// CExplode: the burn-out marker.  The rating test adds one as the first child
// of a component that exceeded a rating; from then on the component counts
// as broken and is left out of the simulation.  The marker keeps the value
// reached and the rating for the message, and plays the explosion (eight
// frames on the design's 200 ms blink) when it was made by the test.
#pragma once

#include "model/parts/part.h"

#include <memory>

class CAnimate;
class CCircuit;

class CExplode : public CPart {
    WB_DECLARE_SERIAL(CExplode)
public:
    CExplode();
    // Sets the frame counter to 9 and the design's component-destroyed flag.
    CExplode(CCircuit* design, const CRect& rect, double excess, double rating, WORD messageId, char unit);
    ~CExplode() override;

    // The CPart record, excess (double), rating (double), message id, unit.
    void Serialize(CArchive& ar) override;
    int Draw(DWORD flags) override;
    // A burst that is still playing ends at once, as after its last frame
    // (no frame, the marker's rectangle empty); the component stays broken.
    void ResetVisual() override;

    // The message, asked as Yes/No: IDYES replace, IDNO (after a second Yes)
    // delete, IDCANCEL leave it.
    int GetMessageText(int offerDelete);
    CString BuildMessage() const;
    // One blink: Animate starts or ends the animation, Tick advances it
    // (returns 1 while it runs).
    void Animate();
    int Tick(CPart* component, DWORD drawFlags);
    // The picture frame drawn now, -1 for none.
    int GetDrawFrame() const;
    bool IsAnimating() const { return m_bAnimating; }
    // Where the burst is drawn: the picture's 40 x 40 centred on the marker.
    CRect GetBurstRect() const;
    // Draws the burst's present frame (nothing when there is none).
    void DrawBurst();
    const CAnimate* GetAnimation() const { return m_pAnimate.get(); }

    double m_dRating = 0.0;
    double m_dExcess = 0.0;
    WORD m_wMessageId = 0;
    char m_cUnit = 'V';
    WORD m_wFrameCounter = 0;

private:
    void EndAnimation();

    bool m_bAnimating = false;
    // While the burst plays: the part the animation images (the burst
    // picture over the marker) and the animation, which keeps the screen
    // under it.  Without a drawing context only the counter runs.
    std::unique_ptr<CPart> m_pPlaceholder;
    std::unique_ptr<CAnimate> m_pAnimate;
};
