#include "model/designfile/answer_link.h"

#include "model/circuit/circuit.h"
#include "model/designfile/design_paths.h"
#include "platform/messagebox.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

namespace {

CString Upper(CString s) { return s.MakeUpper(); }

// The answer file's full path for a design, empty when there is none.
CString AnswerPath(CCircuit* design, IAnswerFileHost& host)
{
    const CQuestionRange& r = design->m_fileExtras.range;
    if (!r.linked || r.name.IsEmpty()) return {};
    CString full;
    if (!ResolveRelativePath(r.name, host.PathOf(design), full)) full = r.name;
    CString normal = full;
    NormalizePathSeparators(normal);
    return normal;
}

bool SamePath(const CString& a, const CString& b)
{
    CString x = a, y = b;
    NormalizePathSeparators(x);
    NormalizePathSeparators(y);
    return !x.IsEmpty() && Upper(x) == Upper(y);
}

} // namespace

bool LinkAnswerFile(CCircuit* design, CCircuit* candidate, IAnswerFileHost& host)
{
    if (!design) return false;
    CQuestionRange& range = design->m_fileExtras.range;
    const CString path = AnswerPath(design, host);
    if (path.IsEmpty()) return false;
    CCircuit* answer = nullptr;
    if (candidate && SamePath(host.PathOf(candidate), path)) {
        answer = candidate;
    } else {
        // The file of this system that the stored name means.
        CString native;
        ResolveStoredPath(range.name, host.PathOf(design), &native);
        answer = host.OpenDesign(native);
    }
    if (!answer) {
        WbMessageBox(LoadResString(36585) + range.name, MB_OK);
        return false;
    }
    CQuestionRange& master = answer->m_fileExtras.range;
    // Answer files are never chained, and a design is not its own answer file.
    if (master.linked || answer == design) {
        WbMessageBox(36603, MB_OK);
        return false;
    }
    if (CQuestionRange* old = range.GetMasterRange(); old && old != &master) old->RemoveLink(&range);
    range.AddLink(&master);
    master.AddLink(&range);
    master.CheckQuestionNumbers();
    return true;
}

void UpdateAnswerLinks(CCircuit* opened, IAnswerFileHost& host)
{
    if (!opened) return;
    const CString openedPath = host.PathOf(opened);
    for (CCircuit* d : host.OpenDesigns()) {
        if (d == opened || !d->m_fileExtras.range.linked) continue;
        if (SamePath(AnswerPath(d, host), openedPath)) LinkAnswerFile(d, opened, host);
    }
}
