// The settings file: our INI reader and writer, the letter-coded integers
// and the default text format.
#include "model/designfile/ini_file.h"
#include "model/designfile/settings_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <climits>

namespace {

struct DesignfileIni : ::testing::Test {
    QTemporaryDir dir;
    CString path;
    void SetUp() override { path = CString((dir.path() + "/varnholt.ini").toStdString()); }
    CString Text() const
    {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return CString(f.readAll().toStdString());
    }
    void SetText(const CString& t) const
    {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(t.data(), static_cast<qint64>(t.size()));
    }
};

} // namespace

TEST(DesignfileIniLetters, TableOfValues)
{
    struct Case {
        int value;
        const char* text;
    };
    const Case cases[] = {{0, "a"}, {1, "B"}, {25, "Z"}, {26, "BA"}, {50, "BY"}, {675, "ZZ"}, {676, "BAA"}};
    for (const Case& c : cases) {
        EXPECT_EQ(IntToIniLetters(c.value), c.text) << c.value;
        int back = -1;
        ASSERT_TRUE(IniLettersToInt(c.text, &back));
        EXPECT_EQ(back, c.value) << c.text;
    }
}

TEST(DesignfileIniLetters, EveryIntRoundTrips)
{
    for (int v : {INT_MAX, INT_MIN, -1, -5, 123456789}) {
        int back = 0;
        ASSERT_TRUE(IniLettersToInt(IntToIniLetters(v), &back));
        EXPECT_EQ(back, v);
    }
}

TEST(DesignfileIniLetters, ReadingStopsAtTheFirstOtherCharacter)
{
    int v = -1;
    ASSERT_TRUE(IniLettersToInt("BY7Z", &v));
    EXPECT_EQ(v, 50);
    ASSERT_TRUE(IniLettersToInt("by", &v));
    EXPECT_EQ(v, 0);
    // 26^19 is far beyond 32 bits: refused, not wrapped.
    EXPECT_FALSE(IniLettersToInt(CString(19, 'Z'), &v));
}

TEST_F(DesignfileIni, WritesTheLetterFormInSectionsWithSpaces)
{
    ASSERT_TRUE(WriteIniInt("File Types", "Associate Mask", 50, path));
    ASSERT_TRUE(WriteIniInt("File Types", "Zero", 0, path));
    EXPECT_EQ(Text(), "[File Types]\r\nAssociate Mask=BY\r\nZero=a\r\n");
    EXPECT_EQ(ReadIniInt("File Types", "Associate Mask", 7, path), 50);
    EXPECT_EQ(ReadIniInt("file types", "ASSOCIATE MASK", 7, path), 50);
    EXPECT_EQ(ReadIniInt("File Types", "Zero", 7, path), 0);
    ASSERT_TRUE(WriteIniInt("File Types", "Associate Mask", 26, path));
    EXPECT_EQ(Text(), "[File Types]\r\nAssociate Mask=BA\r\nZero=a\r\n");
}

TEST_F(DesignfileIni, MissingEmptySentinelAndOverflowGiveTheDefault)
{
    SetText("[Paths]\nSentinel=SHITE\nEmpty=\nLong=ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ\nLower=bq\n");
    EXPECT_EQ(ReadIniInt("Paths", "Absent", 9, path), 9);
    EXPECT_EQ(ReadIniInt("Nowhere", "Absent", 9, path), 9);
    EXPECT_EQ(ReadIniInt("Paths", "Sentinel", 9, path), 9);
    EXPECT_EQ(ReadIniInt("Paths", "Empty", 9, path), 9);
    EXPECT_EQ(ReadIniInt("Paths", "Long", 9, path), 9);
    EXPECT_EQ(ReadIniInt("Paths", "Lower", 9, path), 0);
    EXPECT_EQ(ReadIniInt("Paths", "Absent", 9, path + ".none"), 9);
}

TEST_F(DesignfileIni, KeepsLinesItDoesNotTouch)
{
    SetText("; comment\r\n[Paths]\r\nBooks=C:\\Books folder\r\n\r\n[Other]\r\nx = 1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("Paths", "Blocks", "D:\\Blocks", path));
    ASSERT_TRUE(WritePrivateProfileString("Other", "x", "2", path));
    EXPECT_EQ(Text(), "; comment\r\n[Paths]\r\nBooks=C:\\Books folder\r\nBlocks=D:\\Blocks\r\n\r\n[Other]\r\nx=2\r\n");
    char buf[64];
    EXPECT_EQ(GetPrivateProfileString("Paths", "Books", "", buf, sizeof buf, path), 15);
    EXPECT_STREQ(buf, "C:\\Books folder");
    // Cut to the buffer.
    EXPECT_EQ(GetPrivateProfileString("Paths", "Books", "", buf, 5, path), 4);
    EXPECT_STREQ(buf, "C:\\B");
    ASSERT_TRUE(WritePrivateProfileString("Paths", "Books", nullptr, path));
    ASSERT_TRUE(WritePrivateProfileString("Other", nullptr, nullptr, path));
    EXPECT_EQ(Text(), "; comment\r\n[Paths]\r\nBlocks=D:\\Blocks\r\n\r\n");
    // The write went through a file beside it that is gone again.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(DesignfileIni, DefaultFontRoundTripsAsHexWithChecksum)
{
    CCharFormat& font = ProgramDefaultFont();
    const CCharFormat saved = font;
    font.SetFace("Times New Roman");
    font.height = 240;
    font.effects = kCfeBold;
    ASSERT_TRUE(LoadDefaultFont(false, path));
    CString stored;
    CIniFile ini(path);
    ASSERT_TRUE(ini.Load());
    ASSERT_TRUE(ini.GetString("Default Font", "Format", &stored));
    EXPECT_EQ(stored.size(), 122u);
    EXPECT_EQ(stored.substr(0, 8), "3C000000"); // the record's size, 60
    const CCharFormat written = font;
    font = CCharFormat();
    EXPECT_TRUE(LoadDefaultFont(true, path));
    EXPECT_EQ(font, written);

    // A damaged checksum: the built-in format, 200 twips, character set 1.
    stored[121] = stored[121] == '0' ? '1' : '0';
    ini.SetString("Default Font", "Format", stored);
    ASSERT_TRUE(ini.Save());
    EXPECT_FALSE(LoadDefaultFont(true, path));
    CCharFormat builtIn;
    InitDefaultCharFormat(&builtIn);
    EXPECT_EQ(font.Face(), builtIn.Face());
    EXPECT_EQ(font.height, 200);
    EXPECT_EQ(font.charset, 1);
    // Wrong length and a bad digit fail the same way.
    uint8_t bytes[60];
    ini.SetString("Default Font", "Format", "00");
    ASSERT_TRUE(ini.Save());
    EXPECT_FALSE(GetPrivateProfileStruct("Default Font", "Format", bytes, sizeof bytes, path));
    font = saved;
}

TEST(DesignfileSettingsPath, LivesInTheUsersConfigurationFolder)
{
    qunsetenv("WB_SETTINGS_FILE");
    const CString p = SettingsFilePath();
    EXPECT_NE(p.find("/Marrowgate/varnholt.ini"), CString::npos);
    qputenv("WB_SETTINGS_FILE", "/tmp/elsewhere.ini");
    EXPECT_EQ(SettingsFilePath(), "/tmp/elsewhere.ini");
    qunsetenv("WB_SETTINGS_FILE");
}
