// Bipolar transistors in a common-emitter stage: the solved operating point
// against the exact solution of the models' piecewise-linear junctions and
// against ngspice's transport Ebers-Moll transistor with the same law
// (BF = hFE, BR = 5, IS and n Vt from the junction's knee).
#include "components/component_kit.h"
#include "components/npn.h"
#include "components/pnp.h"
#include "semis_support.h"

#include <gtest/gtest.h>

namespace {

// Base fed from vs through rb, collector from vcc through rc, emitter at 0;
// for the PNP every voltage is measured down from its emitter.
struct Stage {
    double vcc, vs, rc, rb, gain;
};

struct Point {
    double vb, vc, ic;
};

// The exact solution of the models' equations: the base-emitter chord I_F,
// the base-collector chord I_R; the collector takes I_F - 1.2 I_R and the
// base I_F / hFE + I_R / 5 (+ the NPN's 1 nS leakage).
Point PiecewiseSolution(const Stage& s, bool leak)
{
    auto collector = [&](double vb) {
        const double iF = ChordCurrent(vb, 0.35);
        return Bisect([&](double vc) { return (s.vcc - vc) / s.rc - iF + 1.2 * ChordCurrent(vb - vc, 0.35); },
                      vb - 3.0, s.vcc + 1.0);
    };
    const double vb = Bisect(
        [&](double vb) {
            const double vc = collector(vb);
            return (s.vs - vb) / s.rb - ChordCurrent(vb, 0.35) / s.gain - (leak ? 1e-9 * vb : 0.0) -
                   0.2 * ChordCurrent(vb - vc, 0.35);
        },
        0.0, s.vs);
    const double vc = collector(vb);
    return {vb, vc, (s.vcc - vc) / s.rc};
}

// The same stage in ngspice.
bool SpicePoint(const Stage& s, bool pnp, Point* out, std::string* missing)
{
    const double n = SpiceEmission(), is = SpiceIs(0.35);
    std::string cards = "V1 vcc 0 " + SpiceNum(s.vcc) + "\n";
    if (pnp) {
        // Emitter at vcc, the base source vs below it, the collector load to 0.
        cards += "V2 vs 0 " + SpiceNum(s.vcc - s.vs) + "\nRC c 0 " + SpiceNum(s.rc) + "\nRB vs b " + SpiceNum(s.rb) +
                 "\nQ1 c b vcc QP\n.model QP PNP(IS=" + SpiceNum(is) + " BF=" + SpiceNum(s.gain) +
                 " BR=5 NF=" + SpiceNum(n) + " NR=" + SpiceNum(n) + ")\n";
    } else {
        cards += "V2 vs 0 " + SpiceNum(s.vs) + "\nRC vcc c " + SpiceNum(s.rc) + "\nRB vs b " + SpiceNum(s.rb) +
                 "\nRL b 0 1e9\nQ1 c b 0 QN\n.model QN NPN(IS=" + SpiceNum(is) + " BF=" + SpiceNum(s.gain) +
                 " BR=5 NF=" + SpiceNum(n) + " NR=" + SpiceNum(n) + ")\n";
    }
    auto r = SpiceOperatingPoint(cards, "v(b) v(c)", missing);
    if (r.size() < 2) return false;
    if (pnp)
        *out = {s.vcc - r["v(b)"], s.vcc - r["v(c)"], r["v(c)"] / s.rc};
    else
        *out = {r["v(b)"], r["v(c)"], (s.vcc - r["v(c)"]) / s.rc};
    return true;
}

template <class T>
struct StageBench {
    SemisBench b;
    CDiodesCell* supply;
    CDiodesCell* drive;
    CDiodesResistor* rc;
    CDiodesResistor* rb;
    T* q;

    explicit StageBench(const Stage& s)
    {
        const bool pnp = std::is_same_v<T, CPNP>;
        supply = b.Cell(s.vcc);
        drive = b.Cell(pnp ? s.vcc - s.vs : s.vs);
        rc = b.R(s.rc);
        rb = b.R(s.rb);
        q = b.template Part<T>();
        ValueLabelOf(q)->SetNumber(s.gain, kPrefixNone);
        CTerminal* ground = supply->B();
        b.Wire(drive->B(), ground);
        b.Wire(drive->A(), rb->A());
        b.Wire(rb->B(), q->Base());
        if (pnp) {
            b.Wire(supply->A(), q->Emitter());
            b.Wire(q->Collector(), rc->A());
            b.Wire(rc->B(), ground);
        } else {
            b.Wire(supply->A(), rc->A());
            b.Wire(rc->B(), q->Collector());
            b.Wire(q->Emitter(), ground);
        }
        b.Start();
        b.Run();
    }
    // Voltages up from the NPN's emitter, down from the PNP's.
    Point Solved() const
    {
        const double sign = std::is_same_v<T, CPNP> ? -1.0 : 1.0;
        const double ve = q->Emitter()->GetVoltage();
        return {sign * (q->Base()->GetVoltage() - ve), sign * (q->Collector()->GetVoltage() - ve),
                std::fabs(rc->A()->GetCurrent())};
    }
};

template <class T>
void CheckStage(const Stage& s, const char* what)
{
    const bool pnp = std::is_same_v<T, CPNP>;
    StageBench<T> bench(s);
    ASSERT_FALSE(bench.q->IsBroken()) << what;
    EXPECT_DOUBLE_EQ(bench.q->GetGain(), s.gain);
    const Point got = bench.Solved();
    const Point exact = PiecewiseSolution(s, !pnp);
    EXPECT_NEAR(got.vb, exact.vb, 1e-6) << what;
    EXPECT_NEAR(got.vc, exact.vc, 1e-6) << what;
    EXPECT_NEAR(got.ic, exact.ic, 1e-9 + 1e-6 * exact.ic) << what;

    Point spice{};
    std::string missing;
    if (!SpicePoint(s, pnp, &spice, &missing)) {
        ASSERT_FALSE(missing.empty()) << what << ": ngspice gave no operating point";
        std::printf("[  SKIPPED ] %s: %s\n", what, missing.c_str());
        return;
    }
    EXPECT_NEAR(got.vb, spice.vb, 0.003) << what;
    EXPECT_NEAR(got.vc, spice.vc, 0.003) << what;
    EXPECT_NEAR(got.ic, spice.ic, 0.005 * spice.ic) << what;
}

TEST(SemisBjt, NpnActive)
{
    // 43 uA into the base, 4.3 mA through the collector, 4.7 V across it.
    CheckStage<CNPN>({9.0, 5.0, 1000.0, 100000.0, 100.0}, "NPN active");
    CheckStage<CNPN>({12.0, 2.0, 2200.0, 220000.0, 250.0}, "NPN active, gain 250");
}

TEST(SemisBjt, NpnSaturated)
{
    // hFE x Ib = 43 mA would be asked, the 1k load gives 9 mA: saturated.
    CheckStage<CNPN>({9.0, 5.0, 1000.0, 10000.0, 100.0}, "NPN saturated");
}

TEST(SemisBjt, PnpActiveAndSaturated)
{
    CheckStage<CPNP>({9.0, 5.0, 1000.0, 100000.0, 100.0}, "PNP active");
    CheckStage<CPNP>({9.0, 5.0, 1000.0, 4700.0, 100.0}, "PNP saturated");
}

TEST(SemisBjt, PinsCollectorBaseEmitterAndTheirPlaces)
{
    CCircuit d;
    auto* npn = AddRealPart<CNPN>(d, 100, 100);
    auto* pnp = AddRealPart<CPNP>(d, 300, 100);
    for (CNPN* q : {npn, static_cast<CNPN*>(pnp)}) {
        ASSERT_EQ(q->GetTerminalCount(), 3);
        EXPECT_EQ(q->m_nOrientation, 4);
        // The outer pins above and below each other, the base to the side.
        const CPoint top = q->GetTerminal(0)->GetPinPoint(), bottom = q->GetTerminal(2)->GetPinPoint();
        EXPECT_EQ(top.x, bottom.x);
        EXPECT_LT(top.y, bottom.y);
        EXPECT_NE(q->GetTerminal(1)->GetPinPoint().x, top.x);
    }
    // NPN collector on top, PNP emitter on top.
    EXPECT_EQ(npn->Collector(), npn->GetTerminal(0));
    EXPECT_EQ(pnp->Emitter(), pnp->GetTerminal(0));
    EXPECT_EQ(npn->GetValueLabel()->GetRuntimeClass()->m_lpszClassName, std::string("CDummyValue"));
    EXPECT_DOUBLE_EQ(npn->GetGain(), 100.0);
    EXPECT_DOUBLE_EQ(npn->m_dVceLimit, 60.0);
    EXPECT_DOUBLE_EQ(npn->m_dVcbLimit, 75.0);
    EXPECT_DOUBLE_EQ(pnp->m_dVbeRevLimit, 5.0);
    EXPECT_DOUBLE_EQ(pnp->m_dMaxP, 1.0);
    EXPECT_DOUBLE_EQ(pnp->m_dMaxI, 2.0);
}

TEST(SemisBjt, ZeroGainCountsAsOneHundredth)
{
    CCircuit d;
    auto* q = AddRealPart<CNPN>(d, 100, 100);
    ValueLabelOf(q)->SetNumber(0.0, kPrefixNone);
    EXPECT_DOUBLE_EQ(q->GetGain(), 0.01);
}

} // namespace
