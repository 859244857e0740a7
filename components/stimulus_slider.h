// The stimulus sliders of the systems sensors: a picture of the sensed
// quantity (thermometer, sun, loudspeaker) with a small knob on its left
// that the user drags up and down.  The knob position runs from 0 (top) to
// the slider's last position; the sensor is told a value that falls in
// whole steps as the knob goes down, and the picture shows the frame of the
// value.  Like every slider, it answers the mouse only with animation on
// (option 0x80).
#pragma once

#include "components/slider.h"
#include "components/systems_pictures.h"

// What tells one stimulus slider from another (integer divisions):
//   value reported = valueTop - valueStep x (position / valueDivisor)
//   frame drawn    = frameTop - position / frameDivisor
struct StimulusSliderRow {
    SystemsPicture picture;
    SystemsPicture knob;
    int lastPosition;
    int initialPosition;
    int valueTop;
    int valueStep;
    int valueDivisor;
    int frameTop;
    int frameDivisor;
    int pictureDx; // the picture's place in the control's rectangle
    int pictureDy;
};

class CStimulusSlider : public CSlider {
public:
    // Reports the value for the present position.
    CRect OnDrag(CPartTree* design, CPoint point) override;
    // Nothing with flags 0; otherwise the picture, then the knob (frame 0
    // with option 0x80, else frame 2, the knob hidden in the background).
    int Draw(DWORD flags) override;
    int MinPosition() const override { return 0; }
    int MaxPosition() const override { return Row().lastPosition; }

    int GetValue() const;
    int GetFrame() const;
    virtual const StimulusSliderRow& Row() const = 0;

protected:
    // The pictures and the initial position of the row.
    void TakeRow();
    // The control's rectangle from (x + dl, y + 2) to (x + dr, y + bottom).
    void PlaceAt(int x, int y, int dl, int dr, int bottom, CPart* sensor);
};
