#include "flowchart/chip_options.h"

#include "flowchart/chip.h"
#include "platform/numtext.h"

#include <algorithm>

namespace {
// The one dialog of the running program; installed by the main window.
CChipDialogHost* g_chipHost = nullptr;

constexpr int kStampPins = 8;
// The two pins of the USART among the digital inputs.
constexpr int kUsartReceive = 7, kUsartSend = 6;

struct LimitRow {
    const char* name;
    ChipDialogLimits limits;
};
// Analogue, digital inputs, outputs; any other class is "Generic".
constexpr LimitRow kLimits[] = {
    {"STAMP", {0, kStampPins, kStampPins}},
    {"18 pin PIC", {0, 4, 8}},
    {"28 pin PIC", {4, 8, 8}},
    {"28 pin PIC (USART)", {4, 8, 8}},
};
constexpr ChipDialogLimits kGenericLimits{8, 8, 16};

bool Is28Pin(const CString& name) { return name == "28 pin PIC" || name == "28 pin PIC (USART)"; }
} // namespace

ChipDialogLimits ChipDialogLimitsOf(const CString& className)
{
    for (const LimitRow& r : kLimits)
        if (className == r.name) return r.limits;
    return kGenericLimits;
}

CChipDialogHost* CChipDialogHost::Current() { return g_chipHost; }

CChipDialogHost* CChipDialogHost::Install(CChipDialogHost* host)
{
    CChipDialogHost* old = g_chipHost;
    g_chipHost = host;
    return old;
}

CAdvancedChipForm::CAdvancedChipForm(const CChip& chip)
    : m_class(chip.GetClassName()), m_usart(chip.m_bUsart != 0), m_reset(chip.m_nResetPin != 0),
      m_serial(chip.m_bSerial != 0), m_digital(chip.DigitalCount()), m_analogue(chip.AnalogueCount()),
      m_outputs(chip.OutputCount())
{
    for (int i = 0; i < m_digital; ++i) m_pins.push_back({0, i, chip.GetDigitalInputName(i)});
    for (int i = 0; i < m_analogue; ++i) m_pins.push_back({1, i, chip.GetAnalogInputName(i)});
    for (int i = 0; i < m_outputs; ++i) m_pins.push_back({2, i, chip.GetOutputName(i)});
    if (!m_pins.empty()) labelText = m_pins.front().label;
}

std::vector<CString> CAdvancedChipForm::PinIdentifiers() const
{
    std::vector<CString> out;
    const bool stamp = m_class == "STAMP";
    int inputs = 0;
    for (const Pin& p : m_pins)
        if (p.group != 2) ++inputs;
    for (const Pin& p : m_pins) {
        if (stamp) out.push_back("pin" + FormatInt(p.group == 2 ? inputs + p.index : p.index));
        else out.push_back(CString(p.group == 0 ? "in" : p.group == 1 ? "ain" : "out") + FormatInt(p.index));
    }
    return out;
}

int CAdvancedChipForm::FindLabel(const CString& label, int except) const
{
    for (size_t i = 0; i < m_pins.size(); ++i)
        if (static_cast<int>(i) != except && m_pins[i].label == label) return static_cast<int>(i);
    return -1;
}

int CAdvancedChipForm::TakeLabel()
{
    if (m_selected < 0 || m_selected >= static_cast<int>(m_pins.size())) return 0;
    Pin& pin = m_pins[static_cast<size_t>(m_selected)];
    if (labelText == pin.label) return 0;
    if (FindLabel(labelText, m_selected) >= 0) {
        labelText = pin.label;
        return static_cast<int>(kNameUsedWarning);
    }
    // An empty label would leave the pin out of every name list.
    pin.label = labelText.empty() ? CString(" ") : labelText;
    return 0;
}

int CAdvancedChipForm::Select(int index)
{
    const int warning = TakeLabel();
    if (index >= 0 && index < static_cast<int>(m_pins.size())) {
        m_selected = index;
        labelText = m_pins[static_cast<size_t>(index)].label;
    }
    return warning;
}

int CAdvancedChipForm::ReadCount(const CString& text)
{
    // The leading digits, as the field shows them again; anything else 0.
    int n = 0;
    for (char c : text) {
        if (c == ' ' && n == 0) continue;
        if (c < '0' || c > '9' || n > 9999) break;
        n = n * 10 + (c - '0');
    }
    return n;
}

CString CAdvancedChipForm::DigitalText() const { return FormatInt(m_digital); }
CString CAdvancedChipForm::AnalogueText() const { return FormatInt(m_analogue); }
CString CAdvancedChipForm::OutputText() const { return FormatInt(m_outputs); }

bool CAdvancedChipForm::AnalogueEnabled() const { return ChipDialogLimitsOf(m_class).analogue > 0; }

bool CAdvancedChipForm::UsartEnabled() const { return Is28Pin(m_class); }

void CAdvancedChipForm::SetUsart(bool on)
{
    if (!UsartEnabled()) return;
    m_usart = on;
    m_class = on ? "28 pin PIC (USART)" : "28 pin PIC";
    for (Pin& p : m_pins) {
        if (p.group != 0) continue;
        if (p.index == kUsartReceive) p.label = on ? CString("Receive") : CString("Input7");
        if (p.index == kUsartSend) p.label = on ? CString("Send") : CString("Input6");
    }
    if (m_selected >= 0 && m_selected < static_cast<int>(m_pins.size()))
        labelText = m_pins[static_cast<size_t>(m_selected)].label;
    if (on) {
        const ChipDialogLimits l = ChipDialogLimitsOf(m_class);
        m_digital = l.digital;
        m_analogue = l.analogue;
        m_outputs = l.outputs;
    }
}

int CAdvancedChipForm::Accept()
{
    const int warning = TakeLabel();
    const ChipDialogLimits l = ChipDialogLimitsOf(m_class);
    m_analogue = std::clamp(m_analogue, 0, l.analogue);
    if (m_class == "STAMP") {
        // The 8 pins are shared: each count leaves room for the other.
        m_digital = std::clamp(m_digital, 1, std::max(1, kStampPins - m_outputs));
        m_outputs = std::clamp(m_outputs, 1, std::max(1, kStampPins - m_digital));
    } else {
        m_digital = std::clamp(m_digital, 1, l.digital);
        m_outputs = std::clamp(m_outputs, 1, l.outputs);
    }
    return warning;
}

void CAdvancedChipForm::ApplyTo(CChip& chip) const
{
    // The labels go in while the ports stand as they are; the rebuild
    // keeps them by group and position.
    for (const Pin& p : m_pins) {
        if (p.group == 0) chip.SetDigitalInputName(p.index, p.label);
        else if (p.group == 1) chip.SetAnalogInputName(p.index, p.label);
        else chip.SetOutputName(p.index, p.label);
    }
    chip.m_bUsart = m_usart ? 1 : 0;
    chip.m_nCustomDigital = m_digital;
    chip.m_nCustomAnalogue = m_analogue;
    chip.m_nCustomOutputs = m_outputs;
    chip.m_bCustomSizes = 1;
    const int reset = m_reset ? 1 : 0;
    if (reset != chip.m_nResetPin) {
        chip.m_nResetPin = reset;
        chip.m_bResetChanged = 1;
    }
}
