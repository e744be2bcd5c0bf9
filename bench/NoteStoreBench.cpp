// Store costs against bare SQLite on the same file:
//  - saving one changed note in a store of 10,000 notes vs. one UPDATE + COMMIT;
//  - opening a store of 10,000 notes of ~20 blocks vs. reading the rows and
//    parsing their JSON without the model.
// Each benchmark times both sides in the same loop and reports their ratio.

#include "Domain/Json.h"
#include "Persistence/NoteStore.h"
#include "Persistence/RecordWriter.h"
#include "StoredNotes.h"

#include <benchmark/benchmark.h>

#include <QJsonDocument>
#include <QTemporaryDir>

#include <chrono>

using namespace quorrin;

namespace {

constexpr int noteCount = 10000;
constexpr int blocksPerNote = 20;

using Stopwatch = std::chrono::steady_clock;

double secondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

// A note like one in daily use: headings, paragraphs, bullets and todos.
Note realisticNote(int index)
{
    static const std::vector<RichText> texts = [] {
        std::vector<RichText> result;
        for (int line = 0; line < blocksPerNote; ++line)
            result.push_back(RichText(QStringLiteral("第 %1 行：买牛奶、回邮件、整理下周的会议记录 line %1").arg(line),
                                      TextFont::system(14)));
        return result;
    }();
    Note note = Note::create(systemNow);
    note.createdAt = Date{600000000.0 + index};
    note.blocks.clear();
    for (int line = 0; line < blocksPerNote; ++line) {
        Block block = Block::create(systemNow);
        block.text = texts[size_t(line)];
        switch (line % 5) {
        case 0: block.kind = BlockKind::H2; break;
        case 1: block.kind = BlockKind::Bullet; break;
        case 2:
            block.kind = BlockKind::Todo;
            block.todo = TodoMetadata();
            block.todo->priority = 1 + line % 4;
            break;
        default: break;
        }
        note.blocks.push_back(block);
    }
    return note;
}

// A data directory holding noteCount stored notes, made once per process.
const QString& sampleDirectory()
{
    static const QString path = bench::storedNotesDirectory(noteCount, realisticNote);
    return path;
}

void BM_SaveOneChangedNote(benchmark::State& state)
{
    NoteStore store(sampleDirectory(), true);
    store.save(); // first save after opening encodes every note once
    SqliteDatabase bare(QDir(sampleDirectory()).filePath(NoteStore::storeFileName), SqliteDatabase::Mode::ReadWrite);
    SqliteStatement update = bare.prepare(QStringLiteral("UPDATE NoteRecord SET payload = ?1, updatedAt = ?2 WHERE id = ?3"));

    double storeSeconds = 0;
    double bareSeconds = 0;
    int round = 0;
    for (auto _ : state) {
        Note note = store.notes()[size_t(round % noteCount)];
        note.blocks.front().text = RichText(QStringLiteral("edit %1").arg(round), TextFont::system(14));
        ++round;

        auto start = Stopwatch::now();
        store.update(note, true, false);
        const double storeRound = secondsSince(start);
        storeSeconds += storeRound;

        // The same row rewritten with the same kind of change.
        note.blocks.front().text = RichText(QStringLiteral("bare %1").arg(round), TextFont::system(14));
        const QByteArray payload = notePayload(note, store.preferences());
        start = Stopwatch::now();
        {
            SqliteTransaction transaction(bare);
            update.bindBlob(1, payload).bindDouble(2, round).bindText(3, note.id.toString(QUuid::WithoutBraces).toUpper());
            update.run();
            update.reset();
            transaction.commit();
        }
        bareSeconds += secondsSince(start);
        state.SetIterationTime(storeRound);
    }
    state.counters["store_ms"] = benchmark::Counter(storeSeconds * 1000 / round);
    state.counters["bare_ms"] = benchmark::Counter(bareSeconds * 1000 / round);
    state.counters["ratio"] = benchmark::Counter(storeSeconds / bareSeconds);
}
BENCHMARK(BM_SaveOneChangedNote)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_OpenStore(benchmark::State& state)
{
    const QString storePath = QDir(sampleDirectory()).filePath(NoteStore::storeFileName);
    { NoteStore warmUp(sampleDirectory(), true); }

    double storeSeconds = 0;
    double bareSeconds = 0;
    int rounds = 0;
    for (auto _ : state) {
        auto start = Stopwatch::now();
        {
            NoteStore store(sampleDirectory(), true);
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
    state.counters["store_ms"] = benchmark::Counter(storeSeconds * 1000 / rounds);
    state.counters["bare_ms"] = benchmark::Counter(bareSeconds * 1000 / rounds);
    state.counters["ratio"] = benchmark::Counter(storeSeconds / bareSeconds);
}
BENCHMARK(BM_OpenStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
