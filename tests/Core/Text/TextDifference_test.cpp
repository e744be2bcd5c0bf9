#include "Core/Text/TextDifference.h"

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

struct DifferenceCase {
    const char* before;
    const char* after;
    int prefix;
    int suffix;
};

TEST(TextDifference, FindsWhatWasReplacedWithoutTheEndsOverlapping)
{
    const DifferenceCase cases[] = {
        {"same", "same", 4, 0},
        {"abc", "aXc", 1, 1},
        {"aa", "aaa", 2, 0},   // a twin typed after its match, not before
        {"aaa", "aa", 2, 0},
        {"abc", "bc", 0, 2},   // removed at the start
        {"", "new", 0, 0},
        {"old", "", 0, 0},
        {"ab", "ba", 0, 0},
    };
    for (const DifferenceCase& row : cases) {
        const TextDifference found =
            differenceBetween(QString::fromUtf8(row.before), QString::fromUtf8(row.after));
        EXPECT_EQ(found.prefix, row.prefix) << row.before << " -> " << row.after;
        EXPECT_EQ(found.suffix, row.suffix) << row.before << " -> " << row.after;
    }
}

} // namespace
