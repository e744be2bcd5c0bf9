#include "Domain/Block.h"

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

TEST(HeapOptional, aCopiedBlockOwnsItsTodoAndComparesByValue)
{
    Block original;
    original.convert(BlockKind::Todo);
    original.todo->priority = 2;

    Block copy = original;
    EXPECT_EQ(copy, original); // equal values in two places
    copy.todo->priority = 3;
    EXPECT_EQ(original.todo->priority, 2);
    EXPECT_NE(copy, original);

    Block assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);
    assigned.todo.reset();
    EXPECT_TRUE(original.todo.has_value());
    EXPECT_NE(assigned, original);
    EXPECT_NE(original, assigned);
}

} // namespace
