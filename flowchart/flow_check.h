// The flowchart checker: from a head's output it traces the connector nets
// through every element it reaches, claims each for the head, and lists the
// structural errors (an unconnected connector, two outputs or two inputs on
// one net, an element wired into a head).  Nets are the solver's node
// numbers, so the design's nets must be numbered (a reset does that).
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class CCircuit;
class CFlowObject;

class CFlowChecker {
public:
    // Room in the lists; a flowchart that needs more is traced only as far
    // as the room goes.
    static constexpr std::size_t kVisitedRoom = 500;
    static constexpr std::size_t kErrorRoom = 200;

    // mainFlowchart: the owner is a start (else a subroutine head).
    CFlowChecker(const CCircuit& design, CFlowObject* owner, bool mainFlowchart);

    // Traces from the owner's output; returns the number of errors counted.
    int Run();
    // Adds an entry to the error list (dropped when the list is full).
    void Record(CFlowObject* element, int code);
    // The list reduced to one entry per element, the smallest code.
    std::vector<std::pair<CFlowObject*, int>> Reduced() const;
    // The elements the trace reached (claimed), in the order reached.
    const std::vector<CFlowObject*>& Claimed() const { return m_claimed; }
    // How deep the trace was when it first reached Claimed()[i] (1: on the
    // owner's output net).
    int ClaimedDepth(std::size_t i) const { return i < m_claimedDepth.size() ? m_claimedDepth[i] : -1; }

private:
    int Trace(CFlowObject* e, uint16_t node, int flag);
    bool Visited(uint16_t node) const;

    std::vector<CFlowObject*> m_elements;
    CFlowObject* m_owner;
    bool m_main;
    std::vector<std::pair<uint16_t, int>> m_visited;
    std::vector<std::pair<CFlowObject*, int>> m_errors;
    std::vector<CFlowObject*> m_claimed;
    std::vector<int> m_claimedDepth;
    int m_depth = 0;
};
