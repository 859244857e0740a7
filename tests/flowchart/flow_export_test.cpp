// The BASIC export: small flowcharts of the real elements written out and
// compared with text worked out by hand from the layout rules (a label on
// a net two wires reach, the Yes label after " then " and the No branch
// inline, "goto" for a wire back), the declarations, the direction line of
// the STAMP, and the errors and warnings.
#include "flow_start_support.h"
#include "flowchart/flow_beep.h"
#include "flowchart/flow_decision.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_export.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A process element that stands in for the element kinds that declare a
// byte variable and append a routine after the program.
class CDeclaringStep : public CTestFlowStep {
public:
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject*) override
    {
        out = variable;
        *kind = 1;
    }
    void GetBasicSubroutine(CString& out, int* kind, CFlowObject*) override
    {
        out = routine;
        *kind = routineKind;
    }
    CString variable;
    CString routine;
    int routineKind = 0;
};

struct Exported {
    CString text;
    int code = -1;
};

struct ExportBench : GuiBench {
    CFlowStart* start = nullptr;
    ExportBench()
    {
        start = Add<CFlowStart>(100, 40);
        d.m_strMicroClass = "18 pin PIC";
        d.SetProgramLanguage("BASIC C1");
    }
    CFlowWait* AddWait(int x, int y, double seconds)
    {
        auto* w = Add<CFlowWait>(x, y);
        w->m_parameter.SetValue(seconds, kPrefixNone);
        w->UpdateCaption();
        return w;
    }
    // Joins an element's output (or a decision's exit k) to another's input.
    void Link(CFlowObject* from, CFlowObject* to, int exit = 1)
    {
        CTerminal* out = from == start ? start->GetOutputTerminal() : from->GetTerminal(exit);
        Join(out, to->GetTerminal(0));
    }
    Exported Export()
    {
        Reset();
        Exported e;
        start->ExportBasic(e.text, &e.code);
        return e;
    }
};

// ---- layouts ----

TEST(FlowExport, StartToStop)
{
    ExportBench b;
    b.Link(b.start, b.Add<CFlowStop>(100, 160));
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, "main:    end\n");
}

TEST(FlowExport, OnlyTheStampGetsTheDirectionLine)
{
    // A STAMP without a microcontroller part has four inputs: four output
    // bits "1" above four input bits "0".
    struct Case {
        const char* cls;
        const char* text;
    };
    const Case cases[] = {{"STAMP", "init: let dirs = %11110000\n\nmain:    end\n"},
                          {"18 pin PIC", "main:    end\n"},
                          {"28 pin PIC", "main:    end\n"},
                          {"Generic", "main:    end\n"}};
    for (const Case& c : cases) {
        ExportBench b;
        b.d.m_strMicroClass = c.cls;
        b.Link(b.start, b.Add<CFlowStop>(100, 160));
        EXPECT_EQ(b.Export().text, c.text) << c.cls;
    }
}

TEST(FlowExport, TheDirectionLineFollowsTheMicrocontrollersInputs)
{
    GuiBench g;
    auto* start = g.Add<CChipStart>(100, 40);
    CFakeChip chip;
    chip.chipClass = "STAMP";
    start->chip = &chip; // eight inputs
    auto* stop = g.Add<CFlowStop>(100, 160);
    g.Join(start->GetOutputTerminal(), stop->GetTerminal(0));
    g.Reset();
    CString text;
    int code = -1;
    start->ExportBasic(text, &code);
    EXPECT_EQ(text, "init: let dirs = %00000000\n\nmain:    end\n");
}

TEST(FlowExport, AStraightLineIsIndentedUnderTheLabel)
{
    ExportBench b;
    auto* w1 = b.AddWait(100, 120, 0.5);
    auto* w2 = b.AddWait(100, 220, 2.0);
    auto* stop = b.Add<CFlowStop>(100, 320);
    b.Link(b.start, w1);
    b.Link(w1, w2);
    b.Link(w2, stop);
    EXPECT_EQ(b.Export().text, "main:    pause 500\n"
                               "            pause 2000\n"
                               "            end\n");
    // "BASIC C2" waits in seconds.
    b.d.SetProgramLanguage("BASIC C2");
    EXPECT_EQ(b.Export().text, "main:    wait 0.5000\n"
                               "            wait 2.0000\n"
                               "            end\n");
}

TEST(FlowExport, ALoopBackToTheFirstElementJumpsToMain)
{
    // The start's net is reached by the start and by the second wait: a
    // join, which already has the label "main".
    ExportBench b;
    auto* w1 = b.AddWait(100, 120, 0.5);
    auto* w2 = b.AddWait(300, 240, 1.0);
    b.Link(b.start, w1);
    b.Link(w1, w2);
    b.Link(w2, w1);
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, "main:    pause 500\n"
                      "            pause 1000\n"
                      "            goto main\n");
}

TEST(FlowExport, ADecisionWithTwoStops)
{
    // The Yes exit (1) gets label1 after " then "; the No branch follows
    // inline; then label1's definition and the Yes branch.  The input's
    // name is declared as its pin in "BASIC C1".
    ExportBench b;
    auto* dec = b.Add<CFlowDecision>(60, 120);
    auto* yes = b.Add<CFlowStop>(400, 300);
    auto* no = b.Add<CFlowStop>(60, 400);
    b.Link(b.start, dec);
    b.Link(dec, yes, 1);
    b.Link(dec, no, 2);
    Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, "symbol Input0 = pin0\n"
                      "\n"
                      "main:    if Input0 = 1 then label1\n"
                      "            end\n"
                      "label1:  end\n");
    // "BASIC C2" names the standard inputs itself: nothing to declare.
    b.d.SetProgramLanguage("BASIC C2");
    e = b.Export();
    EXPECT_EQ(e.text, "main:    if Input0 is on then label1\n"
                      "            end\n"
                      "label1:  end\n");
}

TEST(FlowExport, ADecisionThatLoopsBackWhileTheInputIsOff)
{
    // start -> wait -> decision; No back to the wait, Yes to a stop.
    ExportBench b;
    auto* wait = b.AddWait(100, 120, 1.0);
    auto* dec = b.Add<CFlowDecision>(60, 220);
    auto* stop = b.Add<CFlowStop>(400, 420);
    b.Link(b.start, wait);
    b.Link(wait, dec);
    b.Link(dec, stop, 1);
    b.Link(dec, wait, 2);
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, "symbol Input0 = pin0\n"
                      "\n"
                      "main:    pause 1000\n"
                      "            if Input0 = 1 then label1\n"
                      "            goto main\n"
                      "label1:  end\n");
}

TEST(FlowExport, BranchesThatMeetAgain)
{
    // Both branches end in one stop: the No branch reaches it first and
    // labels it (label2); the Yes branch jumps there.
    ExportBench b;
    auto* dec = b.Add<CFlowDecision>(60, 120);
    auto* waitYes = b.AddWait(400, 300, 2.0);
    auto* waitNo = b.AddWait(60, 400, 0.5);
    auto* stop = b.Add<CFlowStop>(200, 560);
    b.Link(b.start, dec);
    b.Link(dec, waitYes, 1);
    b.Link(dec, waitNo, 2);
    b.Link(waitNo, stop);
    b.Link(waitYes, stop);
    EXPECT_EQ(b.Export().text, "symbol Input0 = pin0\n"
                               "\n"
                               "main:    if Input0 = 1 then label1\n"
                               "            pause 500\n"
                               "label2:  end\n"
                               "label1:  pause 2000\n"
                               "            goto label2\n");
}

TEST(FlowExport, ALoopOnTheYesBranchKeepsOneDefinitionOfItsLabel)
{
    // The Yes branch's net is defined after the No branch and is itself a
    // join (the loop comes back to it): its label is written once.
    ExportBench b;
    auto* dec = b.Add<CFlowDecision>(60, 120);
    auto* w1 = b.AddWait(400, 300, 1.0);
    auto* w2 = b.AddWait(600, 420, 2.0);
    auto* stop = b.Add<CFlowStop>(60, 400);
    b.Link(b.start, dec);
    b.Link(dec, w1, 1);
    b.Link(dec, stop, 2);
    b.Link(w1, w2);
    b.Link(w2, w1);
    EXPECT_EQ(b.Export().text, "symbol Input0 = pin0\n"
                               "\n"
                               "main:    if Input0 = 1 then label1\n"
                               "            end\n"
                               "label1:  pause 1000\n"
                               "            pause 2000\n"
                               "            goto label1\n");
}

TEST(FlowExport, ATurnedDecisionSendsYesOutOfItsSecondExit)
{
    // Turned by code 1 the exits are listed upwards: exit 2 is the Yes
    // exit and its label follows " then ".
    ExportBench b;
    auto* dec = b.Add<CFlowDecision>(60, 120);
    // The picture is not turned yet; the code alone chooses the exits.
    dec->m_nOrientation = 1;
    auto* first = b.AddWait(400, 300, 1.0);
    auto* second = b.AddWait(60, 400, 2.0);
    b.Link(b.start, dec);
    b.Link(dec, first, 1);
    b.Link(dec, second, 2);
    auto* s1 = b.Add<CFlowStop>(400, 500);
    auto* s2 = b.Add<CFlowStop>(60, 560);
    b.Link(first, s1);
    b.Link(second, s2);
    EXPECT_EQ(b.Export().text, "symbol Input0 = pin0\n"
                               "\n"
                               "main:    if Input0 = 1 then label1\n"
                               "            pause 1000\n"
                               "            end\n"
                               "label1:  pause 2000\n"
                               "            end\n");
}

// ---- declarations ----

TEST(FlowExport, DeclarationKinds)
{
    ExportBench b;
    b.Link(b.start, b.Add<CFlowStop>(100, 160));
    b.Export(); // a fresh state
    b.start->Declare("x", 1);
    b.start->Declare("", 1);
    b.start->Declare("door = pin3", 3);
    b.start->Declare("door = pin3", 3);
    b.start->Declare("light = 2", 4);
    b.start->Declare("ignored", 2);
    b.start->Declare("", 7);
    b.start->Declare("", 10);
    EXPECT_EQ(b.start->GetExportState().header, "symbol x = b0\n"
                                                "symbol door = pin3\n"
                                                "symbol light = 2\n"
                                                "symbol analog = b1\n"
                                                "symbol a0 = b2\n"
                                                "symbol a1 = b3\n"
                                                "symbol a2 = b4\n"
                                                "symbol dig = b5\n");
    EXPECT_TRUE(b.start->GetExportState().analogRoutine);
}

TEST(FlowExport, LabelsAndJumps)
{
    ExportBench b;
    b.Link(b.start, b.Add<CFlowStop>(100, 160));
    b.Export();
    // label1 .. label6 take one blank after their colon's two, longer ones
    // one more; a jump to a net without a label makes one when asked.
    for (int i = 0; i < 9; ++i) b.start->RegisterLabel(static_cast<uint16_t>(900 + i), "x");
    b.start->DefineLabel(1000, 1, 5);
    EXPECT_EQ(b.start->GetExportState().texts[5], "label10:   ");
    EXPECT_FALSE(b.start->Goto(1001, 1, 0, 6));
    EXPECT_TRUE(b.start->Goto(1001, 1, 1, 6));
    EXPECT_EQ(b.start->GetExportState().texts[6], "goto label11\nlabel11\n");
    b.start->SetIndentPending();
    b.start->Indent(7);
    b.start->Indent(7);
    EXPECT_EQ(b.start->GetExportState().texts[7], std::string(24, ' '));
}

TEST(FlowExport, AVariableIsDeclaredOnceAndItsRoutineAppendedOnce)
{
    ExportBench b;
    auto* s1 = b.Add<CDeclaringStep>(100, 120);
    auto* s2 = b.Add<CDeclaringStep>(100, 220);
    auto* stop = b.Add<CFlowStop>(100, 320);
    for (auto* s : {s1, s2}) {
        s->variable = "count";
        s->routine = "reader:  return\n";
        s->routineKind = 1;
    }
    b.Link(b.start, s1);
    b.Link(s1, s2);
    b.Link(s2, stop);
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.text, "symbol count = b0\n"
                      "\n"
                      "main:    step\n"
                      "            step\n"
                      "            end\n"
                      "\n"
                      "\n"
                      "reader:  return\n");
}

// ---- errors and warnings ----

TEST(FlowExport, AnUnconnectedElementExportsNothing)
{
    ExportBench b;
    b.Link(b.start, b.AddWait(100, 120, 1.0));
    const Exported e = b.Export();
    EXPECT_EQ(e.code, 824);
    EXPECT_EQ(e.text, "Error in export");
    EXPECT_EQ(LoadResString(824), "Error: Flowchart has bad syntax - E101");
}

TEST(FlowExport, Warnings)
{
    struct Case {
        const char* name;
        int range;
        bool beep;
        double wait;
        int code;
    };
    // A later rule overrides an earlier one: the range, then an element's
    // warning.
    const Case cases[] = {{"range 255", 255, false, 1.0, 0},     {"range 256", 256, false, 1.0, 2001},
                          {"beep", 255, true, 1.0, 2004},        {"beep and range", 256, true, 1.0, 2004},
                          {"wait 70 s", 255, false, 70.0, 2003}, {"wait 65 s", 255, false, 65.0, 0}};
    for (const Case& c : cases) {
        ExportBench b;
        b.d.m_nVariableRange = c.range;
        CFlowObject* last = b.AddWait(100, 120, c.wait);
        b.Link(b.start, last);
        if (c.beep) {
            auto* beep = b.Add<CFlowBeep>(100, 220);
            b.Link(last, beep);
            last = beep;
        }
        b.Link(last, b.Add<CFlowStop>(100, 320));
        const Exported e = b.Export();
        EXPECT_EQ(e.code, c.code) << c.name;
        EXPECT_TRUE(IsFlowExportWarning(e.code) || e.code == 0) << c.name;
        EXPECT_NE(e.text.find("main:    pause"), CString::npos) << c.name;
        if (c.beep) {
            EXPECT_NE(e.text.find("            ' Beep\n"), CString::npos);
        }
    }
    EXPECT_EQ(LoadResString(2001), "Warning: Variable range set outside microcontroller range - W102");
    EXPECT_EQ(LoadResString(2002), "Warning: Too many variables - W100");
}

TEST(FlowExport, MoreThanFourteenVariablesWarn)
{
    for (int count : {14, 15}) {
        ExportBench b;
        CFlowObject* last = b.start;
        for (int i = 0; i < count; ++i) {
            auto* s = b.Add<CDeclaringStep>(100, 120 + 100 * i);
            s->variable = "v" + std::to_string(i);
            b.Link(last, s);
            last = s;
        }
        b.Link(last, b.Add<CFlowStop>(100, 120 + 100 * count));
        const Exported e = b.Export();
        EXPECT_EQ(e.code, count > 14 ? 2002 : 0) << count;
        EXPECT_NE(e.text.find("symbol v" + std::to_string(count - 1) + " = b" + std::to_string(count - 1) + "\n"),
                  CString::npos);
    }
}

TEST(FlowExport, ComparisonsNeedAnAnalogueInputOfTheClass)
{
    struct Case {
        const char* cls;
        const char* input;
        int code;
    };
    const Case cases[] = {{"STAMP", "a_Input0", 829},     {"18 pin PIC", "a_Input0", 829},
                          {"28 pin PIC", "a_Input0", 0},  {"Generic", "a_Input0", 0},
                          {"28 pin PIC", "Input0", 932}};
    for (const Case& c : cases) {
        ExportBench b;
        b.d.m_strMicroClass = c.cls;
        auto* dec = b.Add<CFlowDecision>(60, 120);
        dec->OnPropertyCommand(36053, c.input);
        dec->OnPropertyCommand(36059, " > ");
        dec->OnPropertyCommand(36065, "100");
        b.Link(b.start, dec);
        b.Link(dec, b.Add<CFlowStop>(400, 300), 1);
        b.Link(dec, b.Add<CFlowStop>(60, 400), 2);
        const Exported e = b.Export();
        EXPECT_EQ(e.code, c.code) << c.cls << " " << c.input;
        if (c.code == 0) {
            EXPECT_EQ(e.text, "symbol analog = b0\n"
                              "\n"
                              "main:    readADC 0, analog\n"
                              "             if analog > 100 then label1\n"
                              "            end\n"
                              "label1:  end\n")
                << c.cls;
        }
    }
    EXPECT_EQ(LoadResString(829), "Error: No microcontroller or microcontroller cannot have analog inputs - E104");
    EXPECT_EQ(LoadResString(932), "Error: Digital input can only be \"on\" or \"off\" - E108");
}

TEST(FlowExport, AChipWithoutAnalogueInputsRefusesAComparison)
{
    GuiBench g;
    auto* start = g.Add<CChipStart>(100, 40);
    CFakeChip chip;
    chip.chipClass = "18 pin PIC";
    start->chip = &chip;
    auto* dec = g.Add<CFlowDecision>(60, 120);
    dec->OnPropertyCommand(36053, "Dial");
    dec->OnPropertyCommand(36059, " < ");
    auto* s1 = g.Add<CFlowStop>(400, 300);
    auto* s2 = g.Add<CFlowStop>(60, 400);
    g.Join(start->GetOutputTerminal(), dec->GetTerminal(0));
    g.Join(dec->GetTerminal(1), s1->GetTerminal(0));
    g.Join(dec->GetTerminal(2), s2->GetTerminal(0));
    g.Reset();
    CString text;
    int code = -1;
    start->ExportBasic(text, &code);
    EXPECT_EQ(code, 1013);
    EXPECT_EQ(LoadResString(1013), "Error: Associated microcontroller does not have analog inputs - E110");
}

TEST(FlowExport, ADigitalTestOfAnAnalogueInputIsAnError)
{
    ExportBench b;
    b.d.m_strMicroClass = "28 pin PIC";
    auto* dec = b.Add<CFlowDecision>(60, 120);
    dec->OnPropertyCommand(36053, "a_Input0");
    b.Link(b.start, dec);
    b.Link(dec, b.Add<CFlowStop>(400, 300), 1);
    b.Link(dec, b.Add<CFlowStop>(60, 400), 2);
    EXPECT_EQ(b.Export().code, 931);
    EXPECT_EQ(LoadResString(931), "Error: Analog input cannot be \"on\" or \"off\" - E105");
}

// ---- the text's repairs ----

TEST(FlowExport, RepeatedLabelDefinitions)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"label1:  label1:  end\n", "label1:  end\n"},
        {"label12:   label12:   end\n", "label12:   end\n"},
        {"goto label1\nlabel1:  end\n", "goto label1\nlabel1:  end\n"},
        // A far repeat is left with the lines between.
        {"label3:  pause 1\n label3:  end\n", "label3:  pause 1\n label3:  end\n"},
        {"label2:  label2:  label2:  end\n", "label2:  end\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(DropRepeatedLabels(c.in), c.out) << c.in;
}

} // namespace
