// The workbench program: the application object starts the main frame and
// opens the design named on the command line, or an empty one.
#include "app/qt_message_box.h"
#include "app/tesk_app.h"
#include "platform/random15.h"

#include <QApplication>
#include <QTime>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The parts' random choices start from the time of day.
    SeedRand15(static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay()));
    CQtMessageBox messages;
    SetMessageBoxService(&messages);
    CTeskApp tesk;
    if (!tesk.InitInstance(app.arguments().mid(1))) return 1;
    const int result = app.exec();
    tesk.ExitInstance();
    return result;
}
