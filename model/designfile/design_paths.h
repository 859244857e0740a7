// Paths stored in designs (answer files, pictures, movies) are Windows
// paths: '\\' separators, drive letters, and names whose case the file
// system ignored.  They stay in the design as stored; this one helper turns
// a stored path into a file of this system.
#pragma once

#include "platform/cstring.h"

// The stored path with '/' separators; a drive prefix ("C:") is dropped so
// the rest reads from the root.
CString StoredPathToNative(const CString& stored);

// The existing file or folder whose path equals the native path without
// regard to ASCII case, component by component (an exact match wins);
// false when there is none.
bool FindPathNoCase(const CString& native, CString* found);

// The file a stored path names for the design file designPath: a relative
// path (".\\", "..\\") is resolved against the design's folder; any path is
// then looked up without regard to case; when that finds nothing, the bare
// file name is looked for in the design's folder.  False when no file is
// found (out then holds the first candidate).
bool ResolveStoredPath(const CString& stored, const CString& designPath, CString* out);
