#include "Editor/PastedText.h"

#include "Editor/LinkDetection.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TextAttributes body()
{
    TextAttributes a;
    a.font = TextFont{QStringLiteral("Serif"), 14};
    a.foreground = TextColor::fixed(Rgba{0, 0, 1, 1});
    return a;
}

struct SizeCase {
    const char* html;
    double size;
};

TEST(PastedText, SizesScaleTheTextTheyGoIntoAtHalfPointsWithinNineToFortyEight)
{
    for (const SizeCase& row : {
             SizeCase{"<p>x</p>", 14},
             SizeCase{"<h1>x</h1>", 28},                                  // twice
             SizeCase{"<small>x</small>", 11},                            // 11.2
             SizeCase{"<span style='font-size:13.3pt'>x</span>", 13.5},
             SizeCase{"<span style='font-size:16px'>x</span>", 12},
             SizeCase{"<span style='font-size:9pt'>x</span>", 9},
             SizeCase{"<span style='font-size:8.5pt'>x</span>", 9},
             SizeCase{"<span style='font-size:48pt'>x</span>", 48},
             SizeCase{"<span style='font-size:49pt'>x</span>", 48},
         }) {
        SCOPED_TRACE(row.html);
        const AttributedString text = pastedtext::fromHtml(QString::fromUtf8(row.html), body());
        ASSERT_EQ(text.string(), QStringLiteral("x"));
        EXPECT_EQ(text.attributesAt(0).font->pointSize, row.size);
        EXPECT_EQ(text.attributesAt(0).font->family, QStringLiteral("Serif"));
    }
}

TEST(PastedText, OnlyLinksANoteOpensStayLinksAndUncolouredTextKeepsTheColourItGoesInto)
{
    const AttributedString text = pastedtext::fromHtml(
        QStringLiteral("<a href='https://example.com/'>web</a><a href='javascript:alert(1)'>script</a>"
                       "<a href='#top'>top</a><span style='color:#00ff00'>green</span>"),
        body());
    ASSERT_EQ(text.string(), QStringLiteral("webscripttopgreen"));
    EXPECT_EQ(text.customAt(0, links::attribute), CustomAttributeValue(QStringLiteral("https://example.com/")));
    EXPECT_FALSE(text.customAt(3, links::attribute));
    EXPECT_FALSE(text.customAt(9, links::attribute));
    EXPECT_EQ(text.attributesAt(0).foreground, body().foreground);
    EXPECT_EQ(text.attributesAt(12).foreground, TextColor::fixed(Rgba{0, 1, 0, 1}));
}

} // namespace
} // namespace quorrin
