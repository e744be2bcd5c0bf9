// One drag step's docking proposal against 100 visible note windows laid out
// on a grid, with the dragged window near several of them, and the magnetic
// pull of the chosen proposal. A drag step runs at up to 60 per second, so
// anything far below 16 ms per step leaves the frame budget to the windows.

#include "Windows/SnapGeometry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using namespace quorrin;

std::vector<SnapTarget> gridTargets()
{
    std::vector<SnapTarget> targets;
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column) {
            const QRectF frame(column * 270.0, row * 180.0, 250, 160);
            targets.push_back(SnapTarget{QUuid::createUuid(), frame, frame.size()});
        }
    }
    return targets;
}

void BM_DragStepProposal(benchmark::State& state)
{
    const std::vector<SnapTarget> targets = gridTargets();
    std::optional<NoteDock> kept;
    int step = 0;
    for (auto _ : state) {
        // The window wanders between its neighbours in the grid's gaps.
        const QRectF moving(1350 + (step % 40) - 20.0, 900 + (step % 30) - 15.0, 250, 160);
        ++step;
        const auto proposal =
            SnapGeometry::candidate(moving, std::nullopt, false, targets, SnapGeometry::defaultThreshold, kept);
        if (proposal) {
            kept = proposal->link;
            const auto target = std::find_if(targets.begin(), targets.end(),
                                             [&](const SnapTarget& t) { return t.id == proposal->link.targetID; });
            benchmark::DoNotOptimize(
                SnapGeometry::magneticPreview(moving, target->frame, proposal->link.edge, proposal->distance));
        }
    }
}
BENCHMARK(BM_DragStepProposal)->Unit(benchmark::kMicrosecond);

} // namespace
