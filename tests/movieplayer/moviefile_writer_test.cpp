// The fixture writer against bytes worked out by hand from the format's
// layout, so that the reader tests do not rest on the writer alone.
#include <gtest/gtest.h>

#include "movieplayer/moviefile_writer.h"

using namespace moviefile_test;

TEST(MovieFileWriter, FieldsMatchHandWorkedBytes)
{
    struct Case {
        const char* what;
        Bytes written;
        Bytes expected;
    };
    auto rect = [] { BitWriter w; WriteRect(w, 0, 11000, 0, 8000); return w.Take(); };
    // HasScale 0, HasRotate 0, nbits 7, tx 20 = 0010100, ty -40 = 1011000.
    auto translate = [] { BitWriter w; WriteMatrix(w, Matrix::Translate(20, -40)); return w.Take(); };
    // HasScale 1, nbits 19, 2.0 = 0x20000 twice, HasRotate 0, nbits 0.
    auto scale = [] { BitWriter w; WriteMatrix(w, Matrix::Scale(0x20000, 0x20000)); return w.Take(); };
    // HasAdd 0, HasMul 1, nbits 10, red 128, green 256, blue 256.
    auto cx = [] {
        BitWriter w;
        Cxform x;
        x.mul[0] = 128;
        WriteCxform(w, x, false);
        return w.Take();
    };
    Case cases[] = {
        {"rect 550x400 px", rect(), {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}},
        {"translate", translate(), {0x0E, 0x52, 0xC0}},
        {"scale 2", scale(), {0xCD, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00}},
        {"cxform", cx(), {0x68, 0x80, 0x40, 0x10, 0x00}},
        {"short tag", Tag(9, {1, 2, 3}), {0x43, 0x02, 1, 2, 3}},
        {"long tag", Tag(9, {1, 2, 3}, true), {0x7F, 0x02, 0x03, 0x00, 0x00, 0x00, 1, 2, 3}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.written, c.expected) << c.what;
}

TEST(MovieFileWriter, MinimalMovieMatchesHandWorkedBytes)
{
    MovieWriter m;
    m.ShowFrame();
    Bytes expected = {'F', 'W', 'S', 4, 25, 0, 0, 0,                           // signature, version, length
                      0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00,    // frame rectangle
                      0x00, 0x0C,                                              // 12.0 frames per second
                      0x01, 0x00,                                              // 1 frame
                      0x40, 0x00,                                              // ShowFrame
                      0x00, 0x00};                                             // End
    EXPECT_EQ(m.Finish(), expected);
}

TEST(MovieFileWriter, BitCounts)
{
    EXPECT_EQ(BitWriter::SignedBits({0}), 1);
    EXPECT_EQ(BitWriter::SignedBits({-1}), 1);
    EXPECT_EQ(BitWriter::SignedBits({1}), 2);
    EXPECT_EQ(BitWriter::SignedBits({-64, 63}), 7);
    EXPECT_EQ(BitWriter::SignedBits({64}), 8);
    EXPECT_EQ(BitWriter::UnsignedBits(0), 0);
    EXPECT_EQ(BitWriter::UnsignedBits(5), 3);
}
