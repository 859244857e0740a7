// Lock File and Unlock File: a locked design is saved once and its file
// made read-only; the lock holds only when that save succeeded.
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/shared_functions.h"

namespace {

constexpr DWORD kLockingNotOffered = 0x8000;
constexpr DWORD kPublishPermission = 0x1;

void TellParts(CCircuit* design)
{
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; p = it.GetCurrent()) {
        it.Next();
        p->OnRunStateChanged();
    }
}

CString Native(const QString& path) { return CString(path.toLocal8Bit().toStdString()); }

} // namespace

bool CTeskDoc::LockFile()
{
    CCircuit* d = GetDesign();
    if (!d || d->IsLocked() || d->TestOptions(kLockingNotOffered)) return false;
    const DWORD permissions = d->m_dwPermissions;
    d->SetOptionBits(OPT_LOCKED, true);
    TellParts(d);
    d->m_dwPermissions &= ~kPublishPermission;
    // The change is recorded before the lock closes the design to changes.
    d->SetOptionBits(OPT_LOCKED, false);
    d->OnDesignChanged();
    d->SetOptionBits(OPT_LOCKED, true);
    if (!m_path.isEmpty()) ChangeFileAttributes(Native(m_path).c_str(), false, FILE_ATTR_READONLY);
    if (!SaveWithoutLockTest()) {
        // Not saved (cancelled or failed): the design stays unlocked, so the
        // lock never stands without its file.
        d->SetOptionBits(OPT_LOCKED, false);
        d->m_dwPermissions = permissions;
        TellParts(d);
        emit titleChanged();
        return false;
    }
    ChangeFileAttributes(Native(m_path).c_str(), true, FILE_ATTR_READONLY);
    emit titleChanged();
    return true;
}

bool CTeskDoc::UnlockFile()
{
    CCircuit* d = GetDesign();
    if (!d || !d->IsLocked() || d->TestOptions(kLockingNotOffered)) return false;
    d->SetOptionBits(OPT_LOCKED, false);
    TellParts(d);
    if (!m_path.isEmpty()) ChangeFileAttributes(Native(m_path).c_str(), false, FILE_ATTR_READONLY);
    d->OnDesignChanged();
    const bool saved = SaveWithoutLockTest();
    emit titleChanged();
    return saved;
}
