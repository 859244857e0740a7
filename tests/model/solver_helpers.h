// Small fixtures for the solver tests: a network is a list of elements, each
// of which talks to the solver the way a component's Stamp does (the same
// calls in every phase; the solver ignores what a phase does not use).
#pragma once

#include "model/solver/matrix.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct TestNet {
    explicit TestNet(uint16_t nodes) : nodeCount(nodes) {}

    // A terminal on a node; element terminals are separate objects so each
    // collects its own current.
    CNodeTerminal* T(uint16_t node)
    {
        terms.push_back(std::make_unique<CNodeTerminal>(node));
        return terms.back().get();
    }
    void Add(std::function<void(CMatrix&)> element) { elements.push_back(std::move(element)); }

    // Helpers that add one element each and return its terminals.
    std::pair<CNodeTerminal*, CNodeTerminal*> Resistor(uint16_t a, uint16_t b, double ohms)
    {
        auto ta = T(a), tb = T(b);
        double g = 1.0 / ohms;
        Add([=](CMatrix& m) { m.StampConductance(g, ta, tb); });
        return {ta, tb};
    }
    std::pair<CNodeTerminal*, CNodeTerminal*> Conductance(uint16_t a, uint16_t b, double g)
    {
        auto ta = T(a), tb = T(b);
        Add([=](CMatrix& m) { m.StampConductance(g, ta, tb); });
        return {ta, tb};
    }
    // Current into node `to` from node `from`.
    void CurrentSource(uint16_t from, uint16_t to, double amps)
    {
        auto tf = T(from), tt = T(to);
        Add([=](CMatrix& m) { m.StampTransfer(0.0, amps, tf, tt, tf, tt); });
    }
    // value(plus) = value(minus) + emf.
    std::pair<CNodeTerminal*, CNodeTerminal*> Cell(uint16_t plus, uint16_t minus, double emf)
    {
        auto tp = T(plus), tm = T(minus);
        Add([=](CMatrix& m) { m.AddVoltageSource(emf, tp, tm); });
        return {tp, tm};
    }
    std::pair<CNodeTerminal*, CNodeTerminal*> Wire(uint16_t a, uint16_t b)
    {
        auto ta = T(a), tb = T(b);
        Add([=](CMatrix& m) { m.AddLink(ta, tb); });
        return {ta, tb};
    }
    // value(b) = ratio * value(a).
    std::pair<CNodeTerminal*, CNodeTerminal*> Gear(uint16_t a, uint16_t b, double ratio)
    {
        auto ta = T(a), tb = T(b);
        Add([=](CMatrix& m) { m.AddRatioLink(ratio, ta, tb); });
        return {ta, tb};
    }

    void StampAll()
    {
        for (auto& e : elements) e(m);
    }
    // One whole pass; returns Solve's result (read-back runs only after a
    // successful solve).
    bool Run()
    {
        for (auto& t : terms) t->ClearCurrent();
        if (!m.Resize(nodeCount)) return false;
        StampAll();
        m.MergeLinks();
        m.Clear();
        StampAll();
        if (!m.Solve()) return false;
        m.BeginBranchReadBack();
        StampAll();
        m.BeginLinkReadBack();
        StampAll();
        readBackComplete = m.EndLinkReadBack();
        return true;
    }
    double V(uint16_t node) const { return m.GetValue(node); }

    uint16_t nodeCount;
    CMatrix m;
    std::vector<std::unique_ptr<CNodeTerminal>> terms;
    std::vector<std::function<void(CMatrix&)>> elements;
    bool readBackComplete = false;
};
