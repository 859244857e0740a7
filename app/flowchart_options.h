// The record of "Flowchart Options": the design's flow time step (how long
// an element stays active unless it has a time of its own), its variable
// range and its analogue range.  No widgets: the view command and its
// tests use it as it is; app/flowchart_dialogs.h shows it.
#pragma once

class CCircuit;

// The settings of "Flowchart Options".
struct CFlowchartOptionsData {
    double timeStep = 0.2;
    int variableRange = 255;
    int analogRange = 255;
    // The design's time step: no element runs shorter.
    double smallestStep = 0.0;

    static constexpr double kMaxTimeStep = 10.0;
    static constexpr int kMaxRange = 10000;

    // The design's values; the smallest step is 1 / its sample rate.
    static CFlowchartOptionsData FromDesign(const CCircuit& design);
    // A time step below the design's is raised to it.
    double RaisedTimeStep(double seconds) const { return seconds < smallestStep ? smallestStep : seconds; }
    bool IsValid() const;
    // Stores the three values, tells the controller a setting changed
    // (code 6) and marks the design changed.
    void ApplyTo(CCircuit& design) const;
};
