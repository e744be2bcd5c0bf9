#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QUrl>
#include <QUuid>
#include <Qt>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace quorrin {

// A restartable one-shot timer; starting it again replaces what was pending.
class DropTimer {
public:
    virtual ~DropTimer() = default;
    virtual void start(double seconds, std::function<void()> fire) = 0;
    virtual void stop() = 0;
};

// The clock and the timers of a drop session, replaced in tests.
class DropTiming {
public:
    virtual ~DropTiming() = default;
    // Seconds on a monotonic clock.
    virtual double uptime() const = 0;
    virtual std::unique_ptr<DropTimer> makeTimer() = 0;
};

// The desktop's monotonic clock and QTimer-based timers.
std::unique_ptr<DropTiming> systemDropTiming();

// Where files dragged over a note are to be staged: the note's own shelf
// (lower pane) or one of its todos (upper pane, then picking a todo in the
// note after resting there). Pure logic; the overlay widget feeds it drag
// events in its own coordinates (y downwards) and draws what it says.
//
// A drag session has an id of the overlay's choosing: the views of a note
// window hand the same drag over to each other, and entering again with the
// running session's id continues it.
//
// Qt sends no drag updates while the pointer rests, so the flow repeats the
// last update on its own while a session runs: resting near a todo list's
// edge keeps it scrolling, and the hover switches fire on their timer.
class FileDropFlow {
public:
    enum class Mode { Idle, Choosing, Tasks };
    enum class HoverAction { ShowTasks = 1, ShowChoices = 2 };

    static constexpr double hoverDelay = 0.45;
    static constexpr double scrollInterval = 0.035;
    // How long the pointer rests before the last update is repeated.
    static constexpr double restInterval = 0.04;
    // The strip at the top that leads back to the panes while picking a todo.
    static constexpr double stripHeight = 28;

    // Each is optional; a missing one answers false, nothing or no action.
    struct Callbacks {
        std::function<bool()> hasTasks;
        std::function<void()> onBegin;
        std::function<void(bool shown)> onTaskTargets;
        std::function<std::map<QUuid, QRectF>()> taskRects;
        std::function<void(QPointF point)> onScroll;
        std::function<bool(const QList<QUrl>& files, std::optional<QUuid> blockID)> onDrop;
        // Told when the overlay is to be shown or hidden, and when it is to
        // be redrawn.
        std::function<void(bool visible)> onVisibility;
        std::function<void()> onRedraw;
    };

    FileDropFlow(Callbacks callbacks, std::unique_ptr<DropTiming> timing);

    FileDropFlow(const FileDropFlow&) = delete;
    FileDropFlow& operator=(const FileDropFlow&) = delete;

    void setBounds(const QSizeF& size) { m_size = size; }
    QSizeF bounds() const { return m_size; }

    Mode mode() const { return m_mode; }
    std::optional<QUuid> hoveredTask() const { return m_hoveredTask; }
    bool hoveredUpper() const { return m_hoveredUpper; }
    std::optional<quint64> session() const { return m_session; }
    std::optional<HoverAction> pendingHover() const { return m_hoverAction; }
    double lastScrollTime() const { return m_lastScrollTime; }

    // Starts a session, unless the one with this id is running.
    void begin(quint64 session);
    // Follows the pointer; answers the action a drop here would take.
    Qt::DropAction update(const QPointF& point);
    // Whether a drop at the point would find a target.
    bool wouldAccept(const QPointF& point) const;
    // Drops the files at the point; false refuses. Ends the session.
    bool accept(const QList<QUrl>& files, const QPointF& point);
    // The drag left the view that showed it. With no pointer, or a pointer
    // outside the bounds, the session ends. With the pointer still inside,
    // the drag either went on to another view of the window (which hands it
    // back at once) or was cancelled there: the session ends unless a drag
    // event arrives before the next turn of the event loop.
    void exited(std::optional<QPointF> pointer);
    void end();

    bool contains(const QPointF& point) const;
    bool inUpperHalf(const QPointF& point) const { return point.y() < m_size.height() / 2; }

private:
    Qt::DropAction follow(const QPointF& point);
    void scheduleHover(HoverAction action, std::function<void()> perform);
    void cancelHover();
    void showTasks();
    void showChoices();
    std::optional<QUuid> taskAt(const QPointF& point) const;
    bool hasTasks() const { return m_callbacks.hasTasks && m_callbacks.hasTasks(); }
    void redraw() const;
    void noteActivity();

    Callbacks m_callbacks;
    std::unique_ptr<DropTiming> m_timing;
    std::unique_ptr<DropTimer> m_hoverTimer;
    std::unique_ptr<DropTimer> m_restTimer;
    std::unique_ptr<DropTimer> m_leaveTimer;

    QSizeF m_size;
    Mode m_mode = Mode::Idle;
    std::optional<QUuid> m_hoveredTask;
    bool m_hoveredUpper = false;
    std::optional<quint64> m_session;
    std::optional<HoverAction> m_hoverAction;
    double m_lastScrollTime = 0;
    QPointF m_lastPoint;
    quint64 m_activity = 0;
};

// Where the overlay draws, in its own coordinates (y downwards).
namespace filedrop {
// The upper or lower pane of the choice, in an overlay of the given size.
QRectF pane(const QSizeF& size, bool upper);
// The highlight around the todo under the pointer.
QRectF taskHighlight(const QRectF& taskRect);
} // namespace filedrop

} // namespace quorrin
