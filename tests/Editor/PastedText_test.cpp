#include "Editor/PastedText.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(PastedText, SizesScaleTheTextTheyGoIntoAtHalfPointsWithinNineToFortyEight)
{
    TextAttributes base;
    base.font = TextFont{QStringLiteral("Serif"), 14};
    for (const auto& [html, size] : std::vector<std::pair<const char*, double>>{
             {"<p>x</p>", 14}, {"<h1>x</h1>", 28}, {"<small>x</small>", 11}, // 11.2
             {"<span style='font-size:13.3pt'>x</span>", 13.5}, {"<span style='font-size:16px'>x</span>", 12},
             {"<span style='font-size:9pt'>x</span>", 9}, {"<span style='font-size:8.5pt'>x</span>", 9},
             {"<span style='font-size:48pt'>x</span>", 48}, {"<span style='font-size:49pt'>x</span>", 48}}) {
        const AttributedString text = pastedtext::fromHtml(QString::fromUtf8(html), base);
        ASSERT_EQ(text.string(), QStringLiteral("x")) << html;
        EXPECT_EQ(text.attributesAt(0).font->pointSize, size) << html;
        EXPECT_EQ(text.attributesAt(0).font->family, QStringLiteral("Serif")) << html;
    }
}

} // namespace
} // namespace quorrin
