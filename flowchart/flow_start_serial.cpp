// The start element's part in the serial transfer: the microcontroller's
// serial pins and readings forwarded for the send and receive elements, and
// the arming of and delivery to the receive elements of other flowcharts.
#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_serial.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"

namespace {
constexpr int kNoPin = 50;
constexpr int kNoChip = -1;
// The receive elements one transfer reaches.
constexpr size_t kReceiverRoom = 100;
// The net of the placeholder labels that only advance the label counter:
// no net of a design carries this number.
constexpr uint16_t kNoNet = 0xFFFF;
} // namespace

int CFlowStart::ReadDigitalByte()
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->ReadDigitalByte() : kNoChip;
}

int CFlowStart::ReadAnalogInput(int i)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->ReadAnalogInput(i) : kNoChip;
}

int CFlowStart::ReadReceivePin()
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->ReadReceivePin() : kNoPin;
}

int CFlowStart::GetSendPinIndex()
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->GetSendPinIndex() : kNoPin;
}

int CFlowStart::StartTransmission(const int* values, bool whole)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->StartTransmission(values, whole) : 0;
}

std::vector<CFlowReceive*> SerialReceivers(CFlowStart& sender, bool senderHasChip, bool asked)
{
    std::vector<CFlowReceive*> out;
    const CCircuit* design = sender.GetDesign();
    if (!design) return out;
    for (CPart* p : design->CollectFlowObjects()) {
        auto* r = dynamic_cast<CFlowReceive*>(p);
        if (!r || !r->IsOtherFlowchart(&sender) || !r->CanAccept(asked, senderHasChip)) continue;
        if (out.size() >= kReceiverRoom) break;
        out.push_back(r);
    }
    return out;
}

void CFlowStart::ArmReceivers(bool hasChip)
{
    // Only the receivers that wait at their element now are armed: one
    // reached later waits for the next transfer.
    for (CFlowReceive* r : SerialReceivers(*this, hasChip, true)) r->Arm(hasChip);
}

void CFlowStart::DeliverToReceivers(const int* values)
{
    // Every receiver of the other flowcharts hears it; only the armed ones
    // take the values.
    for (CFlowReceive* r : SerialReceivers(*this, false, false)) r->Deliver(values);
}

int CFlowStart::TakeLabelNumber()
{
    const int n = static_cast<int>(m_export.labels.size());
    RegisterLabel(kNoNet, CString());
    return n;
}
