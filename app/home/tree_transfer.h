// Moving or copying a design file from one browser tree into a folder of
// another, with Qt's file operations only.
//
// Nothing is ever replaced and nothing is lost: a file of the same name in
// the target folder (also one that differs only in case, which the trees
// treat as the same name) stops the transfer, and a move that cannot be
// completed leaves the file where it was.  A move on one file system is a
// rename; across file systems Qt copies the file and removes the source only
// after the copy has been written, removing the copy again when the source
// cannot be removed.
#pragma once

#include <QString>

enum class TransferResult {
    kDone,
    kSourceMissing,     // the file is no longer there
    kTargetMissing,     // the target folder is no longer there
    kSameFolder,        // the file is already in that folder
    kNameTaken,         // the target folder has a file or folder of that name
    kTargetReadOnly,    // the target folder is marked read-only
    kSourceReadOnly,    // a move out of a folder marked read-only
    kFailed,            // the file system refused
};

struct TransferOutcome {
    TransferResult result = TransferResult::kFailed;
    QString target;  // the file's path in the target folder
};

// Moves (or copies) the file `source` into `folder`.
TransferOutcome TransferFile(const QString& source, const QString& folder, bool move);

// Whether a folder is marked read-only: no write permission for anyone, or
// none for this program.  The mark is kept even when the program runs with
// an administrator's rights, which ignore it: a teacher marks a Books folder
// read-only to keep it as it was handed out.
bool IsFolderReadOnly(const QString& folder);

// The message that tells the user why a transfer failed (empty for kDone and
// kSameFolder, which needs none).
QString TransferMessage(TransferResult result, const QString& source, const QString& folder, bool move);
