// Launch and quit with 1, 500 and 2,000 live notes of a generated store,
// against a plain Qt program that opens as many empty frameless windows, and
// with 10,000 notes, the application and the plain program each alone:
//  - first_ms: from the start of the launch until the first window is exposed;
//  - first_cold_ms: first_ms of the first round alone, which is a fresh
//    process's launch (fonts, styles and the X connection not yet set up)
//    when the benchmark runs first;
//  - open_ms: how long opening the store took (within first_ms);
//  - all_ms: until every note's window is exposed;
//  - max_gap_ms: the longest the event loop waited for its next turn between
//    the first window's exposure and the last one's;
//  - quit_ms: from the quit request until every window is destroyed;
//  - exposed (10,000 notes): the windows exposed when the wait ended, which
//    it does after five minutes at most;
//  - rss_mb: the growth of the resident memory while the windows are open;
//  - rss_total_mb: the whole process's resident memory then (its first
//    round, run alone, is the figure of a fresh process: later rounds find
//    the memory the earlier ones left to the allocator);
//  - cpu_ms: the CPU time (user and system) this process spent until every
//    window was exposed; server_cpu_ms the same of the X server, when
//    LAUNCHBENCH_SERVER_PID names it (wall time on a busy machine varies, CPU
//    time much less; the two together are about all_ms, as the server and
//    the program take turns);
//  - rss_idle_mb, rss_idle_total_mb: the same once the windows have been
//    idle long enough for their pixel buffers to be released (the steady
//    state); the plain windows wait as long.
// Each side is measured in the same round and reported with its ratio. Runs on
// the platform QT_QPA_PLATFORM names (an X server shows real mapping),
// offscreen when none is named and no display is set.
//
// BM_Process launches the real program as a fresh process on the X display
// (run it on a bare X server, without a window manager, for the figures of
// the launch kit), against this benchmark started as a plain program that
// opens as many empty frameless windows in one go. Both are watched from the
// X server's side, on a connection of their own: first_ms and all_ms until
// the first and the last top-level window is mapped, counted from the start
// of the process; rss_idle_mb the process's resident memory once idle (as
// above); quit_ms from SIGTERM until the process has ended; cpu_ms the
// process's CPU time until all windows were mapped. The program gets a fresh
// copy of the store each round and, like a launch from a bare X session, no
// session bus address (LAUNCHBENCH_KEEP_BUS keeps it); LAUNCHBENCH_PROGRAM
// names another build of it.
#include "App/AppDelegate.h"
#include "Core/Files/DirectoryTree.h"
#include "Platform/AlertPresenter.h"
#include "Platform/QtScreenProvider.h"
#include "Widgets/IdleBackingStoreRelease.h"
#include "OffscreenApplication.h"
#include "StoredNotes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <unordered_set>

#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>

#ifdef LAUNCHBENCH_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace quorrin {
namespace {

QApplication& application()
{
    return bench::displayOrOffscreenApplication("LaunchBench");
}

class SilentAlerts final : public AlertPresenter {
public:
    void present(const QString&, const QString&) override {}
};

// CPU seconds (user and system) of a process: this one, or the one whose id
// LAUNCHBENCH_SERVER_PID names (an X server, to see what each side costs it).
double cpuSeconds(const QByteArray& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? (fields[11].toDouble() + fields[12].toDouble()) / 100.0 : 0;
}

double residentMegabytes(const QString& pid = QStringLiteral("self"))
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024.0 * 1024.0) : 0;
}

// Counts the top-level windows that become exposed and notes when the first
// and the `expected`-th one did. In between it measures the longest gap
// between two turns of the event loop: a timer that is due at every turn
// notes how long each turn kept it waiting.
class ExposureWatch final : public QObject {
public:
    explicit ExposureWatch(int expected)
        : m_expected(expected)
    {
        QCoreApplication::instance()->installEventFilter(this);
        m_clock.start();
        m_turns.setInterval(0);
        m_turns.callOnTimeout([this] { turn(); });
    }
    ~ExposureWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

    // Runs the event loop until every expected window is exposed (or the
    // time limit passed).
    void wait()
    {
        QElapsedTimer limit;
        limit.start();
        while (!m_all && limit.elapsed() < waitLimitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        m_turns.stop();
    }
    double firstSeconds() const { return m_first.value_or(0); }
    double allSeconds() const { return m_all.value_or(0); }
    double longestGapSeconds() const { return double(m_longestGap) / 1e9; }
    int exposedCount() const { return int(m_exposed.size()); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isTopLevel() && window->isExposed() && !m_exposed.contains(window)) {
                m_exposed.insert(window);
                const double seconds = double(m_clock.nsecsElapsed()) / 1e9;
                if (!m_first) {
                    m_first = seconds;
                    m_lastTurn = m_clock.nsecsElapsed();
                    m_turns.start();
                }
                if (m_exposed.size() >= m_expected && !m_all) {
                    m_all = seconds;
                    m_turns.stop();
                }
            }
        }
        return false;
    }

private:
    static constexpr qint64 waitLimitMs = 300000;

    void turn()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longestGap = std::max(m_longestGap, now - m_lastTurn);
        m_lastTurn = now;
    }

    int m_expected;
    QElapsedTimer m_clock;
    QTimer m_turns;
    qint64 m_lastTurn = 0;
    qint64 m_longestGap = 0;
    QSet<QWindow*> m_exposed;
    std::optional<double> m_first;
    std::optional<double> m_all;
};

struct Round {
    double first = 0;
    double all = 0;
    double quit = 0;
    double megabytes = 0;
    double totalMegabytes = 0;
    double longestGap = 0;
    double open = 0;
    // How many windows were exposed when the wait ended.
    double exposed = 0;
    double idleMegabytes = 0;
    double idleTotalMegabytes = 0;
    double cpu = 0;
    double peerCpu = 0;
};

struct CpuWatch {
    QByteArray peer = qgetenv("LAUNCHBENCH_SERVER_PID");
    double self = cpuSeconds("self");
    double other = peer.isEmpty() ? 0 : cpuSeconds(peer);
    void note(Round& round) const
    {
        round.cpu = cpuSeconds("self") - self;
        round.peerCpu = peer.isEmpty() ? 0 : cpuSeconds(peer) - other;
    }
};

// Runs the event loop until idle windows have given back their pixel
// buffers (at least the quiet period and a second, then until the resident
// memory holds still for a second: a large launch still works on after its
// windows are exposed), then notes the resident memory of that steady state.
void measureIdle(Round& round, double before)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 quiet = (IdleBackingStoreRelease::defaultQuietPeriod + IdleBackingStoreRelease::releaseSpread
                          + std::chrono::milliseconds(1000))
                             .count();
    std::optional<double> last;
    qint64 nextSample = quiet;
    while (clock.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        if (clock.elapsed() < nextSample)
            continue;
        const double now = residentMegabytes();
        if (last && std::abs(now - *last) < 0.5)
            break;
        last = now;
        nextSample = clock.elapsed() + 1000;
    }
    round.idleTotalMegabytes = residentMegabytes();
    round.idleMegabytes = round.idleTotalMegabytes - before;
}

Round launchApplication(const QString& directory, int notes)
{
    SilentAlerts alerts;
    AppEnvironment environment;
    environment.alerts = &alerts;
    environment.root = directory;
    environment.screens = std::make_shared<QtScreenProvider>();
    bool exited = false;
    environment.exit = [&exited](int) { exited = true; };
    // The store is open once the step after opening it begins.
    QElapsedTimer opening;
    Round round;
    environment.trace = [&](const QString& step) {
        if (step == QLatin1String("openStore"))
            opening.start();
        else if (opening.isValid() && round.open == 0)
            round.open = double(opening.nsecsElapsed()) / 1e9;
    };

    const double before = residentMegabytes();
    const CpuWatch cpu;
    auto delegate = std::make_unique<AppDelegate>(std::move(environment));
    {
        ExposureWatch watch(notes);
        QTimer::singleShot(0, delegate.get(), [&] { delegate->launch(); });
        watch.wait();
        cpu.note(round);
        round.first = watch.firstSeconds();
        round.all = watch.allSeconds();
        round.longestGap = watch.longestGapSeconds();
        round.exposed = watch.exposedCount();
    }
    round.totalMegabytes = residentMegabytes();
    round.megabytes = round.totalMegabytes - before;
    measureIdle(round, before);

    QElapsedTimer clock;
    clock.start();
    delegate->requestQuit();
    while (!exited && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    delegate.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    round.quit = double(clock.nsecsElapsed()) / 1e9;
    return round;
}

Round launchPlainWindows(int count)
{
    Round round;
    const double before = residentMegabytes();
    std::vector<std::unique_ptr<QWidget>> windows;
    const CpuWatch cpu;
    {
        ExposureWatch watch(count);
        QTimer::singleShot(0, [&] {
            for (int index = 0; index < count; ++index) {
                auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
                window->setGeometry(20 + index % 900, 20 + index % 400, 310, 330);
                window->show();
                windows.push_back(std::move(window));
            }
        });
        watch.wait();
        cpu.note(round);
        round.first = watch.firstSeconds();
        round.all = watch.allSeconds();
        round.longestGap = watch.longestGapSeconds();
        round.exposed = watch.exposedCount();
    }
    round.totalMegabytes = residentMegabytes();
    round.megabytes = round.totalMegabytes - before;
    measureIdle(round, before);
    QElapsedTimer clock;
    clock.start();
    windows.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    round.quit = double(clock.nsecsElapsed()) / 1e9;
    return round;
}

const QString& sampleDirectory(int notes)
{
    static std::map<int, QString> directories;
    auto found = directories.find(notes);
    if (found == directories.end()) {
        bench::StoreShape shape;
        shape.notes = notes;
        // A store this version has opened before: the one-time upgrade of
        // closed notes (which saves every note) belongs to no later launch.
        Preferences preferences;
        preferences.closeRetentionUpgraded = true;
        found = directories
                    .emplace(notes, bench::storedNotesDirectory(bench::realisticNotes(shape), {}, preferences))
                    .first;
    }
    return found->second;
}

// Medians of each figure.
double median(std::vector<Round> rounds, double Round::*field)
{
    std::sort(rounds.begin(), rounds.end(), [&](const Round& a, const Round& b) { return a.*field < b.*field; });
    return rounds[rounds.size() / 2].*field;
}

// One figure's median, and beside it the plain side's and the ratio when
// there is a plain side.
void putFigure(benchmark::State& state, const char* name, const std::vector<Round>& app,
               const std::vector<Round>* plain, double Round::*field, double scale)
{
    const double mine = median(app, field);
    state.counters[std::string(name)] = mine * scale;
    if (!plain)
        return;
    const double theirs = median(*plain, field);
    state.counters[std::string("plain_") + name] = theirs * scale;
    state.counters[std::string(name) + "_ratio"] = theirs > 0 ? mine / theirs : 0;
}

void BM_Launch(benchmark::State& state)
{
    application();
    const int notes = int(state.range(0));
    const QString& directory = sampleDirectory(notes);
    std::vector<Round> app;
    std::vector<Round> plain;
    for (auto _ : state) {
        app.push_back(launchApplication(directory, notes));
        plain.push_back(launchPlainWindows(notes));
        state.SetIterationTime(app.back().all);
    }
    const auto put = [&](const char* name, double Round::*field, double scale) {
        putFigure(state, name, app, &plain, field, scale);
    };
    put("first_ms", &Round::first, 1000);
    put("all_ms", &Round::all, 1000);
    put("cpu_ms", &Round::cpu, 1000);
    put("server_cpu_ms", &Round::peerCpu, 1000);
    put("quit_ms", &Round::quit, 1000);
    put("rss_mb", &Round::megabytes, 1);
    put("rss_idle_mb", &Round::idleMegabytes, 1);
    // Neither has a counterpart in the plain program.
    state.counters["max_gap_ms"] = median(app, &Round::longestGap) * 1000;
    state.counters["open_ms"] = median(app, &Round::open) * 1000;
    state.counters["first_cold_ms"] = app.front().first * 1000;
    state.counters["rss_total_mb"] = app.front().totalMegabytes;
    state.counters["rss_idle_total_mb"] = app.front().idleTotalMegabytes;
}

// One side's figures, for stores so large that running both sides in one
// round would take too long.
void putAlone(benchmark::State& state, const std::vector<Round>& rounds)
{
    state.counters["first_ms"] = median(rounds, &Round::first) * 1000;
    state.counters["all_ms"] = median(rounds, &Round::all) * 1000;
    state.counters["max_gap_ms"] = median(rounds, &Round::longestGap) * 1000;
    state.counters["quit_ms"] = median(rounds, &Round::quit) * 1000;
    state.counters["rss_mb"] = median(rounds, &Round::megabytes);
    state.counters["rss_idle_mb"] = median(rounds, &Round::idleMegabytes);
    // all_ms is 0 when the time limit ended the wait before every window showed.
    state.counters["exposed"] = median(rounds, &Round::exposed);
}

// The application alone, for a store so large that the plain program's
// windows, all made in one go, would take many minutes.
void BM_LaunchAlone(benchmark::State& state)
{
    application();
    const int notes = int(state.range(0));
    const QString& directory = sampleDirectory(notes);
    std::vector<Round> app;
    for (auto _ : state) {
        app.push_back(launchApplication(directory, notes));
        state.SetIterationTime(app.back().all);
    }
    putAlone(state, app);
    state.counters["open_ms"] = median(app, &Round::open) * 1000;
}

// The plain program alone, as the baseline of BM_LaunchAlone: what the X
// server itself takes to map, expose and destroy that many windows.
void BM_PlainWindowsAlone(benchmark::State& state)
{
    application();
    std::vector<Round> plain;
    for (auto _ : state) {
        plain.push_back(launchPlainWindows(int(state.range(0))));
        state.SetIterationTime(plain.back().all);
    }
    putAlone(state, plain);
}

#ifdef LAUNCHBENCH_HAVE_XCB

// Watches the X server for top-level windows being mapped, on a connection of
// its own, and notes when the first and the `expected`-th one were.
class MapWatch {
public:
    explicit MapWatch(int expected)
        : m_expected(expected)
        , m_connection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            qFatal("LaunchBench: no X display for the process measurement");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_clock.start();
    }
    ~MapWatch() { xcb_disconnect(m_connection); }
    MapWatch(const MapWatch&) = delete;
    MapWatch& operator=(const MapWatch&) = delete;

    // Takes in what the server reported within `waitMs`.
    void take(int waitMs)
    {
        pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&descriptor, 1, waitMs);
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (!mapped->override_redirect && m_mapped.insert(mapped->window).second)
                    noteMapped();
            }
            std::free(event);
        }
    }
    void waitForAll(qint64 limitMs)
    {
        while (!m_all && m_clock.elapsed() < limitMs)
            take(50);
    }
    double elapsed() const { return double(m_clock.nsecsElapsed()) / 1e9; }
    double firstSeconds() const { return m_first.value_or(0); }
    double allSeconds() const { return m_all.value_or(0); }
    int mappedCount() const { return int(m_mapped.size()); }

private:
    void noteMapped()
    {
        if (!m_first)
            m_first = elapsed();
        if (int(m_mapped.size()) >= m_expected && !m_all)
            m_all = elapsed();
    }

    int m_expected;
    xcb_connection_t* m_connection;
    QElapsedTimer m_clock;
    std::unordered_set<xcb_window_t> m_mapped;
    std::optional<double> m_first;
    std::optional<double> m_all;
};

// Starts `program` with `arguments` and measures it until its windows are
// idle, then ends it with SIGTERM.
Round measureProcess(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                     int windows)
{
    Round round;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setProcessEnvironment(environment);
    const QByteArray serverPid = qgetenv("LAUNCHBENCH_SERVER_PID");
    const double serverBefore = serverPid.isEmpty() ? 0 : cpuSeconds(serverPid);
    MapWatch watch(windows);
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        qFatal("LaunchBench: cannot start %s", qPrintable(program));
    const QString pid = QString::number(process.processId());
    watch.waitForAll(300000);
    round.first = watch.firstSeconds();
    round.all = watch.allSeconds();
    round.exposed = watch.mappedCount();
    round.cpu = cpuSeconds(pid.toLatin1());
    round.peerCpu = serverPid.isEmpty() ? 0 : cpuSeconds(serverPid) - serverBefore;
    round.totalMegabytes = residentMegabytes(pid);

    // Idle: the quiet period and a second, then until the resident memory
    // holds still for a second.
    const qint64 quiet = (IdleBackingStoreRelease::defaultQuietPeriod + IdleBackingStoreRelease::releaseSpread
                          + std::chrono::milliseconds(1000))
                             .count();
    QElapsedTimer idle;
    idle.start();
    std::optional<double> last;
    while (idle.elapsed() < 30000) {
        watch.take(idle.elapsed() < quiet ? int(quiet - idle.elapsed()) : 1000);
        if (idle.elapsed() < quiet)
            continue;
        const double now = residentMegabytes(pid);
        if (last && std::abs(now - *last) < 0.5)
            break;
        last = now;
    }
    round.idleTotalMegabytes = residentMegabytes(pid);
    round.idleMegabytes = round.idleTotalMegabytes;

    QElapsedTimer quitting;
    quitting.start();
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(120000))
        qFatal("LaunchBench: %s did not end after SIGTERM", qPrintable(program));
    round.quit = double(quitting.nsecsElapsed()) / 1e9;
    return round;
}

Round launchProcess(int notes)
{
    QTemporaryDir data;
    copyDirectoryRecursively(sampleDirectory(notes), data.filePath(QStringLiteral("Quorrin")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUORRIN_DATA_DIR"), data.filePath(QStringLiteral("Quorrin")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!qEnvironmentVariableIsSet("LAUNCHBENCH_KEEP_BUS"))
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    // LAUNCHBENCH_PROGRAM names another build of the program (an earlier
    // version, for a before-and-after in the same run).
    const QString program = qEnvironmentVariableIsSet("LAUNCHBENCH_PROGRAM")
        ? qEnvironmentVariable("LAUNCHBENCH_PROGRAM")
        : QStringLiteral(QUORRIN_EXECUTABLE);
    return measureProcess(program, {}, environment, notes);
}

Round launchPlainProcess(int windows)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return measureProcess(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--plain-windows"), QString::number(windows)}, environment, windows);
}

void putProcessFigures(benchmark::State& state, const std::vector<Round>& app, const std::vector<Round>* plain)
{
    const auto put = [&](const char* name, double Round::*field, double scale) {
        putFigure(state, name, app, plain, field, scale);
    };
    put("first_ms", &Round::first, 1000);
    put("all_ms", &Round::all, 1000);
    put("cpu_ms", &Round::cpu, 1000);
    put("server_cpu_ms", &Round::peerCpu, 1000);
    put("quit_ms", &Round::quit, 1000);
    put("rss_idle_mb", &Round::idleMegabytes, 1);
    state.counters["mapped"] = median(app, &Round::exposed);
}

// The process measurements watch a real X server.
bool skippedWithoutDisplay(benchmark::State& state)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    state.SkipWithError("needs an X display");
    return true;
}

void BM_Process(benchmark::State& state)
{
    if (skippedWithoutDisplay(state))
        return;
    application();
    const int notes = int(state.range(0));
    std::vector<Round> app;
    std::vector<Round> plain;
    for (auto _ : state) {
        app.push_back(launchProcess(notes));
        plain.push_back(launchPlainProcess(notes));
        state.SetIterationTime(app.back().all);
    }
    putProcessFigures(state, app, &plain);
}

void BM_ProcessAlone(benchmark::State& state)
{
    if (skippedWithoutDisplay(state))
        return;
    application();
    std::vector<Round> app;
    for (auto _ : state) {
        app.push_back(launchProcess(int(state.range(0))));
        state.SetIterationTime(app.back().all);
    }
    putProcessFigures(state, app, nullptr);
}

BENCHMARK(BM_Process)->ArgName("notes")->Arg(1)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Process)->ArgName("notes")->Arg(500)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Process)->ArgName("notes")->Arg(2000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessAlone)->ArgName("notes")->Arg(10000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

#endif

BENCHMARK(BM_Launch)->ArgName("notes")->Arg(1)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Launch)->ArgName("notes")->Arg(500)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Launch)->ArgName("notes")->Arg(2000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaunchAlone)->ArgName("notes")->Arg(10000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWindowsAlone)
    ->ArgName("windows")
    ->Arg(10000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorrin

// "--plain-windows N": the plain program of BM_Process, which opens N empty
// frameless windows in one go and runs until it is ended.
int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--plain-windows") == 0) {
        QApplication app(argc, argv);
        std::vector<std::unique_ptr<QWidget>> windows;
        const int count = std::atoi(argv[2]);
        for (int index = 0; index < count; ++index) {
            auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
            window->setGeometry(20 + index % 900, 20 + index % 400, 310, 330);
            window->show();
            windows.push_back(std::move(window));
        }
        return QApplication::exec();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
