// What other programs hand over, in the running application (its delegate,
// registry and real note windows on the platform QT_QPA_PLATFORM names,
// offscreen when none is named and no display is set):
//  - BM_NoteFromSelection: a note made from 1 MB (or 200,000 UTF-16 units)
//    of selected text without a break opportunity (one run of "a", one long
//    address, letters with combining accents) against prose of the same
//    length ("ratio"), each in an application of its own, until the window
//    is shown and the event loop idle.
#include "App/AppDelegate.h"
#include "App/NoteRegistry.h"
#include "Platform/AlertPresenter.h"
#include "Platform/NoticePresenter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace quorrin {
namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "HandOverBench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* made = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return made;
    }();
    return *app;
}

struct SilentAlerts final : AlertPresenter {
    void present(const QString&, const QString&) override {}
};

struct SilentNotices final : NoticePresenter {
    void show(const QString&, const QString&) override {}
};

// A launched application on a data directory of its own.
class RunningApplication {
public:
    explicit RunningApplication(const QString& root)
    {
        AppEnvironment environment;
        environment.alerts = &m_alerts;
        environment.notices = std::make_shared<SilentNotices>();
        environment.root = root;
        environment.exit = [](int) {};
        environment.watchOtherApplications = false;
        m_delegate = std::make_unique<AppDelegate>(std::move(environment));
        m_delegate->launch();
        settle();
    }

    AppDelegate& delegate() { return *m_delegate; }

    // Runs the event loop until nothing is left to do.
    static void settle()
    {
        for (int turn = 0; turn < 50; ++turn)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

private:
    SilentAlerts m_alerts;
    std::unique_ptr<AppDelegate> m_delegate;
};

QString proseOfLength(qsizetype length)
{
    const QString sentence = QStringLiteral("The quick brown fox jumps over the lazy dog, and 敏捷的狐狸跳过了懒狗。 ");
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += sentence;
    text.truncate(length);
    return text;
}

double secondsToShow(RunningApplication& running, const QString& text)
{
    QElapsedTimer clock;
    clock.start();
    // What the text service does for one selection, without the wait that
    // lets further hand-overs of a burst join it.
    running.delegate().registry()->newFromText(text);
    RunningApplication::settle();
    return double(clock.nsecsElapsed()) / 1e9;
}

// The selected texts that stalled the application, each of `length` UTF-16 units.
enum class Shape { Run, Address, Combining };

QString textOfShape(Shape shape, qsizetype length)
{
    QString text;
    switch (shape) {
    case Shape::Run: text = QString(length, u'a'); break;
    case Shape::Address: text = QStringLiteral("https://example.com/") + QString(length, u'a'); break;
    case Shape::Combining:
        text.reserve(length);
        while (text.size() < length)
            text += QStringLiteral("a\u0301");
        break;
    }
    text.truncate(length);
    return text;
}

void BM_NoteFromSelection(benchmark::State& state)
{
    application();
    const QString text = textOfShape(Shape(state.range(0)), state.range(1));
    const QString prose = proseOfLength(state.range(1));
    double textSeconds = 0;
    double proseSeconds = 0;
    for (auto _ : state) {
        double round = 0;
        {
            QTemporaryDir directory;
            RunningApplication running(directory.path());
            round = secondsToShow(running, text);
        }
        QTemporaryDir directory;
        RunningApplication running(directory.path());
        proseSeconds += secondsToShow(running, prose);
        textSeconds += round;
        state.SetIterationTime(round);
    }
    const double rounds = double(state.iterations());
    state.counters["text_ms"] = textSeconds * 1000 / rounds;
    state.counters["prose_ms"] = proseSeconds * 1000 / rounds;
    state.counters["ratio"] = textSeconds / proseSeconds;
}

BENCHMARK(BM_NoteFromSelection)
    ->ArgNames({"shape", "units"})
    ->Args({int(Shape::Run), 200000})
    ->Args({int(Shape::Run), 1 << 20})
    ->Args({int(Shape::Address), 1 << 20})
    ->Args({int(Shape::Combining), 1 << 20})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
} // namespace quorrin
