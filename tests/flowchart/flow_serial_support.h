// Test helpers for the serial elements: two flowcharts, the receiver's
// (start -> receive -> stop, placed first so that its elements step first in
// every pass) and the sender's (start -> x = value -> send -> stop), with or
// without a microcontroller part each.
#pragma once

#include "flow_vars_support.h"
#include "flowchart/flow_serial.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_variable.h"

#include <functional>
#include <string>

struct SerialRig {
    ChipFlowBench b;
    CFlowStart* rxStart;
    CFlowReceive* receive;
    CFlowStop* rxStop;
    CFlowStart* txStart;
    CFlowVariable* assign;
    CFlowSend* send;
    CFlowStop* txStop;
    CChip* rxChip = nullptr;
    CChip* txChip = nullptr;

    SerialRig()
    {
        rxStart = b.AddFlow<CFlowStart>(100, 40);
        receive = b.AddFlow<CFlowReceive>(100, 120);
        rxStop = b.AddFlow<CFlowStop>(100, 220);
        b.Chain({rxStart, receive, rxStop});
        txStart = b.AddFlow<CFlowStart>(400, 40);
        assign = b.AddFlow<CFlowVariable>(400, 120);
        send = b.AddFlow<CFlowSend>(400, 200);
        txStop = b.AddFlow<CFlowStop>(400, 320);
        b.Chain({txStart, assign, send, txStop});
    }

    // A generic chip with 4 digital inputs (Input0 the Receive pin), 2
    // analogue inputs and 4 outputs (Output3 the Send pin), serial on.
    CChip* AddSerialChip(int x, const CString& flowchart, bool serial = true)
    {
        auto* c = new CChip;
        c->m_strClassName = "Generic";
        c->m_nClassCode = CHIP_GENERIC;
        c->m_digitalInputs = 4;
        c->m_analogueInputs = 2;
        c->m_outputs = 4;
        c->m_bSerial = serial ? 1 : 0;
        c->m_rect = CRect(x, 600, x, 600);
        c->m_pCircuit = &b.d;
        c->Initialise();
        b.d.AddChild(c);
        c->Drop(&b.d);
        c->m_strFlowchartName = flowchart;
        return c;
    }
    void AddChips(bool serial = true)
    {
        rxChip = AddSerialChip(800, rxStart->m_strName, serial);
        txChip = AddSerialChip(1200, txStart->m_strName, serial);
    }
    static constexpr int kSendPort = 9;
    static constexpr int kReceivePort = 0;
    // The sender's Send pin wired to the receiver's Receive pin.
    void WireLine() { b.Wire(txChip->GetPortTerminal(kSendPort), rxChip->GetPortTerminal(kReceivePort)); }

    // Only what the test names is sent.
    void Sends(bool variable, bool digital, bool analogue, int count = 4, bool whole = false)
    {
        send->m_bSendVariable = variable;
        send->m_bSendDigital = digital;
        send->m_bSendAnalogue = analogue;
        send->m_nAnalogueCount = count;
        send->m_bWhole = whole;
        send->UpdateCaption();
    }

    // Resets at 20 updates per second, presses the receiver's start and
    // runs until its receive element holds control, then presses the
    // sender's and runs until the send element starts its transfer; false
    // when either did not happen.
    bool RunToTransfer(int value)
    {
        assign->OnPropertyCommand(36059, std::to_string(value));
        b.d.ResetRun(0);
        b.d.SetUpdateRate(20.0);
        Press(rxStart, b.d);
        if (!RunUntil([&] { return receive->m_bActive != 0; }, 50)) return false;
        Press(txStart, b.d);
        return RunUntil([&] { return send->m_bActive != 0; }, 50);
    }
    // Runs pass by pass until the condition holds; the passes taken, or 0.
    int RunUntil(const std::function<bool()>& done, int limit)
    {
        for (int passes = 1; passes <= limit; ++passes) {
            b.Run();
            if (done()) return passes;
        }
        return 0;
    }
    int Rx(const CString& name) const { return rxStart->GetVariable(name); }
};
