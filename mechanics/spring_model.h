// CSpringModel: a linear spring between two ends A and B, held as committed
// positions plus the moves of the running step, with rest length L and
// stiffness k.  Its owner stamps it as the conductance k plus the source
// GetForce at the node of the moving end: the element carries k x' + F for
// the node value x', so the spring pulls that end back towards its rest
// position with k times the whole displacement.
#pragma once

#include "platform/runtimeclass.h"

class CArchive;

class CSpringModel : public CObject {
    WB_DECLARE_SERIAL(CSpringModel)
public:
    CSpringModel() = default;

    // Nothing in files of version 3 and lower; else pending move A, end A,
    // pending move B, end B, rest length.  A record whose numbers are not
    // finite is passed over (the model keeps what its owner set).
    void Serialize(CArchive& ar) override;

    // ---- virtual operations of the model ----
    virtual void Init(double a, double b, double k);
    virtual void Clear();
    virtual void SetPendingMoves(double dA, double dB)
    {
        m_dPendingA = dA;
        m_dPendingB = dB;
    }
    virtual void SetStiffness(double k) { m_dStiffness = k; }
    virtual double GetStiffness() const { return m_dStiffness; }
    virtual double GetStiffness2() const { return m_dStiffness; }
    // At the committed ends: end A moving (B at its rest length) or end B
    // moving (A + L = 0); otherwise the law of end A.
    virtual double GetForce() const;
    virtual double GetEndA() const { return m_dA + m_dPendingA; }
    virtual double GetEndB() const { return m_dB + m_dPendingB; }
    virtual double GetCommittedA() const { return m_dA; }
    virtual double GetCommittedB() const { return m_dB; }
    virtual double GetExtension() const { return m_dB + m_dPendingB - m_dPendingA - m_dA - m_dRest; }
    virtual double GetRestLength() const { return m_dRest; }
    virtual void MoveEndA(double d)
    {
        m_dA += d;
        m_dRest -= d;
    }
    virtual void MoveEndB(double d)
    {
        m_dB += d;
        m_dRest += d;
    }
    virtual void SetEndA(double x) { m_dA = x; }
    virtual void SetEndB(double x) { m_dB = x; }
    virtual void Commit();

private:
    double m_dStiffness = 0.0;
    double m_dPendingA = 0.0;
    double m_dPendingB = 0.0;
    double m_dA = 0.0;
    double m_dB = 0.0;
    double m_dRest = 0.0;
};
