#pragma once

#include "App/ReminderIndication.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

namespace quorrin {

class TrayHost;

// The application's icon in the desktop's tray; a click or the context menu
// opens the status menu. The icon is made the first time a tray is there:
// the desktop's tray support decides once, when an icon is made, how it
// reaches a tray, so an icon made before the panel started would never show.
// Until then, and whenever the tray goes away, `isShown()` says no and the
// status menu's commands need another home.
class StatusItem final : public QObject {
    Q_OBJECT
public:
    StatusItem(std::unique_ptr<TrayHost> host, QMenu* menu, QObject* parent = nullptr);
    ~StatusItem() override;

    // Whether a tray shows the icon now.
    bool isShown() const;
    // The icon; none before a tray was first there.
    QSystemTrayIcon* icon() const;

    // The ringing reminders' dot and tool tip, kept for an icon made later.
    void setIndicator(const ReminderIndicator& indicator);

    // The icon was clicked.
    std::function<void()> clicked;

private:
    void trayChanged(bool available);
    void applyIndicator();

    std::unique_ptr<TrayHost> m_host;
    QPointer<QMenu> m_menu;
    QPointer<QSystemTrayIcon> m_icon;
    ReminderIndicator m_indicator;
    std::optional<ReminderIndicator> m_shownIndicator;
};

} // namespace quorrin
