#include "Persistence/DurableSnapshot.h"

#include "StoreFixtures.h"

#include <gtest/gtest.h>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

TEST(DurableSnapshotTest, InPlaceReductionMatchesTheSnapshotAndTellsWhetherItChangedAnything)
{
    const Note live = textNote(1, QStringLiteral("live"));
    Note deleted = textNote(2, QStringLiteral("deleted"));
    deleted.deletedAt = Date{1};
    const Note blank = textNote(3, QStringLiteral("\u200b"));
    const auto dockedTo = [](int n, const QUuid& target) {
        Note note = textNote(n, QStringLiteral("docked"));
        note.docking = NoteDock{target, DockEdge::Below};
        return note;
    };

    struct Case {
        const char* name;
        std::vector<Note> notes;
        bool changes;
        std::vector<bool> keepsDocking; // per note of the result
    };
    const Case cases[] = {
        {"nothing to drop", {live, dockedTo(4, live.id)}, false, {false, true}},
        {"blank draft dropped", {live, blank}, true, {false}},
        {"docking to a deleted note", {deleted, dockedTo(4, deleted.id)}, true, {false, false}},
        {"docking to a blank draft", {blank, dockedTo(4, blank.id)}, true, {false}},
        {"docking to a missing note", {dockedTo(4, uuid(99))}, true, {false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Note> reduced = c.notes;
        EXPECT_EQ(reduceToDurableSnapshot(reduced), c.changes);
        EXPECT_EQ(reduced, durableSnapshot(c.notes));
        ASSERT_EQ(reduced.size(), c.keepsDocking.size());
        for (size_t index = 0; index < reduced.size(); ++index)
            EXPECT_EQ(reduced[index].docking.has_value(), c.keepsDocking[index]) << index;
    }
}

} // namespace
