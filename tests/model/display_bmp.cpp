#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include "model/display/bmp.h"
#include "model/display/dib.h"
#include "tests/model/display_support.h"

namespace {

QByteArray Fixture(const char* name)
{
    QFile f(QString(WB_TEST_DATA) + "/display/bmp/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

BmpResult Read(const QByteArray& bytes, PackedDib& dib, std::size_t* consumed = nullptr)
{
    CBmpMemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size()));
    BITMAPINFOHEADER header;
    BmpResult r = ReadBmpImage(source, dib, header);
    if (consumed) *consumed = source.Position();
    return r;
}

TEST(DisplayBmp, FixturesGiveTheExpectedResult)
{
    struct Case {
        const char* file;
        BmpResult result;
    };
    const Case cases[] = {
        {"valid_8bit.bmp", BmpResult::Ok},
        {"valid_24bit.bmp", BmpResult::Ok},
        {"valid_1bit.bmp", BmpResult::Ok},
        {"valid_16bit.bmp", BmpResult::Ok},
        {"valid_32bit_fields.bmp", BmpResult::Ok},
        {"valid_topdown.bmp", BmpResult::Ok},
        {"valid_gap.bmp", BmpResult::Ok},
        {"valid_trailing.bmp", BmpResult::Ok},
        {"bad_magic.bmp", BmpResult::NotBmp},
        {"bad_header_size.bmp", BmpResult::BadHeader},
        {"bad_planes.bmp", BmpResult::BadHeader},
        {"bad_depth.bmp", BmpResult::BadHeader},
        {"bad_compression.bmp", BmpResult::BadHeader},
        {"bad_colour_count.bmp", BmpResult::BadHeader},
        {"bad_offset.bmp", BmpResult::BadHeader},
        {"bad_file_size.bmp", BmpResult::BadHeader},
        {"bad_zero_width.bmp", BmpResult::BadHeader},
        {"huge_dimensions.bmp", BmpResult::TooLarge},
        {"huge_file_size.bmp", BmpResult::Truncated},
        {"truncated_pixels.bmp", BmpResult::Truncated},
        {"truncated_header.bmp", BmpResult::Truncated},
    };
    for (const Case& c : cases) {
        const QByteArray bytes = Fixture(c.file);
        ASSERT_FALSE(bytes.isEmpty()) << c.file;
        PackedDib dib;
        EXPECT_EQ(Read(bytes, dib), c.result) << c.file;
        CBitmap bitmap;
        const int ok = ReadBmp(std::string(WB_TEST_DATA) + "/display/bmp/" + c.file, bitmap, nullptr, nullptr);
        EXPECT_EQ(ok, c.result == BmpResult::Ok ? 1 : 0) << c.file;
    }
}

TEST(DisplayBmp, PixelsAgreeWithQtsReader)
{
    for (const char* file : {"valid_8bit.bmp", "valid_24bit.bmp", "valid_1bit.bmp", "valid_32bit_fields.bmp",
                             "valid_topdown.bmp", "valid_trailing.bmp"}) {
        const QByteArray bytes = Fixture(file);
        CBitmap bitmap;
        ASSERT_EQ(ReadBmpFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size()), bitmap, nullptr),
                  1)
            << file;
        const QImage qt = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(qt.isNull()) << file;
        EXPECT_EQ(bitmap.Image(), qt) << file;
    }
}

TEST(DisplayBmp, SixteenBitChannelsReachFullScale)
{
    // 5-bit channels widen by repeating their top bits, so 31 is 255 and a
    // white background stays white (white is transparent in drag images).
    // Qt's reader shifts only (31 gives 248), so this case is checked here.
    const QByteArray bytes = Fixture("valid_16bit.bmp");
    CBitmap bitmap;
    ASSERT_EQ(ReadBmpFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size()), bitmap, nullptr),
              1);
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(0, 0)), ColourRGB(255, 0, 0));
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(1, 0)), ColourRGB(0, 255, 0));
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(2, 0)), ColourRGB(0, 0, 255));
    EXPECT_EQ(ColourOf(bitmap.Image().pixel(3, 0)), kWhite);
}

TEST(DisplayBmp, BitsAtTheirOffsetAndSourceInStep)
{
    // The gap between colour table and pixels is passed over, so the
    // picture is the same as without a gap; the source stands right after
    // the file image (file size bytes), ready for what follows in an archive.
    const QByteArray plain = Fixture("valid_8bit.bmp");
    QByteArray gap = Fixture("valid_gap.bmp");
    gap.append("NEXT");
    PackedDib a, b;
    std::size_t consumed = 0;
    ASSERT_EQ(Read(plain, a), BmpResult::Ok);
    ASSERT_EQ(Read(gap, b, &consumed), BmpResult::Ok);
    EXPECT_EQ(a, b);
    EXPECT_EQ(consumed, static_cast<std::size_t>(gap.size() - 4));
    QByteArray trailing = Fixture("valid_trailing.bmp");
    const std::size_t imageSize = static_cast<std::size_t>(trailing.size());
    trailing.append("NEXT");
    ASSERT_EQ(Read(trailing, b, &consumed), BmpResult::Ok);
    EXPECT_EQ(consumed, imageSize);
}

TEST(DisplayBmp, HeaderReturnedAndBitmapKeptOnFailure)
{
    const QByteArray bytes = Fixture("valid_8bit.bmp");
    CBitmap bitmap;
    BITMAPINFOHEADER header;
    ASSERT_EQ(ReadBmpFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size()), bitmap, &header),
              1);
    EXPECT_EQ(header.biWidth, 4);
    EXPECT_EQ(header.biHeight, 3);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(bitmap.GetSize(), CSize(4, 3));
    const QByteArray bad = Fixture("bad_magic.bmp");
    EXPECT_EQ(ReadBmpFromMemory(reinterpret_cast<const std::uint8_t*>(bad.constData()),
                                static_cast<std::size_t>(bad.size()), bitmap, &header),
              0);
    EXPECT_EQ(bitmap.GetSize(), CSize(4, 3));
    EXPECT_TRUE(IsBmpFile(std::string(WB_TEST_DATA) + "/display/bmp/valid_8bit.bmp"));
    EXPECT_FALSE(IsBmpFile(std::string(WB_TEST_DATA) + "/display/bmp/bad_magic.bmp"));
    EXPECT_FALSE(IsBmpFile(std::string(WB_TEST_DATA) + "/display/bmp/no_such_file.bmp"));
}

TEST(DisplayDib, HeaderRulesAndSizes)
{
    BITMAPINFOHEADER h;
    struct Case {
        int deviceBits;
        bool full;
        int bits;
    };
    for (Case c : {Case{1, false, 1}, Case{0, false, 1}, Case{2, false, 4}, Case{4, false, 4}, Case{8, false, 8},
                   Case{16, false, 4}, Case{16, true, 24}, Case{24, false, 24}, Case{32, false, 24}}) {
        InitDibHeader(h, 10, 5, c.deviceBits, c.full);
        EXPECT_EQ(h.biBitCount, c.bits) << c.deviceBits;
        EXPECT_EQ(h.biSizeImage, static_cast<std::uint32_t>(5 * ((10 * c.bits + 31) / 32) * 4));
    }
    EXPECT_EQ(InitDibHeader(h, 10, -5, 32, false), 5u * 32u);

    PackedDib dib(40 + 16 * 4 + 8, 0);
    h = BITMAPINFOHEADER();
    h.biWidth = 3;
    h.biHeight = 2;
    h.biBitCount = 4;
    h.Write(dib.data());
    EXPECT_EQ(DibColourCount(dib), 16);
    EXPECT_EQ(DibPaletteSize(dib), 64);
    EXPECT_EQ(DibFindBits(dib), 104u);
    EXPECT_EQ(DibWidth(dib), 3);
    EXPECT_EQ(DibHeight(dib), 2);
    h.biClrUsed = 5;
    h.Write(dib.data());
    EXPECT_EQ(DibColourCount(dib), 5);
    // A 12-byte core header: colours by bit count, three bytes each.
    PackedDib core(12 + 2 * 3 + 4, 0);
    core[0] = 12;
    core[4] = 7;
    core[6] = 1;
    core[8] = 1;
    core[10] = 1;
    EXPECT_EQ(DibColourCount(core), 2);
    EXPECT_EQ(DibPaletteSize(core), 6);
    EXPECT_EQ(DibWidth(core), 7);
    QImage img;
    EXPECT_TRUE(DibToImage(core, img));
    EXPECT_EQ(DibCopy(dib), dib);
    CPalette pal;
    EXPECT_TRUE(DibCreatePalette(dib, pal));
    EXPECT_FALSE(DibCreatePalette(PackedDib(), pal));
    EXPECT_EQ(DibColourCount(PackedDib(3, 0)), 0);
}

TEST(DisplayDib, BitmapRoundTrip)
{
    CBitmap bitmap;
    bitmap.CreateBitmap(5, 3, 1, 32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) bitmap.Image().setPixel(x, y, PixelOf(ColourRGB(x * 50, y * 100, 7)));
    for (bool topDown : {false, true}) {
        int w = 0, h = 0;
        PackedDib dib = GetDibFromBitmap(nullptr, bitmap, w, h, nullptr, topDown);
        EXPECT_EQ(w, 5);
        EXPECT_EQ(h, 3);
        EXPECT_EQ(DibHeight(dib), topDown ? -3 : 3);
        CBitmap back;
        ASSERT_TRUE(CreateBitmapFromDib(dib, nullptr, back));
        EXPECT_EQ(back.Image(), bitmap.Image());
    }
    // A monochrome bitmap gives a 1-bit DIB.
    CBitmap mono;
    mono.CreateBitmap(9, 2, 1, 1);
    mono.Image().setPixel(3, 1, 0xFFFFFFFFu);
    int w = 0, h = 0;
    PackedDib dib = GetDibFromBitmap(nullptr, mono, w, h, nullptr, false);
    EXPECT_EQ(DibColourCount(dib), 2);
    CBitmap back;
    ASSERT_TRUE(CreateBitmapFromDib(dib, nullptr, back));
    EXPECT_EQ(ColourOf(back.Image().pixel(3, 1)), kWhite);
    EXPECT_EQ(ColourOf(back.Image().pixel(2, 1)), kBlack);
}

TEST(DisplayDib, PaintStretches)
{
    CBitmap bitmap;
    bitmap.CreateBitmap(2, 2, 1, 32);
    bitmap.Image().setPixel(0, 0, PixelOf(ColourRGB(255, 0, 0)));
    int w, h;
    PackedDib dib = GetDibFromBitmap(nullptr, bitmap, w, h, nullptr, false);
    CImageView view(10, 10);
    CDC* dc = view.GetDC();
    EXPECT_TRUE(DibPaint(dc, CRect(0, 0, 3, 3), dib, CRect(0, 0, 2, 2), nullptr));
    EXPECT_EQ(view.Pixel(0, 0), ColourRGB(255, 0, 0));
    EXPECT_EQ(view.Pixel(2, 2), kBlack);
    EXPECT_EQ(view.Pixel(3, 3), kWhite);
    view.ReleaseDC(dc);
}

} // namespace

#include "platform/archive.h"

namespace {

TEST(DisplayBmpArchive, InlineImageKeepsTheArchiveInStep)
{
    CBitmap source;
    source.CreateBitmap(5, 4, 1, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) source.Image().setPixel(x, y, PixelOf(ColourRGB(x * 40, y * 60, 200)));
    int w, h;
    const std::vector<std::uint8_t> image = MakeBmpFileImage(GetDibFromBitmap(nullptr, source, w, h, nullptr, false));
    CArchive out;
    out << static_cast<WORD>(0x1234);
    out.Write(image.data(), image.size());
    out << static_cast<DWORD>(0xCAFEF00D);
    CArchive in(out.GetBuffer());
    WORD before = 0;
    in >> before;
    CBitmap bitmap;
    BITMAPINFOHEADER header;
    EXPECT_EQ(ReadBmp(in, bitmap, &header, nullptr), 1);
    EXPECT_EQ(bitmap.Image(), source.Image());
    EXPECT_EQ(header.biBitCount, 24);
    DWORD after = 0;
    in >> after;
    EXPECT_EQ(after, 0xCAFEF00Du);
    EXPECT_EQ(in.BytesLeft(), 0u);
}

TEST(DisplayBmpArchive, DamagedImagesRaiseTheArchiveException)
{
    struct Case {
        const char* file;
        CArchiveException::Cause cause;
    };
    for (Case c : {Case{"bad_magic.bmp", CArchiveException::genericException},
                   Case{"bad_colour_count.bmp", CArchiveException::genericException},
                   Case{"huge_dimensions.bmp", CArchiveException::genericException},
                   Case{"huge_file_size.bmp", CArchiveException::endOfFile},
                   Case{"truncated_pixels.bmp", CArchiveException::endOfFile}}) {
        const QByteArray bytes = Fixture(c.file);
        std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        CArchive in(data);
        CBitmap bitmap;
        try {
            ReadBmp(in, bitmap, nullptr, nullptr);
            ADD_FAILURE() << c.file << " was read";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << c.file;
        }
        EXPECT_TRUE(bitmap.IsNull());
    }
}

} // namespace
