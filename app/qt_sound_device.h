// CQtSoundDevice: the sound device on the computer's default audio output,
// through QAudioSink.  The sink pulls its bytes from a CSoundFeed, which
// walks the queued buffers: the playing buffer repeats until its loop is
// broken, then the next one follows; a buffer whose last byte has gone to
// the sink has ended and goes back to the owner through the event loop.
// With the queue empty the feed gives silence, so the sink never runs dry
// and a new buffer starts without restarting the output.
//
// MakeSoundDevice chooses the device for the run: this one when there is
// a default audio output, the silent device otherwise (no sound card,
// build machines, offscreen tests).
#pragma once

#include "measure/sound_device.h"

#include <QAudioDevice>
#include <QIODevice>

#include <deque>
#include <functional>
#include <memory>

class QAudioSink;

// The byte source the sink reads.  Everything runs on the thread that owns
// the sink (the user-interface thread): the sink pulls from its own timer.
class CSoundFeed : public QIODevice {
public:
    // ended is told of every buffer whose last pass has been read.
    explicit CSoundFeed(std::function<void(CSoundBuffer*)> ended);

    // The byte that sounds as silence: 0x80 for unsigned 8-bit frames, 0
    // for signed 16-bit ones.
    void SetSilence(char byte) { m_silence = byte; }
    void Queue(CSoundBuffer* buffer);
    // The playing buffer ends after the bytes of its pass still unread.
    void BreakLoop();
    // Every buffer ends now, the playing one first.
    void Reset();
    const std::deque<CSoundBuffer*>& Buffers() const { return m_queue; }
    // Read position in the playing buffer.
    qint64 Position() const { return m_pos; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::function<void(CSoundBuffer*)> m_ended;
    std::deque<CSoundBuffer*> m_queue;
    qint64 m_pos = 0;
    bool m_broken = false;
    char m_silence = 0;
};

class CQtSoundDevice : public CSoundDevice {
public:
    explicit CQtSoundDevice(const QAudioDevice& output);
    ~CQtSoundDevice() override;

    bool GetFormats(uint32_t* formats) override;
    bool IsOpen() const override { return m_sink != nullptr; }
    bool Open(const CWaveFormat& format) override;
    void Close() override;
    bool Write(CSoundBuffer* buffer) override;
    bool Reset() override;
    bool BreakLoop() override;

    const CSoundFeed& Feed() const { return *m_feed; }
    QAudioSink* Sink() const { return m_sink.get(); }

private:
    QAudioDevice m_output;
    std::unique_ptr<CSoundFeed> m_feed;
    std::unique_ptr<QAudioSink> m_sink;
};

// The Qt device on output when it is a real device, else the silent device
// that has no sound card.
std::unique_ptr<CSoundDevice> MakeSoundDevice(const QAudioDevice& output);
