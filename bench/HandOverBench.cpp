// What other programs hand over, in the running application (its delegate,
// registry and real note windows on the platform QT_QPA_PLATFORM names,
// offscreen when none is named and no display is set):
//  - BM_NoteFromSelection: a note made from 1 MB (or 200,000 UTF-16 units)
//    of selected text without a break opportunity (one run of "a", one long
//    address, letters with combining accents) against prose of the same
//    length ("ratio"), each in an application of its own, until the window
//    is shown and the event loop idle;
//  - BM_NoteFromText: a note made from 1 MB (as UTF-8, the most the text
//    service takes) of text of each shape a user may select (one-letter
//    lines, short lines, long lines, prose, one unbroken run, Chinese, lines
//    with a link), until the window is shown, the text written back as the
//    note's blocks (as the first keystroke does) and the event loop idle,
//    against Qt holding the same text in a bare text document ("ratio"),
//    and then the quit's write-back of the note ("quit_ms", its ratio to
//    the same bare document "quit_ratio"; it comes after the keystroke
//    below, and waits for the records of that keystroke's save still being
//    written); beside these, the longest the application went without
//    turning its event loop on the way ("longest_turn_ms": what the user
//    feels as a stall), and one keystroke typed at the end of the
//    written-back note and written back in turn ("keystroke_ms"), and the
//    longest turn in the second after it, which holds the store's deferred
//    save of that keystroke, its records written on a thread of their own
//    ("save_ms");
//  - BM_HandOverBurst: a burst of 100 NewFromSelection calls arriving
//    together among 1,000 shown notes, against the same burst with no other
//    note ("ratio"), in the main thread's CPU time per call (the wall time,
//    which the disk's flushes of every immediate save dominate, beside it);
//  - BM_DocumentHandedOver: a plain-text document (prose, or one letter a
//    line) handed over (as a second launch does), until its note is shown,
//    against one a quarter its size: "ratio" is its time over four times the
//    quarter's (1 when the import is linear); rss_per_byte the resident
//    memory it leaves per byte of the document.
#include "App/AppDelegate.h"
#include "App/FileCommands.h"
#include "App/NoteRegistry.h"
#include "App/RegisteredNoteWindow.h"
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Platform/AlertPresenter.h"
#include "Platform/NoticePresenter.h"
#include "Windows/NoteWorkspace.h"
#include "OffscreenApplication.h"
#include "StoredNotes.h"

#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextCursor>
#include <QThread>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <ctime>

namespace quorrin {
namespace {

QApplication& application()
{
    return bench::displayOrOffscreenApplication("HandOverBench");
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
        while (!m_delegate->isLaunched())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        drain(std::chrono::milliseconds(6000));
    }

    AppDelegate& delegate() { return *m_delegate; }

    // Runs the event loop until nothing is left to do.
    static void settle()
    {
        for (int turn = 0; turn < 50; ++turn)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Runs the event loop until nothing has come for a while, and at least
    // for `atLeast`: on a display the windows' exposures and paints arrive
    // after they are shown, and idle windows give back their pixels a few
    // seconds after their last paint.
    static void drain(std::chrono::milliseconds atLeast = std::chrono::milliseconds(0))
    {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        QElapsedTimer quiet;
        QElapsedTimer limit;
        quiet.start();
        limit.start();
        while ((quiet.elapsed() < 300 || limit.elapsed() < atLeast.count()) && limit.elapsed() < 60000) {
            if (dispatcher->processEvents(QEventLoop::AllEvents))
                quiet.restart();
            else
                QThread::msleep(5);
        }
    }
    // Until the notes have been brought forward for a burst of hand-overs.
    void settleBurst()
    {
        while (m_delegate->registry()->workspace().isBurstPending())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        settle();
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

// Turns the event loop until nothing is left to do (work spread over turns,
// such as marking a long text's paragraphs, goes on until it is done), and
// tells the longest single turn.
double settleTellingLongestTurn()
{
    double longest = 0;
    for (int quiet = 0, turn = 0; quiet < 50 && turn < 100000; ++turn) {
        QElapsedTimer clock;
        clock.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        longest = std::max(longest, seconds);
        quiet = seconds < 0.005 ? quiet + 1 : 0;
    }
    return longest;
}

struct WriteBackCost {
    double seconds = 0;     // until shown, written back and settled
    double longestTurn = 0; // the longest the event loop waited on the way
};

// The same, and then the text written back into the note as its blocks, as
// the first keystroke in it or leaving it does.
WriteBackCost secondsToShowAndWriteBack(RunningApplication& running, const QString& text)
{
    QElapsedTimer clock;
    clock.start();
    NoteRegistry& registry = *running.delegate().registry();
    registry.newFromText(text);
    double longest = double(clock.nsecsElapsed()) / 1e9;
    longest = std::max(longest, settleTellingLongestTurn());
    for (RegisteredNoteWindow* window : registry.controllers()) {
        if (BlockEditor* editor = window->editor()) {
            QElapsedTimer writing;
            writing.start();
            editor->flush();
            longest = std::max(longest, double(writing.nsecsElapsed()) / 1e9);
        }
    }
    longest = std::max(longest, settleTellingLongestTurn());
    return {double(clock.nsecsElapsed()) / 1e9, longest};
}

// The longest single turn of the event loop over the next `seconds`, idle
// turns left out: a timer that fires in between (the store's deferred save)
// makes its turn as long as it takes.
double longestTurnWithin(double seconds)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    double longest = 0;
    QElapsedTimer limit;
    limit.start();
    while (double(limit.nsecsElapsed()) / 1e9 < seconds) {
        QElapsedTimer clock;
        clock.start();
        const bool worked = dispatcher->processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, double(clock.nsecsElapsed()) / 1e9);
        if (!worked)
            QThread::msleep(1);
    }
    return longest;
}

// One character typed at the end of the written-back note (the longest
// note: the application may show a note of its own beside it) and written
// back.
double secondsToTypeAndWriteBack(RunningApplication& running)
{
    BlockEditor* editor = nullptr;
    for (RegisteredNoteWindow* window : running.delegate().registry()->controllers()) {
        BlockEditor* each = window->editor();
        if (each && (!editor || each->document()->characterCount() > editor->document()->characterCount()))
            editor = each;
    }
    if (!editor)
        return 0;
    QTextCursor caret(editor->document());
    caret.movePosition(QTextCursor::End);
    editor->textView()->setTextCursor(caret);
    QElapsedTimer clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(editor->textView(), &press); // typing writes back at once
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

// Text a user may select, by the shape of its lines.
enum class TextShape { OneLetterLines, ShortLines, LongLines, Prose, Run, Chinese, LinkLines };

// Whole pieces of `shape` up to `bytes` of UTF-8.
QString textOfBytes(TextShape shape, qsizetype bytes)
{
    const QString prose = QStringLiteral("The quick brown fox jumps over the lazy dog, and the dog sleeps on in the sun. ");
    QString piece;
    switch (shape) {
    case TextShape::OneLetterLines: piece = QStringLiteral("a\n"); break;
    case TextShape::ShortLines: piece = QStringLiteral("buy milk\n"); break;
    case TextShape::LongLines: piece = prose.repeated(25).trimmed() + u'\n'; break;
    case TextShape::Prose: piece = prose.repeated(3).trimmed() + QStringLiteral("\n\n"); break;
    case TextShape::Run: piece = QStringLiteral("a"); break;
    case TextShape::Chinese: piece = QStringLiteral("敏捷的棕色狐狸跳过了那只懒狗，狗在阳光下继续睡觉。").repeated(4) + u'\n'; break;
    case TextShape::LinkLines: piece = QStringLiteral("- see https://example.com/notes/page for more\n"); break;
    }
    const qsizetype pieceBytes = piece.toUtf8().size();
    return piece.repeated(bytes / pieceBytes);
}

// What Qt takes to hold the text in a text document of its own, unformatted
// and not laid out: the least any view of it costs.
double secondsInBareDocument(const QString& text)
{
    QElapsedTimer clock;
    clock.start();
    QTextDocument document;
    document.setPlainText(text);
    return double(clock.nsecsElapsed()) / 1e9;
}

// What a quit asks of the notes (each one's typing written back, the store
// saved), the application staying up.
double secondsToQuit(RunningApplication& running)
{
    QElapsedTimer clock;
    clock.start();
    running.delegate().requestQuit();
    RunningApplication::settle();
    return double(clock.nsecsElapsed()) / 1e9;
}

void BM_NoteFromText(benchmark::State& state)
{
    application();
    const QString text = textOfBytes(TextShape(state.range(0)), state.range(1));
    double textSeconds = 0;
    double quitSeconds = 0;
    double baselineSeconds = 0;
    double longestTurn = 0;
    double keystrokeSeconds = 0;
    double saveSeconds = 0;
    for (auto _ : state) {
        double round = 0;
        {
            QTemporaryDir directory;
            RunningApplication running(directory.path());
            const WriteBackCost cost = secondsToShowAndWriteBack(running, text);
            round = cost.seconds;
            longestTurn = std::max(longestTurn, cost.longestTurn);
            keystrokeSeconds += secondsToTypeAndWriteBack(running);
            saveSeconds += longestTurnWithin(1.0);
            quitSeconds += secondsToQuit(running);
        }
        baselineSeconds += secondsInBareDocument(text);
        textSeconds += round;
        state.SetIterationTime(round);
    }
    const double rounds = double(state.iterations());
    state.counters["text_ms"] = textSeconds * 1000 / rounds;
    state.counters["quit_ms"] = quitSeconds * 1000 / rounds;
    state.counters["longest_turn_ms"] = longestTurn * 1000;
    state.counters["keystroke_ms"] = keystrokeSeconds * 1000 / rounds;
    state.counters["save_ms"] = saveSeconds * 1000 / rounds;
    state.counters["bare_document_ms"] = baselineSeconds * 1000 / rounds;
    state.counters["ratio"] = textSeconds / baselineSeconds;
    state.counters["quit_ratio"] = quitSeconds / baselineSeconds;
}

BENCHMARK(BM_NoteFromText)
    ->ArgNames({"shape", "bytes"})
    ->ArgsProduct({{int(TextShape::OneLetterLines), int(TextShape::ShortLines), int(TextShape::LongLines),
                    int(TextShape::Prose), int(TextShape::Run), int(TextShape::Chinese), int(TextShape::LinkLines)},
                   {1 << 20}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct BurstCost {
    double cpu = 0;  // the main thread's CPU time
    double wall = 0; // including the disk's flushes and the burst's quiet period
};

// `calls` selections handed over in one go, as calls that arrive together
// are: one after the other, the event loop turning only after the last;
// until every note has been brought forward.
BurstCost costOfBurst(RunningApplication& running, int calls)
{
    QElapsedTimer clock;
    clock.start();
    const double cpu = threadCpuSeconds();
    for (int call = 0; call < calls; ++call)
        running.delegate().registry()->newFromSelection(QStringLiteral("选中的文字 %1").arg(call));
    running.settleBurst();
    return {threadCpuSeconds() - cpu, double(clock.nsecsElapsed()) / 1e9};
}

void BM_HandOverBurst(benchmark::State& state)
{
    application();
    const int shown = int(state.range(0));
    constexpr int calls = 100;
    bench::StoreShape shape;
    shape.notes = shown;
    const QString crowded = bench::storedNotesDirectory(bench::realisticNotes(shape));
    BurstCost crowdedCost;
    BurstCost aloneCost;
    for (auto _ : state) {
        QTemporaryDir copy;
        // Each round starts from the stored notes as they were.
        const QString root = copy.path() + QStringLiteral("/data");
        QDir().mkpath(root);
        QFile::copy(crowded + u'/' + NoteStore::storeFileName, root + u'/' + NoteStore::storeFileName);
        BurstCost round;
        {
            RunningApplication running(root);
            round = costOfBurst(running, calls);
        }
        QTemporaryDir alone;
        RunningApplication lone(alone.path());
        const BurstCost single = costOfBurst(lone, calls);
        crowdedCost.cpu += round.cpu;
        crowdedCost.wall += round.wall;
        aloneCost.cpu += single.cpu;
        aloneCost.wall += single.wall;
        state.SetIterationTime(round.cpu);
    }
    const double perCall = 1000.0 / double(state.iterations()) / calls;
    state.counters["cpu_per_call_ms"] = crowdedCost.cpu * perCall;
    state.counters["alone_cpu_per_call_ms"] = aloneCost.cpu * perCall;
    state.counters["wall_per_call_ms"] = crowdedCost.wall * perCall;
    state.counters["alone_wall_per_call_ms"] = aloneCost.wall * perCall;
    state.counters["ratio"] = crowdedCost.cpu / aloneCost.cpu;
}

BENCHMARK(BM_HandOverBurst)
    ->ArgName("shown")
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);


// Lines of prose of about 80 characters, a blank line after every fifth;
// or one letter a line.
QString documentOfBytes(qsizetype bytes, bool oneLetterLines)
{
    if (oneLetterLines)
        return QStringLiteral("a\n").repeated(bytes / 2);
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog, and the dog sleeps on in the sun.\n");
    QString text;
    text.reserve(bytes);
    for (int index = 0; text.size() < bytes; ++index)
        text += index % 5 == 4 ? QStringLiteral("\n") : line;
    text.truncate(bytes);
    return text;
}

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 : 0;
}

struct ImportCost {
    double seconds = 0;
    double residentGrowth = 0;
    double longestTurn = 0; // the call that hands the document over counts as one
};

ImportCost costOfHandingOver(qsizetype bytes, bool oneLetterLines)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("document.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(documentOfBytes(bytes, oneLetterLines).toUtf8());
    }
    RunningApplication running(directory.filePath(QStringLiteral("data")));
    const double before = residentBytes();
    QElapsedTimer clock;
    clock.start();
    running.delegate().fileCommands()->openFiles({path});
    double longest = double(clock.nsecsElapsed()) / 1e9;
    while (running.delegate().registry()->workspace().isBurstPending()) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        longest = std::max(longest, double(turn.nsecsElapsed()) / 1e9);
    }
    longest = std::max(longest, settleTellingLongestTurn());
    return {double(clock.nsecsElapsed()) / 1e9, residentBytes() - before, longest};
}

void BM_DocumentHandedOver(benchmark::State& state)
{
    application();
    const qsizetype bytes = state.range(0);
    const bool oneLetterLines = state.range(1) != 0;
    double seconds = 0;
    double quarterSeconds = 0;
    double growth = 0;
    double longestTurn = 0;
    for (auto _ : state) {
        const ImportCost whole = costOfHandingOver(bytes, oneLetterLines);
        longestTurn = std::max(longestTurn, whole.longestTurn);
        quarterSeconds += costOfHandingOver(bytes / 4, oneLetterLines).seconds;
        seconds += whole.seconds;
        growth += whole.residentGrowth;
        state.SetIterationTime(whole.seconds);
    }
    const double rounds = double(state.iterations());
    state.counters["quarter_ms"] = quarterSeconds * 1000 / rounds;
    state.counters["ratio"] = seconds / (4 * quarterSeconds);
    state.counters["rss_per_byte"] = growth / rounds / double(bytes);
    state.counters["longest_turn_ms"] = longestTurn * 1000;
}

BENCHMARK(BM_DocumentHandedOver)
    ->ArgNames({"bytes", "one_letter_lines"})
    ->Args({1 << 20, 0}) // the largest an import takes
    ->Args({1 << 20, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
} // namespace quorrin
