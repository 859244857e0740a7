// End stops.  Inside its travel a stop exerts no force; at its limit it
// becomes a very stiff spring.  The force (the current the stop takes out of
// its node, as a function of the node value x) is three straight pieces:
//
//   upper stop (side 1):  0 below L, k (x - L) over the gap L .. L + g,
//                         g k + S (x - L - g) beyond;
//   lower stop (side 0):  the mirror image about L.
//
// with k = 1e6 N/m over a gap g = 1e-5 m (CStop2: 1e8 over 1e-6) and
// S = 1e14 N/m beyond it, so pushing a node 10 um past an upper stop costs
// 10 N and every further micrometre 1e8 N: the node is held within about g
// of the limit.  The pieces are the segments of a CTriState, so the solver's
// segment switching finds the moment of impact and of release.
//
// L, the effective limit, is measured in the node's displacement: the limit
// minus an offset that follows the owner's re-basing.  After each accepted
// step the owner passes the node value to SetDelta; at reset ApplyDelta
// folds it into the offset, so the limit stays where it was relative to the
// absolute position while the node value restarts at 0.
#pragma once

#include "mechanics/motion_models.h"
#include "model/solver/state.h"
#include "platform/archive.h"
#include "platform/runtimeclass.h"


class CStop : public CObject, public CTriState {
    WB_DECLARE_SERIAL(CStop)
public:
    CStop();

    // Nothing in files of version 3 and lower (the stop keeps what its
    // owner set); else pending displacement, offset, limit.  A record whose
    // numbers are not finite is passed over the same way.
    void Serialize(CArchive& ar) override;

    // ---- virtual operations of the stop ----
    // limit = L = the given limit; side 1 blocks travel above it, 0 below.
    virtual void Set(double limit, int side);
    // A stop at the position, blocking travel away from 0 (side 1 at 0).
    virtual void SetFromPosition(double position);
    // The model's state cleared, in its free segment.
    virtual void Reset();
    virtual void ApplyDelta();
    virtual void SetDelta(double d) { m_dPending = d; }
    virtual void SetLimit(double position) { m_dLimit = position; }
    virtual double GetLimit() const { return m_dLimit; }
    virtual void MoveLimit(double d) { m_dLimit += d; }
    // The step limiter: 1 when the tried value leaves the present segment.
    virtual int LimitStep(CState** out, double* fraction, double x);
    // The present segment's force law, stamped by the owner as a
    // conductance plus source from the node to the frame.
    virtual double GetSlope() const { return m_Slope; }
    virtual double GetIntercept() const { return m_Intercept; }
    // In contact: any segment but the free one.
    virtual int IsEngaged() const { return m_Segment != FreeSegment(); }
    virtual double GetOffset() const { return m_dOffset; }
    virtual void SetOffset(double offset) { m_dOffset = offset; }
    // The force law from L, g, k, S, U and the side, for node value 0.
    virtual void Rebuild();

    // ---- plain operations ----
    // Stamps the present segment at the node against the frame.
    void StampAt(CMatrix* matrix, CSolverTerminal* node) const;
    int GetSide() const { return m_nSide; }
    double GetEffectiveLimit() const { return m_dL; }
    double GetPending() const { return m_dPending; }
    double GetStiffness() const { return m_dStiffness; }
    double GetGap() const { return m_dGap; }
    // Segment 0 (below the low breakpoint) is free for an upper stop,
    // segment 1 (above the high one) for a lower stop.
    int FreeSegment() const { return m_nSide ? 0 : 1; }

    static constexpr double kSteepSlope = 1e14;
    static constexpr double kUnit = 1.0;

protected:
    CStop(double stiffness, double gap);
    // Takes the segment's bounds and force law, without the random choice
    // of a segment change.
    void SelectSegment(int segment);

    double m_dL = 0.0;
    double m_dLimit = 0.0;
    int m_nSide = 1;
    double m_dPending = 0.0;
    double m_dOffset = 0.0;
    double m_dSteep = kSteepSlope;
    double m_dStiffness = 1e6;
    double m_dUnit = kUnit;
    double m_dGap = 1e-5;
};

// A harder stop: 1e8 N/m over a gap of 1 um (100 N at the gap's end).
class CStop2 : public CStop {
public:
    CStop2();
};

// A stop that carries its own inertia: a plunger that rests against the stop
// and leaves it when its predicted rest position lies on the free side, and
// is caught again when the stop engages.  The mass value also holds it
// towards its rest point with m newtons per metre.
class CPlunger : public CStop {
    WB_DECLARE_SERIAL(CPlunger)
public:
    CPlunger();

    // The CStop record, rest position, rest velocity, displacement, base,
    // WORD moving flag, then the mass.
    void Serialize(CArchive& ar) override;

    // The segment choice, then a moving plunger caught by the engaged stop
    // comes to rest.
    double Update() override;
    void Set(double limit, int side) override;
    // Also re-bases the mass while moving and folds the displacement into
    // the plunger's base.
    void ApplyDelta() override;
    void SetLimit(double position) override;
    double GetSlope() const override;
    double GetIntercept() const override;
    double GetOffset() const override;
    void SetOffset(double offset) override;

    // ---- virtual operations of the plunger ----
    virtual void ApplyStopDelta() { CStop::ApplyDelta(); }
    // Sets the mass; detaches a resting plunger whose predicted rest
    // position lies on the free side.  The mass companion's rule while
    // moving, else 0.
    virtual int Prepare(double mass, double r, int trapezoid);
    virtual void UpdateMotion(double x, double r, int trapezoid);
    virtual double GetPosition() const;
    virtual double GetVelocity() const;
    virtual double GetAcceleration() const;
    virtual CMass& GetMass() { return m_mass; }
    // limit - 1e-7 on an upper stop, limit + 1e-7 on a lower one.
    virtual double GetRestPoint() const;
    virtual double GetAbsolutePosition() const { return m_dBase + m_dDisplacement; }
    // The user holds the plunger at the position: it moves from there.
    virtual void HoldAt(double position);
    virtual void SetPosition(double position) { m_mass.SetPosition(position); }
    virtual void SetVelocity(double v) { m_mass.SetVelocity(v); }
    virtual int IsMoving() const { return m_wMoving != 0; }

    double GetRestPosition() const { return m_dRestPosition; }
    double GetRestVelocity() const { return m_dRestVelocity; }

private:
    CMass m_mass;
    double m_dRestPosition = 0.0;
    double m_dDisplacement = 0.0;
    double m_dBase = 0.0;
    double m_dRestVelocity = 0.0;
    WORD m_wMoving = 1;
};
