// The example activities as a pupil reads them: every value label made by
// the example writer shows the value as an engineer writes it (10k, 100µF),
// never a computer's number ("1e+04", "0.0001F"), and no value or meter
// readout lies over a terminal's stub.
#include "app/examples/example_activities.h"
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/components/component.h"
#include "model/components/terminal.h"
#include "model/text/value.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QTemporaryDir>

#include <set>
#include <string>

namespace {

// The texts of every value label of a design, and whether a text child of
// a component covers one of its terminals.
void Collect(CCircuit& design, std::set<std::string>& texts, int& covering)
{
    for (CPartIterator it(&design, 0); it.GetCurrent(); it.Next()) {
        auto* c = dynamic_cast<CComponent*>(it.GetCurrent());
        if (!c) continue;
        for (CPart* child = c->GetFirstChild(); child; child = child->GetNextSibling()) {
            if (auto* v = dynamic_cast<CValue*>(child)) texts.insert(v->number.GetFullText());
            if (!child->IsKindOf("CText")) continue;
            for (int i = 0; i < c->GetTerminalCount(); ++i) {
                CRect overlap;
                if (overlap.IntersectRect(child->GetRect(), c->GetTerminal(i)->GetRect())) ++covering;
            }
        }
    }
}

} // namespace

TEST(ExampleLabels, ValuesReadAsAnEngineerWritesThemAndLeaveTheStubsClear)
{
    shelltest::EnsureShellApp();
    QTemporaryDir dir;
    const QStringList written = WriteExampleActivities(dir.filePath("Books"), dir.filePath("Blocks"));
    ASSERT_FALSE(written.isEmpty());
    std::set<std::string> texts;
    int covering = 0;
    for (const QString& path : written) {
        QString error;
        std::unique_ptr<CCircuit> design = LoadDesignFile(path, &error);
        ASSERT_NE(design, nullptr) << error.toStdString();
        Collect(*design, texts, covering);
    }
    for (const char* want : {"10k", "1k", "220", "6V", "100\xB5" "F"})
        EXPECT_TRUE(texts.count(want)) << want;
    for (const std::string& t : texts) {
        EXPECT_EQ(t.find("e+"), std::string::npos) << t;
        EXPECT_EQ(t.find("e-"), std::string::npos) << t;
        EXPECT_NE(t.rfind("0.0", 0), 0u) << t;
        EXPECT_NE(t, "1000") << "a thousand ohms reads 1k";
    }
    EXPECT_EQ(covering, 0) << "a label or readout lies over a terminal";
}
