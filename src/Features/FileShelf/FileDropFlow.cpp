#include "Features/FileShelf/FileDropFlow.h"

#include "Core/Time/RestartableTimer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace quorrin {

namespace {

// The flow counts in seconds; the event-loop timer underneath is the
// project's one restartable timer.
class QtDropTimer final : public DropTimer {
public:
    void start(double seconds, std::function<void()> fire) override
    {
        m_timer.start(std::chrono::milliseconds(std::lround(seconds * 1000)), std::move(fire));
    }
    void stop() override { m_timer.cancel(); }

private:
    QtRestartableTimer m_timer;
};

class SystemDropTiming final : public DropTiming {
public:
    double uptime() const override
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    std::unique_ptr<DropTimer> makeTimer() override { return std::make_unique<QtDropTimer>(); }
};

} // namespace

std::unique_ptr<DropTiming> systemDropTiming()
{
    return std::make_unique<SystemDropTiming>();
}

FileDropFlow::FileDropFlow(Callbacks callbacks, std::unique_ptr<DropTiming> timing)
    : m_callbacks(std::move(callbacks))
    , m_timing(timing ? std::move(timing) : systemDropTiming())
    , m_hoverTimer(m_timing->makeTimer())
    , m_restTimer(m_timing->makeTimer())
    , m_leaveTimer(m_timing->makeTimer())
{
}

bool FileDropFlow::contains(const QPointF& point) const
{
    return point.x() >= 0 && point.y() >= 0 && point.x() < m_size.width() && point.y() < m_size.height();
}

void FileDropFlow::begin(quint64 session)
{
    noteActivity();
    if (m_session == session && m_mode != Mode::Idle)
        return;
    end();
    m_session = session;
    if (m_callbacks.onBegin)
        m_callbacks.onBegin();
    m_mode = Mode::Choosing;
    if (m_callbacks.onVisibility)
        m_callbacks.onVisibility(true);
    redraw();
}

Qt::DropAction FileDropFlow::update(const QPointF& point)
{
    noteActivity();
    return follow(point);
}

Qt::DropAction FileDropFlow::follow(const QPointF& point)
{
    m_lastPoint = point;
    if (m_mode == Mode::Idle || !contains(point)) {
        cancelHover();
        m_restTimer->stop();
        return Qt::IgnoreAction;
    }
    // Repeat this update while the pointer rests.
    m_restTimer->start(restInterval, [this] { follow(m_lastPoint); });

    if (m_mode == Mode::Choosing) {
        m_hoveredUpper = inUpperHalf(point);
        const bool tasks = hasTasks();
        if (m_hoveredUpper && tasks)
            scheduleHover(HoverAction::ShowTasks, [this] { showTasks(); });
        else
            cancelHover();
        redraw();
        return !m_hoveredUpper || tasks ? Qt::CopyAction : Qt::IgnoreAction;
    }

    if (point.y() < stripHeight) {
        m_hoveredTask.reset();
        scheduleHover(HoverAction::ShowChoices, [this] { showChoices(); });
    } else {
        cancelHover();
        const double now = m_timing->uptime();
        if (now > m_lastScrollTime + scrollInterval) {
            if (m_callbacks.onScroll)
                m_callbacks.onScroll(point);
            m_lastScrollTime = now;
        }
        m_hoveredTask = taskAt(point);
    }
    redraw();
    return m_hoveredTask ? Qt::CopyAction : Qt::IgnoreAction;
}

bool FileDropFlow::wouldAccept(const QPointF& point) const
{
    if (!contains(point))
        return false;
    if (m_mode == Mode::Choosing)
        return !inUpperHalf(point);
    return taskAt(point).has_value();
}

bool FileDropFlow::accept(const QList<QUrl>& files, const QPointF& point)
{
    noteActivity();
    if (files.isEmpty() || !contains(point) || m_mode == Mode::Idle) {
        end();
        return false;
    }
    std::optional<QUuid> target;
    if (m_mode == Mode::Choosing) {
        if (inUpperHalf(point)) {
            end();
            return false;
        }
    } else {
        target = taskAt(point);
        if (!target) {
            end();
            return false;
        }
    }
    const bool accepted = m_callbacks.onDrop && m_callbacks.onDrop(files, target);
    end();
    return accepted;
}

void FileDropFlow::exited(std::optional<QPointF> pointer)
{
    if (!pointer || !contains(*pointer)) {
        end();
        return;
    }
    const quint64 mark = m_activity;
    m_leaveTimer->start(0, [this, mark] {
        if (m_activity == mark && m_mode != Mode::Idle)
            end();
    });
}

void FileDropFlow::end()
{
    cancelHover();
    m_restTimer->stop();
    m_leaveTimer->stop();
    const Mode before = m_mode;
    m_session.reset();
    m_hoveredTask.reset();
    m_hoveredUpper = false;
    m_mode = Mode::Idle;
    if (m_callbacks.onVisibility)
        m_callbacks.onVisibility(false);
    if (before == Mode::Tasks && m_callbacks.onTaskTargets)
        m_callbacks.onTaskTargets(false);
}

void FileDropFlow::scheduleHover(HoverAction action, std::function<void()> perform)
{
    // The wait counts from the first request: moving on within the same
    // region does not restart it.
    if (m_hoverAction == action)
        return;
    cancelHover();
    m_hoverAction = action;
    m_hoverTimer->start(hoverDelay, [this, perform = std::move(perform)] {
        cancelHover();
        perform();
    });
}

void FileDropFlow::cancelHover()
{
    m_hoverTimer->stop();
    m_hoverAction.reset();
}

void FileDropFlow::showTasks()
{
    if (m_mode != Mode::Choosing || !hasTasks())
        return;
    cancelHover();
    m_mode = Mode::Tasks;
    m_hoveredTask.reset();
    if (m_callbacks.onTaskTargets)
        m_callbacks.onTaskTargets(true);
    redraw();
}

void FileDropFlow::showChoices()
{
    cancelHover();
    m_mode = Mode::Choosing;
    m_hoveredTask.reset();
    if (m_callbacks.onTaskTargets)
        m_callbacks.onTaskTargets(false);
    redraw();
}

std::optional<QUuid> FileDropFlow::taskAt(const QPointF& point) const
{
    if (!m_callbacks.taskRects)
        return std::nullopt;
    for (const auto& [id, rect] : m_callbacks.taskRects()) {
        if (rect.contains(point))
            return id;
    }
    return std::nullopt;
}

void FileDropFlow::redraw() const
{
    if (m_callbacks.onRedraw)
        m_callbacks.onRedraw();
}

void FileDropFlow::noteActivity()
{
    ++m_activity;
}

namespace filedrop {

QRectF pane(const QSizeF& size, bool upper)
{
    const double height = std::max(size.height() * 0.5 - 13, 0.0);
    const double top = upper ? 8 : size.height() * 0.5 + 5;
    return QRectF(14, top, std::max(size.width() - 28, 0.0), height);
}

QRectF taskHighlight(const QRectF& taskRect)
{
    return taskRect.adjusted(2, 1, -2, -1);
}

} // namespace filedrop

} // namespace quorrin
