#pragma once

#include "Features/FileShelf/FileDropFlow.h"

#include <limits>
#include <memory>
#include <vector>

namespace quorrin::test {

// A clock that moves only when told, and timers that fire as it passes
// their time.
class FakeDropTiming final : public DropTiming {
public:
    struct Pending {
        double due = 0;
        std::function<void()> fire;
        bool active = false;
    };

    class Timer final : public DropTimer {
    public:
        Timer(FakeDropTiming& owner, std::shared_ptr<Pending> slot)
            : m_owner(owner)
            , m_slot(std::move(slot))
        {
        }
        void start(double seconds, std::function<void()> fire) override
        {
            *m_slot = Pending{*m_owner.now + seconds, std::move(fire), true};
        }
        void stop() override { *m_slot = Pending{}; }

    private:
        FakeDropTiming& m_owner;
        std::shared_ptr<Pending> m_slot;
    };

    // Shared with the test after the flow took the timing.
    std::shared_ptr<double> now = std::make_shared<double>(1000);
    std::shared_ptr<std::vector<std::shared_ptr<Pending>>> slots =
        std::make_shared<std::vector<std::shared_ptr<Pending>>>();

    double uptime() const override { return *now; }
    std::unique_ptr<DropTimer> makeTimer() override
    {
        slots->push_back(std::make_shared<Pending>());
        return std::make_unique<Timer>(*this, slots->back());
    }
};

// The test's handle on a timing handed to a flow.
struct DropClock {
    std::shared_ptr<double> now;
    std::shared_ptr<std::vector<std::shared_ptr<FakeDropTiming::Pending>>> slots;

    // Moves the clock on, firing every timer that falls due on the way, in
    // the order of their times.
    void advance(double seconds)
    {
        const double end = *now + seconds;
        for (;;) {
            std::shared_ptr<FakeDropTiming::Pending> next;
            for (const auto& slot : *slots) {
                if (slot->active && slot->due <= end + 1e-9 && (!next || slot->due < next->due))
                    next = slot;
            }
            if (!next)
                break;
            *now = std::max(*now, next->due);
            std::function<void()> fire = std::move(next->fire);
            *next = FakeDropTiming::Pending{};
            fire();
        }
        *now = end;
    }
};

inline std::pair<std::unique_ptr<FakeDropTiming>, DropClock> fakeDropTiming()
{
    auto timing = std::make_unique<FakeDropTiming>();
    DropClock clock{timing->now, timing->slots};
    return {std::move(timing), clock};
}

} // namespace quorrin::test
