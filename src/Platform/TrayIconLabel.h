#pragma once

#include <QString>

namespace quorrin {

// Gives the status icon's window in an X system tray the icon's accessible
// label. The tray protocol there (XEmbed) carries no title of its own: the
// window's name (_NET_WM_NAME, WM_NAME) and its accessible name are what
// trays, their proxies and assistive tools read. Qt makes that window itself,
// as a top-level widget of its own class; there is none while no such tray
// is there, nor when the icon reaches a tray over the session bus
// (StatusNotifierItem, whose Title Qt answers with the application's name).
void labelTrayIconWindows(const QString& label);

} // namespace quorrin
