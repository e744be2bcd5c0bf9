#pragma once

#include "Platform/TrayHost.h"

namespace quorrin::testing {

// A tray that comes and goes when the test says so.
class FakeTrayHost final : public TrayHost {
public:
    explicit FakeTrayHost(bool available = false)
        : m_available(available)
    {
    }

    bool isAvailable() const override { return m_available; }

    void setAvailable(bool available)
    {
        if (available == m_available)
            return;
        m_available = available;
        Q_EMIT availabilityChanged(available);
    }

private:
    bool m_available;
};

} // namespace quorrin::testing
