// The Open and Save dialogs of designs, pictures and movies, with the
// filter lists.  The dialogs are Qt's own (not the desktop's), so that the
// same dialog runs everywhere and tests can drive it.
#pragma once

#include "platform/cstring.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QWidget;

// Kinds of file offered by the Open dialog.
enum { kOpenDesigns = 0, kOpenBitmaps = 1, kOpenMovies = 2 };

// Appends one filter in the two-string form "name (*e1, *e2)" NUL "*e1;*e2"
// NUL to filter and counts it; ext1 null means ".*".  The list ends with one
// more NUL (added by the caller when the list is complete).
void AppendFileFilter(int* count, std::string* filter, const char* ext1, const CString& name,
                      const char* ext2 = nullptr, const char* ext3 = nullptr);
// The filter list of a kind in that form, "All Files" last.
std::string BuildOpenFilter(int kind, int* count);
// The same list as Qt filters ("name (*.e1 *.e2)").
QStringList OpenFilters(int kind);
// Converts the two-string form into Qt filters.
QStringList ToQtFilters(const std::string& filter);

// While set (the default), the Open dialog offers "All Simulations".
bool& AllSimulationsFilter();

// The Open dialog.  documentPath is the design's file; with
// documentRelative the chosen file is returned relative to it, and a design
// without a path is first offered for saving (saveFirst saves it and returns
// its new path, or empty).  A file ending in a separator proposes
// "Somecirc.ckt" in that folder.  True only on OK; *file then holds the
// choice.
bool ShowFileOpenDialog(int kind, CString* documentPath, CString* file, bool documentRelative,
                        const std::function<CString()>& saveFirst = {});
// The Save As dialog of designs, starting at path; empty on Cancel.
QString ShowFileSaveDialog(const QString& path);

// The dialogs' parent (the main frame; null once it is gone).
QPointer<QWidget>& DialogParent();
