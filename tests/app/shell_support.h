// Shared set-up of the shell tests: an offscreen application whose settings
// file and data folder are temporary, and helpers that drive modal dialogs.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace shelltest {

inline QTemporaryDir& Sandbox()
{
    static QTemporaryDir dir;
    return dir;
}

inline void EnsureShellApp()
{
    if (!QCoreApplication::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    // Nothing a test does reaches the user's own settings or data folder.
    const QString root = Sandbox().path();
    setenv("WB_SETTINGS_FILE", QDir(root).filePath(QStringLiteral("varnholt.ini")).toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", QDir(root).filePath(QStringLiteral("data")).toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", QDir(root).filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
}

// Runs `act` on the next modal widget of type T once it shows (polling the
// event loop), e.g. to choose a file in a file dialog.
template <class T>
void WhenModal(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

// Chooses path in the next file dialog (empty: Cancel).
inline void ChooseFile(const QString& path)
{
    WhenModal<QFileDialog>([path](QFileDialog* d) {
        if (path.isEmpty()) {
            d->reject();
            return;
        }
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept");
    });
}

inline QString GoldenFile(const char* name)
{
    return QDir(QStringLiteral(WB_TEST_DATA "/designfile")).filePath(QString::fromLatin1(name));
}

} // namespace shelltest
