// The MDI child frame of one design window: it holds the canvas view and
// builds the window title from the design's caption, the document title,
// the window number (when a document has several windows) and the
// modified mark.
#pragma once

#include <QMdiSubWindow>

class CHomeScreenPane;
class CScopeWidget;
class CTeskDoc;
class CTeskView;
class QSplitter;

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

    // The home column (home_frame.cpp): the pane with the Books and Blocks
    // trees left of the canvas; its width is shared by the windows (a new
    // one opens with the width of the others, 236 for the first).
    CHomeScreenPane* GetHomePane() const { return m_homePane; }
    int GetHomePaneWidth() const;
    void SetHomePaneWidth(int width);
    // Show that tree, opening a closed column; the width there was, or 1
    // when the column had to be opened.
    int ShowBooks();
    int ShowBlocks();
    // Closed column: open it on that tree; open on that tree: close it;
    // open on the other: switch.
    void ToggleBooks();
    void ToggleBlocks();
    bool IsBooksShown() const;
    bool IsBlocksShown() const;

    // The graph pane below the canvas (graph_frame.cpp): made and shown by
    // the Graph command, at least 120 pixels high; the design draws its new
    // samples on it while it is more than 8 pixels high.
    void ShowGraph();
    bool IsGraphShown() const;
    CScopeWidget* GetGraphPane() const { return m_graphPane; }

signals:
    // The user wants the window closed; the application decides.
    void closeRequested(CTeskFrame* frame);
    void titleUpdated();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateHomeColumn();

    CTeskDoc* m_document;
    CTeskView* m_view;
    QSplitter* m_splitter = nullptr;
    QSplitter* m_canvasSplitter = nullptr;
    CScopeWidget* m_graphPane = nullptr;
    CHomeScreenPane* m_homePane = nullptr;
    int m_number = 0;
    bool m_closing = false;

public:
    // Set by the application when the close is agreed.
    void AllowClose() { m_closing = true; }
};
