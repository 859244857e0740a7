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

// A voltage as an unsigned 8-bit sample: limited to +-fullScale; exactly
// +fullScale is 255, otherwise value x (128 / fullScale) + 128, truncated
// (so -fullScale is 0 and 0 V is 128).  A full scale of 0 gives 0.
uint8_t VoltsToSample8(double volts, double fullScale);
// The inverse: (byte - 128) / 128 x fullScale.
double Sample8ToVolts(uint8_t sample, double fullScale);

// Reading a file: "RIFF", its size, "WAVE", then a scan of the chunks for
// "fmt " and "data".  A chunk's id and 32-bit size are followed by its
// bytes; the next chunk starts size + 8 bytes further (an odd size is not
// evened up); the scan ends when fewer than 8 bytes remain of the RIFF
// payload (its size as far as the file goes).
enum class EWaveRead {
    kOk,
    // No RIFF/WAVE header: nothing was taken from the file.
    kNotWave,
    // A RIFF/WAVE file this program cannot play: not PCM, fewer than 8 bits,
    // no "data" chunk, or a format record that describes no frame (no
    // channels, a block of 0 bytes or one too small for its samples).  The
    // format holds what the file said.
    kUnusable,
};
// On kOk the format and the frames' bytes (whole frames only, at most what
// the file holds); on kUnusable the format as far as it was read.
EWaveRead ParseWaveBytes(const std::string& bytes, CWaveFormat* format, std::string* frames);
