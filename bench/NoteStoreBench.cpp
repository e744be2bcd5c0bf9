// Store costs at 1,000, 10,000 and 50,000 notes of a realistic store, each
// against bare SQLite on the same file, timed in the same loop and reported
// as "ratio":
//  - opening the store vs. reading the rows and parsing their JSON;
//  - the first save after opening (one note changed) vs. one UPDATE + COMMIT;
//  - saving one changed note in the steady state vs. one UPDATE + COMMIT,
//    on tmpfs (/dev/shm: the CPU cost, no disk syncs) and on disk (the
//    system's temporary folder, or QUORRIN_BENCH_DISK);
//  - saving a note of 100,000 (or 500,000) short blocks after one block
//    changed vs. that note's first save ("ratio"; with unchanged blocks
//    copied and new plain ones written straight, both are mostly SQLite
//    writing the note's row), on tmpfs;
//  - the first save of a note of 100,000 new short blocks vs. one UPDATE +
//    COMMIT of its payload (what encoding and checking the note add), on tmpfs.

#include "Domain/Json.h"
#include "Persistence/NoteStore.h"
#include "Persistence/RecordWriter.h"
#include "StoredNotes.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <chrono>
#include <map>
#include <optional>

using namespace quorrin;

namespace {

using Stopwatch = std::chrono::steady_clock;

double secondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

enum class Medium { Memory, Disk };

QString parentFolder(Medium medium)
{
    if (medium == Medium::Memory)
        return QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QString();
    return qEnvironmentVariable("QUORRIN_BENCH_DISK");
}

// A data directory of `count` generated notes, made once per size and medium.
const QString& sampleDirectory(int count, Medium medium)
{
    static std::map<std::pair<int, Medium>, QString> directories;
    auto found = directories.find({count, medium});
    if (found == directories.end()) {
        bench::StoreShape shape;
        shape.notes = count;
        shape.deletedEvery = 25;
        found = directories.emplace(std::pair{count, medium},
                                    bench::storedNotesDirectory(bench::realisticNotes(shape), parentFolder(medium)))
                    .first;
    }
    return found->second;
}

// The bare side: one row rewritten by a single UPDATE in its own transaction.
class BareUpdate {
public:
    explicit BareUpdate(const QString& directory)
        : m_database(QDir(directory).filePath(NoteStore::storeFileName), SqliteDatabase::Mode::ReadWrite)
        , m_update(m_database.prepare(QStringLiteral("UPDATE NoteRecord SET payload = ?1, updatedAt = ?2 WHERE id = ?3")))
    {
    }

    double seconds(const Note& note, const Preferences& preferences, int round)
    {
        const QByteArray payload = notePayload(note, preferences);
        const auto start = Stopwatch::now();
        {
            SqliteTransaction transaction(m_database);
            m_update.bindBlob(1, payload).bindDouble(2, round).bindText(3, note.id.toString(QUuid::WithoutBraces).toUpper());
            m_update.run();
            m_update.reset();
            transaction.commit();
        }
        return secondsSince(start);
    }

private:
    SqliteDatabase m_database;
    SqliteStatement m_update;
};

// A live note of the store with its first block's text changed.
Note editedNote(const NoteStore& store, int round)
{
    const std::vector<Note>& notes = store.notes();
    size_t index = size_t(round * 7919) % notes.size();
    while (notes[index].deletedAt)
        index = (index + 1) % notes.size();
    Note note = notes[index];
    note.blocks.front().text = RichText(QStringLiteral("edit %1").arg(round), TextFont::system(14));
    return note;
}

void report(benchmark::State& state, double storeSeconds, double bareSeconds, int rounds)
{
    state.counters["store_ms"] = benchmark::Counter(storeSeconds * 1000 / rounds);
    state.counters["bare_ms"] = benchmark::Counter(bareSeconds * 1000 / rounds);
    state.counters["ratio"] = benchmark::Counter(storeSeconds / bareSeconds);
}

void saveOneChangedNote(benchmark::State& state, Medium medium)
{
    const QString& directory = sampleDirectory(int(state.range(0)), medium);
    NoteStore store(directory, true);
    store.update(editedNote(store, -1), true, false); // the first save after opening is measured on its own
    BareUpdate bare(directory);

    double storeSeconds = 0;
    double bareSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        const Note note = editedNote(store, round);
        const auto start = Stopwatch::now();
        store.update(note, true, false);
        const double storeRound = secondsSince(start);
        storeSeconds += storeRound;
        bareSeconds += bare.seconds(note, store.preferences(), round);
        ++round;
        state.SetIterationTime(storeRound);
    }
    report(state, storeSeconds, bareSeconds, round);
}

void BM_SaveOneChangedNote_Tmpfs(benchmark::State& state)
{
    saveOneChangedNote(state, Medium::Memory);
}

void BM_SaveOneChangedNote_Disk(benchmark::State& state)
{
    saveOneChangedNote(state, Medium::Disk);
}

// The first save after opening, with one note changed: the freeze a user
// feels when the first edit after launch is written.
void BM_FirstSaveAfterOpening(benchmark::State& state)
{
    const QString& directory = sampleDirectory(int(state.range(0)), Medium::Memory);
    double storeSeconds = 0;
    double bareSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        double storeRound = 0;
        std::optional<Note> note;
        Preferences preferences;
        {
            NoteStore store(directory, true);
            note = editedNote(store, round);
            preferences = store.preferences();
            const auto start = Stopwatch::now();
            store.update(*note, true, false);
            storeRound = secondsSince(start);
        }
        BareUpdate bare(directory);
        bareSeconds += bare.seconds(*note, preferences, round);
        storeSeconds += storeRound;
        ++round;
        state.SetIterationTime(storeRound);
    }
    report(state, storeSeconds, bareSeconds, round);
}

// The template of a fresh folder for one round's store, on tmpfs when there is one.
QString freshFolderPattern()
{
    const QString folder = parentFolder(Medium::Memory);
    return (folder.isEmpty() ? QDir::tempPath() : folder) + QStringLiteral("/XXXXXX");
}

// A note of `count` short paragraphs, as a long list of lines becomes.
Note noteOfBlocks(Note note, int count)
{
    const TextFont font = TextFont::system(14);
    note.blocks.clear();
    note.blocks.reserve(size_t(count));
    for (int index = 0; index < count; ++index) {
        Block block;
        block.text = RichText(QStringLiteral("buy milk"), font);
        note.blocks.push_back(std::move(block));
    }
    return note;
}

void BM_SaveLargeNoteOneBlockChanged(benchmark::State& state)
{
    double changedSeconds = 0;
    double firstSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        QTemporaryDir directory(freshFolderPattern());
        NoteStore store(directory.path(), true);
        Note note = noteOfBlocks(store.create(), int(state.range(0)));
        auto start = Stopwatch::now();
        store.update(note, true, false);
        firstSeconds += secondsSince(start);

        Block& edited = note.blocks[note.blocks.size() / 2];
        edited.text = RichText(QStringLiteral("buy oat milk"), TextFont::system(14));
        start = Stopwatch::now();
        store.update(std::move(note), true, false);
        const double changedRound = secondsSince(start);
        changedSeconds += changedRound;
        ++round;
        state.SetIterationTime(changedRound);
    }
    state.counters["changed_ms"] = benchmark::Counter(changedSeconds * 1000 / round);
    state.counters["first_ms"] = benchmark::Counter(firstSeconds * 1000 / round);
    state.counters["ratio"] = benchmark::Counter(changedSeconds / firstSeconds);
}

// The first save of a note whose one block became `blocks` new blocks at
// once, as a long list of lines does when first written back, vs. one UPDATE
// + COMMIT of the same bytes over the same one-block row.
void BM_SaveLargeNoteAllBlocksNew(benchmark::State& state)
{
    double storeSeconds = 0;
    double bareSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        QTemporaryDir directory(freshFolderPattern());
        Note created;
        Preferences preferences;
        {
            NoteStore store(directory.path(), true);
            created = store.create();
            created.blocks.front().text = RichText(QStringLiteral("buy milk\n").repeated(10), TextFont::system(14));
            store.update(created, true, false);
            created = *store.note(created.id);
            preferences = store.preferences();
        }
        const Note note = noteOfBlocks(created, int(state.range(0)));
        {
            BareUpdate bare(directory.path());
            bareSeconds += bare.seconds(note, preferences, round);
            bare.seconds(created, preferences, round); // the one-block row again
        }
        NoteStore store(directory.path(), true);
        const auto start = Stopwatch::now();
        store.update(note, true, false);
        const double storeRound = secondsSince(start);
        storeSeconds += storeRound;
        ++round;
        state.SetIterationTime(storeRound);
    }
    report(state, storeSeconds, bareSeconds, round);
}

void BM_OpenStore(benchmark::State& state)
{
    const QString& directory = sampleDirectory(int(state.range(0)), Medium::Memory);
    const QString storePath = QDir(directory).filePath(NoteStore::storeFileName);
    { NoteStore warmUp(directory, true); }

    double storeSeconds = 0;
    double bareSeconds = 0;
    int rounds = 0;
    for (auto _ : state) {
        auto start = Stopwatch::now();
        {
            NoteStore store(directory, true);
            benchmark::DoNotOptimize(store.notes().size());
        }
        const double storeRound = secondsSince(start);
        storeSeconds += storeRound;

        start = Stopwatch::now();
        {
            SqliteDatabase bare(storePath, SqliteDatabase::Mode::ReadOnly);
            SqliteStatement rows = bare.prepare(QStringLiteral("SELECT payload FROM NoteRecord"));
            qsizetype parsed = 0;
            while (rows.step())
                parsed += QJsonDocument::fromJson(rows.columnBlob(0)).object().size();
            benchmark::DoNotOptimize(parsed);
        }
        bareSeconds += secondsSince(start);
        ++rounds;
        state.SetIterationTime(storeRound);
    }
    report(state, storeSeconds, bareSeconds, rounds);
}

void sizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgName("notes")->Arg(1000)->Arg(10000)->Arg(50000);
}

BENCHMARK(BM_OpenStore)->Apply(sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstSaveAfterOpening)->Apply(sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveOneChangedNote_Tmpfs)->Apply(sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_SaveOneChangedNote_Disk)->Apply(sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_SaveLargeNoteOneBlockChanged)
    ->ArgName("blocks")
    ->Arg(100000)
    ->Arg(500000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_SaveLargeNoteAllBlocksNew)
    ->ArgName("blocks")
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
