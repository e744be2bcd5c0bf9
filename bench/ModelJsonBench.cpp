// JSON encoding and decoding of notes: one large note and a whole store's worth.
#include "Domain/BackupManifest.h"
#include "Domain/Json.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quorrin;

Block sampleBlock(int index)
{
    Block block = Block::create([] { return Date{700000000.5}; });
    block.text = RichText(QStringLiteral("第 %1 行：buy milk, call back, ship the release").arg(index), TextFont::system(14));
    if (index % 3 == 0) {
        block.convert(BlockKind::Todo, [] { return Date{700000001}; });
        block.todo->priority = 1 + index % 4;
        block.todo->notes = RichText(QStringLiteral("remarks %1").arg(index), TextFont::system(14));
        if (index % 6 == 0)
            block.todo->reminder = TodoReminder{Date{700086400}, RepeatRule{RepeatRule::Frequency::Weekly, 9, 30, {2, 4}, 1},
                                                LocalReminderTime{2023, 3, 8, 9, 30}};
    }
    return block;
}

Note sampleNote(int blockCount)
{
    Note note = Note::create([] { return Date{700000000}; });
    note.customTitle = QStringLiteral("便笺");
    note.blocks.clear();
    for (int i = 0; i < blockCount; ++i)
        note.blocks.push_back(sampleBlock(i));
    return note;
}

BackupManifest manifestOf(int noteCount, int blocksPerNote)
{
    BackupManifest manifest;
    for (int i = 0; i < noteCount; ++i)
        manifest.notes.push_back(sampleNote(blocksPerNote));
    return manifest;
}

void encode(benchmark::State& state, const BackupManifest& manifest)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(json::encode(manifest));
    state.SetItemsProcessed(state.iterations() * qint64(manifest.notes.size()));
}

void decode(benchmark::State& state, const BackupManifest& manifest)
{
    const QByteArray text = json::encode(manifest);
    for (auto _ : state)
        benchmark::DoNotOptimize(json::decode<BackupManifest>(text));
    state.SetItemsProcessed(state.iterations() * qint64(manifest.notes.size()));
    state.SetBytesProcessed(state.iterations() * text.size());
}

void encodeNoteWith200Blocks(benchmark::State& state) { encode(state, manifestOf(1, 200)); }
void decodeNoteWith200Blocks(benchmark::State& state) { decode(state, manifestOf(1, 200)); }
void encode1000Notes(benchmark::State& state) { encode(state, manifestOf(1000, 5)); }
void decode1000Notes(benchmark::State& state) { decode(state, manifestOf(1000, 5)); }

BENCHMARK(encodeNoteWith200Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeNoteWith200Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(encode1000Notes)->Unit(benchmark::kMillisecond);
BENCHMARK(decode1000Notes)->Unit(benchmark::kMillisecond);

} // namespace
