// What the network solver needs of a terminal: the node number of its net
// and an accumulator for the current that the read-back reports through it.
// The component terminals implement this interface; CNodeTerminal is a plain
// stand-alone one for parts of the program (and tests) that work on bare nodes.
#pragma once

#include <cstdint>

class CSolverTerminal {
public:
    virtual ~CSolverTerminal() = default;
    // Node number of the terminal's net; 0 is the reference node.
    virtual uint16_t GetNode() const = 0;
    // Adds to the current that the terminal collects during one pass.
    virtual void AddCurrent(double current) = 0;
};

class CNodeTerminal final : public CSolverTerminal {
public:
    explicit CNodeTerminal(uint16_t node = 0) : m_Node(node) {}
    uint16_t GetNode() const override { return m_Node; }
    void AddCurrent(double current) override { m_Current += current; }

    void SetNode(uint16_t node) { m_Node = node; }
    double GetCurrent() const { return m_Current; }
    void ClearCurrent() { m_Current = 0.0; }

private:
    uint16_t m_Node;
    double m_Current = 0.0;
};
