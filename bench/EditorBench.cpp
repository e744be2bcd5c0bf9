// Render and write-back of a 500-block note, against building the same
// QTextDocument from plain text. Each benchmark reports its own time per
// operation and, as "ratio", that time divided by the plain-text build.
#include "Editor/BlockEditor.h"
#include "MemoryEditorStore.h"
#include "OffscreenApplication.h"
#include "Editor/BlockTextView.h"
#include "Editor/EditorText.h"
#include "Editor/TextDocumentConversion.h"
#include "Editor/TextLeftToShow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <chrono>

namespace quorrin {
namespace {

QApplication& application()
{
    return bench::offscreenApplication("EditorBench");
}

using MemoryStore = bench::MemoryEditorStore;

Note largeNote()
{
    static const BlockKind kinds[] = {BlockKind::Paragraph, BlockKind::H2, BlockKind::Bullet, BlockKind::Todo};
    Note note;
    note.blocks.clear();
    for (int i = 0; i < 500; ++i) {
        Block block;
        block.kind = kinds[i % 4];
        block.text = RichText(QStringLiteral("第 %1 行 line of text with some words").arg(i), TextFont::system(14));
        if (block.kind == BlockKind::Todo) {
            block.todo = TodoMetadata();
            block.todo->notesExpanded = i % 8 == 3;
        }
        note.blocks.push_back(block);
    }
    return note;
}

struct Fixture {
    std::shared_ptr<MemoryStore> store = std::make_shared<MemoryStore>();
    std::unique_ptr<BlockEditor> editor;
    QString plain;

    Fixture()
    {
        application();
        store->stored = largeNote();
        editor = std::make_unique<BlockEditor>(store, store->stored.id);
        editor->resize(320, 600);
        editor->flush();
        plain = textdoc::plainText(*editor->document(), 0, 1 << 24);
    }

    double plainSeconds() const
    {
        QTextEdit view;
        view.resize(320, 600);
        const auto start = std::chrono::steady_clock::now();
        view.setPlainText(plain);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

template <typename Operation> void measure(benchmark::State& state, Fixture& fixture, Operation&& operation)
{
    double total = 0;
    double plainTotal = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        operation();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
        plainTotal += fixture.plainSeconds();
    }
    state.counters["ms"] = total * 1000 / double(state.iterations());
    state.counters["plain_ms"] = plainTotal * 1000 / double(state.iterations());
    state.counters["ratio"] = plainTotal > 0 ? total / plainTotal : 0;
}

void BM_Render500(benchmark::State& state)
{
    Fixture fixture;
    measure(state, fixture, [&] { fixture.editor->render(true); });
}

void BM_Flush500(benchmark::State& state)
{
    Fixture fixture;
    measure(state, fixture, [&] { fixture.editor->flush(); });
}

// One typed character: the edit, the run table, the undo step and the write-back.
void BM_TypeCharacter500(benchmark::State& state)
{
    Fixture fixture;
    measure(state, fixture, [&] {
        QTextCursor cursor(fixture.editor->document());
        cursor.setPosition(5);
        cursor.insertText(QStringLiteral("x"));
    });
}

// The text of a note of half a million one-letter lines made for showing,
// against copying its blocks: the least a pass over them costs. "ms" makes
// the whole text; "first_part_ms" what the turn that shows the note makes
// of it, its first part ("first_part_ratio" against the same copy).
void BM_RenderedTextOfManyLines(benchmark::State& state)
{
    Note note;
    note.blocks.clear();
    const RichText letter(QStringLiteral("a"), TextFont::system(14));
    for (int i = 0; i < 524288; ++i) {
        Block block;
        block.text = letter;
        note.blocks.push_back(block);
    }
    const std::vector<Block>& blocks = note.blocks;
    const TextAttributes newText{};
    double total = 0;
    double copyTotal = 0;
    double firstPartTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        const editortext::RenderedText rendered = editortext::render(blocks, newText);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(rendered.ranges.data());
        start = std::chrono::steady_clock::now();
        const std::vector<Block> copy = blocks;
        copyTotal += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(copy.data());
        start = std::chrono::steady_clock::now();
        {
            TextLeftToShow left;
            const TextLeftToShow::Opening opening
                = left.begin(BlocksLeftToRender(note, newText), {std::vector<TextRun>{}, QString(), 0});
            benchmark::DoNotOptimize(opening.first.ranges.data());
        }
        firstPartTotal += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.counters["ms"] = total * 1000 / double(state.iterations());
    state.counters["copy_ms"] = copyTotal * 1000 / double(state.iterations());
    state.counters["ratio"] = total / copyTotal;
    state.counters["first_part_ms"] = firstPartTotal * 1000 / double(state.iterations());
    state.counters["first_part_ratio"] = firstPartTotal / copyTotal;
}

BENCHMARK(BM_Render500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Flush500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCharacter500)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderedTextOfManyLines)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace quorrin
