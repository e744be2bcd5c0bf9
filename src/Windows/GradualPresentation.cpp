#include "Windows/GradualPresentation.h"

#include "Windows/WindowFrameTracking.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace quorrin {

std::vector<QUuid> presentationOrder(const std::vector<Note>& notes, const QList<QRectF>& visibleScreens)
{
    std::vector<QUuid> onScreen;
    std::vector<QUuid> offScreen;
    for (const Note& note : notes) {
        if (note.deletedAt || note.isHidden)
            continue;
        const QRectF shown = WindowFrameTracking::displayedFrame(note.frame, note.isCollapsed);
        const bool visible = std::any_of(visibleScreens.begin(), visibleScreens.end(),
                                         [&](const QRectF& screen) { return screen.intersects(shown); });
        (visible ? onScreen : offScreen).push_back(note.id);
    }
    onScreen.insert(onScreen.end(), offScreen.begin(), offScreen.end());
    return onScreen;
}

size_t orderedPrefixLength(const std::vector<quint64>& frontStamps)
{
    size_t length = 0;
    quint64 previous = 0;
    for (const quint64 stamp : frontStamps) {
        if (stamp == 0 || stamp <= previous)
            break;
        previous = stamp;
        ++length;
    }
    return length;
}

GradualPresentation::GradualPresentation(std::vector<QUuid> noteIDs, Step step, std::function<void()> finished,
                                         QObject* parent)
    : QObject(parent)
    , m_noteIDs(std::move(noteIDs))
    , m_step(std::move(step))
    , m_finished(std::move(finished))
{
}

void GradualPresentation::start()
{
    m_running = true;
    m_next = 0;
    ++m_generation;
    runSlice(true);
}

void GradualPresentation::cancel()
{
    m_running = false;
    ++m_generation;
}

void GradualPresentation::runSlice(bool first)
{
    const int generation = m_generation;
    const QPointer<GradualPresentation> self(this);
    const bool all = m_noteIDs.size() <= immediateLimit;
    QElapsedTimer clock;
    clock.start();
    // The first slice makes a single window: it shows before the others are built.
    while (m_next < m_noteIDs.size()) {
        m_step(m_noteIDs[m_next++]);
        if (!self || generation != m_generation)
            return; // cancelled, restarted or deleted by the step
        if (!all && (first || clock.elapsed() >= sliceBudget.count()))
            break;
    }
    if (m_next < m_noteIDs.size()) {
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation && m_running)
                runSlice(false);
        });
        return;
    }
    m_running = false;
    if (m_finished)
        m_finished();
}

} // namespace quorrin
