#include "Editor/StoredBlockFinder.h"

#include "EditorTestSupport.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// Stored blocks named by letter, a repeated letter a second block with the
// first one's id; each asked id answered with the place of the first stored
// block holding it (-1 for none).
TEST(StoredBlockFinder, AnswersTheFirstStoredBlockOfEachIdInAnyOrder)
{
    struct Case {
        const char* name;
        QString stored;
        QString asked;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {"in order", "abcd", "abcd", {0, 1, 2, 3}},
        {"lines deleted, then one passed over asked for", "abcde", "bda", {1, 3, 0}},
        {"the order of the blocks reversed", "abcd", "dcba", {3, 2, 1, 0}},
        {"an id not stored, then the rest by id", "abcd", "bxdc", {1, -1, 3, 2}},
        {"a repeated id passed over", "abacd", "cda", {3, 4, 0}},
        {"a repeated id looked up after one not stored", "bab", "xab", {-1, 1, 0}},
        {"a repeated id after one passed over", "cabad", "dba", {4, 2, 1}},
        {"ids answered before asked again", "abcd", "abcab", {0, 1, 2, 0, 1}},
        {"an id answered before asked again after some passed over", "abcd", "bdab", {1, 3, 0, 1}},
    };
    for (const Case& c : cases) {
        std::map<QChar, QUuid> ids;
        const auto idOf = [&](QChar letter) {
            return ids.try_emplace(letter, QUuid::createUuid()).first->second;
        };
        std::vector<Block> stored;
        for (const QChar letter : c.stored) {
            stored.push_back(makeBlock(BlockKind::Paragraph, QString(letter)));
            stored.back().id = idOf(letter);
        }
        editortext::StoredBlockFinder finder(stored);
        std::vector<int> answered;
        for (const QChar letter : c.asked) {
            const Block* found = finder.find(idOf(letter));
            answered.push_back(found ? int(found - stored.data()) : -1);
        }
        EXPECT_EQ(answered, c.expected) << c.name;
    }
}

} // namespace
} // namespace quorrin
