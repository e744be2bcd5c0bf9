#include "App/TerminationProtocol.h"

namespace quorrin {

TerminationProtocol::Reply TerminationProtocol::run(const Steps& steps)
{
    if (steps.startupFailed || !steps.hasStore)
        return Reply::Now;
    if (steps.finishMove)
        steps.finishMove();
    if (steps.commitPendingInput)
        steps.commitPendingInput();
    if (steps.save && !steps.save())
        return Reply::Cancel;
    if (!steps.flushReminders)
        return Reply::Now;

    // Whichever of the flush and the time-out comes first answers; the other
    // finds the flag set and does nothing.
    auto answered = std::make_shared<bool>(false);
    steps.flushReminders([answered, replyLater = steps.replyLater] {
        if (*answered)
            return;
        *answered = true;
        replyLater(true);
    });
    if (!*answered) {
        steps.schedule(reminderFlushLimitMs, [answered, replyLater = steps.replyLater, report = steps.reportError] {
            if (*answered)
                return;
            *answered = true;
            replyLater(false);
            report(flushTimeoutMessage);
        });
    }
    return Reply::Later;
}

} // namespace quorrin
