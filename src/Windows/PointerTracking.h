#pragma once

#include <QObject>
#include <QPointF>

#include <functional>

namespace quorrin {

// Follows the pointer from a left mouse-down until the button goes up: every
// mouse move, the release and Escape are taken from the application's events
// (whichever widget or window they were meant for) and handed to the
// callbacks instead. Pointer locations are model screen points.
//
// Moves and releases older than the mouse-down are stale and dropped. A move
// that arrives with the left button no longer held, or the pointer grab
// going to another window, ends the session as Escape does (the release was
// lost). Keys other than Escape are swallowed while the session runs. Main thread only; one session at a time per object.
class PointerTracking final : public QObject {
    Q_OBJECT

public:
    std::function<void(QPointF point)> onMove;
    std::function<void(QPointF point)> onRelease;
    std::function<void()> onCancel;

    explicit PointerTracking(QObject* parent = nullptr);
    ~PointerTracking() override;

    PointerTracking(const PointerTracking&) = delete;
    PointerTracking& operator=(const PointerTracking&) = delete;

    // Starts following; `mouseDownTimestamp` in milliseconds, as events carry.
    void start(quint64 mouseDownTimestamp);
    // Stops following without calling anything.
    void stop();
    bool isActive() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    quint64 m_mouseDown = 0;
    bool m_active = false;
};

} // namespace quorrin
