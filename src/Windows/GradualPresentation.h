#pragma once

#include "Domain/Note.h"

#include <QList>
#include <QObject>
#include <QRectF>
#include <QUuid>

#include <chrono>
#include <functional>
#include <vector>

namespace quorrin {

// The order in which the shown notes' windows are made when every note is
// presented: live notes that are not hidden, those whose window would show on
// one of the visible screens first, each group in store order.
std::vector<QUuid> presentationOrder(const std::vector<Note>& notes, const QList<QRectF>& visibleScreens);

// How many windows at the start of `frontStamps` already stand in that order
// at the bottom of it, so that raising only the others, in order, stacks the
// windows as raising every one would. Each entry is the stamp of the last time
// the window was ordered front (larger is later; 0 for never, or a window
// that must be ordered front anyway); the run ends at the first window whose
// stamp is 0 or not later than the one before it.
size_t orderedPrefixLength(const std::vector<quint64>& frontStamps);

// Works through a list of notes a slice at a time, one slice per event-loop
// turn, so that the first windows appear at once and events (a quit, a
// termination signal) are handled between slices. Short lists are done at
// once. Main thread only.
class GradualPresentation final : public QObject {
public:
    using Step = std::function<void(const QUuid& noteID)>;
    // Lists no longer than this are worked through within start().
    static constexpr size_t immediateLimit = 12;
    // The time one slice may take before the event loop gets its turn.
    static constexpr std::chrono::milliseconds sliceBudget{25};

    GradualPresentation(std::vector<QUuid> noteIDs, Step step, std::function<void()> finished,
                        QObject* parent = nullptr);

    // Runs the first slice now; the others follow on later turns, and
    // `finished` after the last one.
    void start();
    bool isRunning() const { return m_running; }
    // Stops without calling `finished`.
    void cancel();

private:
    void runSlice(bool first);

    std::vector<QUuid> m_noteIDs;
    size_t m_next = 0;
    Step m_step;
    std::function<void()> m_finished;
    bool m_running = false;
    int m_generation = 0;
};

} // namespace quorrin
