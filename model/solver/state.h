// Piecewise-linear device models.  Each model is y = slope * x + intercept
// inside a validity interval of its controlling value x; the step re-solves
// the network until no model's value has left its segment.
//
// Protocol for one pass: after every solve the components call their models'
// LimitStep, which records the tried value and offers the fraction of the step
// at which it leaves its segment; the model with the smallest fraction is the
// limiter and the step calls its Switch() (which runs Update) and solves again.
// After an accepted step the components call Commit.
//
// Bound on the re-solve loop: a model that has switched kUpdateLimit times
// since its last Commit no longer offers itself as limiter, so a pass ends
// after at most kUpdateLimit switches per model even when two models would
// otherwise hand the step back and forth for ever.
#pragma once

#include "model/solver/solver_terminal.h"

#include <cstdint>

class CState {
public:
    static constexpr int kUpdateLimit = 200;

    CState() = default;
    virtual ~CState() = default;

    // Chooses the segment for the tried value; returns the committed value.
    // Base version: segment 1 above 0, else segment 0; bounds and committed 0.
    virtual double Update();

    // The common limit test: stores the value as the tried value; when it lies
    // outside the present segment, offers the fraction of the step at which
    // the bound is crossed.  Returns 1 whenever the value is outside.
    int LimitStep(CState** out, double* fraction, double value);

    // Update, counted against kUpdateLimit; the step calls this on its limiter.
    double Switch();
    void Commit();
    // Sets every field to 0 (the state of a new model).
    void ResetState();

    double GetValue() const { return m_Slope * m_Tried + m_Intercept; }
    double GetSlope() const { return m_Slope; }
    double GetIntercept() const { return m_Intercept; }
    int GetSegment() const { return m_Segment; }
    double GetLower() const { return m_Lower; }
    double GetUpper() const { return m_Upper; }
    double GetCommitted() const { return m_Committed; }
    double GetTried() const { return m_Tried; }
    bool HasChanged() const { return m_Changed != 0; }
    int GetUpdateCount() const { return m_UpdateCount; }
    void SetTried(double value) { m_Tried = value; }
    void SetCommitted(double value) { m_Committed = value; }

protected:
    // Makes this model the limiter when the fraction beats the smallest so far
    // (and the model still may limit this step).
    void Offer(CState** out, double* fraction, double f);
    void SetSegment(int segment)
    {
        if (segment != m_Segment) m_Changed = 1;
        m_Segment = static_cast<int16_t>(segment);
    }

    double m_Lower = 0.0;
    double m_Upper = 0.0;
    double m_Committed = 0.0;
    int16_t m_Segment = 0;
    int16_t m_Changed = 0;
    double m_Intercept = 0.0;
    double m_Slope = 0.0;
    double m_Tried = 0.0;
    int m_UpdateCount = 0;
};

// Three segments: 0 below p0, 2 between p0 and p1, 1 above p1.
class CTriState : public CState {
public:
    CTriState() { m_Segment = 2; }
    void SetPoints(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3);
    void SetRamp(double x0, double y0, double x1, double y1);
    double Update() override;
    double GetP0() const { return m_P0; }
    double GetP1() const { return m_P1; }

protected:
    double m_P0 = 0.0, m_P1 = 0.0;
    double m_Slope0 = 0.0, m_Intercept0 = 0.0;
    double m_Slope2 = 0.0, m_Intercept2 = 0.0;
    double m_Slope1 = 0.0, m_Intercept1 = 0.0;
};

// What a logic model reads of its design: the switching threshold and the
// Norton current of a high output.
class CLogicLevels {
public:
    virtual ~CLogicLevels() = default;
    virtual double GetLogicThreshold() const = 0;
    virtual double GetLogicHighCurrent() const = 0;
};

// A gate input watching several pins and following the one that changes
// first.  Pins are numbered in the component's terminal array; bit (pin -
// first pin) of a mask belongs to a pin.
class CLogic : public CTriState {
public:
    void SetInputs(int firstPin, int pinCount, unsigned activeMask, unsigned invertMask, bool direct);
    void SetFromCircuit(const CLogicLevels& design);
    // pins: the component's terminals; their values are read from nodeValues.
    void LimitStep(CState** out, double* fraction, const double* nodeValues, CSolverTerminal* const* pins,
                   const CLogicLevels& design);
    // The same with pin i read from pins[index[i]].
    void LimitStepIndexed(CState** out, double* fraction, const double* nodeValues, CSolverTerminal* const* pins,
                          const uint8_t* index, const CLogicLevels& design);
    double Update() override;

    int GetPresentPin() const { return m_Pin; }
    int GetNextPin() const { return m_NextPin; }
    bool GetPresentSense() const { return m_Sense; }
    bool IsDirect() const { return !m_Frozen; }
    unsigned GetSenseMask() const { return m_SenseMask; }

protected:
    template <class ValueOf>
    void Limit(CState** out, double* fraction, double threshold, ValueOf valueOf);

private:
    bool SenseOf(int pin) const { return (m_SenseMask >> (pin - m_FirstPin)) & 1u; }

    int m_FirstPin = 0;
    int m_PinCount = 0;
    unsigned m_ActiveMask = 0;
    unsigned m_SenseMask = ~0u;
    int m_Pin = 0;
    int m_NextPin = 0;
    bool m_Sense = true;
    bool m_Frozen = false;
};

// A CLogic whose watched inputs are solver nodes rather than pins: input i
// is node (first node + i).  A chip uses it to combine signals on internal
// nodes that it drives itself (the 4511's digit lines).
class CLogic2 : public CLogic {
public:
    // Input i (counted from the model's first pin) read from
    // nodeValues[firstNode + i].
    void LimitStepIndexed(CState** out, double* fraction, const double* nodeValues, uint16_t firstNode,
                          const CLogicLevels& design);
};
