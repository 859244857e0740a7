// CSoundSystem: the program's one sound output.  It plays a sound sample as
// a looping buffer, replaces a playing sound by a new one at the end of the
// present pass, plays the buzzer sound while the design asks for it, tests
// which sample rates the device plays, and frees each buffer when the
// device hands it back.  The application owns one for the whole run; the
// design reaches it through its simulation host.
//
// Failures become one message each (36507 memory, 36512 lock, 36514 no
// device), shown once per run of failures: after a failure the system is
// marked unusable and stays quiet until a rate test succeeds or the user
// answers Retry to the buzzer's question.  The program works on without
// sound, and recorded sound can still be saved.
#pragma once

#include "measure/sound_device.h"

#include <functional>
#include <memory>
#include <vector>

class CSoundSample;

class CSoundSystem {
public:
    explicit CSoundSystem(std::unique_ptr<CSoundDevice> device);
    ~CSoundSystem();
    CSoundSystem(const CSoundSystem&) = delete;
    CSoundSystem& operator=(const CSoundSystem&) = delete;

    // The buzzer sound on (looping until switched off) or off; 1.
    int SetBuzzer(bool on);
    // With close or reset every queued buffer ends now; otherwise the
    // playing buffer stops looping and ends after its pass.  With close the
    // device closes when the next buffer comes back.  1 when the device
    // took the call, 0 without an open device.
    int Stop(bool close, bool reset);
    // Queues the sample's segment (its exact range or its loop segment);
    // a sound already playing ends its pass first.  1 when queued or when
    // nothing was to be played (muted design, buzzer sounding, empty
    // segment), 0 on failure.
    int PlaySample(CSoundSample* sample);
    // Tells the user whether the rate can be heard (36551 when it can and
    // sound was unusable, 36550 when it cannot) and keeps the answer as the
    // usable flag; returns the message's answer or the old flag.
    int CheckSampleRate(int rate);
    // A buffer came back from the device: freed; a close asked for closes
    // the device.
    void OnWaveDone(CSoundBuffer* buffer);

    bool IsSoundQueued() const { return m_nQueued > 0; }
    bool IsSoundLooping() const { return IsSoundQueued() && m_bLoop; }
    void SetLoopFlag(bool loop) { m_bLoop = loop; }
    bool IsUsable() const { return m_bUsable; }
    bool IsBuzzing() const { return m_bBuzzing; }
    int QueuedCount() const { return m_nQueued; }
    // Buffers made and not yet handed back.
    int LiveBuffers() const { return static_cast<int>(m_buffers.size()); }
    bool IsRatePlayable(int rate);
    CSoundDevice& Device() { return *m_device; }
    // The system speaker's beep, for the buzzer when the device cannot
    // play it.
    void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }

private:
    void Beep();
    // Shows the message unless sound is already unusable, frees the buffer,
    // resets the output and marks sound unusable.
    void Report(unsigned stringId, CSoundBuffer* buffer);
    void Free(CSoundBuffer* buffer);

    std::unique_ptr<CSoundDevice> m_device;
    bool m_bCloseRequest = false;
    bool m_bUsable = true;
    bool m_bSynchronous = false;
    bool m_bBuzzing = false;
    int m_nQueued = 0;
    bool m_bLoop = false;
    // -1 not tested, 0 the device cannot play the buzzer, 1 it can.
    int m_nBuzzerCapability = -1;
    std::unique_ptr<CSoundSample> m_pBuzzer;
    std::vector<std::unique_ptr<CSoundBuffer>> m_buffers;
    std::function<void()> m_beep;
};
