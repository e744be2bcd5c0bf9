#include "Editor/BlockHistory.h"

#include "EditorTestSupport.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// Each id is asked for after every recording, so that a lookup made before
// the next recording never answers for it.
TEST(BlockHistory, AnswersWithTheBlockLastSeenUnderEachId)
{
    const Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    const Block b = makeBlock(BlockKind::Todo, QStringLiteral("b"));
    const Block c = makeBlock(BlockKind::Paragraph, QStringLiteral("c"));
    const auto changed = [](Block block) {
        block.kind = BlockKind::H1;
        return block;
    };
    const Block unseen = makeBlock(BlockKind::Paragraph, QStringLiteral("never shown"));
    struct Case {
        const char* name;
        std::vector<std::vector<Block>> recordings;
        const Block* asked;
        std::optional<Block> expected;
    };
    const std::vector<Case> cases = {
        {"changed in place", {{a, b, c}, {a, changed(b), c}}, &b, changed(b)},
        {"dropped between two kept", {{a, b, c}, {a, c}}, &b, b},
        {"dropped at the end", {{a, b, c}, {a, b}}, &c, c},
        {"dropped at the start", {{a, b, c}, {b, c}}, &a, a},
        {"moved, then changed", {{a, b, c}, {c, a, b}, {changed(c), a, b}}, &c, changed(c)},
        {"dropped, shown again changed, dropped again", {{a, b, c}, {a, c}, {a, changed(b), c}, {a, c}}, &b,
         changed(b)},
        {"the later of two with one id", {{a, b, changed(a)}, {b}}, &a, changed(a)},
        {"gone from a row that now holds another at its place", {{a, b}, {b}}, &a, a},
        {"never shown", {{a, b}}, &unseen, std::nullopt},
    };
    for (const Case& c : cases) {
        editortext::BlockHistory history;
        for (const std::vector<Block>& blocks : c.recordings) {
            history.record(blocks);
            for (const Block& block : blocks)
                ASSERT_NE(history.find(block.id), nullptr) << c.name;
        }
        const Block* found = history.find(c.asked->id);
        ASSERT_EQ(found != nullptr, c.expected.has_value()) << c.name;
        if (found) {
            EXPECT_EQ(*found, *c.expected) << c.name;
        }
    }
}

} // namespace
} // namespace quorrin
