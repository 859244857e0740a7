// The part catalogue: the one table that maps the command ids of the Add
// menu, the Measure menu and the quick-add commands to the part classes they
// create.  A row names its class (and optionally a replacement class that is
// created instead), an extra value handed to the caller, and whether a
// creation hook of the canvas view builds the part.
//
// Classes are named, not linked: a row whose class is not built (or not
// linked into this program) is reported by RowStatus and creates nothing.
#pragma once

#include "platform/runtimeclass.h"

class CPart;
class CTeskView;

using PartCreationHook = CPart* (*)(CTeskView* view);

struct PartCatalogueEntry {
    int commandId;
    const char* className;
    const char* replacementName; // null: create the row's class
    int extra;                   // an orientation command, or 0
    bool hasHook;                // the canvas view builds this part
};

class PartCatalogue {
public:
    static constexpr int kCapacity = 200;

    enum RowStatus { rowReady, rowClassMissing, rowReplacementMissing, rowNoSuchRow };

    // The program's table.
    static PartCatalogue& Get();

    int GetCount() const;
    const PartCatalogueEntry& GetRow(int index) const;

    int FindCommand(int commandId) const;
    int FindClass(const CRuntimeClass* rc) const;
    int FindClass(const char* className) const;
    // Whether the row can create its part in this program.
    RowStatus GetRowStatus(int index) const;

    // The new object of a row, or null (index -1, class not built).  The
    // row's extra value goes to *extraOut when given.  With a view and an
    // installed hook, the hook builds the part.
    CObject* CreateAt(int index, CTeskView* view, int* extraOut) const;
    CObject* CreateById(int commandId, CTeskView* view, int* extraOut) const;
    CObject* CreateByClass(const CRuntimeClass* rc, CTeskView* view) const;
    // A part of the row's replacement class for an old class, remembering
    // the old class as its pending variant; null without such a row.
    CObject* CreateForLegacy(const CRuntimeClass* legacyClass) const;
    int GetCommandOfClass(const CRuntimeClass* rc) const;
    static bool IsKindOfByName(const char* className, const CRuntimeClass* rc);

    // The canvas view installs its creation hooks at start-up.
    void SetHook(int commandId, PartCreationHook hook);

private:
    PartCatalogue();
    PartCreationHook m_hooks[kCapacity] = {};
};

// The old class names that files still carry, registered as classes whose
// creation yields the current class (through the catalogue).
struct LegacyClassInfo {
    const char* name;
    unsigned schema;
    const char* baseName;
    int commandId;
};
int LegacyClassCount();
const LegacyClassInfo& LegacyClassAt(int i);
// True once the old class names are registered (referencing it keeps them
// linked into every program that reads parts).
bool LegacyClassesRegistered();
