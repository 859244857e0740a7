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

    // Keeps Backspace and Delete from the view's accelerators and, for
    // numbers, lets only number characters through.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnforceLimit();

    QPointer<QTextEdit> m_edit;
    std::function<QRect(const CRect&)> m_map;
    bool m_open = false;
    bool m_numbers = false;
    int m_limit = 0;
};
