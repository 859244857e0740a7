// CPicture: a bitmap on the canvas that decorates an activity and can act
// as a button: open another page, reload this one, close the pages that
// share an answer file, show the Books tree, pause the simulation, or
// choose an answer of a question.  Its picture is held by a
// CBitmapDocument; its click actions and bubble text by the embedded
// CPictureOptionsDlg.
#pragma once

#include "app/publish/bitmap_document.h"
#include "app/publish/picture_options.h"
#include "model/parts/partcircuit.h"
#include "model/text/questionlink.h"

// The name a picture without one is given on loading.
constexpr const char* kNoNamePicture = ".\\BAD_NO_NAME_ERROR.BMP";

// Commands and the property bitmap of the picture.
enum : int {
    IDC_PICTURE_OPTIONS = 36074,
    IDC_PICTURE_QUESTION = 36107,
    IDB_PICTURE_PROPERTIES = 461,
};

// Results of a click (the canvas view's drop results).
enum : int {
    PICTURE_NOTHING = 0,
    PICTURE_PAGE_CHANGE = 12,
    PICTURE_RELOAD = 13,
    PICTURE_PAGE_CHANGE_AND_RELOAD = 14,
};

// What the picture question dialog shows and returns.
struct CPictureQuestionChoice {
    bool selectsAnswer = false;  // 202: "Clicking on picture selects an answer"
    int questionNumber = 0;      // 223
    CString answer;              // 201
    bool correct = false;        // 212
};

class CPicture : public CPartCircuit {
    WB_DECLARE_SERIAL(CPicture)
public:
    CPicture();

    // The CPartCircuit record, the file name, then (read only from version
    // 400 on) the options and the question link.
    void Serialize(CArchive& ar) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int ShowInfo(CPoint point, CString& bubbleText) override;
    int IsDesignItem() override { return 1; }
    int OnHoverLeave() override;
    int OnHoverEnter() override;
    const char* GetLinkName() override;
    int HasInfo(int x, int y) override { return 1; }
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    void OnPartChanged(CPart* part) override;
    DWORD GetHitClass() override { return 16; }
    void DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except) override;
    int Draw(DWORD flags) override;
    int IsDeletable() override { return 1; }
    int FillProperties(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // Lets the user choose another picture, starting from name; the size
    // follows the new bitmap.  False when nothing changed.
    bool SetFileName(const CString& name);
    // Points the picture into another folder (".\\...\\" with a trailing
    // separator): 1 when done, else 0.  The bitmap is not reloaded.
    int RebaseFileName(const CString& folder);
    // Opens the picture by its name against the design's path and sizes
    // the part to it; false when it was not found.
    bool OpenPicture(CPartTree* design);
    // The click actions of a release inside the picture; the result code.
    int RunClickActions(CPartTree* design);
    // The Picture Options dialog; true on OK.
    bool RunOptionsDialog(CPartTree* design);
    // The picture question dialog; true on OK.
    bool RunQuestionDialog(CPartTree* design);
    // The part's rectangle follows the bitmap (and the button frame).
    void FitToPicture();
    // Recomputes linkBroken from the link file and the design's path.
    void CheckLink(CPartTree* design);

    CBitmapDocument document;
    CQuestionLink question;
    int selected = 0;
    int look = 0;  // 0 up, 1 pressed, 2 chosen, 3 chosen and pressed
    int linkBroken = 0;
    CPictureOptionsDlg options;
};
