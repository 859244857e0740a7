// The working state of a flowchart's BASIC export, kept by its start
// element for the length of one export (CFlowStart::ExportBasic in
// flow_export.cpp).  The program is laid out in text slots: slot 0 the main
// program, then one slot per subroutine in the order of their first call;
// the declarations collect in the header.  Nets are labelled by their node
// numbers, so the design's nets must be numbered (a reset does that).
#pragma once

#include "platform/cstring.h"

#include <cstdint>
#include <utility>
#include <vector>

// Codes an export returns besides the elements' own (string-table ids).
enum : int {
    FLOW_EXPORT_NO_FLOWCHART = 823, // "Error: Cannot find selected flowchart - E100"
    FLOW_EXPORT_BAD_SYNTAX = 824,   // "Error: Flowchart has bad syntax - E101"
    FLOW_EXPORT_NO_SUBROUTINE = 831,
    FLOW_EXPORT_BAD_SUBROUTINE = 832,
    FLOW_EXPORT_RANGE = 2001,       // "Warning: Variable range set outside microcontroller range - W102"
    FLOW_EXPORT_TOO_MANY_VARS = 2002,
};

// The text of a failed export (string 825).
constexpr unsigned IDS_FLOW_EXPORT_FAILED = 825;

// Codes 2001 to 2099 are warnings: the text is still usable.
inline bool IsFlowExportWarning(int code) { return code >= 2001 && code <= 2099; }

struct CFlowExportState {
    // The slots of a program: the main one and 100 subroutines.  A program
    // with more subroutines gets more slots; nothing is cut.
    static constexpr int kSlots = 101;
    // Byte variables a small microcontroller has room for; beyond them the
    // export warns (2002) and declares the rest all the same.
    static constexpr int kSymbolRoom = 14;
    // Nets the walk may visit (entries of node and input flag), as the
    // check's list; a larger flowchart is refused with 824.
    static constexpr std::size_t kVisitedRoom = 500;

    std::vector<CString> texts;
    CString header;
    std::vector<CString> symbols;
    int byteCount = 0;
    std::vector<std::pair<uint16_t, CString>> labels;
    bool indentPending = false;
    bool analogRoutine = false;
    // The slot the next subroutine takes.
    int nextSlot = 1;
    std::vector<std::pair<uint16_t, int>> visited;
    // Nets whose label was written after a " then " and not yet defined.
    std::vector<uint16_t> pendingBranches;
    bool overflow = false;

    void Clear();
    bool HasLabel(uint16_t node) const;
    // Every label of the net, one after the other.
    CString LabelsOf(uint16_t node) const;
    bool Visited(uint16_t node) const;
    bool VisitedAsInput(uint16_t node) const;
};

// Removes a label definition written twice in a row ("label2:  label2:  "),
// which the walk leaves where a branch's label is defined before the
// element at it defines its net again.
CString DropRepeatedLabels(const CString& text);
