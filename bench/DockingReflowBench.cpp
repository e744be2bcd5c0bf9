// Docking layout costs through the workspace over a real store and windows
// that only record their frames:
//  - one reflow of 1,000 active notes in 100 docked groups of 10 (chains that
//    turn right and down) against one pass that only copies every note's
//    frame into a table. A reflow runs after every collapse or resize outside
//    a drag, so it should stay well inside one 16 ms frame;
//  - one drag step of a group of 10 docked notes among 200 notes (the
//    docking proposal and the group's frames applied) against the proposal
//    alone. A drag follows the pointer at up to 60 steps a second.
// "ms" is the measured operation, "ratio" it divided by its baseline.

#include "Core/Screens/ScreenProvider.h"
#include "OffscreenApplication.h"
#include "Persistence/NoteStore.h"
#include "StoredNotes.h"
#include "Windows/NoteWorkspace.h"
#include "Windows/SnapGeometry.h"
#include "Windows/WorkspaceHost.h"
#include "Windows/WorkspaceWindow.h"

#include <benchmark/benchmark.h>

#include <QHash>

#include <chrono>
#include <memory>

using namespace quorrin;

namespace {

constexpr int groupCount = 100;
constexpr int groupSize = 10;

using Stopwatch = std::chrono::steady_clock;

double secondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

class RecordingWindow final : public WorkspaceWindow {
public:
    RecordingWindow(QUuid id, QRectF frame)
        : m_id(id)
        , m_frame(frame)
    {
    }
    QUuid noteID() const override { return m_id; }
    NoteWindowHost* host() const override { return m_host; }
    void setHost(NoteWindowHost* host) override { m_host = host; }
    QRectF frame() const override { return m_frame; }
    void applyFrame(const QRectF& frame) override { m_frame = frame; }
    void saveFrame() override {}
    bool isVisible() const override { return true; }
    bool isUserResizing() const override { return false; }
    bool isMovedByWindowManager() const override { return false; }
    double backingScale() const override { return 1; }
    int level() const override { return m_level; }
    void setLevel(int level) override { m_level = level; }
    void setPanelLevels(int, int) override {}
    bool isTemporarilyRaised() const override { return false; }
    void setTemporarilyRaised(bool) override {}
    void orderFrontRegardless() override {}
    void makeKeyAndFocusText() override {}
    void setRole(bool, bool) override {}
    void refresh() override {}
    void setSnapFeedback(std::optional<DockEdge>, double) override {}
    void setLinkParent(WorkspaceWindow*) override {}
    void collapseTextSelection() override {}

private:
    QUuid m_id;
    QRectF m_frame;
    NoteWindowHost* m_host = nullptr;
    int m_level = 0;
};

class RecordingHost final : public WorkspaceHost {
public:
    explicit RecordingHost(NoteStore& store)
        : m_store(store)
    {
        for (const Note& note : store.notes()) {
            const WindowFrame& f = note.frame;
            m_windows.push_back(std::make_unique<RecordingWindow>(note.id, QRectF(f.x, f.y, f.width, f.height)));
            m_byID.insert(note.id, m_windows.back().get());
        }
    }
    NoteStore* noteStore() const override { return &m_store; }
    std::vector<WorkspaceWindow*> noteWindows() const override
    {
        std::vector<WorkspaceWindow*> result;
        for (const auto& window : m_windows)
            result.push_back(window.get());
        return result;
    }
    WorkspaceWindow* noteWindow(const QUuid& id) const override { return m_byID.value(id); }
    void ensureController(const QUuid&) override {}

private:
    NoteStore& m_store;
    std::vector<std::unique_ptr<RecordingWindow>> m_windows;
    QHash<QUuid, RecordingWindow*> m_byID;
};

QString dockedGroupsDirectory()
{
    static const QString directory = [] {
        std::vector<QUuid> ids;
        for (int index = 0; index < groupCount * groupSize; ++index)
            ids.push_back(QUuid::createUuid());
        return bench::storedNotesDirectory(groupCount * groupSize, [&](int index) {
            Note note = Note::create(systemNow);
            note.id = ids[size_t(index)];
            note.blocks.front().text = RichText(QStringLiteral("便笺 %1").arg(index), TextFont::system(14));
            note.frame = {double(index % 37) * 40, double(index % 23) * 30, 250, 160};
            if (index % groupSize != 0)
                note.docking = NoteDock{ids[size_t(index - 1)], index % 2 ? DockEdge::Right : DockEdge::Below};
            return note;
        });
    }();
    return directory;
}

void BM_ReflowOfDockedGroups(benchmark::State& state)
{
    // The store schedules its deferred save on a timer, which needs an application.
    bench::offscreenApplication("DockingReflowBench");
    NoteStore store(dockedGroupsDirectory(), false);
    RecordingHost host(store);
    FixedScreenProvider screens({QRectF(0, 0, 1600, 1000)});
    NoteWorkspace workspace(host, screens, [] { return false; });
    workspace.reflow(); // the groups take their places once

    double reflowSeconds = 0;
    double copySeconds = 0;
    for (auto _ : state) {
        const auto reflowStart = Stopwatch::now();
        workspace.reflow();
        const double reflow = secondsSince(reflowStart);

        const auto copyStart = Stopwatch::now();
        QHash<QUuid, QRectF> frames;
        for (const Note& note : store.notes())
            frames.insert(note.id, QRectF(note.frame.x, note.frame.y, note.frame.width, note.frame.height));
        benchmark::DoNotOptimize(frames);
        const double copy = secondsSince(copyStart);

        state.SetIterationTime(reflow);
        reflowSeconds += reflow;
        copySeconds += copy;
    }
    const double iterations = double(state.iterations());
    state.counters["ms"] = reflowSeconds * 1000 / iterations;
    state.counters["copy_ms"] = copySeconds * 1000 / iterations;
    state.counters["ratio"] = reflowSeconds / copySeconds;
}
BENCHMARK(BM_ReflowOfDockedGroups)->UseManualTime()->Unit(benchmark::kMillisecond);

constexpr int notesAroundTheDrag = 200;

// A chain of 10 notes docked right and down from the first, and the others
// on a grid the chain is dragged across.
QString dragDirectory()
{
    static const QString directory = [] {
        std::vector<QUuid> ids;
        for (int index = 0; index < notesAroundTheDrag; ++index)
            ids.push_back(QUuid::createUuid());
        return bench::storedNotesDirectory(notesAroundTheDrag, [&](int index) {
            Note note = Note::create(systemNow);
            note.id = ids[size_t(index)];
            note.blocks.front().text = RichText(QStringLiteral("便笺 %1").arg(index), TextFont::system(14));
            if (index < groupSize) {
                note.frame = {0, 0, 250, 160};
                if (index > 0)
                    note.docking = NoteDock{ids[size_t(index - 1)], index % 2 ? DockEdge::Right : DockEdge::Below};
            } else {
                const int cell = index - groupSize;
                note.frame = {double(cell % 19) * 270, double(cell / 19) * 180, 250, 160};
            }
            return note;
        });
    }();
    return directory;
}

void BM_DragStepOfADockedGroup(benchmark::State& state)
{
    bench::offscreenApplication("DockingReflowBench");
    NoteStore store(dragDirectory(), false);
    RecordingHost host(store);
    FixedScreenProvider screens({QRectF(0, 0, 1600, 1000)});
    NoteWorkspace workspace(host, screens, [] { return true; });
    workspace.reflow();
    const QUuid leader = store.notes().front().id;
    const QRectF start = host.noteWindow(leader)->frame();
    workspace.beginMove(leader, start.center(), false, 1);

    std::vector<SnapTarget> targets;
    for (const Note& note : store.notes()) {
        if (!note.docking && note.id != leader)
            targets.push_back({note.id, host.noteWindow(note.id)->frame(), QSizeF(note.frame.width, note.frame.height)});
    }
    double stepSeconds = 0;
    double proposalSeconds = 0;
    int step = 0;
    for (auto _ : state) {
        // The group wanders across the grid's gaps, now and then near a note.
        const QPointF offset(1350 + (step % 40) - 20.0 - start.x(), 900 + (step % 30) - 15.0 - start.y());
        ++step;
        const auto stepStart = Stopwatch::now();
        workspace.updateMove(leader, start.translated(offset), start.center() + offset);
        const double seconds = secondsSince(stepStart);

        const auto proposalStart = Stopwatch::now();
        benchmark::DoNotOptimize(SnapGeometry::candidate(start.translated(offset), std::nullopt, false, targets,
                                                         SnapGeometry::defaultThreshold, std::nullopt));
        const double proposal = secondsSince(proposalStart);

        state.SetIterationTime(seconds);
        stepSeconds += seconds;
        proposalSeconds += proposal;
    }
    workspace.cancelMove();
    const double iterations = double(state.iterations());
    state.counters["ms"] = stepSeconds * 1000 / iterations;
    state.counters["proposal_ms"] = proposalSeconds * 1000 / iterations;
    state.counters["ratio"] = stepSeconds / proposalSeconds;
}
BENCHMARK(BM_DragStepOfADockedGroup)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
