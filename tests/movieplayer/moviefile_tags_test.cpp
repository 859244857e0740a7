// The first-format tags, freeing characters, bitmaps through the tags that
// define them (shared JPEG tables included), and play control.
#include <gtest/gtest.h>

#include <cstdlib>


#include "movieplayer/character/bitmap_decode.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/moviefile_jpeg.h"
#include "movieplayer/moviefile_scenes.h"

using namespace moviefile_test;
using namespace movie;

namespace {

struct Loaded {
    DisplayList display;
    std::unique_ptr<Timeline> root = Timeline::CreateRoot(&display, 0);
    explicit Loaded(const Bytes& file) { root->Append(file.data(), file.size()); }
    Instance* At(uint16_t depth) { return display.FindDepth(root->GetInstance(), depth); }
};

// A JPEG split into its tables (start of image, quantisation and Huffman
// tables, end of image) and the image without them, as DefineBits stores it.
void SplitJpeg(const Bytes& jpeg, Bytes* tables, Bytes* image)
{
    *tables = {0xFF, 0xD8};
    *image = {0xFF, 0xD8};
    size_t pos = 2;
    while (pos + 4 <= jpeg.size()) {
        uint8_t marker = jpeg[pos + 1];
        size_t len = size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        Bytes seg(jpeg.begin() + long(pos), jpeg.begin() + long(pos + 2 + len));
        if (marker == 0xDB || marker == 0xC4) {
            tables->insert(tables->end(), seg.begin(), seg.end());
        } else if (marker == 0xDA) {
            image->insert(image->end(), jpeg.begin() + long(pos), jpeg.end());
            break;
        } else {
            image->insert(image->end(), seg.begin(), seg.end());
        }
        pos += 2 + len;
    }
    tables->insert(tables->end(), {0xFF, 0xD9});
}

}  // namespace

TEST(MovieTags, FirstFormatPlaceAndRemove)
{
    MovieWriter w;
    w.frameCount = 2;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    BitWriter p;
    p.UI16(1);
    p.UI16(4);
    WriteMatrix(p, Matrix::Translate(10, 20));
    Cxform x;
    x.mul[0] = 128;
    WriteCxform(p, x, false);
    w.Add(4, p.Take());
    BitWriter plain;   // without a colour transform
    plain.UI16(1);
    plain.UI16(5);
    WriteMatrix(plain, Matrix{});
    w.Add(4, plain.Take());
    w.ShowFrame();
    BitWriter r;
    r.UI16(1);
    r.UI16(4);
    w.Add(5, r.Take());
    w.ShowFrame();
    Loaded m(w.Finish());
    m.display.StepTimelines();
    ASSERT_NE(m.At(4), nullptr);
    EXPECT_EQ(m.At(4)->matrix.ty, 20);
    EXPECT_EQ(m.At(4)->cxform.rMul, 128);
    ASSERT_NE(m.At(5), nullptr);
    EXPECT_EQ(m.At(5)->cxform.flags, 0u);
    m.display.StepTimelines();
    EXPECT_EQ(m.At(4), nullptr);
    EXPECT_NE(m.At(5), nullptr);
}

TEST(MovieTags, FreeingACharacterLeavesPlacedInstancesIntact)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    Place a;
    a.id = 1;
    w.Add(PlaceObject2(a));
    w.Add(3, {1, 0});   // FreeCharacter 1
    w.Add(PlaceObject2(a));
    w.ShowFrame();
    Loaded m(w.Finish());
    m.display.StepTimelines();
    EXPECT_EQ(m.root->Dictionary().Find(1), nullptr);
    ASSERT_NE(m.At(1), nullptr);
    EXPECT_EQ(m.At(1)->character->id, 1);   // the record lives on
    EXPECT_EQ(m.At(1)->next, nullptr);       // the second placement found no character
}

TEST(MovieTags, BitmapsDecodeOnFirstUse)
{
    Bytes jpeg = EncodeFlatJpeg(8, 8, 20, 200, 60);
    Bytes tables, image;
    SplitJpeg(jpeg, &tables, &image);
    MovieWriter w;
    w.Add(8, tables);
    BitWriter bits;
    bits.UI16(1);
    bits.Append(image);
    w.Add(Tag(6, bits.Take(), true));
    BitWriter jpeg2;
    jpeg2.UI16(2);
    jpeg2.Append(jpeg);
    w.Add(Tag(21, jpeg2.Take(), true));
    w.Add(DefineLosslessBitmap(3));
    w.ShowFrame();
    Loaded m(w.Finish());
    m.display.StepTimelines();
    for (uint16_t id : {1, 2}) {
        Character* c = m.root->Dictionary().Find(id);
        ASSERT_NE(c, nullptr);
        auto bm = Timeline::Bitmap(c, m.root.get());
        ASSERT_NE(bm, nullptr) << id;
        EXPECT_EQ(bm->width, 8);
        uint32_t p = bm->At(3, 3);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 200, 4) << id;
        EXPECT_EQ(Timeline::Bitmap(c, m.root.get()), bm);   // decoded once
    }
    auto lossless = Timeline::Bitmap(m.root->Dictionary().Find(3), m.root.get());
    ASSERT_NE(lossless, nullptr);
    EXPECT_TRUE(lossless->hasAlpha);
    EXPECT_EQ(lossless->At(1, 1), 0x80808080u);
}

TEST(MovieTags, PlayWithRewindAndGotoFrame)
{
    MovieWriter w;
    w.frameCount = 2;
    w.ShowFrame();
    w.ShowFrame();
    Loaded m(w.Finish());
    m.root->SetLooping(false);
    for (int i = 0; i < 4; ++i) m.display.StepTimelines();
    EXPECT_FALSE(m.root->Playing());
    EXPECT_EQ(m.root->CurrentFrame(), 1);
    m.root->Play(true);
    EXPECT_EQ(m.root->CurrentFrame(), 0);
    EXPECT_TRUE(m.root->Playing());
    m.root->GotoFrame(-3);
    EXPECT_FALSE(m.root->Playing());
    EXPECT_EQ(m.root->CurrentFrame(), 0);
    m.root->GotoFrame(1);
    EXPECT_EQ(m.root->CurrentFrame(), 1);
}
