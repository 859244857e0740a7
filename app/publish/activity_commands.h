// The activity side of the shell: the Answer File and Question Results
// commands, moving every picture to one folder, the picture parts' creation
// hooks, and the answer-file links of designs as they open.
#pragma once

#include "platform/cstring.h"

class CCircuit;
class CHandlerMap;
class CMainFrame;
class CQuestionRange;

// The Answer File dialog on a range: 0 on Cancel, else 1 (a range that no
// longer links leaves its answer file's range, which numbers again).
int EditQuestionRange(CQuestionRange& range);
// The design's Answer File command: the dialog, then the link to the
// answer file or the numbers checked again.
void EditDesignQuestionRange(CCircuit* design);
// Every picture of the design moves to the folder (".\\...\\"); false when
// the folder is not such a path.
bool RebaseAllPictures(CCircuit* design, const CString& folder);
// Links a design that just opened to its answer file, and the open
// designs whose answer file it is to it.
void LinkOpenedDesign(CCircuit* design);

// Installs the windows of publishing and registers the commands.
void RegisterActivityCommands(CHandlerMap& handlers, CMainFrame* frame);
