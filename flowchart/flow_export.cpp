// The BASIC export of a flowchart.  The walk follows the wires the way
// control flows and asks every element for its lines, declarations and
// appended routine; labels and jumps make the text take the drawing's path:
// a net that two wires reach (a join) gets a label, a branch writes its Yes
// label after " then " and follows its No branch inline, a wire back to a
// net already written becomes a "goto".
#include "flowchart/flow_export.h"

#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <algorithm>

namespace {
const char* const kIndent = "            "; // 12 blanks
// A label longer than this gets one more blank after its colon.
constexpr size_t kShortLabel = 6;
// The direction register of a STAMP has 8 pins.
constexpr int kStampPins = 8;
} // namespace

// ---- the state ----

void CFlowExportState::Clear()
{
    texts.assign(kSlots, CString());
    header.Empty();
    symbols.clear();
    byteCount = 0;
    labels.clear();
    indentPending = false;
    analogRoutine = false;
    nextSlot = 1;
    visited.clear();
    pendingBranches.clear();
    overflow = false;
}

bool CFlowExportState::HasLabel(uint16_t node) const
{
    return std::any_of(labels.begin(), labels.end(), [node](const auto& l) { return l.first == node; });
}

CString CFlowExportState::LabelsOf(uint16_t node) const
{
    CString out;
    for (const auto& [n, text] : labels)
        if (n == node) out += text;
    return out;
}

bool CFlowExportState::Visited(uint16_t node) const
{
    return std::any_of(visited.begin(), visited.end(), [node](const auto& v) { return v.first == node; });
}

bool CFlowExportState::VisitedAsInput(uint16_t node) const
{
    return std::any_of(visited.begin(), visited.end(),
                       [node](const auto& v) { return v.first == node && v.second == 1; });
}

CString DropRepeatedLabels(const CString& text)
{
    // A definition is "label" and digits with its colon within 8
    // characters.  Only a repeat separated from the first by blanks is
    // dropped: a far one (a subroutine the user named like a made label)
    // is left alone rather than lose the lines between them.
    CString out = text;
    size_t pos = 0;
    while ((pos = out.find("label", pos)) != CString::npos) {
        const size_t colon = out.find(':', pos);
        if (colon == CString::npos || colon - pos > 8) {
            pos += 5;
            continue;
        }
        const CString name = out.substr(pos, colon - pos);
        size_t next = colon + 1;
        while (next < out.size() && out[next] == ' ') ++next;
        if (out.compare(next, name.size() + 1, name + ":") == 0) {
            out.erase(colon, next + name.size() - colon);
            continue; // the same definition may repeat again
        }
        pos = colon;
    }
    return out;
}

// ---- the operations of the walk ----

void CFlowStart::RegisterLabel(uint16_t node, const CString& text) { m_export.labels.emplace_back(node, text); }

void CFlowStart::AppendToSlot(const CString& text, int slot)
{
    if (slot < 0) return;
    if (static_cast<size_t>(slot) >= m_export.texts.size()) m_export.texts.resize(static_cast<size_t>(slot) + 1);
    m_export.texts[static_cast<size_t>(slot)] += text;
}

void CFlowStart::DefineLabel(uint16_t node, int write, int slot)
{
    const bool had = m_export.HasLabel(node);
    if (write || !had) {
        if (!had) RegisterLabel(node, "label" + FormatInt(static_cast<long long>(m_export.labels.size())));
        CString last;
        for (const auto& [n, text] : m_export.labels)
            if (n == node) last = text;
        AppendToSlot(m_export.LabelsOf(node) + ":  " + (last.size() > kShortLabel ? " " : ""), slot);
    }
    m_export.indentPending = false;
}

bool CFlowStart::Goto(uint16_t node, int findOrMake, int labelOnly, int slot)
{
    const bool had = m_export.HasLabel(node);
    if (!had && findOrMake) RegisterLabel(node, "label" + FormatInt(static_cast<long long>(m_export.labels.size())));
    AppendToSlot(CString(labelOnly ? "" : "goto ") + m_export.LabelsOf(node) + "\n", slot);
    return had;
}

void CFlowStart::Indent(int slot)
{
    if (m_export.indentPending) AppendToSlot(kIndent, slot);
    m_export.indentPending = true;
}

void CFlowStart::DeclareByte(const CString& name)
{
    auto& symbols = m_export.symbols;
    if (std::find(symbols.begin(), symbols.end(), name) != symbols.end()) return;
    symbols.push_back(name);
    m_export.header += "symbol " + name + " = b" + FormatInt(m_export.byteCount++) + "\n";
}

void CFlowStart::Declare(const CString& text, int kind)
{
    auto& symbols = m_export.symbols;
    switch (kind) {
    case 1:
        if (!text.empty()) DeclareByte(text);
        return;
    case 2:
        m_export.analogRoutine = true;
        return;
    case 3:
    case 4:
        if (std::find(symbols.begin(), symbols.end(), text) == symbols.end()) {
            symbols.push_back(text);
            m_export.header += "symbol " + text + "\n";
        }
        if (kind == 4) DeclareByte("analog");
        return;
    default:
        break;
    }
    if (kind >= 5 && kind <= 8) {
        for (int i = 0; i <= kind - 5; ++i) DeclareByte("a" + FormatInt(i));
    } else if (kind >= 9 && kind <= 12) {
        DeclareByte("dig");
        for (int i = 0; i <= kind - 9; ++i) DeclareByte("a" + FormatInt(i));
    }
}

void CFlowStart::AppendOnce(const CString& text, int kind, int slot)
{
    if (kind != 1 && kind != 2) return;
    const int bit = kind == 1 ? 1 : 2;
    if (m_nAppendedRoutines & bit) return;
    m_nAppendedRoutines |= bit;
    AppendToSlot(text, slot + 1);
}

// ---- the walk ----

void CFlowStart::ExportSubroutine(CFlowObject* call, const std::vector<CFlowObject*>& elements)
{
    CString name;
    call->GetProgramName(name);
    int code = FLOW_EXPORT_NO_SUBROUTINE;
    for (CFlowObject* head : elements) {
        if (!head->IsKindOf("CFlowSubStart")) continue;
        CString headName;
        head->GetProgramName(headName);
        if (!SameNameNoCase(headName, name)) continue;
        code = head->m_nErrorCode == kFlowNoError ? 0 : FLOW_EXPORT_BAD_SUBROUTINE;
        m_nExportWarning = static_cast<unsigned>(code);
        const CTerminal* out = head->GetOutputTerminal();
        if (!out) continue;
        const uint16_t node = out->GetNode();
        // Written already by an earlier call.
        if (m_export.HasLabel(node)) continue;
        const int slot = m_export.nextSlot++;
        RegisterLabel(node, name);
        m_export.indentPending = false;
        CString text;
        int ignored = 0;
        head->GetBasicText(text, &ignored, this);
        AppendToSlot(text, slot);
        ExportWalk(head, node, slot, elements);
    }
    m_nExportWarning = static_cast<unsigned>(code);
}

void CFlowStart::ExportWalk(CFlowObject* from, uint16_t n, int slot, const std::vector<CFlowObject*>& elements)
{
    CFlowExportState& st = m_export;
    if (st.overflow || st.visited.size() >= CFlowExportState::kVisitedRoom) {
        st.overflow = true;
        return;
    }
    const int fromFlag = from->TerminalOnNode(n);
    st.visited.emplace_back(n, fromFlag > 1 ? 1 : 0);
    int others = 0;
    for (CFlowObject* x : elements)
        if (x != from && x->TerminalOnNode(n)) ++others;
    const bool join = others >= 2;
    const bool pending = std::find(st.pendingBranches.begin(), st.pendingBranches.end(), n) != st.pendingBranches.end();

    for (CFlowObject* x : elements) {
        if (st.overflow) return;
        if (!x->HasInputConnector() || x->GetTerminal(0)->GetNode() != n) continue;
        x->m_pFlowStart = this;
        std::vector<uint16_t> exits;
        for (const auto& [node, flag] : x->OtherTerminals(n)) exits.push_back(node);
        if (st.visited.size() >= CFlowExportState::kVisitedRoom) {
            st.overflow = true;
            return;
        }
        st.visited.emplace_back(n, 1);

        CString text;
        int code = 0;
        x->GetBasicText(text, &code, this);
        const bool branching = x->IsBranching();
        if (join && !branching) {
            DefineLabel(n, pending ? 1 : 0, slot);
            Indent(slot);
            AppendToSlot(text, slot);
        } else if (exits.empty() && x->IsEndElement()) {
            Indent(slot);
            AppendToSlot(text, slot);
        } else if (exits.empty() && branching) {
            // Both exits back on its own input: the test loops on itself.
            DefineLabel(n, 0, slot);
            AppendToSlot(text, slot);
            Goto(n, 0, 1, slot);
            SetIndentPending();
            Indent(slot);
            Goto(n, 0, 0, slot);
        } else if (exits.empty()) {
            // Its exit back on its own input: the element repeats itself.
            DefineLabel(n, 0, slot);
            AppendToSlot(text, slot);
            Indent(slot);
            Indent(slot);
            Goto(n, 0, 0, slot);
        } else if (branching && exits.size() == 1) {
            DefineLabel(n, 0, slot);
            AppendToSlot(text, slot);
            Indent(slot);
            const int o = x->m_nOrientation;
            if (o != 1 && o != 3) {
                const bool had = Goto(exits[0], 1, 1, slot);
                SetIndentPending();
                Indent(slot);
                Goto(n, 0, 0, slot);
                if (!had) DefineLabel(exits[0], 1, slot);
            } else {
                Goto(n, 0, 1, slot);
            }
        } else if (exits.size() == 2 && join) {
            DefineLabel(n, 0, slot);
            AppendToSlot(text, slot);
            SetIndentPending();
        } else {
            Indent(slot);
            AppendToSlot(text, slot);
        }

        CString extra;
        int kind = 0;
        x->GetBasicDeclarations(extra, &kind, this);
        Declare(extra, kind);
        extra.Empty();
        kind = 0;
        x->GetBasicSubroutine(extra, &kind, this);
        AppendOnce(extra, kind, slot);

        if (x->IsKindOf("CFlowGoSub")) ExportSubroutine(x, elements);
        if (code != 0) m_nExportWarning = static_cast<unsigned>(code);

        bool loopsBack = false;
        for (uint16_t e : exits) {
            if (!st.VisitedAsInput(e)) continue;
            loopsBack = true;
            if (!branching) {
                Indent(slot);
                Goto(e, 0, 0, slot);
            }
        }

        if (exits.size() == 1) {
            if (!st.Visited(exits[0])) ExportWalk(x, exits[0], slot, elements);
        } else if (exits.size() == 2) {
            const uint16_t a = exits[0], b = exits[1];
            if (!loopsBack) {
                Goto(b, 1, 1, slot);
                st.pendingBranches.push_back(b);
                if (!st.Visited(a)) ExportWalk(x, a, slot, elements);
                if (!st.Visited(b)) {
                    DefineLabel(b, 1, slot);
                    ExportWalk(x, b, slot, elements);
                }
            } else if (!st.Visited(a)) {
                Goto(b, 1, 1, slot);
                ExportWalk(x, a, slot, elements);
            } else {
                Goto(b, 1, 1, slot);
                Indent(slot);
                Goto(a, 0, 0, slot);
                if (!st.Visited(b)) {
                    DefineLabel(b, 1, slot);
                    ExportWalk(x, b, slot, elements);
                }
            }
        }
    }
}

// ---- the export ----

void CFlowStart::ExportBasic(CString& out, int* code)
{
    auto fail = [&](int c) {
        out = LoadResString(IDS_FLOW_EXPORT_FAILED);
        if (code) *code = c;
    };
    m_export.Clear();
    m_nAppendedRoutines = 0;
    m_nExportWarning = 0;
    CString own;
    int ignored = 0;
    GetBasicText(own, &ignored, this);
    m_export.texts[0] = own;
    const CTerminal* output = GetOutputTerminal();
    CCircuit* design = GetDesign();
    if (!design || !output) return fail(FLOW_EXPORT_BAD_SYNTAX);
    const uint16_t start = output->GetNode();
    RegisterLabel(start, LoadResString(IDS_FLOW_MAIN));

    if (CheckFlowchart() != 0) return fail(FLOW_EXPORT_BAD_SYNTAX);
    std::vector<CFlowObject*> elements;
    for (CPart* p : design->CollectFlowObjects()) elements.push_back(static_cast<CFlowObject*>(p));
    ExportWalk(this, start, 0, elements);
    if (m_export.overflow) return fail(FLOW_EXPORT_BAD_SYNTAX);

    int result = 0;
    if (design->m_nVariableRange >= 256) result = FLOW_EXPORT_RANGE;
    if (m_nExportWarning != 0) result = static_cast<int>(m_nExportWarning);
    if (m_export.symbols.size() > static_cast<size_t>(CFlowExportState::kSymbolRoom))
        result = FLOW_EXPORT_TOO_MANY_VARS;

    CString text = m_export.header;
    if (!text.empty()) text += "\n";
    if (GetMicrocontrollerClass() == "STAMP") {
        // The direction register: outputs 1, inputs 0, the inputs lowest.
        const int inputs = std::clamp(GetInputCount(), 0, kStampPins);
        text += "init: let dirs = %" + CString(static_cast<size_t>(kStampPins - inputs), '1') +
                CString(static_cast<size_t>(inputs), '0') + "\n\n";
    }
    for (const CString& slot : m_export.texts) text += slot + "\n\n";
    const size_t end = text.find("\n\n\n\n");
    if (end != CString::npos) text.erase(end);
    text += "\n";
    out = DropRepeatedLabels(text);
    if (code) *code = result;
}
