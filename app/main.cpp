// The workbench program: the application object starts the main frame and
// opens the design named on the command line, or an empty one.
#include "app/canvas/tesk_view.h"
#include "app/qt_message_box.h"
#include "app/single_instance.h"
#include "app/tesk_app.h"
#include "platform/random15.h"

#include <QApplication>
#include <QFileInfo>
#include <QTime>
#include <QTimer>

#include <cstdio>

namespace {

// With WB_EXIT_AFTER_FIRST_PAINT set (the start-up benchmark), the program
// ends once a design window has painted, after printing "first-paint".
class CFirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->parent() &&
            qobject_cast<CTeskView*>(watched->parent())) {
            m_done = true;
            // Told as the paint arrives: work queued behind it (the toolbar
            // strips) does not count.
            std::fputs("first-paint\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

// Every event goes through DeliverReportingExceptions.
class CWorkbenchApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        return DeliverReportingExceptions(*this, receiver, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    CWorkbenchApplication app(argc, argv);
    // The parts' random choices start from the time of day.
    SeedRand15(static_cast<uint32_t>(QTime::currentTime().msecsSinceStartOfDay()));
    CQtMessageBox messages;
    SetMessageBoxService(&messages);
    const QStringList arguments = app.arguments().mid(1);
    if (const int printed = CTeskApp::PrintFromCommandLine(arguments); printed >= 0) return printed;
    // A copy that runs already opens the file.
    const QString name = CSingleInstance::DefaultName();
    const QString file = arguments.join(QLatin1Char(' '));
    if (!file.isEmpty() && CSingleInstance::SendToRunning(name, QFileInfo(file).absoluteFilePath())) return 0;
    CTeskApp tesk;
    CSingleInstance instance;
    instance.Listen(name);
    QObject::connect(&instance, &CSingleInstance::openRequested, &tesk, &CTeskApp::OpenFromAnotherStart);
    CFirstPaintExit firstPaint;
    if (qEnvironmentVariableIsSet("WB_EXIT_AFTER_FIRST_PAINT")) app.installEventFilter(&firstPaint);
    tesk.SetStartupAbout(true);
    if (!tesk.InitInstance(arguments)) return 1;
    const int result = app.exec();
    tesk.ExitInstance();
    return result;
}
