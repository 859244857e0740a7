// fuzz-links: wb_movieplayer
// Runs arbitrary bytes as action lists: in the root's frames, in a sprite
// the root places (named "s") and in a second frame reached through a
// label, then plays a few frames, serves the URL requests the scripts made
// with the same bytes (as a movie or as variables) and plays on.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "movieplayer/player/headless_player.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Tag(Bytes& out, int code, const Bytes& body)
{
    // Long form always: the body may be any length.
    uint16_t head = uint16_t(code << 6 | 0x3F);
    out.push_back(uint8_t(head));
    out.push_back(uint8_t(head >> 8));
    uint32_t n = uint32_t(body.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(n >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
}

Bytes Movie(const uint8_t* data, size_t size)
{
    Bytes actions(data, data + size);
    actions.push_back(0);
    Bytes sprite = {1, 0, 2, 0};   // id 1, two frames
    Tag(sprite, 12, actions);
    Tag(sprite, 1, {});
    Tag(sprite, 1, {});
    Tag(sprite, 0, {});
    Bytes tags;
    Tag(tags, 39, sprite);
    Tag(tags, 26, {0x22, 1, 0, 1, 0, 's', 0});   // PlaceObject2: character 1, depth 1, name "s"
    Tag(tags, 12, actions);
    Tag(tags, 1, {});
    Tag(tags, 43, {'a', 0});
    Tag(tags, 12, actions);
    Tag(tags, 1, {});
    Tag(tags, 0, {});
    // Header: 550 x 400 pixels (RECT with 15-bit fields), 12 fps, 2 frames.
    Bytes m = {'F', 'W', 'S', 4, 0, 0, 0, 0, 0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x00, 0x0C, 2, 0};
    m.insert(m.end(), tags.begin(), tags.end());
    uint32_t n = uint32_t(m.size());
    for (int i = 0; i < 4; ++i) m[4 + size_t(i)] = uint8_t(n >> (8 * i));
    return m;
}

// A script that loops (a jump back, a seek back and forth) runs to the
// player's limit of 200 000 records: 17 ms a run under the sanitizers, a
// hundred times the rest of the input.  The limit's path is the same at
// 4000, and loops of that length still reach every frame and sprite.
constexpr int kInstructionLimit = 4000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    const Bytes movie = Movie(data, size);
    movie::HeadlessPlayer player(32, 24);
    player.instructionLimit = kInstructionLimit;
    player.OpenMovie("fuzz.swf");
    player.ServeBytes(movie.data(), movie.size());
    for (int i = 0; i < 4; ++i) player.Tick(100);
    // Requests the scripts made get the same bytes back, at most a few.
    for (int i = 0; i < 4 && !player.requests.empty(); ++i) {
        if (i % 2) player.ServeBytes(data, size, 7);
        else player.ServeBytes(movie.data(), movie.size(), 64);
    }
    for (int i = 0; i < 4; ++i) player.Tick(100);
    return 0;
}
