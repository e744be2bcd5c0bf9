#include "Editor/NoteStoreBinding.h"

#include "Persistence/StoreFixtures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(NoteStoreBindingTest, FollowsOnlyPlainNamesInsideTheAttachmentsFolderAndNoLinks)
{
    testing::StoreDirectory data;
    std::unique_ptr<NoteStore> store = data.open();
    const QString folder = data.file(NoteStore::attachmentsDirectoryName);
    QDir().mkpath(folder);
    testing::writeBytes(folder + QStringLiteral("/real.png"), "x");
    QFile::link(folder + QStringLiteral("/real.png"), folder + QStringLiteral("/link.png"));
    NoteStoreBinding binding(*store);

    const auto pathOf = [&](const QString& name) {
        Attachment attachment;
        attachment.relativePath = name;
        return binding.attachmentPath(attachment);
    };
    EXPECT_EQ(pathOf(QStringLiteral("real.png")), folder + QStringLiteral("/real.png"));
    // A missing file still has its place; whoever opens it finds it missing.
    EXPECT_EQ(pathOf(QStringLiteral("gone.png")), folder + QStringLiteral("/gone.png"));
    for (const QString& name : {QStringLiteral("link.png"), QStringLiteral("../Notes.sqlite"), QStringLiteral(".."),
                                QStringLiteral("a/b.png"), QString()})
        EXPECT_TRUE(pathOf(name).isEmpty()) << name.toStdString();
}

TEST(NoteStoreBindingTest, AnUpdateAnswersWithItsOwnFailureAndNotWithAnOlderOne)
{
    testing::StoreDirectory data;
    std::unique_ptr<NoteStore> store = data.open();
    NoteStoreBinding binding(*store);
    const Note note = store->create();

    data.breakSaving();
    EXPECT_TRUE(binding.update(note, true, false).has_value());
    // The store keeps that error; an update that saves nothing did not fail.
    ASSERT_TRUE(store->lastError());
    EXPECT_FALSE(binding.update(note, false, false).has_value());
}

} // namespace
} // namespace quorrin
