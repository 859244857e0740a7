// The lines that parts add while a design loads (a picture or movie file
// that cannot be found); the design root shows them once after loading and
// empties them.
#pragma once

#include "platform/cstring.h"

// The program's one warnings text.
CString& FileOpenWarnings();
// Appends a line (the caller ends it with "\r\n").
void AddFileOpenWarning(const CString& text);
