#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace quorrin::desktop {

// Polls the condition until it holds or the time is up; returns whether it
// held. Conditions are cheap questions to the X server, the bus log or the
// store, so a short interval keeps the suite quick without busy-waiting.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(10000),
                    std::chrono::milliseconds interval = std::chrono::milliseconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}

} // namespace quorrin::desktop
