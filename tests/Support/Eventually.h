#pragma once

#include <QDeadlineTimer>
#include <QTest>

#include <chrono>

namespace quorrin::testing {

// Runs the event loop until `condition` holds or `timeout` has passed, and
// says whether it held: a bounded poll for EXPECT_TRUE or ASSERT_TRUE.
// (QtTest's QTRY_ macros only ever report to QtTest: a condition that never
// comes true would end a GoogleTest case early, and as passed.)
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    const QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

} // namespace quorrin::testing
