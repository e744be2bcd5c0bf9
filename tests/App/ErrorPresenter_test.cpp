#include "App/ErrorPresenter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

namespace quorrin {
namespace {

struct RecordingAlerts final : AlertPresenter {
    QStringList shown;
    void present(const QString& message, const QString&) override { shown << message; }
};

TEST(ErrorPresenter, ShowsOneAlertAtATime)
{
    RecordingAlerts alerts;
    ErrorPresenter presenter(alerts);
    presenter.present(QStringLiteral("first"));
    presenter.present(QStringLiteral("second")); // arrives while the first is pending: dropped
    EXPECT_TRUE(alerts.shown.isEmpty()) << "the alert must not run inside the failing call";
    QCoreApplication::processEvents();
    EXPECT_EQ(alerts.shown, QStringList{QStringLiteral("first")});
    EXPECT_FALSE(presenter.isShowing());

    presenter.present(QStringLiteral("third"));
    QCoreApplication::processEvents();
    EXPECT_EQ(alerts.shown, (QStringList{QStringLiteral("first"), QStringLiteral("third")}));
}

} // namespace
} // namespace quorrin
