// The design root's archive record: its members are copied into the file
// record (design_settings.h), the layout is written or read, and the values
// read are copied back and applied.
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/designfile/design_file.h"

#include <algorithm>
#include <cstring>

namespace {

void Gather(const CCircuit& c, CDesignFileData& d)
{
    d.products = c.m_fileExtras.products;
    d.products[1] = c.m_wArchiveVersion1;
    d.products[2] = c.m_wArchiveVersion2;
    CDesignSettings& s = d.settings;
    s.gridStep = static_cast<WORD>(c.m_nGridStep);
    s.nextNode = c.m_wNextNode;
    s.referencePart = c.m_pReferencePart;
    s.probeCount = c.m_wProbeCount;
    s.stepWord = static_cast<WORD>(c.m_nStepFlags);
    s.idlePending = static_cast<WORD>(c.m_bIdlePending);
    s.idleRequest = c.m_fileExtras.idleRequest;
    s.options = c.m_dwOptions;
    s.logicFamily = c.m_nLogicFamily;
    s.logicSupply = c.m_dLogicSupply;
    s.designText = c.m_strName;
    s.angleUnit = c.m_wAngleUnit;
    s.speedUnit = c.m_wSpeedUnit;
    s.soundRate = c.m_nSoundSampleRate;
    s.displayRate = c.m_dDisplayRate;
    s.displayRateExponent = c.m_nDisplayRateExponent;
    s.slowMotion = static_cast<WORD>(c.m_bSlowMotion);
    s.updateRate = c.m_dUpdateRate;
    s.paused = static_cast<WORD>(c.m_bPaused);
    s.sampleLimit = c.m_nSampleLimit;
    s.soundSampleCount = c.m_nSoundSampleCount;
    s.pageRect = c.m_rcPage;
    s.permissions = c.m_dwPermissions;
    s.defaultFont = CCharFormat::FromBytes(c.m_defaultFont);
    s.designValue = c.m_fileExtras.designValue;
    s.variableRange = static_cast<WORD>(c.m_nVariableRange);
    s.chipWord = c.m_fileExtras.chipWord;
    s.flowTimeStep = c.m_dFlowTimeStep;
    s.chipType = c.m_strChipType;
    s.secondChipType = c.m_strSecondChipName;
    s.chipValue = c.m_fileExtras.chipValue;
    s.programmer = c.m_strProgrammerChoice;
    s.transmitted = c.m_fileExtras.transmitted;
    s.exportTarget = c.m_strExportFlowchart;
    s.offset = c.m_szOffset;
    s.gravity = c.m_dGravity;
    for (size_t i = 0; i < 4; ++i) s.probeChannels[i] = static_cast<WORD>(c.m_probeChannels[i]);
    s.storedVersion = c.m_wVersionWord;
}

void Scatter(const CDesignFileData& d, CCircuit& c)
{
    c.m_fileExtras.products = d.products;
    c.m_wArchiveVersion1 = d.products[1];
    c.m_wArchiveVersion2 = d.products[2];
    const CDesignSettings& s = d.settings;
    c.m_nGridStep = s.gridStep;
    c.m_wNextNode = s.nextNode;
    c.m_pReferencePart = dynamic_cast<CComponent*>(s.referencePart);
    c.m_wProbeCount = s.probeCount;
    c.m_nStepFlags = s.stepWord;
    c.m_bIdlePending = s.idlePending;
    c.m_fileExtras.idleRequest = s.idleRequest;
    c.m_dwOptions = s.options;
    c.m_strName = s.designText;
    c.m_wAngleUnit = s.angleUnit;
    c.m_wSpeedUnit = s.speedUnit;
    c.m_nSoundSampleRate = s.soundRate;
    c.m_dDisplayRate = s.displayRate;
    c.m_nDisplayRateExponent = s.displayRateExponent;
    c.m_bSlowMotion = s.slowMotion;
    c.m_dUpdateRate = s.updateRate;
    c.m_bPaused = s.paused;
    c.m_nSampleLimit = s.sampleLimit;
    c.m_nSoundSampleCount = s.soundSampleCount;
    c.m_rcPage = s.pageRect;
    c.m_dwPermissions = s.permissions;
    const auto font = s.defaultFont.ToBytes();
    std::memcpy(c.m_defaultFont, font.data(), font.size());
    c.m_fileExtras.designValue = s.designValue;
    c.m_nVariableRange = s.variableRange;
    c.m_fileExtras.chipWord = s.chipWord;
    c.m_dFlowTimeStep = s.flowTimeStep;
    c.m_strChipType = s.chipType;
    c.m_strSecondChipName = s.secondChipType;
    c.m_fileExtras.chipValue = s.chipValue;
    c.m_strProgrammerChoice = s.programmer;
    c.m_fileExtras.transmitted = s.transmitted;
    c.m_strExportFlowchart = s.exportTarget;
    c.m_szOffset = s.offset;
    c.m_dGravity = s.gravity;
    for (size_t i = 0; i < 4; ++i) c.m_probeChannels[i] = s.probeChannels[i];
    c.m_wVersionWord = s.storedVersion;
    c.m_wStoredVersion = s.storedVersion;
}

// The text parts read the score of their design's range.
const bool s_rangeHook = [] {
    CQuestionRange::RangeOfDesign() = [](CPartTree* d) -> CQuestionRange* {
        auto* c = dynamic_cast<CCircuit*>(d);
        return c ? &c->m_fileExtras.range : nullptr;
    };
    return true;
}();

} // namespace

bool CCircuit::WriteVersionMarker(CArchive& ar)
{
    (void)s_rangeHook;
    WORD stored = m_wVersionWord;
    const bool ok = ::WriteVersionMarker(ar, m_fileExtras.products, &stored);
    if (ar.IsLoading()) {
        m_wVersionWord = stored;
        m_wArchiveVersion1 = m_fileExtras.products[1];
        m_wArchiveVersion2 = m_fileExtras.products[2];
    }
    return ok;
}

void CCircuit::Serialize(CArchive& ar)
{
    (void)s_rangeHook;
    CDesignFileData data;
    Gather(*this, data);
    if (ar.IsLoading()) m_pReferencePart = nullptr;
    SerializeDesignLayout(ar, *this, data, m_fileExtras.range);
    if (ar.IsStoring()) return;
    Scatter(data, *this);
    // The probes read before the settings marked their channels; the file's
    // channel words are cleared on reading, so the flags come from them.
    RebuildProbeChannels();
    // The family's logic levels follow the family and supply read.
    SetLogicFamily(data.settings.logicFamily, data.settings.logicSupply, 1);
}
