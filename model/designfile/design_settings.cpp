#include "model/designfile/design_settings.h"

#include "model/designfile/scope_settings.h"
#include "model/parts/part.h"
#include "model/parts/part_records.h"

#include <algorithm>
#include <vector>

namespace {

void StoreAll(CArchive& ar, CDesignSettings& s, CQuestionRange& range)
{
    ar << s.gridStep << s.nextNode;
    ar.WriteObjectRef(s.referencePart);
    ar << s.probeCount << s.stepWord << s.idlePending << s.idleRequest << s.options;
    ar << static_cast<WORD>(s.logicFamily) << s.logicSupply << s.designText;
    ar << s.angleUnit << s.speedUnit << s.soundRate << s.displayRate << s.displayRateExponent;
    // The slow-motion flag stands twice around the update rate.
    ar << s.slowMotion << s.updateRate << s.slowMotion;
    ar << s.paused << s.sampleLimit << s.soundSampleCount;
    WriteRectAsWords(ar, s.pageRect);
    ar << s.permissions;
    range.Serialize(ar);
    SerializeCharFormat(ar, &s.defaultFont);
    ar << s.designValue << s.variableRange;
    ar << s.chipWord << s.flowTimeStep << s.chipType << s.secondChipType << s.chipValue << s.programmer;
    ar << s.transmitted << s.exportTarget;
    WriteSizeAsWords(ar, s.offset);
    ar << LONG(8) << s.gravity;
    for (WORD w : s.probeChannels) ar << w;
    CScopeToolbar::SerializeDesignItem(ar);
}

void LoadAll(CArchive& ar, CDesignSettings& s, CQuestionRange& range)
{
    const WORD v = ar.GetVersion();
    WORD w = 0;
    ar >> s.gridStep >> s.nextNode;
    try {
        s.referencePart = static_cast<CPart*>(ar.ReadObjectRef(RUNTIME_CLASS(CPart)));
    } catch (const CArchiveException& e) {
        // A reference to a part that was dropped while the tree was read
        // (its group or class could not be read): the design loads without
        // a reference part.  The reference's bytes have been read.
        if (e.m_cause != CArchiveException::badIndex) throw;
        s.referencePart = nullptr;
    }
    ar >> s.probeCount >> s.stepWord >> w >> s.idleRequest >> s.options;
    s.idlePending = 1;
    s.options &= ~DWORD(0x10000000);
    s.ensureOthersGroup = false;

    if (s.options & 0x0800) {
        // Items 9 to 22 are absent.
        s.options ^= 0xD800;
        s.logicFamily = 0;
        s.logicSupply = 5.0;
        s.storedVersion = kCurrentVersion;
        s.designText.Empty();
        s.ensureOthersGroup = true;
    } else {
        if (v == 2) ar >> s.storedVersion;
        int16_t family = 0;
        ar >> family >> s.logicSupply >> s.designText;
        s.logicFamily = family;
        if (v > 2) {
            ar >> s.angleUnit >> s.speedUnit >> s.soundRate >> s.displayRate >> s.displayRateExponent;
            ar >> s.slowMotion >> s.updateRate >> s.slowMotion;
            ar >> s.paused >> s.sampleLimit >> s.soundSampleCount;
        }
    }
    if (v <= 2) {
        s.angleUnit = 0;
        s.speedUnit = 0;
        s.soundRate = 11025;
        s.displayRate = 7.0;
        s.displayRateExponent = 0;
        s.slowMotion = 0;
        s.updateRate = 7.0;
        s.options ^= 0x8;
    }
    s.options &= ~DWORD(0x80000);
    if (v < 4) s.options &= ~DWORD(0x06000000);

    if (v >= 4) {
        ReadRectAsWords(ar, s.pageRect);
        if (v < 0x2080) {
            s.pageRect.right = std::max<int>(s.pageRect.right, kDefaultPageRight);
            s.pageRect.bottom = std::max<int>(s.pageRect.bottom, kDefaultPageBottom);
        }
    }
    if (v >= 400) {
        ar >> s.permissions;
        range.Serialize(ar);
        SerializeCharFormat(ar, &s.defaultFont);
    }
    bool gravity = false;
    if (v >= 401) {
        ar >> s.designValue;
        if (IsVersionAtLeast(v, 0x10B2, 0x2081)) ar >> s.variableRange;
        if (IsVersionAtLeast(v, 0x10B3, 0x20B1)) {
            ar >> s.chipWord >> s.flowTimeStep >> s.chipType >> s.secondChipType >> s.chipValue >> s.programmer;
        }
        if (IsVersionAtLeast(v, 0x1FFF, 0x20B4)) ar >> s.transmitted;
        if (IsVersionAtLeast(v, 0x1FFF, 0x20B8)) ar >> s.exportTarget;
        ReadSizeAsWords(ar, s.offset);
        LONG block = 0;
        ar >> block;
        if (IsVersionAtLeast(v, 0x10B3, 0x20B3)) {
            // The block size only says how many bytes to skip after the
            // gravity: it is checked before it is used.
            if (block < 8 || block > kMaxGravityBlock || static_cast<size_t>(block - 8) > ar.BytesLeft())
                throw CArchiveException(CArchiveException::badIndex);
            ar >> s.gravity;
            std::vector<uint8_t> skip(static_cast<size_t>(block - 8));
            if (!skip.empty()) ar.ReadExact(skip.data(), skip.size());
            gravity = true;
        }
    }
    if (!gravity && !IsVersionAtLeast(v, 0x10B2, 0x20B1)) s.offset = CSize(0, 0);
    for (WORD& c : s.probeChannels) {
        ar >> c;
        c = 0;
    }
    if (v > 2) CScopeToolbar::SerializeDesignItem(ar);
    s.storedVersion = kCurrentVersion;
}

} // namespace

void SerializeDesignSettings(CArchive& ar, CDesignSettings& s, CQuestionRange& range)
{
    if (ar.IsStoring())
        StoreAll(ar, s, range);
    else
        LoadAll(ar, s, range);
}
