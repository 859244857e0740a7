// CTextLabel: the free label the user types.  It keeps the screen
// resolution it was laid out at, a question link, the answer-dependent
// responses (markers.h) and a resize frame as its first child.
#pragma once

#include "model/text/markers.h"
#include "model/text/questionlink.h"
#include "model/text/text.h"

class CTextLabel : public CText {
    WB_DECLARE_SERIAL(CTextLabel)
public:
    CTextLabel();
    // A new label at (x, y): 140 x 22 pixels, multi-line, the given format
    // (null: the design's default format, DesignCharFormat) and the default
    // label text as rich text in that format.
    CTextLabel(CPartTree* design, CPoint topLeft, const CCharFormat* designFormat);

    // The CText record, then the owning design, the resolution, the
    // question, the responses and the background.
    void Serialize(CArchive& ar) override;

    void SetText(const char* text) override;
    const CRTFData* UpdateMacroText() override;
    void SetPixelsPerInch(int ppi) override
    {
        pixelsPerInch = ppi;
        scale = 1.0;
    }
    int GetPixelsPerInch() override { return pixelsPerInch; }
    double GetScale() override { return scale; }

    void CreateChildren() override;
    void AfterLoad(CPartTree* design, DWORD loadFlags, WORD version) override;
    int OnPress(CPartTree* design, int x, int y) override;
    CRect OnDrag(CPartTree* design, CPoint point) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int PtInPart(CPoint point) override;
    int HasText() override { return 1; }
    // The resize frame's cursor where the point lies on the frame, else the
    // part's own answer.
    int ShowInfo(CPoint point, CString& bubbleText) override;
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    int IsDesignItem() override { return 1; }
    int DefersToParent() override { return 0; }
    const char* GetLinkName() override;
    void SetRect(const CRect& rect) override;
    // The label's extent as drawn: its border lies one pixel outside the
    // rectangle on every side.
    int IsInRect(const CRect& rect, int whole) override;
    void EraseTree() override;
    // Mode bit 0x1 is the pass that redraws answer-dependent texts: a label
    // whose text follows the answers redraws whole; otherwise the part's
    // own rule.
    void DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except) override;
    // A question label that took a new answer lets the design's
    // answer-dependent texts redraw.
    void OnEditEnded() override;
    int Draw(DWORD drawFlags) override;
    int IsDeletable() override { return 1; }
    int FillProperties(CControlItemList& items) override;
    int GetPropertyBitmap(int id) override;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // The response mode the question dialog shows (markers.h).
    int GetResponseMode() const { return ::GetResponseMode(flags, responses); }
    // A label with responses that is not a question shows the automatic
    // text; true when it does.
    bool SetAutomaticText();
    // What the question dialog returns on OK: the question number and
    // correct answer, the response mode with its responses (display-name
    // keys) and the border flag.
    void ApplyQuestionSettings(WORD number, const CString& correctAnswer, int mode, const CResponseMap& dialogResponses,
                               bool border);
    // The resize frame (the first child, when it is one).
    CPart* GetResizeFrame() const;
    // The font button of a label that is not being edited: the font dialog
    // on the format its text starts with, applied to the whole text.
    bool ChooseWholeTextFont();
    // Face, size and effects of `font` for every run of the text except
    // those in the Symbol font (their letters are symbols); colours stay.
    // A label of plain text takes them into its character format.
    void ApplyFontToText(const RtfCharFormat& font);

    int pixelsPerInch = 96;
    double scale = 1.0;
    CQuestionLink question;
    CResponseMap responses;
};

// Label property commands.
enum : int {
    IDC_LABEL_BORDER = 36101,
    IDC_LABEL_BOLD = 36102,
    IDC_LABEL_ITALIC = 36103,
    IDC_LABEL_UNDERLINE = 36104,
    IDC_LABEL_FONT = 36105,
    IDC_LABEL_INSERT_SYMBOL = 36106,
    IDC_LABEL_BACKGROUND = 36108,
    IDC_LABEL_TRANSPARENT = 36110,
    IDC_LABEL_SYMBOLS = 36053,
    IDC_LABEL_QUESTION = 36074,
};

// The dialogs and editor actions behind the label's commands, provided by
// the user interface; without one those commands change nothing.
class CLabelCommandHost {
public:
    virtual ~CLabelCommandHost() = default;
    // Colour dialog; false when cancelled.
    virtual bool ChooseColour(uint32_t* colour) = 0;
    // Style toggles and the font dialog act on the editor's selection.
    virtual bool ToggleStyle(int commandId) = 0;
    virtual bool ChooseFont() = 0;
    // The font dialog on a format: face, size and effects; false when
    // cancelled.  The colour is not the font dialog's.
    virtual bool ChooseTextFont(RtfCharFormat* format) = 0;
    virtual bool IsStyleChecked(int commandId) = 0;
    virtual void InsertSymbol(int code) = 0;
    virtual bool EditQuestion(CTextLabel* label) = 0;

    static CLabelCommandHost* Current();
    static CLabelCommandHost* Install(CLabelCommandHost* host);
};

// The document-wide text commands: every label of the design (at any depth
// of the part tree) gets its stored RTF rescaled by RescaleFontFactor() or
// its font table's Symbol entries mended.  Returns the number of labels.
int RescaleAllLabelFonts(CPart* design);
int FixAllLabelFontTables(CPart* design);

// Mode bit of DrawTreeInRect: redraw the texts that follow the answers.
constexpr int kRedrawAnswerTexts = 0x1;
// Asks every part of the design (except `except`) to redraw its
// answer-dependent text, with the design's redraw flags.
void RedrawAnswerTexts(CPartTree* design, CPart* except);

// The symbol palette's selection ("a" at start).
CString& PaletteSelection();
