// fuzz-links: wb_movieplayer
// Feeds arbitrary bytes to the movie engine as a file arriving in pieces,
// plays and draws its frames at every screen depth, seeks by label and
// back, plays on, decodes every bitmap, hit-tests
// and drives the buttons; then plays the file through the player, running
// its scripts for several frames and serving the URLs they ask for.
#include <cstddef>
#include <cstdint>

#include "movieplayer/bitbuffer.h"
#include "movieplayer/character/bitmap_decode.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/player/headless_player.h"

namespace {

void Walk(movie::DisplayList& d, movie::Instance* inst, const movie::Timeline* root, int depth)
{
    for (movie::Instance* i = inst->children; i; i = i->next) {
        if (i->character && i->character->kind == movie::kCharBitmap) movie::Timeline::Bitmap(i->character, root);
        if (i->Kind() == movie::kCharButton) {
            d.ButtonTransition(i, false);
            d.ButtonTransition(i, true);
            d.ButtonTransition(nullptr, true);
            d.ButtonTransition(nullptr, false);
        }
        if (depth < 64) Walk(d, i, root, depth + 1);
    }
}

}  // namespace

namespace {

// Sprites that place sprites multiply up to the display list's limit on
// live instances.  At the default (32768) one input of 420 bytes took 18 s
// under the sanitizers, rebuilding all of them at every seek; the limit's
// path is the same at 2000.
constexpr int kInstanceLimit = 2000;
// Scripts that loop run to the player's limit of 200 000 records, 17 ms
// under the sanitizers; the limit's path is the same at 4000.
constexpr int kInstructionLimit = 4000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    movie::DisplayList display;
    display.SetInstanceLimit(kInstanceLimit);
    // Drawn small: the rasteriser is exercised, the run stays fast.
    // The last byte (after a movie's End tag nothing reads it) picks
    // anti-aliasing, the scale mode and the output size (up to 128 x 96),
    // so inverted or huge frame rectangles meet every camera set-up.
    const uint8_t pick = size > 0 ? data[size - 1] : 0;
    const bool aa = pick & 1;
    const int scaleMode = (pick >> 1) & 3;
    const int width = 1 + (pick & 0x7F), height = 1 + (pick * 3 / 4 & 0x5F);
    // The first byte's top bits pick the screen depth: 32, 16, 8 (with a
    // palette of greys) or 4 (drawn through the 8-bit buffer).
    static const int kDepths[] = {32, 16, 8, 4};
    const int depth = kDepths[(size > 0 ? data[0] : 0) >> 6];
    uint32_t palette[256];
    for (int k = 0; k < 256; ++k) palette[k] = uint32_t(k) * 0x010101u;
    movie::CBitBuffer buffer;
    if (!buffer.Create(depth, width, height, depth <= 8 ? palette : nullptr, depth <= 8 ? 256 : 0)) return 0;
    display.AttachBuffer(&buffer);
    display.SetCamera(movie::MovieRect{0, 11000, 0, 8000}, movie::MovieRect{0, width, 0, height}, aa, scaleMode);
    auto root = movie::Timeline::CreateRoot(&display, 0);
    if (!root) return 0;
    // The first byte picks the piece size, so the same file is also read as a
    // stream of small pieces, played while it loads.
    size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
    for (size_t pos = 0; pos < size; pos += piece) {
        size_t n = size - pos < piece ? size - pos : piece;
        if (!root->Append(data + pos, n)) break;
        if (root->Movie().HeaderRead()) {
            const movie::MovieBuffer& m = root->Movie();
            display.SetCamera(movie::MovieRect{m.FrameXMin(), m.FrameXMax(), m.FrameYMin(), m.FrameYMax()},
                              movie::MovieRect{0, width, 0, height}, aa, scaleMode);
        }
        display.StepTimelines();
    }
    for (int i = 0; i < 8; ++i) {
        display.StepTimelines();
        display.Draw();
    }
    // Every bitmap of the dictionary, placed or not.
    root->Dictionary().ForEach([&](movie::Character* c) {
        if (c->kind == movie::kCharBitmap) movie::Timeline::Bitmap(c, root.get());
    });
    if (root->GetInstance()) Walk(display, root->GetInstance(), root.get(), 0);
    // Hit tests walk every outline on a coarse grid over the stage.
    for (int y = 3; y < height; y += 12)
        for (int x = 3; x < width; x += 12) {
            display.HitTest({x, y});
            display.HitTestButtons({x, y});
        }
    // Seek by the labels the frames carry (the first frame's and a missing
    // one), then back to the start.
    for (const char* label : {"", "fuzz", "frame1"}) {
        const int frame = root->FindLabel(label);
        if (frame >= 0) root->GotoFrame(frame);
        display.Draw();
    }
    root->Play(false);
    for (int i = 0; i < 3; ++i) {
        display.StepTimelines();
        display.Draw();
    }
    root->Seek(0);
    display.Draw();
    movie::QueuedAction a;
    while (display.Actions().Take(&a)) {
    }
    root.reset();

    movie::HeadlessPlayer player(width, height);
    player.Display().SetInstanceLimit(kInstanceLimit);
    player.instructionLimit = kInstructionLimit;
    player.autoQuality = pick & 2;
    player.OpenMovie("fuzz.swf");
    player.ServeBytes(data, size, piece);
    for (int i = 0; i < 6; ++i) player.Tick(40 + 30 * uint32_t(i));
    for (int i = 0; i < 3 && !player.requests.empty(); ++i) player.ServeBytes(data, size, piece);
    // Input: a click and a drag across the screen, Tab through the focus
    // list, then typing and editing keys into whatever took the focus.
    const int w = width > 0 ? width : 100, h = height > 0 ? height : 100;
    for (int i = 0; i < 4; ++i) {
        const int x = int((pick >> (2 * i)) % unsigned(w)), y = int((pick >> (2 * i + 1)) % unsigned(h));
        player.MouseMove(x, y, false);
        player.MouseDown(x, y);
        player.MouseMove(w - 1 - x, h - 1 - y, true);
        player.MouseUp(w - 1 - x, h - 1 - y);
        player.HandleKey(movie::kKeyTab, i & 1);
        for (int code : {int('a'), int(movie::kKeyLeft), int(movie::kKeySelectAll), int(movie::kKeyPaste),
                         int(movie::kKeyEnter), int(movie::kKeyDown), int(movie::kKeyBackspace)})
            player.HandleKey(code, i >> 1);
        player.BlinkCaret();
    }
    player.Tick(1000);
    return 0;
}
