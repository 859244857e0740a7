// The serial elements' exported BASIC: serout/serin at 1200 baud, a
// preamble of four $AA bytes, $00 $00 and the sync byte $99, then an
// address byte and a value per frame and the end marker $66 $66.  The
// pins and checks follow the microcontroller class that runs the flowchart.
#include "flowchart/flow_serial.h"

#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "platform/numtext.h"


namespace {
const char* const kNextLine = "\n            "; // a new line and 12 blanks
const char* const kPause = "pause 50";
const char* const kBaud = ", T1200,";
const char* const kPreamble = "($AA, $AA, $AA, $AA, $00, $00, $99";
const char* const kEndFrame = "$66, $66)";
// "Error: No microcontroller or microcontroller does not have serial
// communications activated - E109"; "Error: Associated microcontroller does
// not have analog inputs - E110".
constexpr int kCodeNoSerial = 957;
constexpr int kCodeNoAnalogue = 1013;
constexpr int kNoPin = 50;
// Declaration kinds of the export: a byte variable, "a0".. and "dig", "a0"..
constexpr int kDeclareByte = 1;
constexpr int kDeclareAnalogue = 4;
constexpr int kDeclareDigitalAnalogue = 8;
constexpr int kRoutineOnce = 1;
constexpr int kRoutineTwice = 2;

// The pins and the digital pin count of a class.
struct SerialClassRow {
    const char* className;
    const char* sendPin;
    const char* receivePin;
    int digitalPins;
};
constexpr SerialClassRow kClasses[] = {
    {"STAMP", "7", "0", 4},
    {"18 pin PIC", "7", "0", 4},
    {"28 pin PIC", "7", "0", 8},
    {"28 pin PIC (USART)", "pin6", "7", 6},
};
constexpr SerialClassRow kOtherClass = {"", "15", "0", 0};

SerialClassRow RowOf(const CString& className)
{
    for (const SerialClassRow& r : kClasses)
        if (className == r.className) return r;
    return kOtherClass;
}

CFlowStart* Exporter(CFlowObject* exporting, const CFlowObject& element)
{
    if (auto* s = dynamic_cast<CFlowStart*>(exporting)) return s;
    return RunningFlowchart(element);
}

bool HasSerialChip(CFlowStart* flowchart)
{
    return flowchart && flowchart->HasChip() && flowchart->GetSendPinIndex() != kNoPin;
}

CString ClassOf(CFlowStart* flowchart) { return flowchart ? flowchart->GetMicrocontrollerClass() : CString(); }

// The routine that reads the digital inputs into "dig": one test per pin
// (4, 6 or 8 of them by the class, none for another class), each jumping
// over the addition of its weight, then the return at the next weight's
// label.
CString DigitalRoutine(int pins)
{
    const char* const kBody = "\n           ";
    const int tested = pins == 0 ? 0 : pins < 5 ? 4 : pins < 7 ? 6 : 8;
    const int end = pins < 5 ? 16 : pins < 7 ? 64 : 256;
    CString out = CString("digital: let dig = 0") + kBody;
    for (int pin = 0, weight = 1; pin < tested; ++pin, weight *= 2) {
        if (pin > 0) out += "ADD" + FormatInt(weight) + ": ";
        out += "if pin" + FormatInt(pin) + " = 0 then ADD" + FormatInt(weight * 2) + kBody + "let dig = dig + " +
               FormatInt(weight) + "\n";
    }
    return out + "ADD" + FormatInt(end) + ": return";
}
} // namespace

// ---- send ----

void CFlowSend::GetBasicText(CString& out, int* code, CFlowObject* exporting)
{
    CFlowStart* flowchart = Exporter(exporting, *this);
    const CString cls = ClassOf(flowchart);
    const CString p = RowOf(cls).sendPin;
    const CString serout = "serout " + p + kBaud;
    int result = 0;
    out = "high " + p;
    for (int i = 0; i < AnalogueInputsSent(); ++i) out += kNextLine + CString("readADC ") + FormatInt(i) + ", a" + FormatInt(i);
    if (AnalogueInputsSent() > 0 && (cls == "STAMP" || cls == "18 pin PIC")) result = kCodeNoAnalogue;
    if (m_bSendDigital) out += kNextLine + CString("gosub digital");

    // The bodies of the frames in address order; the first goes after the
    // preamble, the others each on a line of their own.
    std::vector<CString> frames;
    if (m_bSendVariable) frames.push_back("1, " + m_strVariable + ")");
    if (m_bSendDigital) frames.push_back("2, dig)");
    for (int i = 0; i < AnalogueInputsSent(); ++i) frames.push_back(FormatInt(3 + i) + ", a" + FormatInt(i) + ")");
    out += kNextLine + serout + kPreamble + ", " + (frames.empty() ? CString(kEndFrame) : frames.front());
    out += kNextLine + CString(kPause);
    if (!frames.empty()) {
        for (size_t k = 1; k < frames.size(); ++k) out += kNextLine + serout + "(" + frames[k] + kNextLine + kPause;
        out += kNextLine + serout + "(" + kEndFrame + kNextLine + kPause;
    }
    out += "\n";
    if (!HasSerialChip(flowchart)) result = kCodeNoSerial;
    if (code) *code = result;
}

void CFlowSend::GetBasicDeclarations(CString& out, int* kind, CFlowObject*)
{
    // "dig" alone is one byte; with analogue inputs the kinds 5..8 declare
    // "a0".. and 9..12 "dig" and "a0"...
    const int analogue = AnalogueInputsSent();
    int k = 0;
    out.Empty();
    if (m_bSendDigital && analogue == 0) {
        out = "dig";
        k = kDeclareByte;
    } else if (m_bSendDigital) {
        k = analogue + kDeclareDigitalAnalogue;
    } else if (analogue > 0) {
        k = analogue + kDeclareAnalogue;
    }
    if (kind) *kind = k;
}

void CFlowSend::GetBasicSubroutine(CString& out, int* kind, CFlowObject* exporting)
{
    out.Empty();
    if (!m_bSendDigital) return;
    out = DigitalRoutine(RowOf(ClassOf(Exporter(exporting, *this))).digitalPins) + "\n\n";
    if (kind) *kind = kRoutineOnce;
}

// ---- receive ----

void CFlowReceive::GetBasicText(CString& out, int* code, CFlowObject* exporting)
{
    CFlowStart* flowchart = Exporter(exporting, *this);
    const CString r = RowOf(ClassOf(flowchart)).receivePin;
    const CString n = FormatInt(flowchart ? flowchart->TakeLabelNumber() : 0);
    out = "serin " + r + kBaud + " ($99), addr, data\n";
    out += "repeat" + n + ": if addr = $66 then finish" + n + "\n            gosub alloc\n            ";
    out += "serin " + r + kBaud + " addr, data \n            ";
    out += "goto repeat" + n + "\n";
    out += "finish" + n + ": let addr = 0\n";
    if (code) *code = HasSerialChip(flowchart) ? 0 : kCodeNoSerial;
}

void CFlowReceive::GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting)
{
    if (CFlowStart* flowchart = Exporter(exporting, *this)) {
        for (const CString& t : m_targets) flowchart->Declare(t, kDeclareByte);
        flowchart->Declare("addr", kDeclareByte);
    }
    out = "data";
    if (kind) *kind = kDeclareByte;
}

void CFlowReceive::GetBasicSubroutine(CString& out, int* kind, CFlowObject*)
{
    static const char* const kLabels[kSerialAddresses] = {"VAR:   let ", "DIGIT:  let ", "A1:     let ",
                                                          "A2:     let ", "A3:     let ", "A4:     let "};
    out = "alloc:   if addr = 1 then VAR\n"
          "           if addr = 2 then DIGIT\n"
          "           if addr = 3 then A1\n"
          "           if addr = 4 then A2\n"
          "           if addr = 5 then A3\n"
          "           if addr = 6 then A4\n"
          "           return\n\n";
    for (int i = 0; i < kSerialAddresses; ++i) out += kLabels[i] + m_targets[i] + " = data \n           return\n";
    if (kind) *kind = kRoutineTwice;
}
