// The link from a question design to its answer file: a linked question
// range takes its questions and score from the range of another design.
// Opening designs and knowing which are open belongs to the application,
// reached through a small host interface.
#pragma once

#include "platform/cstring.h"

#include <vector>

class CCircuit;

class IAnswerFileHost {
public:
    virtual ~IAnswerFileHost() = default;
    // Opens (or finds open) the design of a file; null when it cannot.
    virtual CCircuit* OpenDesign(const CString& path) = 0;
    // Every open design and the path of its file.
    virtual std::vector<CCircuit*> OpenDesigns() = 0;
    virtual CString PathOf(CCircuit* design) = 0;
};

// Links the design's range to its answer file: the file's full path is made
// from the range's name and the design's path; the candidate is used when
// its path matches, else the host opens it.  A file that cannot be opened
// shows 36585 with the name, an answer file that is itself linked 36603.
// Returns true when linked.
bool LinkAnswerFile(CCircuit* design, CCircuit* candidate, IAnswerFileHost& host);

// After a design was opened: every open design whose answer file it is
// links to it.
void UpdateAnswerLinks(CCircuit* opened, IAnswerFileHost& host);
