#include "app/publish/activity_commands.h"

#include "app/canvas/tesk_view.h"
#include "app/commands.h"
#include "app/main_frame.h"
#include "app/publish/picture.h"
#include "app/publish/publish_windows.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "model/circuit/circuit.h"
#include "model/designfile/answer_link.h"
#include "model/designfile/question_range.h"
#include "model/parts/catalogue.h"
#include "model/text/textlabel.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QInputDialog>

namespace {

enum : int {
    ID_ANSWER_FILE = 34204,
    ID_QUESTION_RESULTS = 34205,
    ID_PICTURES_FOLDER = 37004,
    ID_ADD_PICTURE = 33521,
    ID_ADD_STANDARD_PICTURE = 33525,
};
constexpr int kStrFaultyFolder = 62060;
constexpr int kStrPicturesFolderPrompt = 62061;
constexpr const char* kDefaultPicturesFolder = ".\\Pictures\\Common\\";

// The application's open designs and their files.
class CAppAnswerFileHost : public IAnswerFileHost {
public:
    CCircuit* OpenDesign(const CString& path) override
    {
        CTeskApp* app = CTeskApp::Get();
        CTeskDoc* doc = app ? app->OpenDocumentFile(FromWindows1252(path)) : nullptr;
        return doc ? doc->GetDesign() : nullptr;
    }
    std::vector<CCircuit*> OpenDesigns() override
    {
        std::vector<CCircuit*> out;
        if (CTeskApp* app = CTeskApp::Get())
            for (const auto& doc : app->Documents())
                if (doc->GetDesign()) out.push_back(doc->GetDesign());
        return out;
    }
    CString PathOf(CCircuit* design) override { return DesignPathOf(design); }
};

CCircuit* ActiveDesign()
{
    CTeskApp* app = CTeskApp::Get();
    CTeskDoc* doc = app ? app->GetActiveDocument() : nullptr;
    return doc ? doc->GetDesign() : nullptr;
}

// Add/Text Box: the default text in the design's format, 140 x 22 (made by
// the plain constructor it would have no size, and an empty rect never
// lies on the page, so it could not be dropped).
constexpr int kAddTextBox = 33522;
CPart* MakeTextLabel(CTeskView* view)
{
    CCircuit* design = view ? view->GetDesign() : nullptr;
    if (!design) return nullptr;
    return new CTextLabel(design, CPoint(0, 0), nullptr);
}

// The picture parts' creation hooks: a picture the user picks, or a
// built-in one; null (nothing added) when none is chosen.
CPart* MakePicture(CTeskView* view, const CString& start)
{
    CCircuit* design = view ? view->GetDesign() : nullptr;
    if (!design) return nullptr;
    auto* picture = new CPicture;
    picture->AttachToCircuit(design);
    if (!picture->SetFileName(start)) {
        delete picture;
        return nullptr;
    }
    return picture;
}
CPart* MakeFilePicture(CTeskView* view) { return MakePicture(view, CString()); }
CPart* MakeStandardPicture(CTeskView* view) { return MakePicture(view, CString(kBuiltInPrefix)); }

} // namespace

int EditQuestionRange(CQuestionRange& range)
{
    CPublishUi* ui = CPublishUi::Current();
    CString name = range.name;
    bool linked = range.linked != 0;
    if (!ui || !ui->RunQuestionRange(range, &name, &linked)) return 0;
    if (range.linked && !linked) {
        // The answer file's range lets go of this one and numbers again.
        CQuestionRange* master = range.GetMasterRange();
        if (master && master != &range) {
            master->RemoveLink(&range);
            master->CheckQuestionNumbers();
        }
        range.links.clear();
    }
    range.linked = linked ? 1 : 0;
    range.name = name;
    return 1;
}

void EditDesignQuestionRange(CCircuit* design)
{
    if (!design) return;
    CQuestionRange& range = design->m_fileExtras.range;
    if (!EditQuestionRange(range)) return;
    design->OnDesignChanged();
    if (range.linked) {
        CAppAnswerFileHost host;
        LinkAnswerFile(design, nullptr, host);
    } else if (CQuestionRange* master = range.GetMasterRange()) {
        master->CheckQuestionNumbers();
    }
}

bool RebaseAllPictures(CCircuit* design, const CString& folder)
{
    if (!design) return false;
    bool ok = true;
    for (CPartIterator it(design, 0); it.GetCurrent(); it.Next())
        if (auto* picture = dynamic_cast<CPicture*>(it.GetCurrent())) ok = picture->RebaseFileName(folder) && ok;
    if (ok) design->OnDesignChanged();
    return ok;
}

void LinkOpenedDesign(CCircuit* design)
{
    if (!design) return;
    // Opening an answer file links designs, which may open files in turn.
    static bool linking = false;
    if (linking) return;
    linking = true;
    CAppAnswerFileHost host;
    if (design->m_fileExtras.range.linked) LinkAnswerFile(design, nullptr, host);
    UpdateAnswerLinks(design, host);
    // The numbers of a design that is its own answer set.
    if (!design->m_fileExtras.range.linked) design->m_fileExtras.range.CheckQuestionNumbers();
    linking = false;
}

void RegisterActivityCommands(CHandlerMap& handlers, CMainFrame* frame)
{
    new CQtPublishUi(frame);
    PartCatalogue::Get().SetHook(ID_ADD_PICTURE, &MakeFilePicture);
    PartCatalogue::Get().SetHook(ID_ADD_STANDARD_PICTURE, &MakeStandardPicture);
    PartCatalogue::Get().SetHook(kAddTextBox, &MakeTextLabel);
    auto unlocked = [](CCmdUI& ui) {
        CCircuit* d = ActiveDesign();
        ui.Enable(d && !d->IsLocked());
    };
    handlers.Add(
        ID_ANSWER_FILE,
        [frame] {
            EditDesignQuestionRange(ActiveDesign());
            if (CTeskFrame* f = frame->ActiveFrame()) f->GetView()->UpdateView();
        },
        unlocked);
    handlers.Add(ID_QUESTION_RESULTS, [] {
        if (CCircuit* d = ActiveDesign())
            if (CPublishUi* ui = CPublishUi::Current()) ui->ShowQuestionResults(d->m_fileExtras.range);
    });
    handlers.Add(
        ID_PICTURES_FOLDER,
        [frame] {
            bool ok = false;
            QString folder = QInputDialog::getText(frame, QString(), FromWindows1252(LoadResString(kStrPicturesFolderPrompt)),
                                                   QLineEdit::Normal, QString::fromLatin1(kDefaultPicturesFolder), &ok);
            if (!ok) return;
            if (folder.isEmpty()) folder = QString::fromLatin1(kDefaultPicturesFolder);
            if (!RebaseAllPictures(ActiveDesign(), ToWindows1252(folder)))
                WbMessageBox(LoadResString(kStrFaultyFolder), MB_OK);
        },
        unlocked);
    if (CTeskApp* app = CTeskApp::Get())
        QObject::connect(app, &CTeskApp::documentOpened, frame,
                         [](CTeskDoc* doc) { LinkOpenedDesign(doc->GetDesign()); });
}
