#include "Core/Text/AttributedString.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorrin {
namespace {

TextAttributes bold()
{
    TextAttributes attributes;
    attributes.font = TextFont::system(14, true);
    return attributes;
}

std::vector<std::pair<int, int>> spans(const AttributedString& text)
{
    std::vector<std::pair<int, int>> result;
    for (const auto& run : text.runs())
        result.emplace_back(run.start, run.length);
    return result;
}

TEST(AttributedString, RunsStayMergedAndContiguous)
{
    AttributedString text(QStringLiteral("hello"));
    text.append(QStringLiteral(" world"), bold());
    text.append(QStringLiteral("!"), bold());
    EXPECT_EQ(spans(text), (std::vector<std::pair<int, int>>{{0, 5}, {5, 7}}));

    text.setFont(0, 5, bold().font);
    EXPECT_EQ(spans(text), (std::vector<std::pair<int, int>>{{0, 12}})) << "equal neighbours merge";

    text.setCustom(3, 4, QStringLiteral("k"), 1.0);
    EXPECT_EQ(spans(text), (std::vector<std::pair<int, int>>{{0, 3}, {3, 4}, {7, 5}}));
    EXPECT_TRUE(text.customAt(3, QStringLiteral("k")).has_value());
    EXPECT_FALSE(text.customAt(7, QStringLiteral("k")).has_value());
    text.removeCustom(-10, 100, QStringLiteral("k"));
    EXPECT_EQ(spans(text), (std::vector<std::pair<int, int>>{{0, 12}})) << "ranges are clamped";
}

TEST(AttributedString, SubstringAndReplaceKeepAttributes)
{
    AttributedString text(QStringLiteral("abc"));
    text.append(QStringLiteral("DEF"), bold());

    const AttributedString middle = text.substring(2, 2);
    EXPECT_EQ(middle.string(), QStringLiteral("cD"));
    EXPECT_EQ(spans(middle), (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
    EXPECT_EQ(middle.attributesAt(1), bold());
    // Truncating gives the substring from the start, in place.
    for (const int length : {5, 4, 3, 2, 0}) {
        AttributedString truncated = text;
        truncated.truncate(length);
        EXPECT_EQ(truncated, text.substring(0, length)) << length;
    }

    text.replace(1, 4, AttributedString(QStringLiteral("中文"), bold()));
    EXPECT_EQ(text.string(), QStringLiteral("a中文F"));
    EXPECT_EQ(spans(text), (std::vector<std::pair<int, int>>{{0, 1}, {1, 3}}));
    EXPECT_EQ(text.attributesAt(99), TextAttributes{}) << "outside the text: no attributes";
}

// Replacing in place gives what cutting the text in three and joining it
// again gives: the same characters and the same merged runs, wherever the
// edit falls against the runs (inside one, on a seam, over several, at
// either end, emptying the text).
TEST(AttributedString, ReplaceEqualsCuttingAndJoining)
{
    TextAttributes linked;
    linked.custom[QStringLiteral("k")] = QStringLiteral("v");
    AttributedString text(QStringLiteral("ab"));
    text.append(QStringLiteral("cd"), bold());
    text.append(QStringLiteral("ef"), TextAttributes{});
    text.append(QStringLiteral("gh"), linked);
    const std::vector<AttributedString> replacements = {
        AttributedString(),
        AttributedString(QStringLiteral("X")),
        AttributedString(QStringLiteral("Y"), bold()),
        [&] {
            AttributedString mixed(QStringLiteral("P"), bold());
            mixed.append(QStringLiteral("Q"), TextAttributes{});
            mixed.append(QStringLiteral("R"), linked);
            return mixed;
        }(),
    };
    for (int start = -1; start <= text.length() + 1; ++start) {
        for (int length = 0; length <= text.length() + 1; ++length) {
            for (const AttributedString& replacement : replacements) {
                const int from = std::clamp(start, 0, text.length());
                const int end = std::clamp(from + length, from, text.length());
                AttributedString expected = text.substring(0, from);
                expected.append(replacement);
                expected.append(text.substring(end, text.length() - end));
                AttributedString replaced = text;
                replaced.replace(start, length, replacement);
                ASSERT_EQ(replaced, expected) << start << "+" << length << " by " << replacement.string().toStdString();
            }
        }
    }
    AttributedString emptied = text;
    emptied.replace(0, text.length(), AttributedString());
    EXPECT_TRUE(emptied.runs().empty());
}

TEST(AttributedString, ParagraphStyleRunsMergeEqualStyles)
{
    ParagraphStyle indented;
    indented.headIndent = 10;
    AttributedString text(QStringLiteral("one\n"));
    text.append(QStringLiteral("two\n"), bold());
    text.append(QStringLiteral("three"), bold());
    text.setParagraphStyle(0, 8, indented);
    const auto runs = text.paragraphStyleRuns(0, text.length());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].start, 0);
    EXPECT_EQ(runs[0].length, 8) << "font differences do not split style runs";
    EXPECT_EQ(runs[0].style, indented);
    EXPECT_FALSE(runs[1].style.has_value());
}

} // namespace
} // namespace quorrin
