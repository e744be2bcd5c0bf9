#include "App/ErrorPresenter.h"

#include "RecordingAlerts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

namespace quorrin {
namespace {

using testing::RecordingAlerts;

void runTurns()
{
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
}

TEST(ErrorPresenter, ErrorsArrivingWhileAnAlertIsUpAreShownInTurnAndRepeatsOnlyOnce)
{
    RecordingAlerts alerts;
    ErrorPresenter presenter(alerts);
    int dismissed = 0;
    presenter.onDismissed = [&] { ++dismissed; };
    // Two failures arrive while the first alert is on screen, each twice,
    // and the one on screen once more.
    alerts.whilePresented = [&] {
        if (alerts.messages.size() != 1)
            return;
        for (const char* message : {"second", "third", "second", "first", "third"})
            presenter.present(QString::fromUtf8(message));
    };

    presenter.present(QStringLiteral("first"));
    presenter.present(QStringLiteral("first")); // still waiting: the same alert
    EXPECT_TRUE(alerts.messages.isEmpty()) << "the alert must not run inside the failing call";
    EXPECT_TRUE(presenter.isShowing());
    runTurns();

    EXPECT_EQ(alerts.messages, (QStringList{"first", "second", "third"}));
    EXPECT_EQ(dismissed, 3);
    EXPECT_FALSE(presenter.isShowing());

    // Once closed, the same failure is shown again when it happens again.
    presenter.present(QStringLiteral("first"));
    runTurns();
    EXPECT_EQ(alerts.messages, (QStringList{"first", "second", "third", "first"}));
}

} // namespace
} // namespace quorrin
