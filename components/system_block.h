// What the systems output blocks share: one picture set of the systems
// table (a single orientation), pins laid out from the picture, the frame
// shown chosen by the state word and drawn at once, and their 32-bit int
// fields in the archive.
#pragma once

#include "components/systems_pictures.h"
#include "model/components/component.h"

class CSystemBlock : public CComponent {
public:
    void CreateChildren() override;

    int GetFrame() const { return m_wStateWord; }

protected:
    void TakePicture(SystemsPicture picture);
    // Selects the frame and draws the picture with it (while the simulation
    // runs the state word is the frame drawn).
    void ShowFrame(int frame);
    // An int written as a 32-bit LONG.
    static void SerializeInt(CArchive& ar, int& value);
};
