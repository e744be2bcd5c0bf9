#include "Features/Panels/LibraryModel.h"
#include "Features/Panels/LibraryView.h"

#include "Features/Panels/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>

namespace quorrin {
namespace {

using testing::PanelStore;
using testing::uuid;

class LibraryTest : public ::testing::Test, protected PanelStore {
protected:
    const QTimeZone berlin{"Europe/Berlin"};
    const Date now = Date::fromDateTime(QDateTime(QDate(2026, 3, 1), QTime(12, 0), QTimeZone::utc()));

    Note archived(Note note, int blockIndex)
    {
        note.blocks[size_t(blockIndex)].todo->archivedAt = now;
        store->update(note, true, true);
        return *store->note(note.id);
    }

    Note deleted(Note note, Date when)
    {
        note.deletedAt = when;
        note.deletionIsExplicit = true;
        note.isHidden = true;
        store->update(note, true, true);
        return *store->note(note.id);
    }
};

TEST_F(LibraryTest, PriorityLabelsClampToTheFourLevels)
{
    const std::vector<std::pair<qint64, QString>> labels = {
        {-3, "紧急"}, {0, "紧急"}, {1, "紧急"}, {2, "高"}, {3, "中"}, {4, "低"}, {9, "低"}};
    for (const auto& [priority, label] : labels)
        EXPECT_EQ(Library::priorityLabel(priority), label) << priority;
}

TEST_F(LibraryTest, ArchiveRowsListArchivedTodosOfLiveNotesInStoreOrder)
{
    Note first = add({PanelStore::todo("open", 1), PanelStore::todo("first done", 2, {}, 1),
                      PanelStore::todo("", 3, {}, 0)},
                     "购物");
    first = archived(archived(first, 1), 2);
    Note second = add({PanelStore::todo("  ", 4, {}, 9)});
    second = archived(second, 0);
    Note gone = add({PanelStore::todo("in the bin", 5)});
    gone = deleted(archived(gone, 0), now);

    Block unreadable = PanelStore::todo("x", 6);
    unreadable.text = RichText::fromRtf("not rtf");
    Note third = add({unreadable});
    third = archived(third, 0);

    const std::vector<ArchiveRow> rows = Library::archiveRows(store->notes());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (ArchiveRow{first.id, uuid(2), "first done", "购物 · 紧急"}));
    EXPECT_EQ(rows[1], (ArchiveRow{first.id, uuid(3), "无标题待办", "购物 · 紧急"}));
    EXPECT_EQ(rows[2], (ArchiveRow{second.id, uuid(4), "  ", "未命名便笺 · 低"}));
    EXPECT_EQ(rows[3].text, "无标题待办");
}

TEST_F(LibraryTest, TrashRowsShowTheLocalDeletionDayOrToday)
{
    Note dated = deleted(add({PanelStore::paragraph("a", 1)}, "旧"),
                         Date::fromDateTime(QDateTime(QDate(2026, 1, 31), QTime(23, 30), QTimeZone::utc())));
    // A date beyond what the calendar can show counts as none.
    Note undated = deleted(add({PanelStore::paragraph("b", 2)}), Date{1e300});
    // A note without deletedAt is live even when hidden.
    Note hidden = add({PanelStore::paragraph("c", 3)});
    hidden.isHidden = true;
    store->update(hidden, true, true);

    const std::vector<TrashRow> rows = Library::trashRows(store->notes(), now, berlin);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (TrashRow{dated.id, "旧", QDate(2026, 2, 1)}));
    EXPECT_EQ(rows[1], (TrashRow{undated.id, "未命名便笺", QDate(2026, 3, 1)}));
    EXPECT_EQ(LibraryView::dateText(QDate(2026, 2, 1)), "2026年2月1日");
}

TEST_F(LibraryTest, RestoringANoteBringsItBackSavedAndOpensIt)
{
    Note note = deleted(add({PanelStore::paragraph("keep me", 1)}), now);
    LibraryModel model(*store);
    std::vector<std::pair<QUuid, std::optional<QUuid>>> opened;
    LibraryView view(model, true, [&](const QUuid& id, std::optional<QUuid> block) { opened.emplace_back(id, block); },
                     [this] { return now; }, berlin);
    ASSERT_EQ(view.trashRows().size(), 1u);

    view.findChild<QPushButton*>()->click();

    const Note restored = *store->note(note.id);
    EXPECT_FALSE(restored.deletedAt);
    EXPECT_FALSE(restored.deletionIsExplicit);
    EXPECT_FALSE(restored.isHidden);
    EXPECT_TRUE(view.trashRows().empty()); // the list followed the store's announcement
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, note.id);
    EXPECT_FALSE(opened[0].second);
    // Saved: a store opened afresh has it live.
    store.reset();
    store = directory.open();
    EXPECT_FALSE(store->note(note.id)->deletedAt);
}

TEST_F(LibraryTest, RestoringATodoKeepsItsStateAndOpensItsBlock)
{
    Note note = add({PanelStore::todo("done", 1, "备注", 2)});
    note.blocks[0].todo->isCompleted = true;
    store->update(note, true, true);
    note = archived(*store->note(note.id), 0);
    LibraryModel model(*store);
    std::vector<std::pair<QUuid, std::optional<QUuid>>> opened;
    LibraryView view(model, false, [&](const QUuid& id, std::optional<QUuid> block) { opened.emplace_back(id, block); });
    ASSERT_EQ(view.archiveRows().size(), 1u);

    view.restore(view.archiveRows().front());

    const TodoMetadata todo = *store->note(note.id)->blocks[0].todo;
    EXPECT_FALSE(todo.archivedAt);
    EXPECT_TRUE(todo.isCompleted);
    EXPECT_EQ(todo.priority, 2);
    EXPECT_EQ(todo.notes, note.blocks[0].todo->notes);
    EXPECT_TRUE(view.archiveRows().empty());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].second, uuid(1));
}

TEST_F(LibraryTest, AVanishedNoteStillOpensAndChangesNothing)
{
    LibraryModel model(*store);
    int opened = 0;
    LibraryView view(model, true, [&](const QUuid&, std::optional<QUuid>) { ++opened; });
    view.restore(TrashRow{uuid(77), "x", QDate(2026, 1, 1)});
    view.restore(ArchiveRow{uuid(77), uuid(78), "x", "y"});
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(LibraryTest, AFailedRestoreLeavesTheListAsItWasAndShowsTheError)
{
    Note gone = deleted(add({PanelStore::paragraph("gone", 1)}), now);
    Note kept = archived(add({PanelStore::todo("done", 2)}), 0);
    LibraryModel model(*store);
    int opened = 0;
    LibraryView trash(model, true, [&](const QUuid&, std::optional<QUuid>) { ++opened; });
    LibraryView archive(model, false, [&](const QUuid&, std::optional<QUuid>) { ++opened; });
    breakSaving();

    trash.restore(trash.trashRows().front());
    archive.restore(archive.archiveRows().front());

    EXPECT_EQ(opened, 0);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_TRUE(store->note(gone.id)->deletedAt);
    EXPECT_TRUE(store->note(kept.id)->blocks[0].todo->archivedAt);
    EXPECT_EQ(trash.trashRows().size(), 1u);
    EXPECT_EQ(archive.archiveRows().size(), 1u);
}

TEST_F(LibraryTest, TheModelCountsEveryAnnouncement)
{
    Note note = add({PanelStore::paragraph("a", 1)});
    LibraryModel model(*store);
    QSignalSpy spy(&model, &LibraryModel::revisionChanged);
    store->update(note, true, true);
    store->update(note, false, false); // not announced
    store->setSharedWindowLayer(true);
    EXPECT_EQ(model.revision(), 2);
    EXPECT_EQ(spy.size(), 2);
}

} // namespace
} // namespace quorrin
