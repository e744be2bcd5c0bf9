#include "Core/Text/AttributesApart.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

// Only the value of the attribute left out is passed over: whether it is
// there, and everything else, still tells attributes apart.
TEST(AttributesApart, OnlyTheLeftOutValueIsPassedOver)
{
    const QString mark = QStringLiteral("mark");
    TextAttributes base;
    base.font = TextFont::system(14);
    base.custom[QStringLiteral("a")] = 1.0;
    base.custom[mark] = QStringLiteral("one");
    base.custom[QStringLiteral("z")] = QList<double>{1, 2};

    const auto with = [&](auto change) {
        TextAttributes changed = base;
        change(changed);
        return changed;
    };
    struct Row {
        const char* name;
        TextAttributes other;
        bool same;
    };
    const std::vector<Row> rows = {
        {"another mark", with([&](TextAttributes& a) { a.custom[mark] = QStringLiteral("two"); }), true},
        {"a mark of another kind", with([&](TextAttributes& a) { a.custom[mark] = 2.0; }), true},
        {"no mark", with([&](TextAttributes& a) { a.custom.erase(mark); }), false},
        {"another value before it", with([&](TextAttributes& a) { a.custom[QStringLiteral("a")] = 2.0; }), false},
        {"another value after it", with([&](TextAttributes& a) { a.custom[QStringLiteral("z")] = QList<double>{1}; }), false},
        {"another name", with([&](TextAttributes& a) {
             a.custom.erase(QStringLiteral("z"));
             a.custom[QStringLiteral("y")] = QList<double>{1, 2};
         }), false},
        {"another font size", with([&](TextAttributes& a) { a.font->pointSize = 15; }), false},
        {"a paragraph style", with([&](TextAttributes& a) { a.paragraphStyle = ParagraphStyle{}; }), false},
    };
    const AttributesApart apart(mark);
    for (const Row& row : rows) {
        EXPECT_EQ(apart(base, row.other), row.same) << row.name;
        EXPECT_EQ(apart(row.other, base), row.same) << row.name;
        if (row.same) {
            EXPECT_EQ(apart(base), apart(row.other)) << row.name;
        }
    }
}

} // namespace
} // namespace quorrin
