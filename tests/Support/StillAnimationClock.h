#pragma once

#include <QAnimationDriver>

namespace quorrin::testing {

// Stands Qt's animation clock still while it lives: animations never advance
// on their own, only to the times a test sets, however long the machine takes
// between two steps.
class StillAnimationClock final : public QAnimationDriver {
public:
    StillAnimationClock() { install(); }
    ~StillAnimationClock() override { uninstall(); }
    StillAnimationClock(const StillAnimationClock&) = delete;
    StillAnimationClock& operator=(const StillAnimationClock&) = delete;

    qint64 elapsed() const override { return 0; }
};

} // namespace quorrin::testing
