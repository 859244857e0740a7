#include "movieplayer/render/movie_renderer.h"

#include <cstring>

namespace movie {

MovieRenderer::MovieRenderer() = default;

MovieRenderer::~MovieRenderer()
{
    // Instances refer to the root's dictionary: they go first.
    root_.reset();
}

bool MovieRenderer::Load(const uint8_t* data, size_t size)
{
    root_ = Timeline::CreateRoot(&display_, 0);
    if (!root_) return false;
    root_->Append(data, size);
    return root_->LoadError() == 0 && root_->Movie().HeaderRead();
}

bool MovieRenderer::SetSize(int width, int height, bool antialias, int scaleMode)
{
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return false;
    if (!buffer_.Create(32, width, height)) return false;
    width_ = width;
    height_ = height;
    display_.AttachBuffer(&buffer_);
    MovieRect frame{0, 11000, 0, 8000};
    if (root_ && root_->Movie().HeaderRead()) {
        const MovieBuffer& m = root_->Movie();
        frame = MovieRect{m.FrameXMin(), m.FrameXMax(), m.FrameYMin(), m.FrameYMax()};
    }
    display_.SetCamera(frame, MovieRect{0, width, 0, height}, antialias, scaleMode);
    return true;
}

void MovieRenderer::Seek(int frame)
{
    if (!root_) return;
    root_->Seek(frame);
    display_.Actions() = ActionQueue();
}

void MovieRenderer::Draw(bool all)
{
    if (all) display_.InvalidateStage();
    display_.Draw();
}

std::vector<uint32_t> MovieRenderer::Pixels() const
{
    std::vector<uint32_t> out(size_t(width_) * size_t(height_));
    if (!buffer_.HasBits()) return out;
    PixelTarget t = buffer_.Target();
    for (int y = 0; y < height_; ++y) std::memcpy(&out[size_t(y) * size_t(width_)], t.Row(y), size_t(width_) * 4);
    return out;
}

uint32_t MovieRenderer::At(int x, int y) const
{
    if (!buffer_.HasBits() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    PixelTarget t = buffer_.Target();
    uint32_t p;
    std::memcpy(&p, t.Row(y) + size_t(x) * 4, 4);
    return p;
}

}  // namespace movie
