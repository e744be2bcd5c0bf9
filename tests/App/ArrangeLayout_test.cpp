#include "RegistryFixture.h"

#include "App/ArrangeLayout.h"

namespace quorrin {
namespace {

using testing::FakeNoteWindow;

Note noteWith(NoteColor color, double createdAt, WindowFrame frame, const QString& title = {})
{
    Note note;
    note.id = QUuid::createUuid();
    note.color = color;
    note.createdAt = Date{createdAt};
    note.frame = frame;
    if (!title.isEmpty())
        note.customTitle = title;
    return note;
}

std::vector<QUuid> idsOf(const std::vector<Note>& notes)
{
    std::vector<QUuid> ids;
    for (const Note& note : notes)
        ids.push_back(note.id);
    return ids;
}

TEST(ArrangeLayout, SortsInEachOrderKeepingTheStoreOrderForEqualKeys)
{
    // Store order: a, b, c, d. Notes c and d lie on a second screen to the
    // right of the main one.
    const Note a = noteWith(NoteColor::Cream, 30, {100, 300, 310, 330}, QStringLiteral("便笺 10"));
    const Note b = noteWith(NoteColor::Blue, 10, {500, 700, 310, 330});
    const Note c = noteWith(NoteColor::Cream, 20, {1700, 700, 310, 330}, QStringLiteral("便笺 9"));
    const Note d = noteWith(NoteColor::White, 40, {1650, 300, 310, 330}, QStringLiteral("  "));
    const std::vector<Note> notes{a, b, c, d};

    const struct {
        int tag;
        std::vector<QUuid> expected;
    } cases[] = {
        {0, {a.id, b.id, c.id, d.id}},
        {1, {b.id, a.id, c.id, d.id}},       // blue < cream < white; the creams keep their order
        {2, {c.id, a.id, b.id, d.id}},       // 便笺 9 < 便笺 10 < 未命名便笺 (twice, in store order)
        {3, {b.id, c.id, a.id, d.id}},
        {4, {b.id, c.id, a.id, d.id}},       // y 700 before y 300; at equal height the left one first
        {7, {a.id, b.id, c.id, d.id}},       // an unknown tag keeps the store's order
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.tag);
        EXPECT_EQ(idsOf(arrange::sorted(notes, arrange::orderForTag(testCase.tag))), testCase.expected);
    }
}

TEST(ArrangeLayout, CellsFillRowsThenPagesShiftedRight)
{
    const QRectF visible(0, 25, 1440, 875); // 4 columns, 2 rows
    const double top = visible.y() + visible.height();
    const struct {
        int index;
        QRectF frame;
    } cases[] = {
        {0, {0, top - 330, 310, 330}},
        {3, {3 * 324, top - 330, 310, 330}},
        {4, {0, top - 674, 310, 330}},
        {8, {16, top - 330, 310, 330}},
        {13, {16 + 324, top - 674, 310, 330}},
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(arrange::cellFrame(testCase.index, visible), testCase.frame) << testCase.index;

    // Too small for a cell: one column, one row, a page per note.
    const QRectF tiny(10, 10, 200, 200);
    EXPECT_EQ(arrange::cellFrame(0, tiny), QRectF(10, 210 - 330, 310, 330));
    EXPECT_EQ(arrange::cellFrame(2, tiny), QRectF(10 + 32, 210 - 330, 310, 330));
}

class ArrangeCommandTest : public testing::RegistryFixture {};

TEST_F(ArrangeCommandTest, LaysEveryLiveNoteOutOnTheMainScreenExpandedAndSaved)
{
    screens->setVisibleFrames({QRectF(0, 0, 1440, 875), QRectF(1440, 0, 1280, 800)});
    Note onSecond = store->create(AttributedString(QStringLiteral("right")));
    onSecond.frame = {1700, 500, 300, 300};
    onSecond.color = NoteColor::White;
    onSecond.isCollapsed = true;
    store->update(onSecond, true, false);
    Note onMain = store->create(AttributedString(QStringLiteral("left")));
    onMain.frame = {100, 100, 300, 300};
    onMain.color = NoteColor::Blue;
    onMain.isHidden = true;
    store->update(onMain, true, false);
    registry->open(onSecond.id, std::nullopt, false);

    registry->arrange(1);

    const Note blue = *store->note(onMain.id);
    const Note white = *store->note(onSecond.id);
    EXPECT_EQ(blue.frame, (WindowFrame{0, 875 - 330, 310, 330}));
    EXPECT_EQ(white.frame, (WindowFrame{324, 875 - 330, 310, 330}));
    EXPECT_FALSE(white.isCollapsed);
    EXPECT_TRUE(blue.isHidden); // gets its cell and stays hidden
    EXPECT_EQ(window(onSecond.id)->frameRestores, 1);
    EXPECT_FALSE(registry->controller(onMain.id));
    EXPECT_FALSE(directory.timer->isPending()); // saved at once, nothing left to save
}

TEST_F(ArrangeCommandTest, WithoutAScreenNothingChanges)
{
    const QUuid id = addNote();
    const WindowFrame before = store->note(id)->frame;
    screens->setVisibleFrames({});
    registry->arrange(0);
    EXPECT_EQ(store->note(id)->frame, before);
}

} // namespace
} // namespace quorrin
