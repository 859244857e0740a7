// Draws frames of one movie into a 32-bit off-screen buffer, headless: the
// path the command-line renderer, the tests and the benchmarks share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "movieplayer/bitbuffer.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"

namespace movie {

class MovieRenderer {
public:
    MovieRenderer();
    ~MovieRenderer();

    // The whole movie file; false when it cannot be read at all.
    bool Load(const uint8_t* data, size_t size);
    // Output size in pixels, anti-aliasing and the scale mode of the camera
    // (0: whole movie visible, centred; 2: exact fit; 3: no scaling).
    bool SetSize(int width, int height, bool antialias, int scaleMode = 0);
    // Goes to frame n (0-based; beyond the last: the last).
    void Seek(int frame);
    // Draws what changed since the last draw; with `all` the whole stage.
    void Draw(bool all = true);
    // The image, rows top to bottom, 0xAARRGGBB premultiplied.
    std::vector<uint32_t> Pixels() const;
    uint32_t At(int x, int y) const;

    int Width() const { return width_; }
    int Height() const { return height_; }
    Timeline* Root() { return root_.get(); }
    DisplayList& Display() { return display_; }

private:
    DisplayList display_;
    CBitBuffer buffer_;
    std::unique_ptr<Timeline> root_;
    int width_ = 0, height_ = 0;
};

}  // namespace movie
