#include "Persistence/StoreFixtures.h"

#include <gtest/gtest.h>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

PersistentFileLink link(const Note& note, int n, const QString& name)
{
    return PersistentFileLink{uuid(500 + n), note.id, std::nullopt, name, QByteArray("bookmark")};
}

TEST(NoteStoreFileLinks, TurningPersistenceOffKeepsNotesThatHeldOnlyLinks)
{
    StoreDirectory directory;
    auto store = directory.open();
    store->setFilePersistence(true);

    Note linksOnly = store->create();
    linksOnly.fileLinks = std::vector<PersistentFileLink>{link(linksOnly, 1, "报告.pdf"), link(linksOnly, 2, "图.png")};
    store->update(linksOnly, true, false);
    Note withText = store->create(AttributedString(QStringLiteral("text")));
    withText.fileLinks = std::vector<PersistentFileLink>{link(withText, 3, "a.txt")};
    store->update(withText, true, false);
    Note deletedLinksOnly = store->create();
    deletedLinksOnly.fileLinks = std::vector<PersistentFileLink>{link(deletedLinksOnly, 4, "旧.doc")};
    deletedLinksOnly.deletedAt = Date{1};
    store->update(deletedLinksOnly, true, false);

    store->setFilePersistence(false);
    store.reset();
    store = directory.open();

    ASSERT_TRUE(store->note(linksOnly.id));
    EXPECT_FALSE(store->note(linksOnly.id)->fileLinks);
    EXPECT_EQ(store->note(linksOnly.id)->customTitle, "报告.pdf、图.png");
    ASSERT_TRUE(store->note(deletedLinksOnly.id));
    EXPECT_EQ(store->note(deletedLinksOnly.id)->customTitle, "旧.doc");
    // A note with content of its own only loses its links.
    EXPECT_FALSE(store->note(withText.id)->fileLinks);
    EXPECT_FALSE(store->note(withText.id)->customTitle);
}

TEST(NoteStoreFileLinks, ALongListOfNamesIsCutToATitle)
{
    StoreDirectory directory;
    auto store = directory.open();
    Note note = store->create();
    std::vector<PersistentFileLink> links;
    for (int n = 0; n < 40; ++n)
        links.push_back(link(note, n, QStringLiteral("文件名称%1.pdf").arg(n)));
    note.fileLinks = links;
    store->update(note, true, false);
    store->setFilePersistence(false);
    EXPECT_EQ(store->note(note.id)->customTitle->size(), 120);
}

} // namespace
