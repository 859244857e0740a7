// Text layout needs a QGuiApplication (fonts); the test program makes one
// on first use, on the offscreen platform, unless one already exists.
#pragma once

#include <QGuiApplication>

#include <cstdlib>

inline void EnsureTextGuiApp()
{
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_model";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}
