#include "App/SaveFailureNotice.h"

#include "RecordingAlerts.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using testing::RecordingNotices;

class SaveFailureNoticeTest : public ::testing::Test {
protected:
    RecordingNotices notices;
    SaveFailureNotice notice{notices};
    int retries = 0;

    void SetUp() override { notice.onClosedUnsaved = [this] { ++retries; }; }
};

TEST_F(SaveFailureNoticeTest, TheNoticeSaysWhenTheChangesAreSavedAndOnlyThen)
{
    notice.saved(); // nothing had failed: nothing to tell
    EXPECT_TRUE(notices.titles.isEmpty());

    notice.failed(QStringLiteral("磁盘空间不足"));
    notice.saved();
    notice.saved();
    EXPECT_EQ(notices.titles, (QStringList{SaveFailureNotice::failedTitle, SaveFailureNotice::savedTitle}));
    EXPECT_EQ(notices.messages, (QStringList{QStringLiteral("磁盘空间不足"), SaveFailureNotice::savedMessage}));

    notices.close(); // read and closed: no attempt is due
    EXPECT_EQ(retries, 0);
    notice.saved();
    EXPECT_EQ(notices.titles.size(), 2);
}

TEST_F(SaveFailureNoticeTest, ClosingItUnsavedTriesAgainAndALaterSaveIsToldOnceMore)
{
    notice.failed(QStringLiteral("磁盘空间不足"));
    notices.close();
    EXPECT_EQ(retries, 1);
    EXPECT_FALSE(notices.shown);

    notice.saved();
    EXPECT_TRUE(notices.shown);
    EXPECT_EQ(notices.titles.last(), SaveFailureNotice::savedTitle);

    // Failing again after the saved notice tells the failure again.
    notice.failed(QStringLiteral("便笺未能保存"));
    EXPECT_EQ(notices.titles.last(), SaveFailureNotice::failedTitle);
    notices.close();
    EXPECT_EQ(retries, 2);
}

} // namespace
} // namespace quorrin
