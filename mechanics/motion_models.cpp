#include "mechanics/motion_models.h"

#include "model/solver/matrix.h"
#include "platform/archive.h"

WB_IMPLEMENT_SERIAL(CMass, "CObject", 4)
WB_IMPLEMENT_SERIAL(CFriction, "CObject", 5)

// ---- CMass ----

void CMass::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        // As reading takes them: the oldest records end after x.
        ar << m_dMass << m_dX;
        if (ar.GetVersion() > 3) ar << m_dBase << m_dMomentum;
        return;
    }
    ar >> m_dMass >> m_dX;
    if (ar.GetVersion() <= 3) {
        m_dBase = 0.0;
        m_dMomentum = 0.0;
        return;
    }
    ar >> m_dBase >> m_dMomentum;
}

void CMass::Clear()
{
    m_dJ = m_dG = m_dX = m_dMomentum = m_dForce = m_dBase = 0.0;
}

int CMass::Prepare(double r, int trapezoid)
{
    const double k = m_dMass * r * r;
    if (trapezoid) {
        m_dG = 4.0 * k;
        m_dJ = -m_dForce - 4.0 * k * m_dX - 4.0 * r * m_dMomentum;
    } else {
        m_dG = k;
        m_dJ = -k * m_dX - r * m_dMomentum;
    }
    return trapezoid;
}

void CMass::Update(double x, double r, int trapezoid)
{
    const double f = ForceAt(x);
    if (trapezoid)
        m_dMomentum += (f + m_dForce) / (2.0 * r);
    else
        m_dMomentum += f / r;
    m_dX = x;
    m_dForce = f;
}

void CMass::StampAt(CMatrix* matrix, CSolverTerminal* node) const
{
    matrix->StampTransfer(m_dG, m_dJ, node, nullptr, node, nullptr);
}

void CMass::Rebase()
{
    m_dBase += m_dX;
    m_dX = 0.0;
}

void CMass::SetDisplacement(double x)
{
    m_dBase += m_dX - x;
    m_dX = x;
}

double CMass::GetVelocity() const { return m_dMass != 0.0 ? m_dMomentum / m_dMass : 0.0; }

double CMass::GetAcceleration() const { return m_dMass != 0.0 ? m_dForce / m_dMass : 0.0; }

// ---- CFriction ----

void CFriction::Serialize(CArchive& ar)
{
    if (ar.GetVersion() < 4) return;
    CObject::Serialize(ar);
    if (ar.IsStoring())
        ar << m_dX << m_dBase;
    else
        ar >> m_dX >> m_dBase;
}

void CFriction::Clear()
{
    m_dJ = m_dG = m_dX = m_dVelocity = m_dForce = m_dBase = 0.0;
}

int CFriction::Prepare(double r, int trapezoid)
{
    m_dRate = r;
    m_nTrapezoid = trapezoid;
    if (trapezoid) {
        m_dG = 2.0 * r * m_dCoefficient;
        m_dJ = -2.0 * r * m_dCoefficient * m_dX - m_dForce;
    } else {
        m_dG = r * m_dCoefficient;
        m_dJ = -r * m_dCoefficient * m_dX;
    }
    return trapezoid;
}

void CFriction::Update(double x)
{
    const double f = ForceAt(x);
    if (m_dCoefficient != 0.0) {
        m_dVelocity = f / m_dCoefficient;
    } else {
        // F / c is 0 / 0 here; the move gives the same velocity that the
        // rule would for any c.
        const double v = (x - m_dX) * m_dRate;
        m_dVelocity = m_nTrapezoid ? 2.0 * v - m_dVelocity : v;
    }
    m_dForce = f;
    m_dX = x;
}

void CFriction::StampAt(CMatrix* matrix, CSolverTerminal* node) const
{
    matrix->StampTransfer(m_dG, m_dJ, node, nullptr, node, nullptr);
}

void CFriction::Rebase()
{
    m_dBase += m_dX;
    m_dX = 0.0;
}
