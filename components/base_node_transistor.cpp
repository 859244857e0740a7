#include "components/base_node_transistor.h"

#include "model/components/terminal.h"

void CBaseNodeTransistor::Stamp(CMatrix* m, uint16_t n, CTerminal* c, CTerminal* e) const
{
    const uint16_t nc = c->GetNode(), ne = e->GetNode();
    const double gf = m_be.GetSlope(), f0 = m_be.GetIntercept();
    const double gr = m_bc.GetSlope(), r0 = m_bc.GetIntercept();
    // Base current I_F / 100 and the collector current I_F.
    m->Stamp(gf / kForwardGain, f0 / kForwardGain, n, ne, n, ne, nullptr, e);
    m->Stamp(gf, f0, n, ne, nc, ne, c, e);
    // Base current I_R / 5 and the reverse current I_R.
    m->Stamp(gr / kReverseGain, r0 / kReverseGain, n, nc, n, nc, nullptr, c);
    m->Stamp(gr, r0, n, nc, ne, nc, e, c);
}

void CBaseNodeTransistor::StampBaseSource(CMatrix* m, double g, double i0, CTerminal* a, CTerminal* b, uint16_t n,
                                          CTerminal* e) const
{
    m->Stamp(g, i0, a ? a->GetNode() : 0, b ? b->GetNode() : 0, n, e->GetNode(), nullptr, e);
}

void CBaseNodeTransistor::LimitStep(CState** out, double* fraction, const double* v, uint16_t n, CTerminal* c,
                                    CTerminal* e)
{
    m_be.LimitStep(out, fraction, v[n] - v[e->GetNode()]);
    m_bc.LimitStep(out, fraction, v[n] - v[c->GetNode()]);
}

void CBaseNodeTransistor::Commit()
{
    m_be.Commit();
    m_bc.Commit();
}
