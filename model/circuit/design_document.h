// What the design root needs of the document that holds it: the modified
// mark and the undo snapshot.  The application's document implements it;
// a design without a document (tests, clipboard copies) has none.
#pragma once

#include "platform/cstring.h"

class CDesignDocument {
public:
    virtual ~CDesignDocument() = default;
    // Stores the design as the present undo state; 1 when a snapshot was taken.
    virtual int SaveUndoSnapshot() = 0;
    // Marks the document changed (or not).
    virtual void SetModifiedFlag(bool modified) = 0;
    // The file the design was read from (empty for a new one).
    virtual CString GetDesignPath() const { return CString(); }
};
