// The chip as the flowchart start sees it: every question of the start's
// elements forwarded to the chip's pin operations.
#include "flowchart/chip.h"

namespace {

class CChipFlowLink final : public CFlowChipLink {
public:
    explicit CChipFlowLink(CChip& chip) : m_chip(chip) {}

    CString GetFlowchartName() const override { return m_chip.m_strFlowchartName; }
    CString GetChipClass() const override { return m_chip.GetClassName(); }
    CString GetOutputLabels() const override { return m_chip.GetOutputNames(); }
    CString GetInputLabels() const override { return m_chip.GetInputNames(); }
    CString GetAnalogLabels() const override { return m_chip.GetAnalogInputNames(); }
    CString GetMotorLabels() const override { return m_chip.GetMotorOutputNames(); }
    int ReadInput(const CString& label) override { return m_chip.GetInputValue(label); }
    int IsInputDigital(const CString& label) override { return m_chip.GetInputDigitalFlag(label); }
    int SetOutputPin(const CString& label, int value) override
    {
        return m_chip.SetOutputByName(label, value ? 1 : 0) ? 1 : 0;
    }
    int SetOutputsFromBits(int bits) override { return m_chip.SetOutputsFromByte(bits); }
    int DriveMotorPins(const CString& lowerPin, int direction) override
    {
        return m_chip.SetMotorPins(lowerPin, direction) ? 1 : 0;
    }
    int GetInputPinIndex(const CString& label) override { return m_chip.GetDigitalPinIndex(label); }
    int GetAnalogPinIndex(const CString& label) override { return m_chip.GetAnalogPinIndex(label); }
    CString GetNextOutputLabel(const CString& label) override { return m_chip.GetNextOutputName(label); }
    int GetInputCount() override { return static_cast<const CChip&>(m_chip).GetInputCount(); }
    int GetOutputPinNumber(const CString& label) override
    {
        for (int port = m_chip.GetInputCount(); port < m_chip.GetPortCount(); ++port)
            if (m_chip.GetPort(port)->m_strName == label) return port;
        return kChipNoSuchPin;
    }
    int GetOutputPinOffset() override { return static_cast<const CChip&>(m_chip).GetInputCount(); }
    int GetOutputCount() override { return m_chip.OutputCount(); }
    void ResetPins() override { m_chip.ResetPins(); }
    bool IsHeldInReset() override { return m_chip.m_nResetPin && !m_chip.IsResetHigh(); }
    int ReadDigitalByte() override { return m_chip.ReadDigitalByte(); }
    int ReadAnalogInput(int i) override { return m_chip.ReadAnalogInput(i); }
    int ReadReceivePin() override { return m_chip.ReadReceivePin(); }
    int GetSendPinIndex() override { return m_chip.GetSendPinIndex(); }
    int StartTransmission(const int* values, bool whole) override { return m_chip.StartTransmission(values, whole); }

private:
    CChip& m_chip;
};

} // namespace

CFlowChipLink* CChip::GetFlowLink()
{
    if (!m_pFlowLink) m_pFlowLink = std::make_unique<CChipFlowLink>(*this);
    return m_pFlowLink.get();
}
