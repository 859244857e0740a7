// The recorded sound of a design (the loudspeaker's sample) as Save Sound
// reads it: 16-bit mono frames, their rate and the stretch selected in the
// graph window.  The recording is the sample of the design's sound probe
// (the loudspeaker's, CSoundSample); a finder installed in its place (tests)
// answers instead.  Without either the sound commands stay greyed.
#pragma once

#include "measure/wave_file.h"

#include <functional>
#include <string>

class CCircuit;

class CSoundRecording {
public:
    virtual ~CSoundRecording() = default;
    virtual int Length() const = 0;
    virtual int16_t Frame(int index) const = 0;
    virtual uint32_t Rate() const = 0;
    // The selected frames first..last (inclusive); false when none.
    virtual bool GetSelection(int* first, int* last) const = 0;
};

using SoundRecordingFinder = std::function<CSoundRecording*(CCircuit*)>;
void InstallSoundRecordingFinder(SoundRecordingFinder finder);
CSoundRecording* FindSoundRecording(CCircuit* design);

// "What to Save": the selection is offered, and chosen at first, only
// when the recording has one.
struct CSaveSoundChoice {
    bool selectionOffered = false;
    bool selection = false;
    static CSaveSoundChoice For(const CSoundRecording& recording);
};

// Writes the whole recording or its selection as a WAVE file; false when
// the file cannot be written.
bool SaveRecording(const CSoundRecording& recording, bool selection, const std::string& path);
