#pragma once

#include "Platform/TrayHost.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>

namespace quorrin {

// A system tray on the X server: a client owning the `_NET_SYSTEM_TRAY_S<n>`
// selection of the screen. A tray that starts announces itself with a
// MANAGER message on the root window; one that ends destroys the window that
// owns the selection. Never available on other platforms.
class XEmbedTrayHost final : public TrayHost, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit XEmbedTrayHost(QObject* parent = nullptr);
    ~XEmbedTrayHost() override;

    bool isAvailable() const override { return m_owner != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // Reads the selection's owner again and follows it.
    void refresh();

    std::uint32_t m_selection = 0;
    std::uint32_t m_managerAtom = 0;
    std::uint32_t m_owner = 0;
    bool m_watching = false;
};

} // namespace quorrin
