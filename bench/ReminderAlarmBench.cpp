// The alarm centre's twice-a-second sweep over a store of 1,000 notes of 20
// blocks, four of them todos with future reminders (half on a wall-clock
// time), in the steady state where nothing rings: the time per sweep and its
// share of the 0.5 s period (budget_share: 0.001 means 0.1 % of the period).

#include "Features/Reminders/ReminderAlarmCenter.h"
#include "Persistence/NoteStore.h"
#include "Persistence/RecordWriter.h"
#include "StoredNotes.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <chrono>

namespace {

using namespace quorrin;

constexpr int noteCount = 1000;
constexpr int blocksPerNote = 20;
constexpr double launch = 800000000;
constexpr double sweepPeriodSeconds = 0.5;

Note noteWithReminders(int index)
{
    Note note = Note::create(systemNow);
    note.blocks.clear();
    for (int line = 0; line < blocksPerNote; ++line) {
        Block block = Block::create(systemNow);
        if (line % 5 == 2) {
            block.kind = BlockKind::Todo;
            block.todo = TodoMetadata();
            const Date due{launch + 86400 + index * 60 + line};
            block.todo->reminder = TodoReminder{due, std::nullopt, std::nullopt};
            if (line % 2 == 0)
                block.todo->reminder->localTime = LocalReminderTime::from(due, Calendar::current());
        }
        note.blocks.push_back(block);
    }
    return note;
}

const QString& sampleDirectory()
{
    static const QString path = bench::storedNotesDirectory(noteCount, noteWithReminders);
    return path;
}

void BM_SteadySweep(benchmark::State& state)
{
    NoteStore store(sampleDirectory(), true);
    ReminderAlarmCenter center(&store, Date{launch});
    int changes = 0;
    center.onChange = [&] { ++changes; };

    double now = launch;
    for (auto _ : state) {
        now += sweepPeriodSeconds;
        center.sweep(Date{now});
    }
    if (changes != 0)
        state.SkipWithError("a reminder rang in the steady state");
    state.counters["sweep_seconds"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate
                                                                                        | benchmark::Counter::kInvert);
    // Seconds per sweep divided by the period: the inverted rate of
    // iterations × period.
    state.counters["budget_share"] = benchmark::Counter(double(state.iterations()) * sweepPeriodSeconds,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SteadySweep)->Unit(benchmark::kMicrosecond);

} // namespace
