// One offscreen Qt application for a whole fuzzing run: texts are measured
// and drawn with Qt's fonts, which need one.  Making one per input would
// cost more than everything else together.
#pragma once

#include <QGuiApplication>

#include <cstdlib>

namespace fuzzgui {

inline void EnsureApplication(const char* name)
{
    static QGuiApplication* app = [name] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char* argv[] = {const_cast<char*>(name), nullptr};
        // Kept to the end of the process (reachable, so no leak): deleting
        // it at exit runs after Qt's own thread storage is gone.
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

}  // namespace fuzzgui
