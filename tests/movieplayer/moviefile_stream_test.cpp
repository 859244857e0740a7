// Bit fields, tag records and the movie header, including the malformed
// files in tests/data/movie.
#include <gtest/gtest.h>

#include <string>

#include "movieplayer/moviefile_writer.h"
#include "movieplayer/stream/movie_buffer.h"
#include "movieplayer/stream/stream_cursor.h"
#include "movieplayer/stream/tag_codes.h"
#include "movieplayer/stream/tag_stream.h"

using namespace moviefile_test;
using movie::MovieBuffer;
using movie::StreamCursor;
using movie::TagRecord;
using movie::TagStream;

namespace {

Bytes Fixture(const std::string& name)
{
    Bytes b = ReadHexFixture(std::string(WB_TEST_DATA) + "/movie/" + name);
    EXPECT_FALSE(b.empty()) << name;
    return b;
}

}  // namespace

TEST(MovieStream, BitFields)
{
    // 1011 0010 | 1111 0000
    const uint8_t data[] = {0xB2, 0xF0, 0x34, 0x12};
    StreamCursor c(data, 0, sizeof data);
    EXPECT_EQ(c.UB(1), 1u);
    EXPECT_EQ(c.UB(3), 3u);      // 011
    EXPECT_EQ(c.SB(4), 2);       // 0010
    EXPECT_EQ(c.SB(3), -1);      // 111
    EXPECT_EQ(c.SB(5), -16);     // 10000
    EXPECT_EQ(c.UI16(), 0x1234); // byte read after bits starts at the next byte
    EXPECT_FALSE(c.Overrun());
    EXPECT_EQ(c.UB(3), 0u);
    EXPECT_TRUE(c.Overrun());
}

TEST(MovieStream, WideAndZeroBitFields)
{
    const uint8_t data[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0};
    StreamCursor c(data, 0, sizeof data);
    EXPECT_EQ(c.SB(0), 0);
    EXPECT_EQ(c.UB(32), 0xFFFFFFFFu);
    EXPECT_EQ(c.SB(32), INT32_MIN);
    EXPECT_EQ(c.UB(32), 0u);   // nothing left: all 32 bits missing
    EXPECT_TRUE(c.Overrun());
}

TEST(MovieStream, ReadsStayInsideTheRange)
{
    const uint8_t data[] = {1, 2, 3, 4, 5, 6};
    StreamCursor c(data, 1, 3);   // bytes 2, 3 only
    EXPECT_EQ(c.UI32(), 0x0302u); // the missing bytes read as zero
    EXPECT_TRUE(c.Overrun());
    EXPECT_EQ(c.Pos(), 3u);

    StreamCursor s(data, 0, 6);
    StreamCursor sub = s.Sub(10);
    EXPECT_EQ(sub.End(), 6u);
    EXPECT_TRUE(s.Overrun());
}

TEST(MovieStream, Strings)
{
    const uint8_t data[] = {'a', 'b', 0, 'c', 'd'};
    StreamCursor c(data, 0, sizeof data);
    size_t n = 99;
    EXPECT_STREQ(c.String(&n), "ab");
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(c.String(), nullptr);   // no zero byte before the end
    EXPECT_TRUE(c.AtEnd());
}

TEST(MovieStream, Colours)
{
    const uint8_t data[] = {0x11, 0x22, 0x33, 0x11, 0x22, 0x33, 0x44};
    StreamCursor c(data, 0, sizeof data);
    EXPECT_EQ(c.Rgb(), 0xFF332211u);
    EXPECT_EQ(c.Rgba(), 0x44332211u);
}

TEST(MovieStream, TagRecordHeaders)
{
    struct Case {
        const char* what;
        Bytes bytes;
        bool ok;
        int code;
        size_t body, end;
    };
    Case cases[] = {
        {"short form", {0x43, 0x02, 1, 2, 3}, true, 9, 2, 5},
        {"long form with length 0 is an empty tag", {0x7F, 0x00, 0, 0, 0, 0}, true, 1, 6, 6},
        {"one byte", {0x40}, false, 0, 0, 0},
        {"long length incomplete", {0x7F, 0x00, 0, 0, 0}, false, 0, 0, 0},
        {"body not yet there", {0x43, 0x02, 1, 2}, false, 0, 0, 0},
        {"length near 2^32", {0x7F, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0}, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TagRecord t;
        t.code = 77;
        bool ok = movie::ReadTagRecord(c.bytes.data(), c.bytes.size(), 0, &t);
        EXPECT_EQ(ok, c.ok) << c.what;
        if (ok) {
            EXPECT_EQ(t.code, c.code) << c.what;
            EXPECT_EQ(t.body, c.body) << c.what;
            EXPECT_EQ(t.end, c.end) << c.what;
        } else {
            EXPECT_EQ(t.code, 77) << c.what;
        }
    }
}

TEST(MovieStream, TagStreamContinuesAtTheTagEnd)
{
    Bytes data = Tag(9, {1, 2, 3});
    Bytes more = Tag(1, {});
    data.insert(data.end(), more.begin(), more.end());
    TagStream tags(data.data(), 0, data.size());
    TagRecord t = tags.Next();
    EXPECT_EQ(t.code, 9);
    StreamCursor body = tags.Body(t);
    EXPECT_EQ(body.UI8(), 1);   // the handler reads only part of the body
    EXPECT_EQ(tags.Next().code, 1);
    EXPECT_EQ(tags.Next().code, -1);
    EXPECT_EQ(tags.Pos(), data.size());
}

TEST(MovieHeader, ReadsAHandWrittenMovie)
{
    MovieBuffer m;
    Bytes file = Fixture("minimal.hex");
    ASSERT_TRUE(m.Load(file.data(), file.size()));
    EXPECT_EQ(m.Error(), 0);
    EXPECT_TRUE(m.HeaderRead());
    EXPECT_TRUE(m.Complete());
    EXPECT_EQ(m.Version(), 4);
    EXPECT_EQ(m.FrameXMin(), 0);
    EXPECT_EQ(m.FrameXMax(), 11000);
    EXPECT_EQ(m.FrameYMin(), 0);
    EXPECT_EQ(m.FrameYMax(), 8000);
    EXPECT_EQ(m.FrameRate(), 0x0C00);
    EXPECT_EQ(m.FrameDelay(), 83);   // 83.3 truncated
    EXPECT_EQ(m.FrameCount(), 1);
    EXPECT_EQ(m.FirstTag(), 21u);
    EXPECT_EQ(m.FramesLoaded(), MovieBuffer::kAllFrames);
}

TEST(MovieHeader, FrameDelays)
{
    EXPECT_EQ(MovieBuffer::DelayForRate(0x0C00), 83);
    EXPECT_EQ(MovieBuffer::DelayForRate(0x1900), 40);      // 25 fps
    EXPECT_EQ(MovieBuffer::DelayForRate(0x0080), 2000);    // 0.5 fps
    EXPECT_EQ(MovieBuffer::DelayForRate(0xFFFF), 3);
    EXPECT_EQ(MovieBuffer::DelayForRate(0), 256000);       // the slowest rate, not a division by 0
}

TEST(MovieHeader, DefaultFrameBeforeTheHeaderIsRead)
{
    MovieBuffer m;
    Bytes file = Fixture("minimal.hex");
    m.Append(file.data(), 20);
    EXPECT_FALSE(m.HeaderRead());
    EXPECT_EQ(m.FrameXMax(), 1440);
    EXPECT_EQ(m.FrameYMax(), 1440);
}

TEST(MovieHeader, WidestRectangleNeedsTwentyNineBytes)
{
    // nbits 31: the RECT takes 17 bytes, the header 29.
    BitWriter w;
    w.UI8('F'); w.UI8('W'); w.UI8('S'); w.UI8(5); w.UI32(31);
    w.UB(31, 5);
    w.SB(-0x40000000, 31); w.SB(0x3FFFFFFF, 31); w.SB(-5, 31); w.SB(7, 31);
    w.UI16(0x1800); w.UI16(3);
    w.UI16(0);   // End
    Bytes file = w.Take();
    ASSERT_EQ(file.size(), 31u);

    MovieBuffer m;
    m.Append(file.data(), 28);
    EXPECT_FALSE(m.HeaderRead());   // more than 20 bytes are not enough
    m.Append(file.data() + 28, 3);
    ASSERT_TRUE(m.HeaderRead());
    EXPECT_EQ(m.FrameXMin(), -0x40000000);
    EXPECT_EQ(m.FrameXMax(), 0x3FFFFFFF);
    EXPECT_EQ(m.FrameYMin(), -5);
    EXPECT_EQ(m.FrameYMax(), 7);
    EXPECT_EQ(m.FrameRate(), 0x1800);
    EXPECT_EQ(m.FrameCount(), 3);
    EXPECT_EQ(m.FirstTag(), 29u);
}

TEST(MovieHeader, MalformedFiles)
{
    struct Case {
        const char* file;
        int error;
        bool headerRead;
    };
    Case cases[] = {
        {"bad_signature.hex", MovieBuffer::kLoadBadHeader, false},
        {"compressed.hex", MovieBuffer::kLoadBadHeader, false},
        {"length_below_8.hex", MovieBuffer::kLoadBadHeader, false},
        {"ends_inside_header.hex", MovieBuffer::kLoadBadHeader, false},
        {"huge_declared_length.hex", MovieBuffer::kLoadOutOfMemory, false},
        {"rate_zero.hex", MovieBuffer::kLoadOk, true},
        {"tag_length_lies.hex", MovieBuffer::kLoadOk, true},
    };
    for (const Case& c : cases) {
        MovieBuffer m;
        Bytes file = Fixture(c.file);
        m.Load(file.data(), file.size());
        EXPECT_EQ(m.Error(), c.error) << c.file;
        EXPECT_EQ(m.HeaderRead(), c.headerRead) << c.file;
        // Nothing beyond the bytes that arrived is ever held.
        EXPECT_LE(m.Received(), file.size()) << c.file;
    }
}

TEST(MovieHeader, RateZeroAndALyingTag)
{
    MovieBuffer zero;
    Bytes file = Fixture("rate_zero.hex");
    zero.Load(file.data(), file.size());
    EXPECT_EQ(zero.FrameDelay(), 256000);

    // The file is complete, but its second tag claims 2 GB: the tag walk stops
    // there and never reads past the data.
    MovieBuffer lying;
    file = Fixture("tag_length_lies.hex");
    lying.Load(file.data(), file.size());
    TagStream tags = lying.Tags();
    EXPECT_EQ(tags.Next().code, movie::kTagShowFrame);
    EXPECT_EQ(tags.Next().code, -1);
}

TEST(MovieHeader, DataBeyondTheDeclaredLengthIsDropped)
{
    MovieWriter w;
    w.ShowFrame();
    Bytes file = w.Finish();
    size_t length = file.size();
    file.insert(file.end(), 1000, 0xAB);
    MovieBuffer m;
    m.Load(file.data(), file.size());
    EXPECT_EQ(m.Received(), length);
    EXPECT_TRUE(m.Complete());
}

TEST(MovieHeader, BytePiecesLoadLikeTheWholeFile)
{
    MovieWriter w;
    w.frameCount = 3;
    w.Background(10, 20, 30);
    w.ShowFrame();
    w.Add(Tag(24, Bytes(100, 7)));   // an unknown tag in long form
    w.ShowFrame();
    w.ShowFrame();
    Bytes file = w.Finish();

    MovieBuffer whole;
    whole.Load(file.data(), file.size());

    MovieBuffer pieces;
    std::vector<int> loaded;
    for (size_t i = 0; i < file.size(); ++i) {
        ASSERT_TRUE(pieces.Append(&file[i], 1));
        loaded.push_back(pieces.FramesLoaded());
    }
    EXPECT_EQ(Bytes(pieces.Data(), pieces.Data() + pieces.Received()),
              Bytes(whole.Data(), whole.Data() + whole.Received()));
    EXPECT_EQ(pieces.FirstTag(), whole.FirstTag());
    EXPECT_EQ(pieces.FramesLoaded(), MovieBuffer::kAllFrames);
    // Frames loaded grows by one as each ShowFrame completes: the first one
    // ends at byte 21 + 5 + 2.
    EXPECT_EQ(loaded[26], 0);
    EXPECT_EQ(loaded[27], 1);
    EXPECT_EQ(loaded[file.size() - 4], 2);
    EXPECT_EQ(loaded[file.size() - 3], 3);
    EXPECT_EQ(loaded.back(), MovieBuffer::kAllFrames);
}
