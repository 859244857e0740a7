// CScopeWidget: the graph pane below the canvas of a design window.  A thin
// widget round CScope (measure/scope.h): it paints what the controller
// draws with a QPainter, passes the mouse, wheel and arrow keys on, and
// shows the graph part on the property toolbar when pressed.
#pragma once

#include "measure/scope.h"

#include <QWidget>

#include <memory>

class CTeskDoc;
class QPainter;
class QPagedPaintDevice;

class CScopeWidget : public QWidget, public CScopeHost {
    Q_OBJECT
public:
    static constexpr int kMinimumHeight = 120;

    CScopeWidget(CTeskDoc* document, QWidget* parent = nullptr);
    ~CScopeWidget() override;

    CScope& Scope() { return m_scope; }
    // Prints the graph on a page; false when it does not fit.
    bool PrintTo(QPagedPaintDevice& device);

    // CScopeHost
    void Invalidate() override { update(); }
    void ShowGraphPart() override;
    bool EditAdvanced(CAdvancedScopeForm& form) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CTeskDoc* m_document;
    // Declared before the controller, which keeps a reference to it.
    std::shared_ptr<CScopeToolbar> m_settings;
    CScope m_scope;
};

// The painter the controller draws through on a QPainter.
class CQtScopePainter : public CScopePainter {
public:
    explicit CQtScopePainter(QPainter& painter) : m_painter(painter) {}
    void Line(int x1, int y1, int x2, int y2, COLORREF colour, int width) override;
    void FillRect(const CRect& rect, COLORREF colour) override;
    void Text(const CRect& rect, const CString& text, Align align, bool bold, COLORREF colour) override;

private:
    QPainter& m_painter;
};
