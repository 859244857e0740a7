#include "app/publish/picture.h"

#include "app/publish/publish_ui.h"
#include "model/circuit/circuit.h"
#include "model/circuit/file_open_warnings.h"
#include "model/designfile/question_range.h"
#include "model/display/bitmap256.h"
#include "model/display/display.h"
#include "model/parts/controlitem.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <QFileInfo>

WB_IMPLEMENT_SERIAL(CPicture, "CPartCircuit", 1)

namespace {

constexpr int kStrCannotFindFile = 36630;
constexpr int kCursorHand = 20;
constexpr WORD kOptionsVersion = 400;

constexpr COLORREF kPicWhite = 0xFFFFFF;
constexpr COLORREF kPicSilver = 0xC0C0C0;
constexpr COLORREF kPicGrey = 0x808080;
constexpr COLORREF kPicRed = 0x0000FF;

// The third and fourth frame of the button by look: the colour of the top
// and left edges, then of the bottom and right edges.
constexpr COLORREF kEdgePairs[4][2] = {
    {kPicWhite, kPicWhite}, {kPicWhite, kPicGrey}, {kPicGrey, kPicWhite}, {kPicGrey, kPicSilver}};

bool IsPressedLook(int look) { return look == 1 || look == 3; }

CCircuit* AsCircuit(CPartTree* design) { return dynamic_cast<CCircuit*>(design); }

// Publish mode: the design's permission bit 1 is clear.
bool InPublishMode(CPartTree* design)
{
    CCircuit* c = AsCircuit(design);
    return c && !c->IsAllowed(2);
}

bool LinkedFileExists(const CString& link, const CString& designPath)
{
    if (link.IsEmpty()) return false;
    CString full;
    if (!ResolveRelativePath(link, designPath, full)) full = link;
    return QFileInfo(QString::fromLocal8Bit(ToNativePath(full).c_str())).isFile();
}

} // namespace

CPicture::CPicture()
{
    question.owner = this;
    options.owner = this;
}

void CPicture::Serialize(CArchive& ar)
{
    CPartCircuit::Serialize(ar);
    if (ar.IsStoring()) {
        ar << document.GetPathName();
        options.Serialize(ar);
        ar << question;
        return;
    }
    CString name;
    ar >> name;
    if (ar.GetVersion() >= kOptionsVersion) {
        options.Serialize(ar);
        ar >> question;
        look = question.number ? 2 : 0;
    }
    if (name.IsEmpty()) name = kNoNamePicture;
    NormalizePathSeparators(name);
    document.SetPathName(name);
}

void CPicture::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CPartCircuit::AfterLoad(design, flags, version);
    question.owner = this;
    options.owner = this;
    if (!OpenPicture(design)) {
        CString line = LoadResString(kStrCannotFindFile);
        line += " ";
        line += document.GetPathName();
        line += "\r\n";
        AddFileOpenWarning(line);
    }
    if (options.openFile) CheckLink(design);
}

bool CPicture::OpenPicture(CPartTree* design)
{
    if (!document.OpenByName(document.GetPathName(), DesignPathOf(design))) return false;
    FitToPicture();
    return true;
}

void CPicture::FitToPicture()
{
    if (!document.IsLoaded()) return;
    const int grow = options.buttonFrame ? 8 : 0;
    m_rect.right = m_rect.left + document.Width() + grow;
    m_rect.bottom = m_rect.top + document.Height() + grow;
}

void CPicture::CheckLink(CPartTree* design)
{
    linkBroken = LinkedFileExists(options.linkFile, DesignPathOf(design)) ? 0 : 1;
}

bool CPicture::SetFileName(const CString& name)
{
    CPartTree* design = GetCircuit();
    if (!document.ChoosePicture(name, DesignPathOf(design))) return false;
    FitToPicture();
    return true;
}

int CPicture::RebaseFileName(const CString& folder)
{
    if (folder.size() <= 1 || folder[0] != '.' || folder.back() != '\\') return 0;
    CString file = document.GetPathName();
    const size_t cut = file.find_last_of("\\/:");
    if (cut != CString::npos) file = file.Mid(static_cast<int>(cut) + 1);
    document.SetPathName(folder + file);
    return 1;
}

// ---------------------------------------------------------------- clicks

int CPicture::OnRelease(CPartTree* design, int x, int y)
{
    // A click: released over the picture with nothing carried (a drag
    // brings its drag image along and drops the picture instead).
    if (PtInPart(CPoint(x, y)) && IsDragIdle() && !SharedPressState().dragImage) return RunClickActions(design);
    return CPartCircuit::OnRelease(design, x, y);
}

int CPicture::RunClickActions(CPartTree* design)
{
    CCircuit* circuit = AsCircuit(design);
    const bool publish = InPublishMode(design);
    bool fired = false;
    if (circuit) circuit->m_pageChange = CPageChange();
    if (options.openFile && publish) {
        if (LinkedFileExists(options.linkFile, DesignPathOf(design))) {
            if (circuit) {
                CPageChange& page = circuit->m_pageChange;
                page.target = options.linkFile;
                page.closeThisFile = options.closeThisFile;
                page.scrollX = options.scrollX;
                page.scrollY = options.scrollY;
                page.picture = this;
                page.opened = false;
            }
            fired = true;
        } else {
            linkBroken = 1;
        }
    }
    if (options.answerPicture) {
        // One choice per question: every answer of this number follows.
        if (design) {
            design->OnPartChanged(this);
            design->DrawTree(design->GetRedrawFlags());
        }
    } else {
        selected = !selected;
        look = (question.number ? 2 : 0) + (selected ? 1 : 0);
        DrawTree(design ? design->GetRedrawFlags() : 0);
    }
    if (options.viewBooks && publish)
        if (CPublishUi* ui = CPublishUi::Current()) ui->ViewBooks(design);
    if (options.pauseSimulation && circuit) circuit->SetPaused(1);
    if (options.closeSameAnswer && publish) {
        CQuestionRange* own = CQuestionRange::RangeOfDesign() ? CQuestionRange::RangeOfDesign()(design) : nullptr;
        CQuestionRange* master = own ? own->GetMasterRange() : nullptr;
        if (master)
            if (CPublishUi* ui = CPublishUi::Current()) ui->CloseSameAnswer(master, fired ? design : nullptr);
    }
    if (options.reloadFile && publish) return fired ? PICTURE_PAGE_CHANGE_AND_RELOAD : PICTURE_RELOAD;
    return fired ? PICTURE_PAGE_CHANGE : PICTURE_NOTHING;
}

void CPicture::OnPartChanged(CPart* part)
{
    auto* clicked = dynamic_cast<CPicture*>(part);
    if (clicked && options.answerPicture && clicked->options.answerPicture && question.number &&
        clicked->question.number == question.number) {
        selected = clicked == this;
        question.pictureSelected = selected;
        question.userAnswer = clicked->question.correctAnswer;
        look = selected ? 2 : 0;
    }
    CPartCircuit::OnPartChanged(part);
}

int CPicture::ShowInfo(CPoint, CString&)
{
    const bool linkExists = options.openFile && !linkBroken;
    return options.HasClickAction(linkExists) ? kCursorHand : 0;
}

int CPicture::BuildInfo(CString& text, UINT, CPoint)
{
    text = options.buttonFrame && options.answerPicture ? question.correctAnswer : options.bubbleText;
    return 1;
}

const char* CPicture::GetLinkName() { return question.number ? "Question" : nullptr; }

int CPicture::OnHoverEnter()
{
    if (!options.buttonFrame || (look != 0 && look != 2)) return 0;
    ++look;
    return 1;
}

int CPicture::OnHoverLeave()
{
    if (!options.buttonFrame || !IsPressedLook(look)) return 0;
    --look;
    return 1;
}

// ---------------------------------------------------------------- drawing

void CPicture::DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except)
{
    if (this == except) return;
    CPartCircuit::DrawTreeInRect(flags, mode, rect, except);
}

int CPicture::Draw(DWORD flags)
{
    CRect picture = m_rect;
    if (options.buttonFrame) {
        if (options.pauseSimulation)
            if (CCircuit* c = AsCircuit(GetCircuit())) {
                const bool pressed = IsPressedLook(look);
                look = c->IsPaused() ? (pressed ? 3 : 2) : (pressed ? 1 : 0);
            }
        const COLORREF third[2] = {kEdgePairs[look & 3][0], kEdgePairs[look & 3][1]};
        const COLORREF frames[5][2] = {
            {kPicWhite, kPicWhite},
            {look ? kPicSilver : kPicWhite, look ? kPicSilver : kPicWhite},
            {third[0], third[1]},
            {third[0], third[1]},
            {look == 1 ? kPicGrey : third[0], look == 1 ? kPicGrey : third[1]},
        };
        // Five frames from the picture's edge out to the part's edge.
        for (int k = 0; k < 5; ++k) {
            const int in = 4 - k;
            CDisplay::DrawFrame(CPoint(m_rect.left + in, m_rect.top + in),
                                CPoint(m_rect.right - 1 - in, m_rect.bottom - 1 - in), frames[k][0], 0, 1,
                                frames[k][1]);
        }
        picture.DeflateRect(4, 4);
        if (look >= 2) picture.OffsetRect(1, 1);
    }
    document.DrawInRect(picture, true);
    if (options.openFile && linkBroken) {
        CDisplay::DrawLine(m_rect.left + 1, m_rect.top + 1, m_rect.right - 1, m_rect.bottom - 1, kPicRed, PS_SOLID, 3);
        CDisplay::DrawLine(m_rect.right - 1, m_rect.top + 1, m_rect.left + 1, m_rect.bottom - 1, kPicRed, PS_SOLID, 3);
    }
    return CPartCircuit::Draw(flags);
}

// ---------------------------------------------------------------- properties

int CPicture::FillProperties(CControlItemList& items)
{
    for (int id : {IDC_PICTURE_OPTIONS, IDC_PICTURE_QUESTION})
        items.Add(CControlItem(CI_TOOLBUTTON, CString(), id, DefaultItemWidth(CI_TOOLBUTTON)));
    return 0;
}

int CPicture::GetPropertyBitmap(int id)
{
    return id == IDC_PICTURE_OPTIONS || id == IDC_PICTURE_QUESTION ? IDB_PICTURE_PROPERTIES : 0;
}

// The options and question buttons: one strip, a cell per id in order.
int CPicture::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids = {IDC_PICTURE_OPTIONS, IDC_PICTURE_QUESTION};
    if (bitmap && !AttachPicture(bitmap, IDB_PICTURE_PROPERTIES)) return -1;
    return static_cast<int>(ids.size());
}

int CPicture::OnPropertyCommand(int commandId, const CString& text)
{
    switch (commandId) {
    case IDC_PICTURE_OPTIONS: return 0x20 | (RunOptionsDialog(GetCircuit()) ? 1 : 0);
    case IDC_PICTURE_QUESTION: return 0x20 | (RunQuestionDialog(GetCircuit()) ? 1 : 0);
    default: return CPartCircuit::OnPropertyCommand(commandId, text);
    }
}
