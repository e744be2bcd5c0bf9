#pragma once

#include "Platform/TrayHost.h"

#include <memory>
#include <vector>

namespace quorrin {

// A tray is there when any of the ways a desktop offers one is there.
class AnyTrayHost final : public TrayHost {
    Q_OBJECT
public:
    explicit AnyTrayHost(std::vector<std::unique_ptr<TrayHost>> hosts, QObject* parent = nullptr);
    ~AnyTrayHost() override;

    bool isAvailable() const override { return m_available; }

private:
    void update();

    std::vector<std::unique_ptr<TrayHost>> m_hosts;
    bool m_available = false;
};

// The desktop's trays: a StatusNotifier host on the session bus, or a system
// tray on the X server.
std::unique_ptr<TrayHost> makeDesktopTrayHost();

} // namespace quorrin
