#pragma once

#include "Core/Time/RestartableTimer.h"

#include <chrono>
#include <functional>
#include <utility>

namespace quorrin {

// A timer the test fires by hand; it remembers the last delay it was started
// with and how often it was started.
class ManualRestartableTimer final : public RestartableTimer {
public:
    void start(std::chrono::milliseconds delay, std::function<void()> action) override
    {
        lastDelay = delay;
        ++starts;
        m_action = std::move(action);
    }
    void cancel() override { m_action = nullptr; }
    bool isPending() const override { return bool(m_action); }
    void fire()
    {
        auto action = std::exchange(m_action, nullptr);
        if (action)
            action();
    }

    std::chrono::milliseconds lastDelay{0};
    int starts = 0;

private:
    std::function<void()> m_action;
};

} // namespace quorrin
