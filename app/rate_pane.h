// The text of the main frame's sample-rate pane, without widgets: blank
// (11 spaces) without a design and at the default 5 updates a second,
// "PAUSED" for a paused design, else the label, two spaces, the rate by the
// value formatter and "Hz".  The label is read once; the number is formatted
// again only when the rate differs from the one the last text was made for,
// so the idle refresh costs a comparison.
#pragma once

#include <QString>

class CCircuit;

class CRatePane {
public:
    QString Text(const CCircuit* design);
    // How many times a rate was formatted (each new rate once).
    int FormatCount() const { return m_formats; }

private:
    QString m_label;
    bool m_labelRead = false;
    double m_rate = -1.0;   // the rate m_text was made for; -1 none
    QString m_text;
    int m_formats = 0;
};
