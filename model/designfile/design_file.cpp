#include "model/designfile/design_file.h"
#include "platform/safe_save.h"

#include "model/parts/partcircuit.h"
#include "model/parts/part_records.h"
#include "model/parts/parttree.h"
#include "platform/messagebox.h"
#include "platform/strings.h"


#include <memory>

CString GetProductLineName(WORD version)
{
    static const char* const kNames[] = {"Olvandi", "Kestrane", "Tiranvel", "Oskery", "Feldune"};
    if (version < 0x1000 || version > 0x5FFF) return "Unknown";
    return kNames[(version >> 12) - 1];
}

CProductWords DefaultProductWords()
{
    CProductWords p{};
    p[1] = 0x10B2;
    p[2] = 0x2080;
    return p;
}

bool WriteVersionMarker(CArchive& ar, CProductWords& products, WORD* storedVersion)
{
    if (ar.IsStoring()) {
        ar.SetVersion(2);
        CSerializeHack marker(kCurrentVersion);
        ar.WriteObject(&marker);
        ar.SetVersion(kCurrentVersion);
        for (WORD w : products) ar << w;
        return true;
    }
    ar.SetVersion(2);
    std::unique_ptr<CPart> marker(ReadPart(ar));
    if (auto* hack = dynamic_cast<CSerializeHack*>(marker.get())) {
        ar.SetVersion(hack->m_wVersion);
        if (storedVersion) *storedVersion = hack->m_wVersion;
    }
    // The marker is gone after this: no later reference may reach it.
    if (marker) ForgetTree(ar, marker.get());
    marker.reset();
    const WORD v = ar.GetVersion();
    if (v > kCurrentVersion) {
        WbMessageBox(36528, MB_OK);
        return false;
    }
    if (HasFamily(v)) {
        for (WORD& w : products) ar >> w;
        const WORD needed = products[2];
        if (needed > kCurrentVersion) {
            CString text = LoadResString(36900) + GetProductLineName(needed);
            text += LoadResString(VersionRevision(needed) != 0 ? 36901 : 36902);
            WbMessageBox(text, MB_OK);
            return false;
        }
    }
    return true;
}

void SerializeDesignLayout(CArchive& ar, CPartTree& design, CDesignFileData& data, CQuestionRange& range)
{
    WORD stored = data.settings.storedVersion;
    if (!WriteVersionMarker(ar, data.products, &stored)) throw CNewerDesignException();
    if (ar.IsLoading()) {
        data.settings.storedVersion = stored;
        design.m_wStoredVersion = stored;
    }
    design.SerializeTree(ar);
    SerializeDesignSettings(ar, data.settings, range);
    if (ar.IsLoading()) {
        design.m_wStoredVersion = kCurrentVersion;
        if (data.settings.ensureOthersGroup) design.CreateMissingGroups();
    }
}

void ReportDesignLoadFailure(CArchive& ar)
{
    const WORD v = ar.GetVersion();
    WbMessageBox(v == 400 || v == 401 ? 36628 : 35122, MB_OK);
    ar.SetVersion(kCurrentVersion);
}

bool SaveBytesSafely(const CString& path, const std::vector<uint8_t>& bytes, CSaveSteps* steps)
{
    return SaveFileSafely(QString::fromLocal8Bit(path.c_str()), reinterpret_cast<const char*>(bytes.data()),
                          static_cast<int64_t>(bytes.size()), steps);
}
