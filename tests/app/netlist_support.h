// What the Export Netlist tests share: a design built from real parts on
// a diagonal, exported through the command into a folder of its own, and
// ngspice run on the netlist in its PSpice compatibility mode with the
// commands on its standard input.
#pragma once

#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/text/value.h"
#include "components/component_kit.h"

#include "components/diodes_support.h"
#include "components/part_by_name.h"
#include "shell_support.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include "components/ngspice_values.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

namespace netlisttest {

using namespace shelltest;

// Parts placed on a diagonal, so the L-shaped wires of Join meet no other pin.
struct ExportBench {
    CTeskDoc doc;
    CCircuit* d = nullptr;
    int slot = 0;

    ExportBench()
    {
        EnsureShellApp();
        doc.OnNewDocument();
        d = doc.GetDesign();
        // The comparisons run some parts past their ratings (9 W in 9 ohm).
        d->SetOptionBits(OPT_INDESTRUCTIBLE, true);
    }
    CComponent* Add(const char* className, double value = 0.0, bool setValue = false)
    {
        ++slot;
        CComponent* p = AddPartByName(*d, className, 140 * slot, 110 * slot);
        if (setValue)
            if (CValue* v = ValueLabelOf(p)) v->number.value = value;
        return p;
    }
    void Wire(CComponent* a, int pa, CComponent* b, int pb) { Join(*d, a->GetTerminal(pa), b->GetTerminal(pb)); }
    // A rail, a resistor and a two-pin part in series to earth; the part.
    CComponent* SeriesToEarth(double volts, double ohms, const char* className)
    {
        auto* rail = Add("CVoltRail", volts, true);
        auto* r = Add("CResistor", ohms, true);
        auto* part = Add(className);
        auto* earth = Add("CEarth");
        Wire(rail, 0, r, 0);
        Wire(r, 1, part, 0);
        Wire(part, 1, earth, 0);
        return part;
    }
    void Run(int passes)
    {
        d->ResetRun(0);
        for (int i = 0; i < passes; ++i) d->RunSolverPass();
    }
    // Runs for that many simulated seconds at the design's own rate.
    void RunFor(double seconds)
    {
        d->ResetRun(0);
        const int passes = static_cast<int>(std::ceil(seconds / d->GetStepPeriod()));
        for (int i = 0; i < passes; ++i) d->RunSolverPass();
    }
    // Exports through the command into a fresh folder; the netlist's path.
    QString Export(const QTemporaryDir& dir)
    {
        const QString path = dir.filePath(QStringLiteral("design.cir"));
        ChooseFile(path);
        EXPECT_TRUE(doc.OnCommand(34219));
        return path;
    }
};

inline constexpr const char* kNoNgspice = "ngspice is not installed (scripts/setup.sh installs it); comparison skipped";

inline bool HaveNgspice() { return !QStandardPaths::findExecutable(QStringLiteral("ngspice")).isEmpty(); }

// Runs ngspice on the netlist with the commands on its standard input; the
// "name = value" lines it prints (with what it said on failure).
inline std::map<std::string, double> RunNgspice(const QString& netlist, const std::string& commands, std::string* missing)
{
    std::map<std::string, double> out;
    const QString ngspice = QStandardPaths::findExecutable(QStringLiteral("ngspice"));
    QProcess p;
    p.setWorkingDirectory(QFileInfo(netlist).absolutePath());
    p.start(ngspice, {QStringLiteral("-n"), QStringLiteral("-p"), QStringLiteral("-D"), QStringLiteral("ngbehavior=ps"),
                      netlist});
    p.write(("set numdgt=10\n" + commands + "\nquit\n").c_str());
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        *missing = "ngspice did not finish";
        return out;
    }
    out = ParseNgspiceValues(p.readAllStandardOutput().toStdString());
    *missing = p.readAllStandardError().toStdString();
    return out;
}

inline std::string V(CComponent* part, int pin) { return "v(" + std::to_string(part->GetTerminal(pin)->GetNode()) + ")"; }

} // namespace netlisttest
