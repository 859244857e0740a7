#include "movieplayer/stream/movie_buffer.h"

#include <algorithm>
#include <new>

#include "movieplayer/stream/tag_codes.h"

namespace movie {

int MovieBuffer::DelayForRate(uint16_t rate)
{
    uint32_t r = rate == 0 ? 1 : rate;
    return static_cast<int>(65536000u / (r * 256u));
}

bool MovieBuffer::Append(const uint8_t* data, size_t size)
{
    if (error_ != kLoadOk) return false;
    if (size == 0) return true;
    size_t before = bytes_.size();
    try {
        if (before < kHeaderSignatureBytes) {
            size_t take = std::min(size, size_t(kHeaderSignatureBytes) - before);
            bytes_.insert(bytes_.end(), data, data + take);
            data += take;
            size -= take;
            if (bytes_.size() < kHeaderSignatureBytes) return true;
            declaredLength_ = bytes_[4] | (uint32_t(bytes_[5]) << 8) | (uint32_t(bytes_[6]) << 16) |
                              (uint32_t(bytes_[7]) << 24);
            version_ = bytes_[3];
            if (bytes_[0] != 'F' || bytes_[1] != 'W' || bytes_[2] != 'S' ||
                declaredLength_ < kHeaderSignatureBytes) {
                error_ = kLoadBadHeader;
                return false;
            }
            if (declaredLength_ > kMaxLength) {
                error_ = kLoadOutOfMemory;
                return false;
            }
            // Reserve what a small movie needs, not what the header claims:
            // longer ones grow by doubling as their pieces arrive.  A
            // reservation of a megabyte is mapped from the system and handed
            // back when the movie goes, for every stream with a false length
            // (a third of the movie fuzz target's time was spent so).
            bytes_.reserve(std::min<size_t>(declaredLength_, kInitialReserve));
        }
        size_t room = declaredLength_ - bytes_.size();
        bytes_.insert(bytes_.end(), data, data + std::min(size, room));
    } catch (const std::bad_alloc&) {
        error_ = kLoadOutOfMemory;
        return false;
    }
    if (!headerRead_) ReadHeader();
    if (error_ != kLoadOk) return false;
    if (headerRead_) ScanFrames();
    return true;
}

void MovieBuffer::ReadHeader()
{
    size_t have = bytes_.size();
    if (have <= kHeaderSignatureBytes) {
        if (have == declaredLength_) error_ = kLoadBadHeader;
        return;
    }
    unsigned nbits = bytes_[kHeaderSignatureBytes] >> 3;
    size_t rectBytes = (5 + 4 * nbits + 7) / 8;
    size_t need = kHeaderSignatureBytes + rectBytes + 4;
    if (have < need) {
        // The file ends inside its own header.
        if (have == declaredLength_) error_ = kLoadBadHeader;
        return;
    }
    StreamCursor c(bytes_.data(), kHeaderSignatureBytes, need);
    unsigned n = c.UB(5);
    frame_[0] = c.SB(n);
    frame_[1] = c.SB(n);
    frame_[2] = c.SB(n);
    frame_[3] = c.SB(n);
    frameRate_ = c.UI16();
    frameCount_ = c.UI16();
    frameDelay_ = DelayForRate(frameRate_);
    firstTag_ = c.Pos();
    scanPos_ = firstTag_;
    headerRead_ = true;
}

void MovieBuffer::ScanFrames()
{
    if (framesLoaded_ == kAllFrames) return;
    TagRecord tag;
    while (ReadTagRecord(bytes_.data(), bytes_.size(), scanPos_, &tag)) {
        scanPos_ = tag.end;
        if (tag.code == kTagShowFrame) ++framesLoaded_;
        if (tag.code == kTagEnd) break;
    }
    if (Complete()) framesLoaded_ = kAllFrames;
}

}  // namespace movie
