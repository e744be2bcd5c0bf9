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

// Equal tables set to the same value become one shared table; a table or a
// value unlike the last one's is set on its own.
TEST(AttributesApart, ASetterSharesOnlyWhatEqualTablesSetAlikeBecome)
{
    const QString mark = QStringLiteral("mark");
    const auto table = [&](double x, std::optional<QString> marked = std::nullopt) {
        CustomAttributes custom;
        custom[QStringLiteral("x")] = x;
        if (marked)
            custom[mark] = *marked;
        return custom;
    };
    struct Row {
        CustomAttributes before;
        QString value;
    };
    const std::vector<Row> rows = {
        {table(1), QStringLiteral("one")},
        {table(1), QStringLiteral("one")},
        {table(2), QStringLiteral("one")},
        {table(2), QStringLiteral("two")},
        {table(2, QStringLiteral("old")), QStringLiteral("two")},
    };
    AttributeSetter setter(mark);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        CustomAttributes custom = rows[i].before;
        setter.set(custom, rows[i].value);
        CustomAttributes expected = rows[i].before;
        expected[mark] = rows[i].value;
        EXPECT_EQ(custom, expected) << "row " << i;
    }
}

} // namespace
} // namespace quorrin
