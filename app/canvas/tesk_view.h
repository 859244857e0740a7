// The canvas view of a design: a scroll area whose viewport shows the
// design drawn through the drawing layer.  The view's rules live in
// CCanvasController (canvas_controller.h); this widget turns Qt's events
// into its calls and answers its CCanvasHost questions.  Parts draw into an
// image the size of the viewport (whenever they change, during a step as
// well) and the widget copies it to the screen.
//
// What the shell calls (keep these):
//   GetDocument(), GetDesign()   the document and its present design
//   UpdateView()                 repaint everything (after load, undo, redo)
//   RenderDesign(scale)          the whole page as an image (print, clipboard)
//   IdleStep(count)              one idle step; true while more idle time is wanted
//   command routing through CCommandTarget (the view is asked first)
#pragma once

#include "app/canvas/canvas_controller.h"
#include "app/commands.h"
#include "app/sim_host.h"
#include "model/display/view.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <functional>
#include <memory>

class CCircuit;
class CTeskDoc;
class CCanvasImage;
class CTextEditWindow;
class CViewSimulationHost;

class CTeskView : public QAbstractScrollArea, public CCommandTarget, public CCanvasHost {
    Q_OBJECT
public:
    explicit CTeskView(CTeskDoc* document, QWidget* parent = nullptr);
    ~CTeskView() override;

    CTeskDoc* GetDocument() const { return m_document; }
    CCircuit* GetDesign() const;
    CCanvasController& Controller() { return *m_controller; }
    CQtSimulationHost& SimulationHost();

    void UpdateView();
    // The design's page drawn on white, scale 1 or 2.
    QImage RenderDesign(int scale = 1) const;
    // One step of idle work; true while more idle time is wanted.
    virtual bool IdleStep(long count);
    // The design's page size in pixels.
    QSize PageSize() const;
    // The view becomes the active design view (its design runs) or not.
    void Activate(bool on);
    // Turns a part of the design by the orientation its last property
    // command chose (the property toolbar's orientation buttons).
    bool ReorientPart(CPart* part);

    // The next part command comes from a plain click on a part-toolbar
    // button: its part goes into the design at once instead of following
    // the mouse (once; the command clears it).
    void SetNextAddAtOnce(bool on) { m_nextAddAtOnce = on; }

    // The graph the design draws its new samples on (its window's graph
    // pane while that is shown), asked afresh for every sample.
    void SetGraphSource(std::function<CSimulationGraph*()> source) { m_graphSource = std::move(source); }
    CSimulationGraph* GetGraph() const { return m_graphSource ? m_graphSource() : nullptr; }

    // CCommandTarget
    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // Application cursor of a code.
    static QCursor CursorForCode(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // CCanvasHost
    CView* GetDrawView() override;
    CSize GetClientSize() override;
    void SetScrollRange(CSize total) override;
    CPoint GetScrollPos() override;
    void ScrollTo(CPoint pos) override;
    void Invalidate() override;
    void InvalidateRect(const CRect& rect) override;
    void SetCapture(bool on) override;
    bool HasCapture() override;
    CPoint GetCursorPos() override;
    void SetCursorPos(CPoint p) override;
    void SetCursorCode(int code) override;
    int GetCursorHeight() override;
    CPoint ClientToScreen(CPoint p) override;
    uint32_t GetTickCount() override;
    bool IsFrameActive() override;
    void SetStatusPrompt(int id) override;
    // The property toolbar of the main frame (app/tesk_view_properties.cpp).
    void ShowPartProperties(CPart* part) override;
    void ShowMessage(const CString& text) override;
    void RunPageAction(int result) override;

    void OnDesignReplaced();
    // Makes this view's in-place text editor the one texts open, ending an
    // edit that another view's editor holds.
    void InstallTextEditor();
    void OnTick();
    void AfterEvent();
    unsigned KeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) const;
    CPoint ClientPoint(const QPointF& p) const;
    void TrackMouse(const QPointF& p);

    CTeskDoc* m_document;
    std::unique_ptr<CCanvasImage> m_image;
    std::unique_ptr<CViewSimulationHost> m_simHost;
    std::function<CSimulationGraph*()> m_graphSource;
    std::unique_ptr<CCanvasController> m_controller;
    // The editor a text of this view's design is edited in, over the viewport.
    std::unique_ptr<CTextEditWindow> m_textEditor;
    bool m_capture = false;
    bool m_needsRender = true;
    bool m_inScroll = false;
    // The window has not painted yet: it scrolls to the design's top-left
    // whenever its size changes.
    bool m_openingScroll = true;
    CCircuit* m_shownDesign = nullptr;
    CPoint m_lastMouse;
    bool m_mouseKnown = false;
    bool m_nextAddAtOnce = false;
};
