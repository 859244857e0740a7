// The canvas view of a design: a scroll area whose viewport shows the
// design drawn through the drawing layer (CDisplay on an image the size of
// the viewport, the design root's DrawTree), copied to the screen.
//
// What the shell calls (keep these when the view grows):
//   GetDocument(), GetDesign()   the document and its present design
//   UpdateView()                 repaint everything (after load, undo, redo)
//   RenderDesign(scale)          the whole page as an image (print, clipboard)
//   IdleStep(count)              one idle step; true while more idle time is wanted
//   command routing through CCommandTarget (the view is asked first)
#pragma once

#include "app/commands.h"
#include "model/display/view.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <memory>

class CCircuit;
class CTeskDoc;

class CTeskView : public QAbstractScrollArea, public CCommandTarget {
    Q_OBJECT
public:
    explicit CTeskView(CTeskDoc* document, QWidget* parent = nullptr);
    ~CTeskView() override;

    CTeskDoc* GetDocument() const { return m_document; }
    CCircuit* GetDesign() const;

    void UpdateView();
    // The design's page drawn on white, scale 1 or 2.
    QImage RenderDesign(int scale = 1) const;
    // One step of idle work; true while more idle time is wanted.
    virtual bool IdleStep(long count);

    // The design's page size in pixels.
    QSize PageSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();

    CTeskDoc* m_document;
};
