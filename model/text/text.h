// CText: the base of every text that stands on the canvas (labels, value
// labels, meter readouts, group-box captions, flowchart panels).  A text has
// a rectangle, an anchor point (kept as an offset from the rectangle's
// top-left corner) with a text-alignment code, text flags, the character
// format of plain text and the default font of rich text, the text block
// itself and a background colour.
#pragma once

#include "model/parts/partcircuit.h"
#include "model/text/charformat.h"
#include "model/text/rtfdata.h"

class QTextDocument;

// Text flags.
enum : uint32_t {
    TF_BORDER = 0x1,        // a frame around the label
    TF_MULTILINE = 0x2,     // multi-line editing
    TF_NUMBERS = 0x8,       // the editor takes digits only
    TF_VALUE = 0x10,        // set on values after loading
    TF_QUESTION = 0x80,     // the label is a question
    TF_NO_EDIT = 0x100,     // a press does not start editing
    TF_TRANSPARENT = 0x200, // the background colour is not painted
};

class CText;

// The in-place editor: a window of the user interface laid over the text
// being edited.  app/ implements it; without one, editing does not start.
class CTextEditorHost {
public:
    virtual ~CTextEditorHost() = default;
    // Opens the editor over rect (design coordinates) and returns the
    // document it edits (null: refused).
    virtual QTextDocument* Open(CText* part, const CRect& rect, uint32_t background, bool multiLine, bool numbers,
                                int limit) = 0;
    virtual void Close() = 0;
    virtual void Move(const CRect& rect) = 0;

    static CTextEditorHost* Current();
    static CTextEditorHost* Install(CTextEditorHost* host);
};

// The one text being edited, and the document of its editor.
struct CTextEditState {
    CText* part = nullptr;
    QTextDocument* doc = nullptr;
};
CTextEditState& SharedTextEditor();

// The design's default text format, which new labels take: the record the
// design root keeps (its first 60 bytes), or the built-in default when the
// design is no design root or holds no record (size field not 60).
CCharFormat DesignCharFormat(CPartTree* design);

// The block that generated texts (score, answers) are shown through.
CRTFData& SharedMarkerBlock();
// The factor of the document-wide font rescaling command, initially 1.28.
double& RescaleFontFactor();

class CText : public CPartCircuit {
    WB_DECLARE_SERIAL(CText)
public:
    CText();
    // A text beside a part: 8 pixels per character, multi-line editing.
    CText(const CString& text, int side, CPart* part);
    ~CText() override;

    // The CPartCircuit record, then the text record.
    void Serialize(CArchive& ar) override;

    // ---- virtual operations introduced here, in their order ----
    virtual void RescaleFontSizes();
    virtual void SetText(const char* text);
    // The block that is shown.
    virtual const CRTFData* UpdateMacroText();
    // null ends in-place editing; otherwise starts it.
    virtual int EditInPlace(CString* text);
    virtual int GetTextLimit() { return 0; }
    virtual CRTFData* GetRTFData() { return &rtf; }
    virtual uint32_t GetTextFlags() { return flags; }
    // True when the text (or the given one) does not fit its rectangle.
    virtual int MeasureText(CString* text, int mode);
    virtual void SetPixelsPerInch(int) {}
    virtual int GetPixelsPerInch();
    virtual double GetScale() { return 1.0; }
    // After in-place editing ended and the text took the editor's content.
    virtual void OnEditEnded() {}

    // ---- CPart operations ----
    int IsWindowShown() override;
    int Draw(DWORD drawFlags) override;
    void Deselect(DWORD drawFlags) override;
    void RefreshState() override;
    void OnRunStateChanged() override;
    void OnViewChanged(int code, void* view) override;
    DWORD GetHitClass() override { return 16; }
    int OnPress(CPartTree*, int, int) override { return 0; }
    int DefersToParent() override { return 1; }
    int GetLabelPlacements(CLabelPlacement* records) override;
    void PlaceLabel(int side, CPart* part, const CPoint* offset) override;

    // Sets the rectangle 14 pixels high beside rect (see PlaceBeside in
    // placement.h); other side codes leave everything unchanged.
    void PlaceBeside(int width, int sideAsked, const CRect& rect);
    // Gives the Symbol entries of the stored font table charset 2.
    void FixRtfFontTable();
    // The format of text without a format of its own.
    RtfCharFormat BaseFormat() const;
    CPoint AnchorPoint() const { return CPoint(m_rect.left + anchor.x, m_rect.top + anchor.y); }
    bool IsBeingEdited() const { return SharedTextEditor().part == this; }

    CPoint anchor;
    int side = 0;
    uint32_t flags = 0;
    CCharFormat charFormat;
    CRTFData rtf;
    uint32_t background = 0xFFFFFF;

protected:
    // Ends the current in-place editing: the edited text takes the editor's
    // content back.
    static void EndEditing();
    // The count of correct answers of the design's questions.
    int CorrectAnswerCount();
};

// A plain text part kept for the archive.  Its links pass reads one more
// reference that older programs never wrote; this program writes a null
// reference there so that what it saves reloads, and reads the reference
// only from files that carry it.
class CTextCallsParent : public CText {
    WB_DECLARE_SERIAL(CTextCallsParent)
public:
    void SerializeLinks(CArchive& ar) override;
};
