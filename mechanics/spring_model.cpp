#include "mechanics/spring_model.h"

#include "platform/archive.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CSpringModel, "CObject", 5)

void CSpringModel::Serialize(CArchive& ar)
{
    if (ar.GetVersion() < 4) return;
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dPendingA << m_dA << m_dPendingB << m_dB << m_dRest;
        return;
    }
    double pa = 0.0, a = 0.0, pb = 0.0, b = 0.0, rest = 0.0;
    ar >> pa >> a >> pb >> b >> rest;
    for (double v : {pa, a, pb, b, rest})
        if (!std::isfinite(v)) return;
    m_dPendingA = pa;
    m_dA = a;
    m_dPendingB = pb;
    m_dB = b;
    m_dRest = rest;
}

void CSpringModel::Init(double a, double b, double k)
{
    m_dA = a;
    m_dB = b;
    m_dRest = b - a;
    m_dStiffness = std::fabs(k);
    m_dPendingA = m_dPendingB = 0.0;
}

void CSpringModel::Clear() { m_dPendingA = m_dPendingB = m_dA = m_dB = m_dRest = 0.0; }

double CSpringModel::GetForce() const
{
    if (std::fabs(m_dB - m_dRest) < 1e-9) return -m_dStiffness * (m_dB - m_dA - m_dRest);
    if (std::fabs(m_dRest + m_dA) < 1e-9) return -m_dStiffness * (-m_dB - m_dA - m_dRest);
    // Neither end at its rest place (no spring part gets here): the law of
    // end A.
    return -m_dStiffness * (m_dB - m_dA - m_dRest);
}

void CSpringModel::Commit()
{
    m_dA += m_dPendingA;
    m_dB += m_dPendingB;
    m_dPendingA = m_dPendingB = 0.0;
}
