// bench-links: Qt6::Core
// Start-up: the real program started offscreen, timed from the start of
// the process to the first paint of its design window (the program prints
// "first-paint" and ends when WB_EXIT_AFTER_FIRST_PAINT is set).  The
// program is the workbench beside this benchmark's build folder, or
// $WB_PROGRAM.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString Program()
{
    const QByteArray env = qgetenv("WB_PROGRAM");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(self).absolutePath() + QStringLiteral("/../app/workbench");
}

void BM_StartupToFirstPaint(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench_startup";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("WB_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("WB_INSTANCE_NAME"), QStringLiteral("bench-") + QString::number(app.applicationPid()));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    const QString program = Program();
    if (!QFileInfo(program).isExecutable()) {
        state.SkipWithError("the workbench program was not found (set WB_PROGRAM)");
        return;
    }
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(program, {});
        bool painted = false;
        while (!painted && p.waitForReadyRead(10000))
            while (p.canReadLine())
                if (p.readLine().startsWith("first-paint")) painted = true;
        const double seconds = double(t.nsecsElapsed()) * 1e-9;
        p.waitForFinished(10000);
        if (!painted) {
            state.SkipWithError("the program did not paint");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

} // namespace

BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
