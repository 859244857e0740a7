// Renders one frame of a movie file to a PNG picture:
//
//   wb_movie_render MOVIE FRAME OUT.png [--size WIDTHxHEIGHT] [--aa] [--scale MODE] [--play]
//
// FRAME counts from 0. Without --size the movie's own frame size is used.
// --aa draws with 4 x 4 anti-aliasing; --scale picks the camera's scale mode
// (0 whole movie visible, 1 no border, 2 exact fit, 3 no scaling).  With
// --play the movie is played through the player instead of sought: FRAME
// frame ticks with its scripts running, movies and variables it asks for
// read from local files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "movieplayer/image/png_writer.h"
#include "movieplayer/player/headless_player.h"
#include "movieplayer/render/movie_renderer.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: wb_movie_render MOVIE FRAME OUT.png [--size WIDTHxHEIGHT] [--aa] [--scale MODE] [--play]\n");
    return 2;
}

bool ParseInt(const char* s, int* out)
{
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    if (end == s || *end != '\0' || v < 0 || v > 1000000) return false;
    *out = int(v);
    return true;
}

// Plays `ticks` frames through the player and writes the stage.
int Play(const char* path, int ticks, int width, int height, bool aa, int scale, const char* out)
{
    movie::HeadlessPlayer p(width, height);
    p.highQuality = aa;
    p.scaleMode = scale;
    p.OpenMovie(path);
    p.ServeLocalFiles();
    if (!p.Loaded()) {
        std::fprintf(stderr, "%s is not a movie this player reads\n", path);
        return 1;
    }
    for (int i = 0; i < ticks; ++i) {
        p.Tick(uint32_t(p.FrameDelay()));
        p.ServeLocalFiles();
    }
    p.Display().InvalidateStage();
    p.UpdateScreen();
    const movie::CBitBuffer& b = p.Buffer();
    if (!b.HasBits()) {
        std::fprintf(stderr, "cannot draw at %d x %d\n", width, height);
        return 1;
    }
    const int w = b.Bitmap()->width, h = b.Bitmap()->height;
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    movie::PixelTarget t = b.Target();
    for (int y = 0; y < h; ++y) std::memcpy(&px[size_t(y) * size_t(w)], t.Row(y), size_t(w) * 4);
    if (!movie::WritePng(out, px.data(), w, h, w)) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    std::printf("played %d frames of %s (now at frame %d): %d x %d -> %s\n", ticks, path, p.Root()->CurrentFrame(), w,
                h, out);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) return Usage();
    int frame = 0, width = 0, height = 0, scale = 0;
    bool aa = false, play = false;
    if (!ParseInt(argv[2], &frame)) return Usage();
    for (int i = 4; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--aa") {
            aa = true;
        } else if (a == "--play") {
            play = true;
        } else if (a == "--size" && i + 1 < argc) {
            std::string v = argv[++i];
            size_t x = v.find('x');
            if (x == std::string::npos || !ParseInt(v.substr(0, x).c_str(), &width) ||
                !ParseInt(v.substr(x + 1).c_str(), &height))
                return Usage();
        } else if (a == "--scale" && i + 1 < argc) {
            if (!ParseInt(argv[++i], &scale)) return Usage();
        } else {
            return Usage();
        }
    }
    if (play) return Play(argv[1], frame, width, height, aa, scale, argv[3]);
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    movie::MovieRenderer r;
    if (!r.Load(file.data(), file.size())) {
        std::fprintf(stderr, "%s is not a movie this player reads\n", argv[1]);
        return 1;
    }
    if (width == 0 || height == 0) {
        const movie::MovieBuffer& m = r.Root()->Movie();
        width = (m.FrameXMax() - m.FrameXMin()) / 20;
        height = (m.FrameYMax() - m.FrameYMin()) / 20;
    }
    if (!r.SetSize(width, height, aa, scale)) {
        std::fprintf(stderr, "cannot draw at %d x %d\n", width, height);
        return 1;
    }
    r.Seek(frame);
    r.Draw();
    std::vector<uint32_t> px = r.Pixels();
    if (!movie::WritePng(argv[3], px.data(), width, height, width)) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("frame %d of %s: %d x %d%s -> %s\n", r.Root()->CurrentFrame(), argv[1], width, height,
                aa ? " anti-aliased" : "", argv[3]);
    return 0;
}
