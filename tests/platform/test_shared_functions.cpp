#include "platform/shared_functions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

TEST(SharedFunctions, FormatValueWithPrefixTable)
{
    struct Case {
        double v;
        bool mag, small, large, up, one;
        const char* text;
    };
    const Case cases[] = {
        {0, false, false, false, false, false, " 0"},
        {0.004, false, false, false, false, false, " 4.00m"},
        {12345, false, false, false, false, false, "+++++"},
        {-12345, false, false, false, false, false, "-----"},
        {-12345, true, false, false, false, false, "+++++"},
        {1500, false, false, true, false, false, " 1.50k"},
        {0.5, false, false, false, false, false, "  500m"},
        {4700, false, false, true, false, false, " 4.70k"},
        {2.2e6, false, false, true, false, false, " 2.20M"},
        {3.3e9, false, false, true, false, false, " 3.30G"},
        {1e-9, false, true, false, false, false, " 1.00n"},
        {4.7e-11, false, true, false, false, false, " 47.0p"},
        {2.2e-5, false, false, false, false, false, " 22.0\xB5"},
        {2.2e-5, false, true, false, false, false, " 22.0\xB5"},
        {5.5, false, false, false, false, true, "  5.5"},
        {12.34, false, false, false, false, false, " 12.3"},
        {123.4, false, false, false, true, false, "  124"},
        {1.231, false, false, false, true, false, " 1.24"},
        {1.5, false, false, false, true, false, " 1.50"},
        {999, false, false, true, false, false, "  999"},
        {0.001, false, false, false, false, false, " 1.00m"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatValueWithPrefix(c.v, c.mag, c.small, c.large, c.up, c.one), c.text) << c.v;
}

TEST(SharedFunctions, PathSeparators)
{
    EXPECT_TRUE(IsPathSeparator('\\'));
    EXPECT_TRUE(IsPathSeparator(':'));
    EXPECT_FALSE(IsPathSeparator('.'));
    struct Case { const char* in; const char* out; int result; };
    const Case cases[] = {
        {"C:\\A\\B", "C:\\A\\B", 6},
        {"dir:file", "dir\\file", 8},
        {"C:/x/y.bmp", "C:\\x\\y.bmp", 10},
        {"<LOCAL>=bulb", "<LOCAL>=bulb", 0},
    };
    for (const Case& c : cases) {
        CString s = c.in;
        EXPECT_EQ(NormalizePathSeparators(s), c.result) << c.in;
        EXPECT_EQ(s, c.out) << c.in;
    }
}

TEST(SharedFunctions, RelativePaths)
{
    struct Case { const char* path; const char* base; bool ok; const char* out; };
    const Case cases[] = {
        {"C:\\A\\B\\PIC.BMP", "C:\\A\\C\\DESIGN.ZRN", true, "..\\B\\PIC.BMP"},
        {"C:\\A\\B\\PIC.BMP", "C:\\A\\DESIGN.ZRN", true, ".\\B\\PIC.BMP"},
        {"c:\\a\\b\\pic.bmp", "C:\\A\\C\\D\\DESIGN.ZRN", true, "..\\..\\b\\pic.bmp"},
        {"C:\\A\\B\\PIC.BMP", "D:\\A\\DESIGN.ZRN", false, "C:\\A\\B\\PIC.BMP"},
        {"/home/u/pics/p.bmp", "/home/u/designs/d.zrn", true, "..\\pics/p.bmp"},
    };
    for (const Case& c : cases) {
        CString out;
        EXPECT_EQ(MakeRelativePath(c.path, c.base, out), c.ok) << c.path;
        EXPECT_EQ(out, c.out) << c.path;
    }
    CString out;
    EXPECT_FALSE(ResolveRelativePath("", "/x/d.zrn", out));
    EXPECT_EQ(out, "/x/d.zrn");
    EXPECT_TRUE(ResolveRelativePath("/abs/p.bmp", "/x/d.zrn", out));
    EXPECT_EQ(out, "/abs/p.bmp");
    EXPECT_FALSE(ResolveRelativePath(".\\p.bmp", "", out));
    EXPECT_TRUE(ResolveRelativePath("..\\pics\\p.bmp", "/home/u/designs/d.zrn", out));
    EXPECT_EQ(out, "/home/u/pics/p.bmp");
    EXPECT_TRUE(ResolveRelativePath(".\\B\\p.bmp", "/home/u/d.zrn", out));
    EXPECT_EQ(out, "/home/u/B/p.bmp");
}

TEST(SharedFunctions, FileTestsAndReadOnly)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("wb_sf_" + std::to_string(::getpid()));
    fs::create_directories(dir / "pics");
    const std::string full = (dir / "pics" / "p.bmp").string();
    const std::string empty = (dir / "pics" / "e.bmp").string();
    { std::ofstream(full) << "BM"; }
    { std::ofstream f(empty); }
    const CString base = CString((dir / "d.zrn").string());
    EXPECT_TRUE(FileExistsNotEmpty(full, nullptr));
    EXPECT_FALSE(FileExistsNotEmpty(empty, nullptr));
    EXPECT_FALSE(FileExistsNotEmpty(full + "x", nullptr));
    EXPECT_TRUE(FileExistsNotEmpty(".\\pics\\p.bmp", &base));
    EXPECT_FALSE(ChangeFileAttributes(nullptr, true, FILE_ATTR_READONLY));
    EXPECT_FALSE(ChangeFileAttributes("", true, FILE_ATTR_READONLY));
    EXPECT_FALSE(ChangeFileAttributes((full + "x").c_str(), true, FILE_ATTR_READONLY));
    EXPECT_TRUE(ChangeFileAttributes(full.c_str(), true, FILE_ATTR_READONLY));
    EXPECT_TRUE(IsFileReadOnly(full));
    EXPECT_TRUE(ChangeFileAttributes(full.c_str(), false, FILE_ATTR_READONLY));
    EXPECT_FALSE(IsFileReadOnly(full));
    fs::remove_all(dir);
}
