// The graph settings that every design file carries: the graph part
// CScopeToolbar (scope_toolbar.h) and CScale, the second record with the
// same fields that the graph view embeds.  Only the data and the archive
// records live here; the graph window and its dialogs build on them.
#pragma once

#include "model/designfile/scope_toolbar.h"

#include <array>

// The graph view's second settings record.
class CScale : public CObject {
    WB_DECLARE_SERIAL(CScale)
public:
    struct Graph {
        double maximum = 10.0;
        double minimum = 0.0;
        DWORD prefixCode = 2;
        std::array<WORD, 4> channel{1, 1, 1, 1};
        std::array<WORD, 2> difference{0, 0};
        DWORD quantityIndex = 0;
    };
    void Serialize(CArchive& ar) override;

    double timePerDivision = 2.0;
    std::array<Graph, 2> graph;
    DWORD setting1 = 0;
    WORD setting2 = 0;
    DWORD setting3 = 0;
    WORD extra = 0;
};

// The quantity bit of a CScale quantity index: 2^k for k = 0..10, then 4096,
// 8192, 0x4000, 0x8000 for 11..14; 0 outside.
DWORD ScaleQuantityBit(int index);
