// The design-wide settings that a design root carries and its file stores:
// logic family, units, sound and display rates, chip-programming choices,
// the default font.  Kept apart from the controller state so that the file
// layout and settings code can grow here without touching the step.
#pragma once

#include "platform/cstring.h"
#include "platform/archive.h"
#include "platform/geometry.h"

#include <cstdint>

struct CCircuitSettings {
    // Logic family 0 (74ACT), 1 (74HC) or 2 (4000B) and its supply.
    int16_t m_nLogicFamily = 0;
    double m_dLogicSupply = 5.0;
    // Logic levels, set by SetLogicFamily.
    double m_dLogicConductance = 0.06;
    double m_dLogicHighCurrent = -0.3;
    double m_dInputHighThreshold = 1.995;
    double m_dInputLowThreshold = 0.805;
    double m_dLogicThreshold = 1.48;
    double m_dSchmittHysteresis = 0.78;
    double m_dSchmittThreshold = 0.805;

    CString m_strName;
    DWORD m_dwPermissions = 0xFFFFFFFF;
    WORD m_wVersionWord = 3;
    CSize m_szOffset{0, 0};
    WORD m_wAngleUnit = 0;
    WORD m_wSpeedUnit = 0;
    // The display rate in steps per second (scaled by 1000^exponent); the
    // update rate never falls below it.  A new design runs at 5 per second.
    double m_dDisplayRate = 5.0;
    int m_nDisplayRateExponent = 0;
    int m_nSoundSampleRate = 11025;
    int m_bLoopPlayback = 1;
    int m_nSampleLimit = 22050;
    int m_nSoundSampleCount = 552;
    int m_nAnalogRange = 255;
    double m_dFlowTimeStep = 0.2;
    CString m_strChipType;       // string 887
    CString m_strSecondChipName; // string 897
    int m_bChipOption = 1;
    int m_nSystemsFlags = 0;
    int m_nFurtherRange = 255;
    int m_nProgramLanguage = 1;
    CString m_strProgrammerChoice; // string 1021
    CString m_strMicroClass;       // string 873
    CString m_strTargetLabel;      // string 1021 (with a trailing blank)
    CString m_strTargetName;       // string 873
    int m_nVariableRange = 255;
    CString m_strExportFlowchart;  // the flowchart chosen for export
    WORD m_wArchiveVersion1 = 4274;
    WORD m_wArchiveVersion2 = 8320;
    double m_dGravity = 10.0;
    // Samples in the RMS average of every meter (the Meter Controls dialog).
    int m_nMeterSamples = 20;
    // The default font record (60 bytes) and 32 bytes after it.
    uint8_t m_defaultFont[92] = {};
};
