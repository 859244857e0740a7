#include "model/circuit/file_open_warnings.h"

CString& FileOpenWarnings()
{
    static CString text;
    return text;
}

void AddFileOpenWarning(const CString& text) { FileOpenWarnings() += text; }
