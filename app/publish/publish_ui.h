// What the picture part and the question range need of the user interface:
// the dialogs, the file choice, the design's path and the home screen.
// The application installs the windows; tests install scripted answers;
// with none installed the dialogs are cancelled.
#pragma once

#include "platform/cstring.h"

class CPartTree;
class CPicture;
class CPictureOptionsDlg;
class CQuestionRange;
struct CPictureQuestionChoice;

class CPublishUi {
public:
    virtual ~CPublishUi() = default;
    // A BMP file chosen, starting from start; false when cancelled.
    virtual bool ChoosePictureFile(const CString& start, CString* chosen) = 0;
    // A built-in picture chosen: its picture set and display name (both in
    // and out: the last choice); false when cancelled.
    virtual bool ChooseBuiltInPicture(CString* pictureSet, CString* displayName) = 0;
    // The Picture Options dialog on the picture's options; false on Cancel.
    virtual bool RunPictureOptions(CPicture* picture, CPictureOptionsDlg& options) = 0;
    // The picture question dialog; false on Cancel.
    virtual bool RunPictureQuestion(CPicture* picture, CPictureQuestionChoice& choice) = 0;
    // The Answer File dialog of a range; false on Cancel.
    virtual bool RunQuestionRange(CQuestionRange& range, CString* name, bool* linked) = 0;
    // The Question Results dialog of a range's counts.
    virtual void ShowQuestionResults(CQuestionRange& range) = 0;
    // The window of the design shows the home screen's Books tree.
    virtual void ViewBooks(CPartTree* design) = 0;
    // Every open page whose design links to the answer file of master
    // closes, except keep.
    virtual void CloseSameAnswer(CQuestionRange* master, CPartTree* keep) = 0;

    static CPublishUi* Current();
    // Installs ui (null: none); returns the previous one.
    static CPublishUi* Install(CPublishUi* ui);
};

// The design's file path (empty for a design without a file).
CString DesignPathOf(CPartTree* design);
