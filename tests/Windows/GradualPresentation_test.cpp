#include "Windows/GradualPresentation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace quorrin {
namespace {

Note noteAt(double x, double y)
{
    Note note;
    note.frame = WindowFrame{x, y, 200, 150};
    return note;
}

TEST(PresentationOrderTest, ShownNotesOnTheScreensComeFirstInStoreOrder)
{
    Note offLeft = noteAt(-900, 10);
    Note first = noteAt(10, 10);
    Note hidden = noteAt(20, 20);
    hidden.isHidden = true;
    Note deleted = noteAt(30, 30);
    deleted.deletedAt = Date{1};
    Note collapsedOff = noteAt(100, 1100); // its full frame would not reach the screen either
    collapsedOff.isCollapsed = true;
    Note second = noteAt(1500, 900); // partly on the second screen
    const QList<QRectF> screens{QRectF(0, 0, 1000, 800), QRectF(1000, 0, 1000, 1000)};

    EXPECT_EQ(presentationOrder({offLeft, first, hidden, deleted, collapsedOff, second}, screens),
              (std::vector<QUuid>{first.id, second.id, offLeft.id, collapsedOff.id}));
    EXPECT_EQ(presentationOrder({first, second}, {}), (std::vector<QUuid>{first.id, second.id}));
}

std::vector<QUuid> ids(size_t count)
{
    std::vector<QUuid> result(count);
    for (QUuid& id : result)
        id = QUuid::createUuid();
    return result;
}

TEST(GradualPresentationTest, AShortListIsDoneAtOnce)
{
    const std::vector<QUuid> notes = ids(GradualPresentation::immediateLimit);
    std::vector<QUuid> made;
    int finished = 0;
    GradualPresentation presentation(notes, [&](const QUuid& id) { made.push_back(id); }, [&] { ++finished; });
    presentation.start();
    EXPECT_EQ(made, notes);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(presentation.isRunning());
}

TEST(GradualPresentationTest, ALongListShowsOneWindowThenTheRestOnLaterTurns)
{
    const std::vector<QUuid> notes = ids(GradualPresentation::immediateLimit + 30);
    std::vector<QUuid> made;
    int finished = 0;
    GradualPresentation presentation(notes, [&](const QUuid& id) { made.push_back(id); }, [&] { ++finished; });
    presentation.start();
    EXPECT_EQ(made.size(), 1u);
    EXPECT_TRUE(presentation.isRunning());
    for (int turn = 0; turn < 1000 && presentation.isRunning(); ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(made, notes);
    EXPECT_EQ(finished, 1);
}

TEST(GradualPresentationTest, CancellingStopsWithoutFinishing)
{
    const std::vector<QUuid> notes = ids(GradualPresentation::immediateLimit + 30);
    size_t made = 0;
    int finished = 0;
    GradualPresentation presentation(notes, [&](const QUuid&) { ++made; }, [&] { ++finished; });
    presentation.start();
    presentation.cancel();
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(made, 1u);
    EXPECT_EQ(finished, 0);
    EXPECT_FALSE(presentation.isRunning());
}

TEST(GradualPresentationTest, AStepThatStartsAgainEndsTheEarlierRun)
{
    const std::vector<QUuid> notes = ids(3);
    std::vector<QUuid> made;
    int finished = 0;
    GradualPresentation presentation(
        notes,
        [&](const QUuid& id) {
            made.push_back(id);
            if (made.size() == 1)
                presentation.start();
        },
        [&] { ++finished; });
    presentation.start();
    EXPECT_EQ(made.size(), 1 + notes.size());
    EXPECT_EQ(finished, 1);
}

TEST(OrderedPrefixTest, CountsTheWindowsAlreadyStackedInOrderFromTheBottom)
{
    const struct {
        const char* name;
        std::vector<quint64> stamps;
        size_t expected;
    } cases[] = {
        {"none", {}, 0},
        {"all in order", {1, 2, 3}, 3},
        {"in order with gaps", {2, 5, 9}, 3},
        {"one out of order", {1, 3, 2, 4}, 2},
        {"never ordered front", {0, 1, 2}, 0},
        {"a window to order front anyway", {1, 2, 0, 3}, 2},
        {"the same stamp twice", {1, 1}, 1},
        {"reversed", {3, 2, 1}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(orderedPrefixLength(c.stamps), c.expected);
    }
}

} // namespace
} // namespace quorrin
