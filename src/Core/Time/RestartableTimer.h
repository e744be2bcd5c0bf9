#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

namespace quorrin {

// A single pending action that runs once after a delay; starting it again
// replaces the pending action and restarts the wait. Injected where a delay
// matters so tests can fire it by hand.
class RestartableTimer {
public:
    virtual ~RestartableTimer() = default;

    virtual void start(std::chrono::milliseconds delay, std::function<void()> action) = 0;
    virtual void cancel() = 0;
    virtual bool isPending() const = 0;
};

// The event-loop implementation. Destroying it drops the pending action, so
// an owner that holds its timer never sees the action run after it is gone.
class QtRestartableTimer final : public RestartableTimer {
public:
    QtRestartableTimer()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            std::function<void()> action = std::exchange(m_action, nullptr);
            if (action)
                action();
        });
    }

    void start(std::chrono::milliseconds delay, std::function<void()> action) override
    {
        m_action = std::move(action);
        m_timer.start(delay);
    }
    void cancel() override
    {
        m_timer.stop();
        m_action = nullptr;
    }
    bool isPending() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_action;
};

} // namespace quorrin
