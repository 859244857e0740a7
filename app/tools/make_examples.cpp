// Writes the example activities and blocks into the Books and Blocks
// folders of a program folder (the build runs it beside the program).
#include "app/examples/example_activities.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_examples <program folder>\n");
        return 2;
    }
    // Labels measure their text: a GUI application without a screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QStringList written =
        WriteExampleActivities(folder.filePath(QStringLiteral("Books")), folder.filePath(QStringLiteral("Blocks")));
    if (written.isEmpty()) {
        std::fprintf(stderr, "make_examples: could not write the examples into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
