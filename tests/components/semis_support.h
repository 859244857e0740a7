// Test-only helpers for the transistor, zener, thyristor and MOSFET tests:
// a bench that places and wires real parts, the piecewise-linear diode law
// of the models (the exact characteristic the solver follows), a bisection
// and an ngspice runner (argument list, no shell).
#pragma once

#include "diodes_support.h"

#include "ngspice_values.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <algorithm>
#include <map>
#include <sstream>
#include <string>

// Parts on a diagonal, far enough apart that the L-shaped wires of Join
// never meet another part's pin.
struct SemisBench {
    CCircuit d;
    int slot = 0;

    CPoint Next()
    {
        ++slot;
        return CPoint(120 * slot, 100 * slot);
    }
    CDiodesCell* Cell(double emf)
    {
        const CPoint p = Next();
        auto* c = AddTestPart<CDiodesCell>(d, p.x, p.y);
        c->emf = emf;
        return c;
    }
    CDiodesResistor* R(double ohms)
    {
        const CPoint p = Next();
        auto* r = AddTestPart<CDiodesResistor>(d, p.x, p.y);
        r->ohms = ohms;
        return r;
    }
    template <class T>
    T* Part()
    {
        const CPoint p = Next();
        return AddRealPart<T>(d, p.x, p.y);
    }
    void Wire(CTerminal* a, CTerminal* b) { Join(d, a, b); }
    void Start() { d.ResetRun(0); }
    void Run(int passes = 3)
    {
        for (int i = 0; i < passes; ++i) d.RunSolverPass();
    }
};

// The models' diode characteristic with no memory of its path: off below
// 0 V (5e-11 S), a straight line up to the knee, then chords 17.8 mV wide
// across which the current doubles, and the last chord on for ever.
inline double ChordCurrent(double v, double knee)
{
    if (v < 0.0) return 5e-11 * v;
    if (v < knee) return kIs / knee * v;
    const int k = std::min(static_cast<int>(std::floor((v - knee) / kVStep)), 30);
    const double lower = knee + k * kVStep;
    return 1.29e-6 * std::ldexp(1.0, k) * (v - (lower - kVStep));
}

// The root of a function that falls through zero between lo and hi.
inline double Bisect(const std::function<double(double)>& f, double lo, double hi)
{
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (f(mid) > 0.0 ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// ngspice's thermal voltage at 27 degrees and the emission coefficient that
// makes n Vt the models' 0.0178 / ln 2 = 25.68 mV.
inline double SpiceEmission()
{
    const double vt = 1.38064852e-23 * 300.15 / 1.6021766208e-19;
    return kVStep / std::log(2.0) / vt;
}
// Saturation current of a model with this knee: I = IS exp(v / n Vt).
inline double SpiceIs(double knee) { return kIs * std::exp2(-knee / kVStep); }

inline std::string SpiceNum(double v)
{
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Runs an operating point of the cards and prints the quantities; the
// values by name ("v(b)", "i(v1)").  Empty when ngspice is not installed.
inline std::map<std::string, double> SpiceOperatingPoint(const std::string& cards, const std::string& quantities,
                                                          std::string* missing)
{
    std::map<std::string, double> out;
    const QString ngspice = QStandardPaths::findExecutable("ngspice");
    if (ngspice.isEmpty()) {
        *missing = "ngspice is not installed (scripts/setup.sh installs it); comparison skipped";
        return out;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *missing = "no temporary folder";
        return out;
    }
    const std::string path = dir.filePath("circuit.cir").toStdString();
    {
        std::ofstream f(path);
        f << "operating point\n" << cards << ".control\nset numdgt=12\nop\nprint " << quantities
          << "\n.endc\n.end\n";
    }
    QProcess p;
    p.start(ngspice, {"-b", QString::fromStdString(path)});
    if (!p.waitForFinished(30000)) {
        *missing = "ngspice did not finish";
        return out;
    }
    out = ParseNgspiceValues(p.readAllStandardOutput().toStdString());
    return out;
}
