#include "platform/geometry.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <gtest/gtest.h>

TEST(Text1252, RoundTripsEveryDefinedByte)
{
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
    EXPECT_EQ(FromWindows1252("\xB5"), QString(QChar(0x00B5)));
    EXPECT_EQ(FromWindows1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(ToWindows1252(QString(QChar(0x4E2D))), "?");
}

TEST(StringTable, ProductNameAndMissingId)
{
    EXPECT_EQ(LoadResString(1), "Marrowgate");
    EXPECT_TRUE(LoadResString(0xFFFFFFF0u).IsEmpty());
}

TEST(Geometry, HalfOpenRectangles)
{
    CRect r(0, 0, 10, 5);
    EXPECT_TRUE(r.PtInRect({0, 0}));
    EXPECT_FALSE(r.PtInRect({10, 0}));
    EXPECT_FALSE(r.PtInRect({0, 5}));
    CRect i;
    EXPECT_FALSE(i.IntersectRect(r, CRect(10, 0, 20, 5)));
    EXPECT_TRUE(i.IsRectNull());
    CRect u;
    u.UnionRect(r, CRect(20, 20, 20, 30)); // empty operand ignored
    EXPECT_EQ(u, r);
    CRect n(10, 10, 0, 0);
    n.NormalizeRect();
    EXPECT_EQ(n, CRect(0, 0, 10, 10));
}
