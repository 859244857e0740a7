// The MDI child frame of one design window: it holds the canvas view and
// builds the window title from the design's caption, the document title,
// the window number (when a document has several windows) and the
// modified mark.
#pragma once

#include <QMdiSubWindow>

class CTeskDoc;
class CTeskView;

class CTeskFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CTeskFrame(CTeskDoc* document, QWidget* parent = nullptr);

    CTeskDoc* GetDocument() const { return m_document; }
    CTeskView* GetView() const { return m_view; }
    // 0 for a document's only window, else 1, 2, ...
    int GetWindowNumber() const { return m_number; }
    void SetWindowNumber(int number);

    // The title text: "\"caption\" " when the design has one, the document
    // title, ":n" for the window number, " *" when modified.
    QString BuildTitle() const;
    void OnUpdateFrameTitle();

signals:
    // The user wants the window closed; the application decides.
    void closeRequested(CTeskFrame* frame);
    void titleUpdated();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CTeskDoc* m_document;
    CTeskView* m_view;
    int m_number = 0;
    bool m_closing = false;

public:
    // Set by the application when the close is agreed.
    void AllowClose() { m_closing = true; }
};
