#include "flowchart/flow_check.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_object.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"

#include <algorithm>

namespace {
// A terminal is an input connector when its orientation code is 0.
int InputFlag(const CTerminal* t) { return t->GetOrientation() == 0 ? 1 : 0; }
} // namespace

CFlowChecker::CFlowChecker(const CCircuit& design, CFlowObject* owner, bool mainFlowchart)
    : m_owner(owner), m_main(mainFlowchart)
{
    for (CPart* p : design.CollectFlowObjects()) m_elements.push_back(static_cast<CFlowObject*>(p));
}

bool CFlowChecker::Visited(uint16_t node) const
{
    return std::any_of(m_visited.begin(), m_visited.end(), [node](const auto& v) { return v.first == node; });
}

void CFlowChecker::Record(CFlowObject* element, int code)
{
    if (m_errors.size() < kErrorRoom) m_errors.emplace_back(element, code);
}

int CFlowChecker::Run()
{
    const CTerminal* out = m_owner ? m_owner->GetOutputTerminal() : nullptr;
    if (!out) return 0;
    return Trace(m_owner, out->GetNode(), 0);
}

int CFlowChecker::Trace(CFlowObject* e, uint16_t node, int flag)
{
    // A full list ends the trace there: the elements beyond are not
    // claimed, and nothing is written past the room.
    if (m_visited.size() >= kVisitedRoom) return 0;
    struct Deeper {
        int& depth;
        explicit Deeper(int& d) : depth(++d) {}
        ~Deeper() { --depth; }
    } deeper(m_depth);
    m_visited.emplace_back(node, flag);
    int sum = flag;
    int errors = 0;

    // A branching element with two connectors on this net counts both.
    if (e->IsBranching()) {
        int count = 0, s = 0;
        for (int i = 0; i < e->GetTerminalCount(); ++i)
            if (const CTerminal* t = e->GetTerminal(i); t && t->GetNode() == node) {
                ++count;
                s += InputFlag(t);
            }
        if (count >= 2 && s != sum && m_visited.size() < kVisitedRoom) {
            m_visited.emplace_back(node, s);
            sum += s;
        }
    }

    std::vector<CFlowObject*> others;
    for (CFlowObject* x : m_elements) {
        if (x == e) continue;
        const int on = x->TerminalOnNode(node);
        if (!on) continue;
        others.push_back(x);
        const bool head = x->IsKindOf("CFlowStart") || x->IsKindOf("CFlowSubStart");
        if (m_main && (head || x->IsKindOf("CFlowReturn"))) {
            Record(x, FLOW_ERR_TO_START);
            ++errors;
        } else if (!m_main && (head || x->IsKindOf("CFlowStop"))) {
            Record(x, FLOW_ERR_TO_SUB);
            ++errors;
        }
        const int g = on - 1;
        if (m_visited.size() < kVisitedRoom) m_visited.emplace_back(node, g);
        sum += g;
        // Another head keeps its own flowchart: it is reported, not claimed.
        if (!head) {
            if (m_main) x->m_pFlowStart = m_owner;
            else x->m_pSubStart = m_owner;
            const auto it = std::find(m_claimed.begin(), m_claimed.end(), x);
            if (it == m_claimed.end()) {
                m_claimed.push_back(x);
                m_claimedDepth.push_back(m_depth);
            } else {
                int& depth = m_claimedDepth[static_cast<std::size_t>(it - m_claimed.begin())];
                depth = std::min(depth, m_depth);
            }
        }
        for (const auto& [n, f] : x->OtherTerminals(node))
            if (!Visited(n)) errors += Trace(x, n, f);
    }

    if (others.empty()) {
        // A two-exit element whose exits share one net is reported below as
        // wrongly connected, not as unconnected.
        const bool exitsJoined = e->GetTerminalCount() == 3 && e->GetTerminal(1) && e->GetTerminal(2) &&
                                 e->GetTerminal(1)->GetNode() == e->GetTerminal(2)->GetNode();
        if (!exitsJoined) {
            Record(e, FLOW_ERR_NOT_CONNECTED + e->TerminalIndexOnNode(node));
            return errors + 1;
        }
    }
    if (sum == 1) return errors;
    Record(e, FLOW_ERR_CONNECTED_WRONG);
    if (m_main)
        for (CFlowObject* x : others) Record(x, FLOW_ERR_CONNECTED_WRONG);
    return errors + 1;
}

std::vector<std::pair<CFlowObject*, int>> CFlowChecker::Reduced() const
{
    // Of two entries for one element the larger code goes (with equal
    // codes the later one): each element keeps its smallest code.
    std::vector<std::pair<CFlowObject*, int>> out;
    for (const auto& [element, code] : m_errors) {
        auto it = std::find_if(out.begin(), out.end(), [e = element](const auto& o) { return o.first == e; });
        if (it == out.end()) out.emplace_back(element, code);
        else if (code < it->second) it->second = code;
    }
    return out;
}

// ---- the start's check ----

int CFlowStart::CheckFlowchart()
{
    CCircuit* design = GetDesign();
    for (ErrorEntry& e : m_errors) e = ErrorEntry{};
    m_nErrorCount = 0;
    if (!design) return m_nCheckResult = 0;
    // The elements this start held begin without the errors of an earlier
    // check, and the trace claims what it reaches again.  The start keeps
    // an error another start's check gave it (wired into that flowchart),
    // but its name is judged afresh.
    for (CPart* p : design->CollectFlowObjects()) {
        auto* e = static_cast<CFlowObject*>(p);
        const bool self = e == this;
        if (!self && e->m_pFlowStart != this) continue;
        if (!self) e->m_pFlowStart = nullptr;
        if (self ? e->m_nErrorCode == FLOW_ERR_NAME_EXISTS : e->m_nErrorCode != kFlowNoError) {
            e->m_nErrorCode = kFlowNoError;
            e->SetLook(FLOW_LOOK_IDLE);
            e->RefreshMessage();
        }
    }
    m_pFlowStart = this;
    CFlowChecker checker(*design, this, true);
    m_nCheckResult = checker.Run();
    if (IsNameTaken(m_strName)) {
        checker.Record(this, FLOW_ERR_NAME_EXISTS);
        m_nCheckResult = 1;
    }
    for (const auto& [element, code] : checker.Reduced()) {
        if (m_nErrorCount < kFlowErrorSlots) m_errors[m_nErrorCount++] = ErrorEntry{element, code};
        element->SetError(code);
    }
    return m_nCheckResult;
}
