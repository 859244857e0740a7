// Printing a design: the used part of the page (the parts' bounds, or the
// whole page when it is empty) drawn at screen size (96 pixels to the inch)
// and laid over as many printer pages as it needs, left to right, then top
// to bottom.
#pragma once

#include <QRect>
#include <QSize>

class CCircuit;
class QPrinter;

// The design area that is printed.
QRect PrintArea(CCircuit* design);
// Pages across and down for an area on pages of pageSize (both in the
// printer's device pixels at its resolution).
QSize PageGrid(QSize area, QSize page);
// Prints the design; false (after nothing was printed) when the printer
// cannot be started.  *pages receives the page count.
bool PrintDesign(CCircuit* design, QPrinter& printer, int* pages = nullptr);
