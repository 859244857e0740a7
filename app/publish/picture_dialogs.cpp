// What the picture's two dialogs change: the Picture Options (click
// actions, bubble text, link, button frame) and the picture question (the
// picture as an answer of a numbered question).  The windows themselves are
// CPublishUi's; this is the part's side of them.
#include "app/publish/picture.h"
#include "app/publish/publish_ui.h"
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"

namespace {

// Pictures carry questions too: the ranges collect them with the labels.
const bool g_collector = [] {
    CQuestionRange::AddCollector([](CPart* part, std::vector<CQuestionLink*>& out) {
        if (auto* picture = dynamic_cast<CPicture*>(part)) out.push_back(&picture->question);
    });
    return true;
}();

void StopAndReset(CPartTree* design)
{
    if (auto* root = dynamic_cast<CCircuit*>(design)) {
        root->OnSimulationStopped();
        root->ResetRun(1);
    }
}

} // namespace

bool CPicture::RunOptionsDialog(CPartTree* design)
{
    CPublishUi* ui = CPublishUi::Current();
    if (!ui) return false;
    CPictureOptionsDlg edited = options;
    edited.basePath = DesignPathOf(design);
    edited.owner = this;
    edited.picturePath = document.GetPathName();
    const bool wasPausing = options.pauseSimulation != 0;
    // The bubble text typed in the dialog is kept, with or without the
    // button frame.
    if (!ui->RunPictureOptions(this, edited)) return false;
    options = edited;
    options.owner = this;
    if (options.pauseSimulation) options.buttonFrame = 1;
    else if (wasPausing) options.buttonFrame = 0;
    EraseTree();
    FitToPicture();
    CheckLink(design);
    StopAndReset(design);
    return true;
}

bool CPicture::RunQuestionDialog(CPartTree* design)
{
    CPublishUi* ui = CPublishUi::Current();
    if (!ui) return false;
    CPictureQuestionChoice choice;
    choice.selectsAnswer = options.answerPicture && options.buttonFrame;
    choice.questionNumber = question.number;
    choice.answer = question.correctAnswer;
    choice.correct = options.correctAnswer != 0;
    if (!ui->RunPictureQuestion(this, choice)) return false;
    const bool frameChanged = (options.buttonFrame != 0) != choice.selectsAnswer;
    options.answerPicture = choice.selectsAnswer;
    options.buttonFrame = choice.selectsAnswer;
    options.questionNumber = std::clamp(choice.questionNumber, 0, 9999);
    options.correctAnswer = choice.correct;
    if (frameChanged) {
        EraseTree();
        FitToPicture();
    }
    question.number = static_cast<WORD>(options.questionNumber);
    question.correctAnswer = choice.answer;
    question.owner = this;
    question.kind = choice.correct ? 2 : 1;
    question.pictureSelected = selected;
    look = question.number ? 2 * (selected ? 1 : 0) : 0;
    // The numbers changed: the range that scores them numbers them again.
    if (CQuestionRange* range = CQuestionRange::RangeOfDesign() ? CQuestionRange::RangeOfDesign()(design) : nullptr)
        if (CQuestionRange* master = range->GetMasterRange()) master->CheckQuestionNumbers();
    StopAndReset(design);
    return true;
}
