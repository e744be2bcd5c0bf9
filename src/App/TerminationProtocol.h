#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace quorrin {

// Decides whether the application may quit: ends moves, commits pending
// input, saves, then waits a bounded time for the reminder schedule to match
// the saved todos. Every way of quitting (menu, signals, session end) goes
// through here.
class TerminationProtocol {
public:
    enum class Reply { Now, Cancel, Later };

    static constexpr int reminderFlushLimitMs = 8000;
    static inline const QString flushTimeoutMessage =
        QStringLiteral("系统通知核对尚未完成，已取消退出，请稍后重试。");

    struct Steps {
        bool startupFailed = false;
        bool hasStore = false;
        std::function<void()> finishMove;
        std::function<void()> commitPendingInput;
        // Saves the store; false when it failed (the failure has been reported).
        std::function<bool()> save;
        // Asks the reminder coordinator for one reconciliation; empty when there
        // is no coordinator.
        std::function<void(std::function<void()> done)> flushReminders;
        // Runs the callback after the delay on the event loop.
        std::function<void(int delayMs, std::function<void()> callback)> schedule;
        // The late answer for a Reply::Later: true = quit now, false = keep running.
        std::function<void(bool terminate)> replyLater;
        std::function<void(const QString& message)> reportError;
    };

    static Reply run(const Steps& steps);
};

} // namespace quorrin
