#include "Desktop/DesktopTest.h"

#include "Support/SmallFileSystem.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// The data directory lies on a small file system of the case's own, which
// the case fills while the user types.
class FullDisk : public DesktopTest {
protected:
    void prepare(QuorrinApp& app) override
    {
        if (m_disk.isMounted())
            app.setDataDirectory(m_disk.path() + QStringLiteral("/data"));
    }

    testing::SmallFileSystem m_disk{2048};
};

TEST_F(FullDisk, TypingGoesOnIntoTheNoteWhileAFailedSaveIsToldAndTheNoticeSaysWhenAllIsSaved)
{
    if (!m_disk.isMounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("before the disk filled"));
    const std::vector<WindowId> shown = app().windows(); // the note and its format bar

    testing::DiskFiller filler(m_disk.path() + QStringLiteral("/filler"));
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    ASSERT_TRUE(input().type(QStringLiteral("typed as it filled")));
    const WindowId told = waitForOtherWindow(shown);
    ASSERT_NE(told, 0u) << "the failed save was not told";
    // Typing goes on without a pause: the keys that would close an alert
    // unseen too.
    ASSERT_TRUE(input().type(QStringLiteral(" and on after ")));
    ASSERT_TRUE(input().key(QStringLiteral("Return")));
    ASSERT_TRUE(input().type(QStringLiteral("the next line")));
    EXPECT_EQ(x().activeWindow(), note) << "active: " << describe(x().activeWindow()).toStdString();
    EXPECT_TRUE(x().viewable(told)) << "the notice went before it was read";
    EXPECT_EQ(x().name(told), QStringLiteral("便笺未能保存"));

    filler.release();
    ASSERT_TRUE(input().type(QStringLiteral(" with room")));
    const QStringList typed{QStringLiteral("before the disk filled"), QStringLiteral("typed as it filled and on after "),
                            QStringLiteral("the next line with room")};
    EXPECT_TRUE(waitForStored(id, [&](const Note& stored) { return blockTexts(stored) == typed; }, 20s))
        << "stored: " << (stored(id) ? blockTexts(*stored(id)).join(u'|').toStdString() : std::string("no row"));
    EXPECT_TRUE(waitFor([&] { return x().name(told) == QStringLiteral("便笺已保存"); }))
        << "the notice never said the text was saved: " << describe(told).toStdString();
    EXPECT_TRUE(x().viewable(told));
    EXPECT_EQ(x().activeWindow(), note);
}

} // namespace
} // namespace quorrin::desktop
