// CSoundSample: one PCM recording (mono or more channels, 8 bits or more
// per sample), read from and written to WAVE files.  The loudspeaker
// records into its own sample one frame per simulation step and plays it
// back; the buzzer of the sound system is a sample of the built-in buzzer
// sound; the loudspeaker's probe reads the sample as its trace.
//
// The frames live in one block that grows by Resize; Clear keeps a block
// that a Resize sized (the recording goes on into it).  Settings that
// depend on the design (the sample limit, the auto-play length) come from
// the design the sample is told of, else the defaults (22050 frames, 552
// frames).
#pragma once

#include "measure/probe.h"
#include "measure/sound_recording.h"
#include "measure/wave_file.h"

#include <cstdint>
#include <string>
#include <vector>

class CCircuit;
class CSoundSystem;

class CSoundSample : public CProbeSampleSource, public CSoundRecording {
public:
    static constexpr double kFullScale = 10.0;
    static constexpr int kDefaultSampleLimit = 22050;
    static constexpr int kDefaultSegmentFrames = 552;
    // The built-in buzzer sound.
    static constexpr int kBuzzerResource = 402;

    CSoundSample() = default;
    ~CSoundSample() override;
    CSoundSample(const CSoundSample&) = delete;
    CSoundSample& operator=(const CSoundSample&) = delete;

    void SetDesign(CCircuit* design) { m_pDesign = design; }
    CCircuit* GetDesign() const { return m_pDesign; }

    // Length 0, mark 0, not modified; the block is freed unless a Resize
    // sized it.
    void Clear();
    // Room for that many frames (0: the design's sample limit).  Out of
    // memory: 36507 is shown, the sample cleared, false.
    bool Resize(int frames);
    // Appends bytes (whole frames); grows the block first when needed.
    bool Append(const void* bytes, int count);
    // Converts a voltage to one frame at the full scale and appends it.
    bool AppendVolts(double volts);
    // Copies a frame; outside the recording the frame is zeros and false.
    bool ReadFrame(void* dst, int index) const;
    // The frame's first channel in volts at the full scale.
    double Value(int index) const;
    // The frame's first channel as a signed level: the 16-bit sample (the
    // top 16 bits of wider ones), or the 8-bit byte less 128.
    int RawLevel(int index) const;
    void SetRate(int rate);
    const CWaveFormat& GetFormat() const { return m_format; }
    // A new format (clears the sample first).
    void SetFormat(const CWaveFormat& format);

    int AllocatedBytes() const { return static_cast<int>(m_data.size()); }
    bool IsModified() const { return m_bModified; }
    double FullScale() const { return m_dFullScale; }
    void SetFullScale(double volts) { m_dFullScale = volts; }
    int GetMark() const { return m_nMark; }
    void SetMark() { m_nMark = m_nLength; }
    // Full: the block is used up, or the design's sample limit reached.
    bool IsFull() const;
    // The frames since the mark make a segment of the design's auto-play
    // length (never without a design).
    bool IsSegmentDone() const;

    // Playing and saving use the exact range first..last (inclusive)
    // instead of the loop segment or the whole sample while the flag is set.
    void SetExactRange(bool exact) { m_bExactRange = exact; }
    bool IsExactRange() const { return m_bExactRange; }
    void SetRange(int first, int last)
    {
        m_nRangeFirst = first;
        m_nRangeLast = last;
    }

    // Plays from start: count frames with the exact-range flag (0: to the
    // end), else the loop segment from start.  With loop the output is
    // reset first.  The sound system's play result.
    int Play(CSoundSystem* sound, int start, int count, bool loop);
    // Plays (once through the queue, no loop) the design's auto-play length
    // from the mark; with advance the mark moves to the end.
    int PlayFromMark(CSoundSystem* sound, bool advance);
    // The frames the next play copies: the exact range, or the loop segment.
    // False when there is nothing to play.
    bool ChooseSegment(int* first, int* count);

    // Crossing search: from start, count frames forward or backward, for
    // the signal passing level +-2 raw units.  Returns the direction of the
    // last crossing noted (0 none, 1 rising, 2 falling in time) and in
    // *offset the frames from start to it; it stops at the first crossing
    // of the wanted direction (any when wanted is 0).
    int FindCrossing(int start, int count, double level, int wanted, bool forward, int* offset) const;
    // Peak search: the first local maximum (positive level) or minimum
    // (negative level) whose raw value lies between level and limit, among
    // count frames from start; its offset from start, or -1.
    int FindPeak(int start, int count, double level, double limit, bool forward) const;

    // WAVE files.  Reading shows 36500 (and 36501 when the old sound is
    // kept) for a file that cannot be used.
    bool ReadWave(const std::string& bytes);
    // The file's bytes: the whole sample, or with the exact-range flag the
    // range (false, nothing written, when there is no range).
    bool WriteWave(std::string* bytes) const;
    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path) const;
    // The built-in sound of that id; false when there is none.
    bool LoadFromResource(int id);
    // The WAVE bytes of a built-in sound ("" when there is none).
    static std::string BuiltInWave(int id);

    // ---- CSoundRecording (Save Sound) ----
    int Length() const override { return m_nLength; }
    int16_t Frame(int index) const override { return static_cast<int16_t>(RawLevel(index)); }
    uint32_t Rate() const override { return m_format.samplesPerSecond; }
    // The frames of the selection on the linked probe.
    bool GetSelection(int* first, int* last) const override;

    // ---- CProbeSampleSource ----
    int GetLength() const override { return m_nLength; }
    double GetValue(int index) const override { return Value(index); }
    void SetProbe(CProbe* probe) override { m_pProbe = probe; }
    CProbe* GetProbe() const { return m_pProbe; }

private:
    int DesignSampleLimit() const;
    int DesignSegmentFrames() const;
    const uint8_t* FrameBytes(int index) const { return m_data.data() + size_t(index) * m_format.blockAlign; }

    CCircuit* m_pDesign = nullptr;
    CProbe* m_pProbe = nullptr;
    double m_dFullScale = kFullScale;
    bool m_bExactRange = false;
    int m_nRangeFirst = 0;
    int m_nRangeLast = -1;
    int m_nLoopDirection = 0;
    std::vector<uint8_t> m_data;
    int m_nLength = 0;
    CWaveFormat m_format;
    bool m_bKeepBuffer = false;
    bool m_bModified = false;
    int m_nPlayStart = 0;
    int m_nPlayCount = 0;
    int m_nMark = 0;
};
