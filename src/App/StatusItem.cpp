#include "App/StatusItem.h"

#include "Platform/SystemAppearance.h"
#include "Platform/TrayHost.h"
#include "Platform/TrayIconLabel.h"
#include "Widgets/NoteIcons.h"
#include "Widgets/StatusReminderDot.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

namespace quorrin {

StatusItem::StatusItem(std::unique_ptr<TrayHost> host, QMenu* menu, QObject* parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_menu(menu)
{
    connect(m_host.get(), &TrayHost::availabilityChanged, this, &StatusItem::trayChanged);
    if (m_host->isAvailable())
        trayChanged(true);
}

StatusItem::~StatusItem()
{
    // The menu belongs to the application's menus, which may go first.
    if (m_icon)
        m_icon->setContextMenu(nullptr);
}

QSystemTrayIcon* StatusItem::icon() const
{
    return m_icon.data();
}

bool StatusItem::isShown() const
{
    return m_icon && m_host->isAvailable();
}

void StatusItem::trayChanged(bool available)
{
    if (available && !m_icon) {
        m_icon = new QSystemTrayIcon(this);
        m_icon->setContextMenu(m_menu);
        applyIndicator();
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger && clicked)
                clicked();
        });
        // Once shown, the tray support itself puts the icon back when a
        // tray that went away returns.
        m_icon->show();
        // Showing it made the window an X tray embeds, if there is one.
        labelTrayIconWindows(m_indicator.accessibleName);
    }
}

void StatusItem::setIndicator(const ReminderIndicator& indicator)
{
    m_indicator = indicator;
    applyIndicator();
}

void StatusItem::applyIndicator()
{
    if (!m_icon || m_indicator == m_shownIndicator)
        return;
    m_shownIndicator = m_indicator;
    StatusReminderDot dot;
    dot.noteColor = m_indicator.dotColor;
    m_icon->setIcon(dot.decorate(NoteIcons::icon(NoteSymbol::NoteText), SystemAppearance::of(QApplication::palette())));
    m_icon->setToolTip(m_indicator.toolTip);
    labelTrayIconWindows(m_indicator.accessibleName);
}

} // namespace quorrin
