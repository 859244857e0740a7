// The BASIC lines of the variable, increment, variable-test, output and
// motor elements, each exported in a flowchart start -> element -> stop
// and compared with the whole program text worked out by hand: "main:    "
// carries the first statement, the next ones are indented 12 blanks, the
// declarations come first as "symbol" lines and a blank line.
#include "flow_start_support.h"
#include "flow_vars_support.h"
#include "flowchart/flow_checkvar.h"
#include "flowchart/flow_increment.h"
#include "flowchart/flow_motor.h"
#include "flowchart/flow_output.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_variable.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kIndent = "            ";

struct Exported {
    CString text;
    int code = -1;
};

// A flowchart without a microcontroller part: the class and language are
// the design's.
struct LineBench : GuiBench {
    CFlowStart* start = nullptr;
    explicit LineBench(const char* cls = "18 pin PIC", const char* language = "BASIC C1")
    {
        start = Add<CFlowStart>(100, 40);
        d.m_strMicroClass = cls;
        d.SetProgramLanguage(language);
    }
    // start -> the elements -> stop.
    void Line(std::initializer_list<CFlowObject*> elements)
    {
        CFlowObject* last = start;
        for (CFlowObject* e : elements) {
            Join(last->GetOutputTerminal(), e->GetTerminal(0));
            last = e;
        }
        Join(last->GetOutputTerminal(), Add<CFlowStop>(100, 120 + 100 * static_cast<int>(elements.size()))->GetTerminal(0));
    }
    Exported Export()
    {
        Reset();
        Exported e;
        start->ExportBasic(e.text, &e.code);
        return e;
    }
};

// The program of start -> statement lines -> stop with a header.
CString Program(const CString& header, const CString& lines)
{
    return (header.empty() ? CString() : header + "\n") + "main:    " + lines + kIndent + "end\n";
}

// ---- variables ----

TEST(FlowVarsExport, AnAssignmentIsALetLineAndDeclaresItsVariable)
{
    LineBench b;
    auto* v = b.Add<CFlowVariable>(100, 120);
    v->OnPropertyCommand(36053, "x");
    v->OnPropertyCommand(36059, "y");
    v->OnPropertyCommand(36065, " + ");
    v->OnPropertyCommand(36081, "3");
    b.Line({v});
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, Program("symbol x = b0\n", "let x = y + 3\n"));
}

TEST(FlowVarsExport, NamesTheMicrocontrollersBasicUsesWarn)
{
    // Compared with case: "data" is the compiler's, "Data" is not.
    struct Case {
        const char* name;
        int code;
    };
    for (const Case c : {Case{"data", 2011}, Case{"Data", 0}, Case{"main", 2011}, Case{"ADD16", 2011},
                         Case{"add16", 0}, Case{"count", 0}}) {
        LineBench b;
        auto* v = b.Add<CFlowVariable>(100, 120);
        v->OnPropertyCommand(36053, c.name);
        v->OnPropertyCommand(36059, "7");
        b.Line({v});
        const Exported e = b.Export();
        EXPECT_EQ(e.code, c.code) << c.name;
        EXPECT_EQ(e.text, Program(CString("symbol ") + c.name + " = b0\n", CString("let ") + c.name + " = 7\n"))
            << c.name;
    }
    EXPECT_EQ(LoadResString(2011), "Warning: Variable name may already be used internally - W109");
}

TEST(FlowVarsExport, AnIncrementAddsOne)
{
    LineBench b;
    auto* v = b.Add<CFlowVariable>(100, 120);
    v->OnPropertyCommand(36053, "count");
    auto* inc = b.Add<CFlowIncrement>(100, 220);
    inc->OnPropertyCommand(36053, "count");
    b.Line({v, inc});
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, Program("symbol count = b0\n", CString("let count = 0\n") + kIndent + "let count = count + 1\n"));
}

TEST(FlowVarsExport, AVariableTestBranchesLikeADecision)
{
    // The Yes exit's label follows " then ", the No branch comes inline.
    struct Case {
        const char* comparison;
        const char* operand;
        const char* test;
    };
    for (const Case c : {Case{" > ", "5", "if x > 5 then "}, Case{" <> ", "limit", "if x <> limit then "},
                         Case{" <= ", "0", "if x <= 0 then "}}) {
        LineBench b;
        auto* t = b.Add<CFlowCheckVar>(60, 120);
        t->OnPropertyCommand(36059, c.comparison);
        t->OnPropertyCommand(36065, c.operand);
        b.Join(b.start->GetOutputTerminal(), t->GetTerminal(0));
        b.Join(t->GetTerminal(1), b.Add<CFlowStop>(400, 300)->GetTerminal(0));
        b.Join(t->GetTerminal(2), b.Add<CFlowStop>(60, 400)->GetTerminal(0));
        const Exported e = b.Export();
        EXPECT_EQ(e.code, 0) << c.test;
        EXPECT_EQ(e.text, CString("main:    ") + c.test + "label1\n" + kIndent + "end\nlabel1:  end\n") << c.test;
    }
}

// ---- outputs ----

struct OutputCase {
    const char* cls;
    const char* language;
    const char* mode;
    const char* pin;   // for the switching modes
    const char* value; // for "Outputs = "
    const char* text;  // the whole program
    int code;
};

TEST(FlowVarsExport, OutputLines)
{
    // Without a microcontroller part the default outputs follow the class's
    // inputs: a STAMP's four (Output2 is its pin 6, which a STAMP's BASIC
    // C1 names as it is), a PIC's eight (Output2 is pin 10, declared as
    // output 2, 10 less the first output's 8).  BASIC C2 knows the
    // standard names itself.  Set-all values: 5 is %101; a STAMP's 3 goes
    // past its four inputs, 3 x 2^4 = 48 = %00110000.
    const OutputCase cases[] = {
        {"18 pin PIC", "BASIC C1", "Switch on ", "Output2", "", "symbol Output2 = 2\n\nmain:    high Output2\n", 0},
        {"18 pin PIC", "BASIC C1", "Switch off ", "Output0", "", "symbol Output0 = 0\n\nmain:    low Output0\n", 0},
        {"18 pin PIC", "BASIC C2", "Switch on ", "Output2", "", "main:    switch on Output2\n", 0},
        {"18 pin PIC", "Assembly", "Switch off ", "Output3", "", "main:    switch off Output3\n", 0},
        {"STAMP", "BASIC C1", "Switch on ", "Output2", "",
         "symbol Output2 = 6\n\ninit: let dirs = %11110000\n\nmain:    high Output2\n", 0},
        {"STAMP", "BASIC C2", "Switch on ", "Output2", "", "init: let dirs = %11110000\n\nmain:    switch on Output2\n",
         0},
        {"18 pin PIC", "BASIC C1", "Switch on ", "Lamp", "", "symbol Lamp = 50\n\nmain:    high Lamp\n", 709},
        {"18 pin PIC", "BASIC C1", "Outputs = ", "", "5", "main:    let pins = %00000101\n", 0},
        {"Generic", "BASIC C1", "Outputs = ", "", "5", "main:    let pins = %0000000000000101\n", 0},
        {"STAMP", "BASIC C1", "Outputs = ", "", "3", "init: let dirs = %11110000\n\nmain:    let pins = %00110000\n", 0},
        {"18 pin PIC", "BASIC C1", "Outputs = ", "", "lights", "main:    let pins = lights\n", 0},
        {"STAMP", "BASIC C1", "Outputs = ", "", "lights", "init: let dirs = %11110000\n\nmain:    let pins = lights * 16\n",
         0},
    };
    for (const OutputCase& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + c.language + " " + c.mode + c.pin + c.value);
        LineBench b(c.cls, c.language);
        auto* o = b.Add<CFlowOutput>(100, 120);
        o->OnPropertyCommand(36053, c.mode);
        if (*c.pin) o->OnPropertyCommand(36059, c.pin);
        if (*c.value) o->OnPropertyCommand(36065, c.value);
        b.Line({o});
        const Exported e = b.Export();
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.text, CString(c.text) + kIndent + "end\n");
    }
    EXPECT_EQ(LoadResString(709), "Error: Cannot find this output");
}

TEST(FlowVarsExport, OutputPinsAreNumberedFromTheChipsFirstOutput)
{
    // Four digital inputs, two analogue ones and the reset pin come first:
    // the outputs are pins 7 to 10, so Output1 is pin 8 and output 1.
    ChipFlowBench b;
    CChip* chip = b.AddChip(700, 40, 4, 2, 1, 4);
    b.d.SetProgramLanguage("BASIC C1");
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* on = b.AddFlow<CFlowOutput>(100, 120);
    on->OnPropertyCommand(36059, "Output1");
    auto* all = b.AddFlow<CFlowOutput>(100, 200);
    all->OnPropertyCommand(36053, "Outputs = ");
    all->OnPropertyCommand(36065, "6");
    auto* stop = b.AddFlow<CFlowStop>(100, 300);
    b.Chain({start, on, all, stop});
    b.d.ResetRun(0);
    ASSERT_EQ(start->GetOutputPinNumber("Output1"), 8);
    ASSERT_EQ(start->GetOutputPinOffset(), 7);
    EXPECT_EQ(start->GetOutputCount(), 4);
    EXPECT_EQ(start->GetOutputPinNumber("Nowhere"), 50);
    CString text;
    int code = -1;
    start->ExportBasic(text, &code);
    EXPECT_EQ(code, 0);
    // The chip's class is "Generic": sixteen bits.
    EXPECT_EQ(text, CString("symbol Output1 = 1\n\nmain:    high Output1\n") + kIndent + "let pins = %0000000000000110\n" +
                        kIndent + "end\n");
    EXPECT_EQ(on->m_nPinNumber, 1);
    (void)chip;
}

// ---- motors ----

TEST(FlowVarsExport, MotorPinsInBasicC1)
{
    // The pair Output0, Output1 of a PIC without a microcontroller part:
    // pins 8 and 9, declared as outputs 0 and 1.
    struct Case {
        const char* direction;
        const char* lines;
    };
    const Case cases[] = {{"Forwards", "high Output0\n            low Output1\n"},
                          {"Backwards", "low Output0\n            high Output1\n"},
                          {"Stop", "low Output0\n            low Output1\n"}};
    for (const Case& c : cases) {
        LineBench b;
        auto* m = b.Add<CFlowMotor>(100, 120);
        m->OnPropertyCommand(36065, c.direction);
        b.Line({m});
        const Exported e = b.Export();
        EXPECT_EQ(e.code, 0) << c.direction;
        EXPECT_EQ(e.text, Program("symbol Output0 = 0\nsymbol Output1 = 1\n", c.lines)) << c.direction;
    }
    // A STAMP's BASIC names its pins from the first input: 4 and 5.
    LineBench stamp("STAMP");
    auto* m = stamp.Add<CFlowMotor>(100, 120);
    stamp.Line({m});
    EXPECT_EQ(stamp.Export().text, "symbol Output0 = 4\nsymbol Output1 = 5\n\ninit: let dirs = %11110000\n\n"
                                   "main:    high Output0\n            low Output1\n            end\n");
}

TEST(FlowVarsExport, MotorNamesInBasicC2)
{
    // A STAMP with four inputs: Output0 is pin 4 (motor A's pair), Output1
    // pin 5, Output2 pin 6 (motor B's pair), Output4 pin 8 (none).
    struct Case {
        const char* cls;
        const char* motor;
        const char* output;
        int direction;
        const char* line;
        int code;
    };
    const Case cases[] = {
        {"STAMP", "Motor A", "Output0", 0, "forward Motor A\n", 0},
        {"STAMP", "Motor A", "Output0", 2, "backward Motor A\n", 0},
        {"STAMP", "Motor B", "Output2", 1, "halt Motor B\n", 0},
        // The older lists' trailing blank names the same motor.
        {"STAMP", "Motor B ", "Output2", 0, "forward Motor B \n", 0},
        {"STAMP", "Motor B", "Output0", 0, "forward Motor B\n", 2008},
        {"STAMP", "Motor A", "Output2", 0, "forward Motor A\n", 2008},
        {"STAMP", "Motor A", "Output1", 0, "forward Motor A\n", 2010},
        {"STAMP", "Motor A", "Output4", 0, "forward Motor A\n", 834},
        {"STAMP", "Motor C", "Output0", 0, "forward Motor C\n", 2011},
        {"18 pin PIC", "Motor A", "Output0", 0, "forward Motor A\n", 2009},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + c.motor + " " + c.output);
        LineBench b(c.cls, "BASIC C2");
        auto* m = b.Add<CFlowMotor>(100, 120);
        m->m_strMotor = c.motor;
        m->m_strName = c.output;
        m->m_nDirection = c.direction;
        b.Line({m});
        const Exported e = b.Export();
        EXPECT_EQ(e.code, c.code);
        const CString stampLine = CString(c.cls) == "STAMP" ? "init: let dirs = %11110000\n\n" : "";
        EXPECT_EQ(e.text, stampLine + "main:    " + c.line + kIndent + "end\n");
    }
    for (unsigned id : {2008u, 2009u, 2010u, 834u})
        EXPECT_FALSE(LoadResString(id).empty()) << id;
}

TEST(FlowVarsExport, AMotorOnTheLastOutputHasNoPartner)
{
    // Four outputs: Output3 is the last, no pin follows it.
    ChipFlowBench b;
    b.AddChip(700, 40, 4, 0, 0, 4);
    b.d.SetProgramLanguage("BASIC C1");
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* m = b.AddFlow<CFlowMotor>(100, 120);
    m->m_strName = "Output3";
    auto* ok = b.AddFlow<CFlowMotor>(100, 200);
    ok->m_strName = "Output1";
    auto* stop = b.AddFlow<CFlowStop>(100, 300);
    b.Chain({start, ok, stop});
    b.d.ResetRun(0);
    CString text;
    int code = -1;
    start->ExportBasic(text, &code);
    EXPECT_EQ(code, 0);
    // Output1 is pin 5, output 1; Output2 follows it.
    EXPECT_EQ(text, "symbol Output1 = 1\nsymbol Output2 = 2\n\nmain:    high Output1\n            low Output2\n"
                    "            end\n");
    CString line;
    int lineCode = -1;
    m->GetBasicText(line, &lineCode, start);
    EXPECT_EQ(lineCode, 834);
}

} // namespace
