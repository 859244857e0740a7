// bench-links: wb_app
// The canvas in the real main window (offscreen) with a 200-part design
// (tests/app/canvas_design200.h) opened from a file.
//  - BM_EventLatencyWhileRunning: the design runs at its update rate (timer
//    1 of the view, 20 passes per second) while synthetic mouse moves and
//    clicks are posted to the canvas every 7 ms; each event carries the time
//    it was posted and the canvas's event filter records the delay until the
//    view handles it.  Counters: p50, p99 and maximum in ms, passes run.
//  - BM_StoppedDesignProcessorTime: the same design with its simulation
//    switched off; the event loop runs for two seconds and the process's
//    processor time (user + system) over them is reported.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"
#include "tests/app/canvas_design200.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

QTemporaryDir& Sandbox()
{
    static QTemporaryDir dir;
    return dir;
}

void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QString root = Sandbox().path();
    setenv("WB_SETTINGS_FILE", QDir(root).filePath("varnholt.ini").toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", QDir(root).filePath("data").toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", QDir(root).filePath("config").toLocal8Bit().constData(), 1);
    static int argc = 1;
    static char name[] = "bench_canvas_live";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QString DesignFile()
{
    const QString path = Sandbox().filePath("design200.dsn");
    if (QFile::exists(path)) return path;
    CDesign200 built;
    CArchive ar;
    ar.SetDocumentSerialization(true);
    ar.WriteObject(built.Get());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(reinterpret_cast<const char*>(ar.GetBuffer().data()), qint64(ar.GetBuffer().size()));
    return path;
}

// Records, for every mouse event reaching the viewport, how long ago it was
// posted (the post time rides in the event's timestamp).
class CLatencyProbe : public QObject {
public:
    explicit CLatencyProbe(QElapsedTimer& clock) : m_clock(clock) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            delays.push_back(double(m_clock.nsecsElapsed()) / 1e6 - double(m->timestamp()));
            break;
        }
        default:
            break;
        }
        return false;
    }
    std::vector<double> delays;

private:
    QElapsedTimer& m_clock;
};

struct CLiveApp {
    CLiveApp()
    {
        EnsureApp();
        app = std::make_unique<CTeskApp>();
        app->InitInstance({DesignFile()});
        app->GetMainFrame()->resize(1280, 900);
        view = app->GetActiveView();
        design = view ? view->GetDesign() : nullptr;
    }
    ~CLiveApp()
    {
        for (auto& d : app->Documents()) d->SetModifiedFlag(false);
        app->CloseAllDocuments();
        app->ExitInstance();
    }
    CRecordingMessageBox messages;
    CMessageBoxScope scope{&messages};
    std::unique_ptr<CTeskApp> app;
    CTeskView* view = nullptr;
    CCircuit* design = nullptr;
};

double Percentile(std::vector<double> v, double q)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
}

void BM_EventLatencyWhileRunning(benchmark::State& state)
{
    CLiveApp live;
    if (!live.design) {
        state.SkipWithError("no design");
        return;
    }
    live.design->SetUpdateRate(20.0);
    live.design->ControlSimulation(SIM_DEACTIVATE);
    live.design->ControlSimulation(SIM_ACTIVATE);
    QElapsedTimer clock;
    clock.start();
    CLatencyProbe probe(clock);
    QWidget* port = live.view->viewport();
    port->installEventFilter(&probe);
    const int passesBefore = live.design->GetCompletedPasses();
    for (auto _ : state) {
        QElapsedTimer run;
        run.start();
        int i = 0;
        while (run.elapsed() < 3000) {
            const QPointF at(600 + (i % 40) * 3, 700 + (i % 7));
            const auto stamp = quint64(clock.nsecsElapsed() / 1000000);
            QEvent::Type type = i % 10 == 9 ? QEvent::MouseButtonPress
                                : i % 10 == 0 && i ? QEvent::MouseButtonRelease
                                                   : QEvent::MouseMove;
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            auto* e = new QMouseEvent(type, at, port->mapToGlobal(at), button, held, Qt::NoModifier);
            e->setTimestamp(stamp);
            QCoreApplication::postEvent(port, e);
            ++i;
            QElapsedTimer slice;
            slice.start();
            while (slice.elapsed() < 7) QCoreApplication::processEvents(QEventLoop::AllEvents, 7);
        }
    }
    port->removeEventFilter(&probe);
    state.counters["p50_ms"] = Percentile(probe.delays, 0.50);
    state.counters["p99_ms"] = Percentile(probe.delays, 0.99);
    state.counters["max_ms"] = Percentile(probe.delays, 1.0);
    state.counters["events"] = double(probe.delays.size());
    state.counters["passes"] = live.design->GetCompletedPasses() - passesBefore;
}
BENCHMARK(BM_EventLatencyWhileRunning)->Iterations(1)->Unit(benchmark::kMillisecond);

double ProcessorSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_StoppedDesignProcessorTime(benchmark::State& state)
{
    CLiveApp live;
    if (!live.design) {
        state.SkipWithError("no design");
        return;
    }
    // View/Animation off: the design stands still.
    live.design->SetOptionBits(OPT_SIMULATE, false);
    live.design->ControlSimulation(SIM_DEACTIVATE);
    live.design->ControlSimulation(SIM_ACTIVATE);
    for (int i = 0; i < 50; ++i) QCoreApplication::processEvents();
    double used = 0;
    for (auto _ : state) {
        const double before = ProcessorSeconds();
        // A real event loop: it sleeps whenever nothing is due.
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        used = ProcessorSeconds() - before;
    }
    state.counters["cpu_ms_over_2s"] = used * 1000.0;
}
BENCHMARK(BM_StoppedDesignProcessorTime)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
