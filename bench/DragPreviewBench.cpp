// One step of a block drag (the preview following the pointer to the next
// row) in a 200-block note, against one full render of the same note. It
// reports the step's time as "ms" and, as "ratio", that time divided by the
// render's, both measured in the same run; a step must stay within a frame.
#include "Editor/BlockEditor.h"
#include "MemoryEditorStore.h"
#include "OffscreenApplication.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>

namespace quorrin {
namespace {

QApplication& application()
{
    return bench::offscreenApplication("DragPreviewBench");
}

using MemoryStore = bench::MemoryEditorStore;

Note noteOf200()
{
    static const BlockKind kinds[] = {BlockKind::Paragraph, BlockKind::Todo, BlockKind::Bullet, BlockKind::Todo};
    Note note;
    note.blocks.clear();
    for (int i = 0; i < 200; ++i) {
        Block block;
        block.kind = kinds[i % 4];
        block.text = RichText(QStringLiteral("第 %1 行 a line of text with some words").arg(i), TextFont::system(14));
        if (block.kind == BlockKind::Todo)
            block.todo = TodoMetadata();
        note.blocks.push_back(block);
    }
    return note;
}

double secondsOf(const std::function<void()>& operation)
{
    const auto start = std::chrono::steady_clock::now();
    operation();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DragStep200(benchmark::State& state)
{
    application();
    auto store = std::make_shared<MemoryStore>();
    store->stored = noteOf200();
    BlockEditor editor(store, store->stored.id);
    editor.resize(320, 600);
    const std::vector<Block> blocks = store->stored.blocks;
    editor.beginDragPreview(blocks.front().id);
    std::size_t row = 1;
    double steps = 0;
    double renders = 0;
    for (auto _ : state) {
        const QUuid target = blocks[row].id;
        row = row + 1 < blocks.size() ? row + 1 : 1;
        const double step = secondsOf([&] { editor.updateDragPreview(target, row % 2 == 0); });
        state.SetIterationTime(step);
        steps += step;
        renders += secondsOf([&] { editor.render(true); });
    }
    editor.endDragPreview();
    state.counters["ms"] = steps * 1000 / double(state.iterations());
    state.counters["render_ms"] = renders * 1000 / double(state.iterations());
    state.counters["ratio"] = renders > 0 ? steps / renders : 0;
}

} // namespace

BENCHMARK(BM_DragStep200)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace quorrin
