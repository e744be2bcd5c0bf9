#include "ModelSamples.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace quorrin;
using namespace Qt::StringLiterals;

namespace {

TEST(Note, defaultsToOneEmptyParagraph)
{
    const Note note = Note::create(samples::fixedClock(500));
    ASSERT_EQ(note.blocks.size(), 1u);
    const Block& block = note.blocks[0];
    EXPECT_EQ(block.kind, BlockKind::Paragraph);
    EXPECT_EQ(block.text, RichText(QString(), TextFont::system(14)));
    EXPECT_FALSE(block.todo || block.attachment);
    EXPECT_EQ(block.createdAt, Date{500});
    EXPECT_EQ(note.createdAt, Date{500});
    EXPECT_EQ(note.frame, (WindowFrame{100, 150, 310, 330}));
    EXPECT_EQ(note.color, NoteColor::Cream);
    EXPECT_EQ(note.opacity, 1.0);
    EXPECT_FALSE(note.prioritySorted || note.alwaysOnTop || note.isCollapsed || note.isHidden);
    EXPECT_TRUE(note.isEmpty());
    EXPECT_EQ(note.title(), u"未命名便笺"_s);
    EXPECT_NE(Note().id, Note().id);
}

TEST(Note, titleIsTheTrimmedCustomTitle)
{
    const std::vector<std::pair<std::optional<QString>, QString>> cases = {
        {std::nullopt, u"未命名便笺"_s},
        {u""_s, u"未命名便笺"_s},
        {u"  \t\n"_s, u"未命名便笺"_s},
        {u"  abc\n"_s, u"abc"_s},
        {u"\u3000标题\u2028"_s, u"标题"_s},
        {u"\u200b"_s, u"\u200b"_s}, // not whitespace: trimming keeps it
        {u" a b "_s, u"a b"_s},
    };
    for (const auto& [custom, title] : cases) {
        Note note = samples::note(1);
        note.customTitle = custom;
        note.customTitleRich = samples::text(u"ignored"_s);
        EXPECT_EQ(note.title(), title) << custom.value_or(u"<absent>"_s).toStdString();
    }
}

TEST(Note, hasTextLooksForVisibleCharacters)
{
    const std::vector<std::pair<QString, bool>> cases = {
        {u""_s, false},
        {u"  \t\r\n"_s, false},
        {u"\u200b\ufeff"_s, false},
        {u"\u00a0"_s, false},
        {u"\u2028"_s, false},
        {u"\u0085\u200e"_s, false}, // next line, left-to-right mark
        {u"a"_s, true},
        {u"\u3002"_s, true},
        {u"\U0001F600"_s, true}, // outside the Basic Multilingual Plane
        {u" \u200b x"_s, true},
    };
    for (const auto& [text, visible] : cases)
        EXPECT_EQ(Note::hasText(text), visible) << text.toStdString();
}

TEST(Note, isEmptyOnlyWithoutAnythingWorthKeeping)
{
    struct Case {
        const char* name;
        std::function<void(Note&)> change;
        bool empty;
    };
    const std::vector<Case> cases = {
        {"untouched todo", [](Note&) {}, true},
        {"completed, archived, urgent todo",
         [](Note& n) {
             n.blocks[0].todo->isCompleted = true;
             n.blocks[0].todo->archivedAt = Date{1};
             n.blocks[0].todo->priority = 1;
         },
         true},
        {"blank text", [](Note& n) { n.blocks[0].text = samples::text(u" \n\u200b"_s); }, true},
        {"zero bytes of text", [](Note& n) { n.blocks[0].text = RichText(); }, true},
        {"empty links list", [](Note& n) { n.fileLinks = std::vector<PersistentFileLink>(); }, true},
        {"rich title only", [](Note& n) { n.customTitleRich = samples::text(u"title"_s); }, true},
        {"blank custom title", [](Note& n) { n.customTitle = u"  "_s; }, true},
        {"no blocks", [](Note& n) { n.blocks.clear(); }, true},
        {"visible text", [](Note& n) { n.blocks[0].text = samples::text(u"x"_s); }, false},
        {"remarks", [](Note& n) { n.blocks[0].todo->notes = samples::text(u"note"_s); }, false},
        {"reminder", [](Note& n) { n.blocks[0].todo->reminder = TodoReminder{Date{5}, {}, {}}; }, false},
        {"attachment", [](Note& n) { n.blocks[0].attachment = samples::attachment(9); }, false},
        {"one link", [](Note& n) { n.fileLinks = std::vector{samples::fileLink(9, n.id)}; }, false},
        {"custom title", [](Note& n) { n.customTitle = u"x"_s; }, false},
        {"unreadable text", [](Note& n) { n.blocks[0].text = RichText::fromRtf("not rtf"); }, false},
        {"unreadable remarks", [](Note& n) { n.blocks[0].todo->notes = RichText::fromRtf("garbage"); }, false},
        // A language tag (U+E0001, a format character) read in two groups, one
        // half of its surrogate pair in each.
        {"invisible pair split across groups",
         [](Note& n) { n.blocks[0].text = RichText::fromRtf("{\\rtf1 {\\u-9408?}{\\u-9215?}}"); }, true},
        {"lone high surrogate", [](Note& n) { n.blocks[0].text = RichText::fromRtf("{\\rtf1 \\u-9408?}"); }, false},
        {"text, then nesting too deep to read",
         [](Note& n) { n.blocks[0].text = RichText::fromRtf(QByteArray(5000, '{').prepend("{\\rtf1 x")); }, false},
        {"blank, then nesting too deep to read",
         [](Note& n) { n.blocks[0].text = RichText::fromRtf(QByteArray(5000, '{').prepend("{\\rtf1  ")); }, false},
        {"archived block with text",
         [](Note& n) {
             n.blocks.push_back(samples::todo(8, 4, true));
             n.blocks.back().text = samples::text(u"old"_s);
         },
         false},
    };
    for (const Case& c : cases) {
        Note note = samples::note(1, {samples::todo(2, 4)});
        c.change(note);
        EXPECT_EQ(note.isEmpty(), c.empty) << c.name;
    }
    EXPECT_TRUE(RichText::fromRtf("not rtf").attributed().isEmpty());
}

TEST(Note, priorityClampsIntoRangeWithoutOverflow)
{
    EXPECT_EQ(clampedPriority(std::numeric_limits<qint64>::min()), 1);
    EXPECT_EQ(clampedPriority(std::numeric_limits<qint64>::max()), 4);
    EXPECT_EQ(clampedPriority(3), 3);
}

TEST(Block, idsAreDistinctRandomUuids)
{
    std::set<QUuid> ids;
    for (int i = 0; i < 1000; ++i) {
        const QUuid id = Block().id;
        EXPECT_EQ(id.version(), QUuid::Random);
        EXPECT_EQ(id.variant(), QUuid::DCE);
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 1000u);
}

// Blocks named by letter, one block per letter: a copy made equal to
// another row, the places both share at either end overlapping or not.
TEST(Block, assignBlocksMakesACopyEqualToAnyOtherRow)
{
    std::map<QChar, Block> blocks;
    const auto row = [&](const QString& letters) {
        std::vector<Block> result;
        for (const QChar letter : letters) {
            auto [found, fresh] = blocks.try_emplace(letter);
            if (fresh)
                found->second.text = RichText(QString(letter), TextFont::system(14));
            result.push_back(found->second);
        }
        return result;
    };
    const std::vector<std::pair<QString, QString>> cases = {
        {u"abc"_s, u"axc"_s}, {u"abc"_s, u"abxc"_s}, {u"abxc"_s, u"abc"_s}, {u"aa"_s, u"a"_s},
        {u"a"_s, u"aa"_s},    {u"aba"_s, u"a"_s},    {u"a"_s, u"aba"_s},   {u""_s, u"ab"_s},
        {u"ab"_s, u""_s},     {u"abc"_s, u"cba"_s},  {u"abab"_s, u"ab"_s},
    };
    for (const auto& [from, to] : cases) {
        std::vector<Block> copy = row(from);
        assignBlocks(copy, row(to));
        EXPECT_EQ(copy, row(to)) << from.toStdString() << " to " << to.toStdString();
    }
}

// A copy that grows keeps room for more: the next line added to a long
// note does not move every block it holds again.
TEST(Block, aCopyThatGrowsTakesTheNextBlockWhereItIs)
{
    std::vector<Block> source(1000);
    std::vector<Block> copy(source.begin(), source.begin() + 1);
    assignBlocks(copy, source);
    const Block* const place = copy.data();
    source.emplace_back();
    assignBlocks(copy, source);
    EXPECT_EQ(copy.data(), place);
    EXPECT_EQ(copy, source);
}

} // namespace
