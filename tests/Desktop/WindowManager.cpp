#include "Desktop/WindowManager.h"

namespace quorrin::desktop {

namespace {

// Every compositor gets the size of the Xvfb screen.
const QString width = QStringLiteral("1920");
const QString height = QStringLiteral("1080");

// KWin snaps a moved window to the edges of the screen and of other windows
// (a note's own format bar among them) within ten pixels: a move lands where
// the pointer takes it only without.
const QString kwinSettings = QStringLiteral("[Windows]\nBorderSnapZone=0\nWindowSnapZone=0\nCenterSnapZone=0\n");

} // namespace

QString WindowManager::chosenName()
{
    const QString name = qEnvironmentVariable("QUORRIN_DESKTOP_WM");
    return name.isEmpty() ? QStringLiteral("openbox") : name;
}

std::optional<WindowManager> WindowManager::chosen()
{
    return named(chosenName());
}

std::optional<WindowManager> WindowManager::named(const QString& name)
{
    WindowManager manager;
    manager.name = name;
    if (name == QLatin1String("openbox")) {
        manager.program = name;
        manager.arguments = {QStringLiteral("--sm-disable")};
    } else if (name == QLatin1String("mutter")) {
        manager.program = name;
        manager.arguments = {QStringLiteral("--x11"), QStringLiteral("--replace"), QStringLiteral("--sm-disable")};
        manager.busName = QStringLiteral("org.gnome.Mutter.DisplayConfig");
        manager.moveModifier = QStringLiteral("super");
    } else if (name == QLatin1String("kwin_x11")) {
        manager.program = name;
        manager.arguments = {QStringLiteral("--replace")};
        manager.busName = QStringLiteral("org.kde.KWin");
        manager.moveModifier = QStringLiteral("super");
        manager.settingsFile = QStringLiteral("kwinrc");
        manager.settings = kwinSettings;
    } else if (name == QLatin1String("xfwm4")) {
        manager.program = name;
        manager.arguments = {QStringLiteral("--replace")};
    } else if (name == QLatin1String("mutter-wayland")) {
        manager.program = QStringLiteral("mutter");
        manager.arguments = {QStringLiteral("--wayland"), QStringLiteral("--headless"),
                             QStringLiteral("--virtual-monitor"), width + QLatin1Char('x') + height,
                             QStringLiteral("--wayland-display"), QStringLiteral("wayland-quorrin")};
        manager.wayland = true;
        manager.busName = QStringLiteral("org.gnome.Mutter.DisplayConfig");
        manager.moveModifier = QStringLiteral("super");
    } else if (name == QLatin1String("kwin-wayland")) {
        manager.program = QStringLiteral("kwin_wayland");
        manager.arguments = {QStringLiteral("--virtual"), QStringLiteral("--xwayland"),
                             QStringLiteral("--no-lockscreen"), QStringLiteral("--width"), width,
                             QStringLiteral("--height"), height, QStringLiteral("--socket"),
                             QStringLiteral("wayland-quorrin")};
        manager.wayland = true;
        manager.busName = QStringLiteral("org.kde.KWin");
        manager.moveModifier = QStringLiteral("super");
        manager.settingsFile = QStringLiteral("kwinrc");
        manager.settings = kwinSettings;
    } else {
        return std::nullopt;
    }
    return manager;
}

QStringList WindowManager::argumentsRunning(const QStringList& command) const
{
    // mutter runs what follows "--"; kwin_wayland runs each further argument
    // as a command line of its own (the command's words hold no spaces).
    if (program == QLatin1String("kwin_wayland"))
        return arguments + QStringList{command.join(u' ')};
    return arguments + QStringList{QStringLiteral("--")} + command;
}

} // namespace quorrin::desktop
