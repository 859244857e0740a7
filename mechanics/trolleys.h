// CTrolleys: a collision experiment, a straight track with two trolleys
// that roll without friction, bounce off each other and stop dead at the
// track's ends.  Unlike the other mechanism parts it is not stamped into
// the network: it moves its two trolleys itself, once a step, and resolves
// a collision exactly with the rule of restitution e,
//
//     u1' = (u1 (m1 - e m2) + m2 u2 (1 + e)) / (m1 + m2)
//     u2' = (u2 (m2 - e m1) + m1 u1 (1 + e)) / (m1 + m2)
//
// which keeps the momentum m1 u1 + m2 u2 for every e and the kinetic energy
// for e = 1 ("Elastic"); e = 0 ("Inelastic") leaves both with the common
// velocity, e = 0.5 is "Semi-elastic".
//
// Positions x1 (left trolley) and x2 (right trolley) are measured in metres
// from the track's left end in one coordinate, in which the trolleys touch
// when x1 = x2 (the right trolley is drawn one trolley width further right);
// the track is L = (width - 74) / 4000 m long.  Each trolley has a mass
// label in grams (1 kg by default), a drag handle and may carry a probe
// that follows it.  The property toolbar sets the collision type and the
// mass, position (mm) and velocity of the trolley chosen by its two radio
// buttons.
#pragma once

#include "mechanics/mech_comp.h"
#include "model/text/number.h"

#include <unordered_set>

class CValue;

class CTrolleys : public CMechComp {
    WB_DECLARE_SERIAL(CTrolleys)
public:
    CTrolleys();

    // The CComponent record, x1, x2, u1, u2, WORD collision type, DWORD
    // shown trolley.  Numbers that are not finite, or a type or trolley out
    // of range, start the trolleys again.
    void Serialize(CArchive& ar) override;
    // After the children's links: the left and the right trolley's probes.
    void SerializeLinks(CArchive& ar) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // ---- CPart ----
    void CreateChildren() override;
    // handle: the resize handle's anchor x; right of the middle it moves
    // the right end, else the left end.  0 when the track was clamped at
    // its least width.
    int AttachMechanism(int handle, int movement) override;
    void FindAttachments(CPartTree* design) override;
    void UpdateAttachments(CPartTree* design) override;
    // Axis 0 drags the left trolley, axis 1 the right one.
    void AccumulateMotion(CPartTree* design, int phase, int axis, double displacement) override;
    DWORD GetProbeQuantities(int, int) override { return 4 | 8 | 256; }
    // The trolley whose left edge is nearer to x: 4 its position, 8 its
    // velocity, 256 its kinetic energy.
    double GetQuantity(int x, int y, int code) override;
    int CanProbeAt(int x, int y) override;
    CRect GetExtent(int x, int y) override;
    int HasInfo(int, int) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // ---- CComponent ----
    // The collision step: the trolleys' motion of the coming step decided.
    void PrepareStep() override;
    void Stamp(CMatrix*) override {}
    // The trolleys move by u / r; probes, numbers and picture follow.
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;

    // ---- virtual operations of the trolleys ----
    // The track and the two trolleys (CMechComp::DrawMoving).
    void DrawMovingBody(DWORD flags) override;
    virtual CRect GetLeftRect() const;
    virtual CRect GetRightRect() const;
    // The probe recording this part whose rectangle is that trolley's.
    virtual CPart* FindLeftProbe() const;
    virtual CPart* FindRightProbe() const;

    // ---- plain operations ----
    double GetX(int i) const { return i == 0 ? m_x1 : m_x2; }
    double GetU(int i) const { return i == 0 ? m_u1 : m_u2; }
    void SetMotion(int i, double x, double u);
    // Mass of a trolley in kg (its label, at least a milligram).
    double GetMassKg(int i) const;
    CValue* GetMassLabel(int i) const;
    // Metres of track the trolleys travel over.
    double GetTrackLength() const;
    int GetCollisionType() const { return m_wCollision; }
    // Restitution of a collision type: 1, 0 or 0.5.
    static double Restitution(int type);
    int GetShownTrolley() const { return static_cast<int>(m_dwShown); }
    bool WasCollision() const { return m_bCollision; }
    bool IsHeld(int i) const { return (i == 0 ? m_hold1 : m_hold2).held != 0; }
    double GetTarget(int i) const { return (i == 0 ? m_hold1 : m_hold2).target; }
    CKnob* GetHandle(int axis) const { return FindKnob(axis); }
    CPart* GetLinkedProbe(int i) const { return i == 0 ? m_pProbe1 : m_pProbe2; }
    const CNumber& GetPositionNumber(int i) const { return i == 0 ? m_pos1 : m_pos2; }
    const CNumber& GetVelocityNumber(int i) const { return i == 0 ? m_vel1 : m_vel2; }
    // A trolley's left edge, pixels from the part's left edge.
    int TrolleyLeft(int i) const;

    static constexpr int kMinWidth = 474;
    static constexpr int kHeight = 28;
    static constexpr int kTrackMargin = 74;
    static constexpr int kTrolleyWidth = 32;
    static constexpr int kTrolleyHeight = 24;
    // Property items.
    enum : int {
        kCollisionItem = 228,
        kGapItem = 36077,
        kMassNumber = 36053,
        kMassSpin = 36054,
        kMassPrefix = 36055,
        kMassPrefixSpin = 36056,
        kMassUnit = 36057,
        kPositionNumber = 36059,
        kPositionSpin = 36060,
        kPositionUnit = 36063,
        kVelocityNumber = 36065,
        kVelocitySpin = 36066,
        kVelocityPrefix = 36067,
        kVelocityPrefixSpin = 36068,
        kVelocityUnit = 36069,
        kLeftTrolley = 36043,
        kRightTrolley = 36045,
    };

private:
    double Rate() const;
    void AddHandles();
    void PlaceHandles();
    // The numbers shown take the trolleys' positions and velocities.
    void MirrorNumbers();
    // Refreshes the probe links (a linked probe still on this part stays
    // linked; otherwise one standing on the trolley is taken).
    void LinkProbes();
    void MoveProbes();
    CPart* FindProbeAt(const CRect& rect) const;
    // Position or velocity typed or stepped for the shown trolley.
    int EditPosition(int commandId, const CString& text);
    int EditVelocity(int commandId, const CString& text);

    double m_x1 = 0.0;
    double m_x2 = 0.1;
    double m_u1 = 0.0;
    double m_u2 = 0.0;
    WORD m_wCollision = 0;
    DWORD m_dwShown = 0;
    CHandHold m_hold1;
    CHandHold m_hold2;
    bool m_bCollision = false;
    CPart* m_pProbe1 = nullptr;
    CPart* m_pProbe2 = nullptr;
    CNumber m_pos1;
    CNumber m_pos2;
    CNumber m_vel1;
    CNumber m_vel2;
};
