#include "Platform/DesktopTrayHost.h"

#include "Platform/StatusNotifierTrayHost.h"
#include "Platform/XEmbedTrayHost.h"

#include <algorithm>

namespace quorrin {

AnyTrayHost::AnyTrayHost(std::vector<std::unique_ptr<TrayHost>> hosts, QObject* parent)
    : TrayHost(parent)
    , m_hosts(std::move(hosts))
{
    for (const std::unique_ptr<TrayHost>& host : m_hosts)
        connect(host.get(), &TrayHost::availabilityChanged, this, &AnyTrayHost::update);
    m_available = std::any_of(m_hosts.begin(), m_hosts.end(), [](const auto& host) { return host->isAvailable(); });
}

AnyTrayHost::~AnyTrayHost() = default;

void AnyTrayHost::update()
{
    const bool available =
        std::any_of(m_hosts.begin(), m_hosts.end(), [](const auto& host) { return host->isAvailable(); });
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availabilityChanged(available);
}

std::unique_ptr<TrayHost> makeDesktopTrayHost()
{
    std::vector<std::unique_ptr<TrayHost>> hosts;
    hosts.push_back(std::make_unique<StatusNotifierTrayHost>());
    hosts.push_back(std::make_unique<XEmbedTrayHost>());
    return std::make_unique<AnyTrayHost>(std::move(hosts));
}

} // namespace quorrin
