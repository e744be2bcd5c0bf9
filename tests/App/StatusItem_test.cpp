#include "App/StatusItem.h"

#include "Support/FakeTrayHost.h"

#include <QMenu>
#include <QWidget>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

// Under X the icon is a window that the tray embeds; it carries the icon's
// accessible label as its name, and follows it.
TEST(StatusItem, TheEmbeddedTrayWindowIsNamedByTheAccessibleLabel)
{
    // Stands in for the window Qt makes for an X tray (none offscreen).
    QWidget trayWindow;
    trayWindow.setObjectName(QStringLiteral("QSystemTrayIconSys"));
    QMenu menu;
    StatusItem item(std::make_unique<testing::FakeTrayHost>(true), &menu);

    item.setIndicator(reminderIndicator({ReminderAlarmCenter::Alarm{}}));
    EXPECT_EQ(trayWindow.windowTitle(), QStringLiteral("Quorrin，有待办提醒到时间"));
    EXPECT_EQ(trayWindow.accessibleName(), QStringLiteral("Quorrin，有待办提醒到时间"));

    item.setIndicator(reminderIndicator({}));
    EXPECT_EQ(trayWindow.windowTitle(), QStringLiteral("Quorrin"));
    EXPECT_EQ(trayWindow.accessibleName(), QStringLiteral("Quorrin"));
}

} // namespace
} // namespace quorrin
