// The workbench program: for now an empty main window titled as the product.
#include "app/qt_message_box.h"
#include "platform/random15.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QMainWindow>
#include <QTime>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The parts' random choices start from the time of day.
    SeedRand15(static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay()));
    CQtMessageBox messages;
    SetMessageBoxService(&messages);
    QMainWindow window;
    window.setWindowTitle(FromWindows1252(LoadResString(1)));
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
