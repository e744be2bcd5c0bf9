#include "Core/Text/CustomAttributes.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

// Copies share their table, yet each change stays with the copy it was made on.
TEST(CustomAttributes, ACopyChangesAloneAndComparesByValue)
{
    CustomAttributes original;
    original[QStringLiteral("b")] = 2.0;
    original[QStringLiteral("a")] = QStringLiteral("one");

    CustomAttributes changed = original;
    changed[QStringLiteral("a")] = QStringLiteral("other");
    CustomAttributes emptied = original;
    emptied.erase(QStringLiteral("a"));
    emptied.erase(QStringLiteral("b"));
    CustomAttributes untouched = original;
    EXPECT_EQ(untouched.erase(QStringLiteral("missing")), 0u);

    EXPECT_EQ(original.at(QStringLiteral("a")), CustomAttributeValue(QStringLiteral("one")));
    EXPECT_EQ(original.size(), 2u);
    EXPECT_EQ(changed.at(QStringLiteral("a")), CustomAttributeValue(QStringLiteral("other")));
    EXPECT_TRUE(emptied.empty());
    EXPECT_EQ(emptied, CustomAttributes()) << "emptied equals never filled";
    EXPECT_EQ(untouched, original);
    EXPECT_FALSE(changed == original);
    EXPECT_EQ(original.begin()->first, QStringLiteral("a")) << "in name order";

    CustomAttributes rebuilt;
    rebuilt[QStringLiteral("a")] = QStringLiteral("one");
    rebuilt[QStringLiteral("b")] = 2.0;
    EXPECT_EQ(rebuilt, original) << "equal by value, not by sharing";

    // A name added to a shared copy, between two others, goes to that copy alone.
    CustomAttributes grown = original;
    grown[QStringLiteral("ab")] = 3.0;
    EXPECT_EQ(original.size(), 2u);
    EXPECT_EQ(original.count(QStringLiteral("ab")), 0u);
    ASSERT_EQ(grown.size(), 3u);
    EXPECT_EQ(std::next(grown.begin())->first, QStringLiteral("ab"));
    EXPECT_EQ(grown.at(QStringLiteral("b")), CustomAttributeValue(2.0));
}

} // namespace
} // namespace quorrin
