// PCM WAVE files of recorded sound: the 16-byte format record as a "fmt "
// chunk holds it, volts to samples and back at a full scale, and the file
// as Save Sound writes it (RIFF header, "fmt " chunk, "data" chunk; all
// numbers little-endian).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CWaveFormat {
    uint16_t formatTag = 1; // PCM
    uint16_t channels = 1;
    uint32_t samplesPerSecond = 11025;
    uint32_t averageBytesPerSecond = 22050;
    uint16_t blockAlign = 2;
    uint16_t bitsPerSample = 16;

    // Mono 16-bit at a rate (the average byte rate follows).
    static CWaveFormat Mono16(uint32_t rate);
};

// A voltage as a 16-bit sample: limited to +-fullScale, then scaled by
// 32767 / fullScale above 0 and 32768 / fullScale otherwise, truncated
// toward zero (so +fullScale is 32767 and -fullScale -32768).  A full
// scale of 0 gives 0.
int16_t VoltsToSample16(double volts, double fullScale);
// The inverse: s / 32768 x fullScale for s <= 0, s / 32767 x fullScale above.
double Sample16ToVolts(int16_t sample, double fullScale);

// The frames to save: the whole sample, or the selection first..last
// (inclusive at both ends, clipped to the sample).  first > last after
// clipping: nothing.
struct CFrameRange {
    int first = 0;
    int count = 0;
};
CFrameRange FramesToSave(int length, bool selection, int selFirst, int selLast);

// The file's bytes: a 44-byte header and the frames' bytes.
std::string BuildWaveBytes(const CWaveFormat& format, const std::string& frames);
// 16-bit mono frames as bytes.
std::string Frames16(const std::vector<int16_t>& samples, CFrameRange range);
// Writes the file; false when it cannot be written completely.
bool WriteWaveFile(const std::string& path, const CWaveFormat& format, const std::string& frames);
