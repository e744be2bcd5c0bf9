#include "Editor/DeferredLayout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorrin {
namespace {

TEST(DeferredLayout, PaysForManyChangedParagraphsAndMoreThanLieAboveTheViewsBottom)
{
    const int many = DeferredLayout::minimumParagraphs;
    // changed paragraphs, paragraphs down to the view's bottom, deferred
    const std::tuple<int, int, bool> rows[] = {
        {many - 1, 0, false}, {many, 0, true},          {many, many - 1, true},
        {many, many, false},  {3 * many, 2 * many, true}, {3 * many, 3 * many, false},
    };
    for (const auto& [changed, toBottom, deferred] : rows)
        EXPECT_EQ(DeferredLayout::pays(changed, toBottom), deferred) << changed << " " << toBottom;
}

} // namespace
} // namespace quorrin
