// The in-place text editor of the canvas: a QTextEdit laid over the text
// part being edited, and the label commands that act on its selection
// (bold, italic, underline, font, colour, symbols).  The model decides when
// editing starts and ends; this window only shows and edits.
#pragma once

#include "model/text/textlabel.h"

#include <QObject>
#include <QPointer>
#include <QTextEdit>

#include <functional>

class QWidget;

class CTextEditWindow : public QObject, public CTextEditorHost, public CLabelCommandHost {
    Q_OBJECT
public:
    // parent: the canvas widget the editor is a child of.
    explicit CTextEditWindow(QWidget* parent);
    ~CTextEditWindow() override;

    // Maps design coordinates to the canvas widget's (scroll and zoom);
    // the identity by default.
    void SetMapping(std::function<QRect(const CRect&)> map) { m_map = std::move(map); }

    // CTextEditorHost
    QTextDocument* Open(CText* part, const CRect& rect, uint32_t background, bool multiLine, bool numbers,
                        int limit) override;
    void Close() override;
    void Move(const CRect& rect) override;

    // CLabelCommandHost
    bool ChooseColour(uint32_t* colour) override;
    bool ToggleStyle(int commandId) override;
    bool ChooseFont() override;
    bool ChooseTextFont(RtfCharFormat* format) override;
    bool IsStyleChecked(int commandId) override;
    void InsertSymbol(int code) override;
    bool EditQuestion(CTextLabel* label) override;

    QTextEdit* Editor() const { return m_edit; }

    // Called when the selection (or the insertion point) moves, so the
    // style buttons can follow its format.
    void SetSelectionHandler(std::function<void()> handler) { m_onSelection = std::move(handler); }
    // Called (from the event loop, once the text part counts as edited)
    // after editing starts or ends: the toolbar's items depend on it.
    void SetEditingHandler(std::function<void()> handler) { m_onEditing = std::move(handler); }
    // Called with the editor's text after each change the user makes (not
    // when the text is loaded); true asks for the text to turn red (the
    // value it stands for was clamped or refused).
    void SetEditHandler(std::function<bool(const QString&)> handler) { m_onEdit = std::move(handler); }

    // Keeps Backspace and Delete from the view's accelerators and, for
    // numbers, lets only number characters through.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnforceLimit();
    void OnTextChanged();
    void SetTextRed(bool red);

    QPointer<QTextEdit> m_edit;
    std::function<QRect(const CRect&)> m_map;
    bool m_open = false;
    bool m_numbers = false;
    int m_limit = 0;
    // The user has typed since the text was loaded: changes go to the part.
    bool m_userEdits = false;
    bool m_inEdit = false;
    void NotifyEditing();

    std::function<void()> m_onSelection;
    std::function<void()> m_onEditing;
    std::function<bool(const QString&)> m_onEdit;
};
