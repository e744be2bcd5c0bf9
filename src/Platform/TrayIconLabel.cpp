#include "Platform/TrayIconLabel.h"

#include <QApplication>
#include <QWidget>

namespace quorrin {

void labelTrayIconWindows(const QString& label)
{
    // Qt's name for the widget that embeds a tray icon under X11.
    static const QString trayIconWidget = QStringLiteral("QSystemTrayIconSys");
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() != trayIconWidget)
            continue;
        window->setWindowTitle(label);
        window->setAccessibleName(label);
    }
}

} // namespace quorrin
