// The workbench program: for now an empty main window titled as the product.
#include "app/qt_message_box.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CQtMessageBox messages;
    SetMessageBoxService(&messages);
    QMainWindow window;
    window.setWindowTitle(FromWindows1252(LoadResString(1)));
    window.resize(1024, 700);
    window.show();
    return app.exec();
}
