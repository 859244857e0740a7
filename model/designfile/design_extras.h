// What a design carries for its file beyond the engine's members: the
// product words, the words that other subsystems own or that are only kept
// and written back, and the design's question range.
#pragma once

#include "model/designfile/design_file.h"
#include "model/designfile/question_range.h"

class CPartTree;

struct CDesignFileExtras {
    explicit CDesignFileExtras(CPartTree* owner) : range(owner) {}

    CProductWords products = DefaultProductWords();
    WORD idleRequest = 0;  // cleared after every solve; the alarm sets bit 0
    LONG designValue = 0;
    WORD chipWord = 0;
    DWORD chipValue = 0;
    LONG transmitted = 0;  // cleared after every solve; transmitters OR into it
    CQuestionRange range;
};
