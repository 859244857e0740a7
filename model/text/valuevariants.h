// Value labels that differ from CValue only in how they answer the canvas:
// the fixed value (never edited in place), the thermistor's value (a class
// name of its own) and the hidden value of components that show no label.
#pragma once

#include "model/text/value.h"

class CFixedValue : public CValue {
    WB_DECLARE_SERIAL(CFixedValue)
public:
    using CValue::CValue;
    CFixedValue() = default;
    bool CanMoveWhenLocked(CPartTree*) override { return false; }
    int OnRelease(CPartTree*, int, int) override { return 7; }
};

class CThermValue : public CValue {
    WB_DECLARE_SERIAL(CThermValue)
public:
    using CValue::CValue;
    CThermValue() = default;
};

class CDummyValue : public CValue {
    WB_DECLARE_SERIAL(CDummyValue)
public:
    CDummyValue() = default;
    // Always built with an empty rectangle.
    CDummyValue(double value, double scale, char prefix, const CString& unit, int typeCode)
        : CValue(value, scale, prefix, unit, 0, CRect(), typeCode)
    {
    }
    int Draw(DWORD) override { return 0; }
    // Stays where it is (the side used is 4, inside).
    void PlaceLabel(int, CPart*, const CPoint*) override {}
};
