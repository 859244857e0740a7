// CLamp: the brightness slider of the lamp-lit light-dependent resistor:
// an upright 26 x 40 slider with a lamp-shaped knob, starting at the dark
// end (position 23, reported 20).
#pragma once

#include "components/slider.h"

class CLamp : public CSlider {
    WB_DECLARE_SERIAL(CLamp)
public:
    CLamp();
    // At (x, y) from the owner's top-left, operating the owner.
    CLamp(int x, int y, CPart* owner);
};
