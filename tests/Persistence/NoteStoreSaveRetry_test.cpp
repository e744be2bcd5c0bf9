#include "StoreFixtures.h"

#include "Support/SmallFileSystem.h"

#include <gtest/gtest.h>

using namespace quorrin;
using namespace quorrin::testing;
using namespace std::chrono_literals;

namespace {

TEST(SaveRetryBackoff, DoublesFromOneSecondUpToAMinuteAndStartsOverAfterASuccess)
{
    SaveRetryBackoff backoff;
    const std::chrono::milliseconds expected[] = {1s, 2s, 4s, 8s, 16s, 32s, 60s, 60s};
    for (const std::chrono::milliseconds wait : expected)
        EXPECT_EQ(backoff.next(), wait);
    backoff.reset();
    EXPECT_EQ(backoff.next(), 1s);
}

// A store in a data directory on a file system of its own, so the disk can
// really fill up under it.
class FullDiskSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!disk.isMounted())
            GTEST_SKIP() << "cannot mount a small file system here";
        store = openStore();
        store->setOnError([this](std::exception_ptr error) { errors << describeError(error); });
        QObject::connect(store.get(), &NoteStore::unsavedChangesSaved, [this] { ++savedAgain; });
        note = store->create();
    }

    std::unique_ptr<NoteStore> openStore()
    {
        NoteStoreServices services;
        services.clock = [] { return Date{700000500}; };
        auto owned = [](FakeTimer*& raw) {
            auto timer = std::make_unique<FakeTimer>();
            raw = timer.get();
            return timer;
        };
        services.saveTimer = owned(timer);
        services.saveDeadlineTimer = owned(deadline);
        services.saveRetryTimer = owned(retry);
        return std::make_unique<NoteStore>(disk.path() + QStringLiteral("/data"), false, std::move(services));
    }

    // Types text into the note as the editor does and lets the quiet period end.
    void type(const QString& text)
    {
        note.blocks.front().text = RichText(text, TextFont::system(14));
        store->update(note, false, false);
        timer->fire();
    }

    QString storedText()
    {
        store.reset();
        store = openStore();
        const std::optional<Note> reopened = store->note(note.id);
        return reopened ? reopened->blocks.front().text.attributed().string() : QString();
    }

    SmallFileSystem disk{1024};
    std::unique_ptr<NoteStore> store;
    FakeTimer* timer = nullptr;
    FakeTimer* deadline = nullptr;
    FakeTimer* retry = nullptr;
    Note note;
    QStringList errors;
    int savedAgain = 0;
};

TEST_F(FullDiskSave, KeepsTryingWithGrowingWaitsAndSavesOnceSpaceIsFree)
{
    type(QStringLiteral("before the disk filled"));
    ASSERT_TRUE(errors.isEmpty());
    DiskFiller filler(disk.path() + QStringLiteral("/filler"));

    const QString typed = QStringLiteral("typed on a full disk ") + QString(20000, u'x');
    type(typed);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.front(),
              QStringLiteral("磁盘空间不足，便笺未能保存。内容仍保留在便笺中，腾出磁盘空间后会自动保存。"));
    EXPECT_EQ(store->note(note.id)->blocks.front().text.attributed().string(), typed);

    // Every attempt that fails again waits longer, silently; typing on is
    // not told again either.
    for (const std::chrono::milliseconds wait : {1000ms, 2000ms, 4000ms}) {
        ASSERT_TRUE(store->isRetryingSave());
        EXPECT_EQ(retry->lastDelay, wait);
        retry->fire();
    }
    const QString more = typed + QStringLiteral(" and more");
    type(more);
    EXPECT_EQ(retry->lastDelay, 16000ms);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(store->lastError());
    EXPECT_EQ(savedAgain, 0);

    filler.release();
    retry->fire();
    EXPECT_FALSE(store->isRetryingSave());
    EXPECT_FALSE(store->lastError());
    EXPECT_EQ(savedAgain, 1);
    type(more + QStringLiteral("!")); // an ordinary save after that recovers nothing
    EXPECT_EQ(savedAgain, 1);
    EXPECT_EQ(storedText(), more + QStringLiteral("!"));
}

TEST_F(FullDiskSave, TheUserActingTriesAtOnceAndAFailureAfterASuccessIsToldAgain)
{
    DiskFiller filler(disk.path() + QStringLiteral("/filler"));
    type(QString(20000, u'a'));
    ASSERT_EQ(errors.size(), 1);
    ASSERT_TRUE(store->isRetryingSave());

    store->retrySaveNow(); // still full: nothing more is said
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(retry->lastDelay, 2000ms);

    filler.release();
    store->retrySaveNow();
    EXPECT_FALSE(store->isRetryingSave());
    store->retrySaveNow(); // nothing waiting: nothing happens
    EXPECT_EQ(retry->starts, 2);

    DiskFiller again(disk.path() + QStringLiteral("/filler"));
    type(QString(40000, u'b'));
    EXPECT_EQ(errors.size(), 2);
    EXPECT_EQ(retry->lastDelay, 1000ms);
    again.release();
    retry->fire();
    EXPECT_EQ(storedText(), QString(40000, u'b'));
}

} // namespace
