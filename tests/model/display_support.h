// Helpers shared by the drawing layer's tests.
#pragma once

#include <QFile>
#include <QGuiApplication>
#include <string>

#include "model/display/display.h"
#include "model/display/picture_source.h"

// Text needs a QGuiApplication (offscreen in the tests); made once.
inline bool EnsureGuiApp()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_model";
        static char* argv[] = {name, nullptr};
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Registers a picture source from tests/data/display once.
inline bool LoadTestPicture(const char* file)
{
    QFile f(QString(WB_TEST_DATA) + "/display/" + file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    PictureSource pic;
    QString error;
    if (!ParsePictureSource(f.readAll(), pic, error)) return false;
    if (FindPicture(pic.id)) return true;
    return AddPicture(std::move(pic));
}

// Fresh drawing layer around each test.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override { CDisplay::ResetForTest(); }
    void TearDown() override { CDisplay::ResetForTest(); }
};

// The pixels of an image view row as a string: '#' where the colour is
// `ink`, '.' where white, '?' otherwise.
inline std::string Row(CImageView& v, int y, int x0, int x1, COLORREF ink = kBlack)
{
    std::string s;
    for (int x = x0; x < x1; ++x) {
        COLORREF c = v.Pixel(x, y);
        s += c == ink ? '#' : (c == kWhite ? '.' : '?');
    }
    return s;
}
inline std::string Column(CImageView& v, int x, int y0, int y1, COLORREF ink = kBlack)
{
    std::string s;
    for (int y = y0; y < y1; ++y) {
        COLORREF c = v.Pixel(x, y);
        s += c == ink ? '#' : (c == kWhite ? '.' : '?');
    }
    return s;
}
