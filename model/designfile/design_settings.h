// The design's settings as the design record stores them after the links
// pass, with the version gates under which each item is present.  The
// design root copies its members into this record before writing and out
// of it after reading; the record alone fixes the bytes.
#pragma once

#include "model/designfile/question_range.h"
#include "model/text/charformat.h"
#include "platform/archive.h"
#include "platform/geometry.h"

#include <array>

class CPart;

struct CDesignSettings {
    WORD gridStep = 8;
    WORD nextNode = 1;
    CPart* referencePart = nullptr;
    WORD probeCount = 0;
    WORD stepWord = 0;    // cleared after every solve
    WORD idlePending = 0; // reads as 1 whatever the file holds
    WORD idleRequest = 0; // cleared after every solve; the alarm sets bit 0
    DWORD options = 0xE97324D7;
    int16_t logicFamily = 0;
    double logicSupply = 5.0;
    CString designText;
    WORD angleUnit = 0;
    WORD speedUnit = 0;
    LONG soundRate = 11025;
    double displayRate = 5.0; // steps per second
    LONG displayRateExponent = 0;
    WORD slowMotion = 0;
    double updateRate = 5.0;
    WORD paused = 0;
    LONG sampleLimit = 22050;
    LONG soundSampleCount = 552;
    CRect pageRect{0, 0, 1600, 1400};
    DWORD permissions = 0xFFFFFFFF;
    CCharFormat defaultFont;
    LONG designValue = 0;
    WORD variableRange = 255;
    WORD chipWord = 0;
    double flowTimeStep = 0.2;
    CString chipType = "16F84";
    CString secondChipType = "16F873";
    DWORD chipValue = 0;
    CString programmer = "- Select -";
    LONG transmitted = 0; // cleared after every solve
    CString exportTarget;
    CSize offset{0, 0};
    double gravity = 10.0;
    std::array<WORD, 4> probeChannels{0, 0, 0, 0};

    // The version of the file the design came from (as the record reads it:
    // a version-2 file stores it once more before the logic family).
    WORD storedVersion = 0x20B8;
    // Set by reading: the file's option word carried bit 0x0800 (no items 9
    // to 22; the design must have an OTHERS group).
    bool ensureOthersGroup = false;
};

// The default page, below which pages of files before 0x2080 do not shrink.
constexpr int kDefaultPageRight = 1600;
constexpr int kDefaultPageBottom = 1400;
// The block that carries the gravity: the program writes 8 bytes; a file
// may carry more (skipped) but never less, nor more than this.
constexpr LONG kMaxGravityBlock = 1 << 20;

// Items 1 to 41 of the design record after the links pass: all of them when
// storing; when loading, each as its gate allows, with the fix-ups of the
// reader (defaults for old files, option bits cleared, the stored version
// set to 0x20B8 at the end).  range is the design's question range.
void SerializeDesignSettings(CArchive& ar, CDesignSettings& s, CQuestionRange& range);
