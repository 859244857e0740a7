// The bytes of one movie file, collected as they arrive, and its header.
//
// Header (little-endian):
//   0  3 bytes  signature "FWS" (compressed movies are not accepted)
//   3  UI8      format version
//   4  UI32     file length in bytes, header included
//   8  RECT     frame rectangle in twips (UB[5] nbits, then 4 x SB[nbits])
//      UI16     frame rate, 8.8 fixed point frames per second
//      UI16     frame count
// The RECT takes 1 to 17 bytes, so the whole header takes 13 to 29 bytes;
// it is read as soon as all of it is there.
//
// The declared file length is a claim of the file, not a fact: the buffer
// grows with the bytes that actually arrive, a length above kMaxLength is
// refused as out of memory, and bytes beyond the declared length are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "movieplayer/stream/tag_stream.h"

namespace movie {

class MovieBuffer {
public:
    enum LoadError : int { kLoadOk = 0, kLoadBadHeader = -1, kLoadOutOfMemory = -2 };
    // Largest file accepted.  Movies for the workbench are a few hundred
    // kilobytes; this leaves two orders of magnitude of room.
    static constexpr uint32_t kMaxLength = 64u << 20;
    // Room reserved when the header arrives (at most the declared length).
    static constexpr size_t kInitialReserve = 64u << 10;
    // Frames loaded once every byte is there: "all".
    static constexpr int kAllFrames = 16000;
    static constexpr int kHeaderSignatureBytes = 8;
    static constexpr int kMaxHeaderBytes = 29;

    // Appends the next piece of the file.  Returns false when the load has
    // failed (now or earlier); further data is then ignored.
    bool Append(const uint8_t* data, size_t size);
    // A whole file at once.
    bool Load(const uint8_t* data, size_t size) { return Append(data, size); }

    int Error() const { return error_; }
    bool HeaderRead() const { return headerRead_; }
    // Every declared byte has arrived.
    bool Complete() const { return headerRead_ && bytes_.size() == declaredLength_; }

    uint8_t Version() const { return version_; }
    uint32_t DeclaredLength() const { return declaredLength_; }
    size_t Received() const { return bytes_.size(); }
    const uint8_t* Data() const { return bytes_.data(); }

    // Frame rectangle in twips; (0, 1440, 0, 1440) until the header is read.
    int32_t FrameXMin() const { return frame_[0]; }
    int32_t FrameXMax() const { return frame_[1]; }
    int32_t FrameYMin() const { return frame_[2]; }
    int32_t FrameYMax() const { return frame_[3]; }
    uint16_t FrameRate() const { return frameRate_; }   // 8.8 frames per second
    int FrameDelay() const { return frameDelay_; }      // milliseconds
    uint16_t FrameCount() const { return frameCount_; }
    size_t FirstTag() const { return firstTag_; }
    // ShowFrame records complete so far, or kAllFrames once the file is whole.
    int FramesLoaded() const { return framesLoaded_; }

    // Tags of the root timeline over the bytes present.
    TagStream Tags() const { return TagStream(bytes_.data(), firstTag_, bytes_.size()); }

    // Delay between frames for a stored 8.8 rate: 65,536,000 / (rate x 256)
    // ms, truncated (12 fps: 83 ms).  A rate of 0 is read as the slowest rate
    // the field can state, 1/256 frame per second, instead of dividing by 0.
    static int DelayForRate(uint16_t rate);

private:
    void ReadHeader();
    void ScanFrames();

    std::vector<uint8_t> bytes_;
    int error_ = kLoadOk;
    bool headerRead_ = false;
    uint8_t version_ = 0;
    uint32_t declaredLength_ = 0;
    int32_t frame_[4] = {0, 1440, 0, 1440};
    uint16_t frameRate_ = 0;
    int frameDelay_ = 0;
    uint16_t frameCount_ = 0;
    size_t firstTag_ = 0;
    size_t scanPos_ = 0;
    int framesLoaded_ = 0;
};

}  // namespace movie
