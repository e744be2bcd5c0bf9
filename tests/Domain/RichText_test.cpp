#include "Domain/RichText.h"

#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

ParagraphStyle style(double first, double head, double tail, double spacing)
{
    ParagraphStyle result;
    result.firstLineHeadIndent = first;
    result.headIndent = head;
    result.tailIndent = tail;
    result.paragraphSpacing = spacing;
    return result;
}

TextAttributes editorMarked(const ParagraphStyle& shown, double indent, double tail, double spacing)
{
    TextAttributes attributes;
    attributes.font = TextFont::system(14);
    attributes.paragraphStyle = shown;
    attributes.custom[EditorAttribute::blockID] = QStringLiteral("7C9E6679-7425-40DE-944B-E07FC1F90AE7");
    attributes.custom[EditorAttribute::blockRole] = QStringLiteral("notes");
    attributes.custom[EditorAttribute::presentationBase] = QList<double>{0, 0, 0};
    attributes.custom[EditorAttribute::presentationIndent] = indent;
    attributes.custom[EditorAttribute::presentationTail] = tail;
    attributes.custom[EditorAttribute::presentationSpacing] = spacing;
    return attributes;
}

TEST(RichText, SubtractsPresentationAmountsAndDropsEditorKeys)
{
    AttributedString shown;
    // Two paragraphs with the same shown style but different amounts: each gets its own.
    shown.append(QStringLiteral("first\n"), editorMarked(style(30, 30, -10, 8), 30, -10, 8));
    shown.append(QStringLiteral("second\n"), editorMarked(style(30, 30, -10, 8), 20, -4, 2));
    TextAttributes unmarked;
    unmarked.paragraphStyle = style(5, 6, 7, 8);
    unmarked.custom[QStringLiteral("kept")] = 1.0;
    shown.append(QStringLiteral("third\n"), unmarked);
    TextAttributes notANumber = editorMarked(style(1, 1, 1, 1), 0, 0, 0);
    notANumber.custom[EditorAttribute::presentationIndent] = QStringLiteral("12");
    shown.append(QStringLiteral("fourth"), notANumber);
    const AttributedString before = shown;

    const RichText text(shown);
    EXPECT_EQ(shown, before) << "the caller's text is not changed";
    for (const char* key : {"Quorrin.blockID", "Quorrin.blockRole", "Quorrin.presentation"})
        EXPECT_FALSE(text.rtf().contains(key)) << key;

    const AttributedString stored = text.attributed();
    EXPECT_EQ(stored.string(), shown.string());
    EXPECT_EQ(stored.attributesAt(0).paragraphStyle, style(0, 0, 0, 0));
    EXPECT_EQ(stored.attributesAt(6).paragraphStyle, style(10, 10, -6, 6));
    EXPECT_EQ(stored.attributesAt(13).paragraphStyle, style(5, 6, 7, 8)) << "unmarked style stored unchanged";
    EXPECT_EQ(std::get<double>(*stored.customAt(13, QStringLiteral("kept"))), 1.0);
    EXPECT_EQ(stored.attributesAt(19).paragraphStyle, style(1, 1, 1, 1)) << "a non-number amount counts as 0";
    for (const AttributedString::Run& run : stored.runs())
        EXPECT_EQ(run.attributes.custom.count(EditorAttribute::blockID), 0u);
}

// What a paragraph of the editor is stored as: runs that differ only by the
// editor's marks are one run once the marks are gone.
TEST(RichText, BytesOfMarkedTextStayAsStored)
{
    const TextAttributes marked = editorMarked(style(30, 30, -10, 8), 30, -10, 8);
    TextAttributes otherBlock = marked;
    otherBlock.custom[EditorAttribute::blockID] = QStringLiteral("00000000-0000-0000-0000-000000000001");
    otherBlock.custom.erase(EditorAttribute::blockRole);
    AttributedString twoBlocks(QStringLiteral("buy "), marked);
    twoBlocks.append(QStringLiteral("milk"), otherBlock);
    TextAttributes linked = marked;
    linked.custom[QStringLiteral("Quorrin.link")] = QStringLiteral("https://example.com/");
    TextAttributes otherStyle = marked;
    otherStyle.paragraphStyle = style(35, 35, -10, 8);
    otherStyle.font.reset();
    AttributedString withLink(QStringLiteral("buy "), marked);
    withLink.append(QStringLiteral("milk"), linked);

    const struct {
        const char* name;
        AttributedString text;
        const char* bytes;
    } cases[] = {
        {"a marked paragraph", AttributedString(QStringLiteral("buy milk"), marked),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\pard\\f0\\fs28 buy milk}}"},
        {"the next paragraph, in another style", AttributedString(QStringLiteral("eggs"), otherStyle),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl}\n"
         "{\\colortbl;}\n"
         "{\\pard\\li100 eggs}}"},
        {"runs apart only by the editor's marks", twoBlocks,
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\pard\\f0\\fs28 buy milk}}"},
        {"runs apart by a kept attribute", withLink,
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\pard\\f0\\fs28 buy }{\\pard\\f0\\fs28{\\*\\quorrinattrstring Quorrin.link;https://example.com/}milk}}"},
    };
    // In a series each twice in a row: the second from what the first found.
    RichText::Series series;
    for (const auto& c : cases) {
        EXPECT_EQ(RichText(c.text).rtf().toStdString(), c.bytes) << c.name;
        for (int time = 0; time < 2; ++time)
            EXPECT_EQ(series.store(c.text).rtf().toStdString(), c.bytes) << c.name << ", in a series";
    }
}

TEST(RichText, SubtractionMayGoNegative)
{
    const AttributedString shown(QStringLiteral("x"), editorMarked(style(0, 0, 0, 0), 12, 3, 4));
    EXPECT_EQ(RichText(shown).attributed().attributesAt(0).paragraphStyle, style(-12, -12, -3, -4));
}

TEST(RichText, PlainStringInFontWithDynamicTextColour)
{
    const RichText text(QStringLiteral("你好 abc"), TextFont::system(14));
    const AttributedString read = text.attributed();
    EXPECT_EQ(read.string(), QStringLiteral("你好 abc"));
    EXPECT_EQ(read.attributesAt(0).font, TextFont::system(14));
    EXPECT_TRUE(read.attributesAt(0).foreground->isDynamic());

    const RichText empty(QString(), TextFont::system(14));
    EXPECT_FALSE(empty.rtf().isEmpty()) << "an empty text is still a document";
    EXPECT_TRUE(empty.attributed().isEmpty());
    EXPECT_EQ(empty, RichText(QString(), TextFont::system(14)));
}

TEST(RichText, UnreadableBytesReadAsEmpty)
{
    EXPECT_TRUE(RichText().attributed().isEmpty());
    EXPECT_TRUE(RichText().read().has_value()) << "zero bytes are the empty text";
    const RichText bad = RichText::fromRtf("not rtf at all");
    EXPECT_FALSE(bad.read().has_value());
    EXPECT_TRUE(bad.attributed().isEmpty());
}

TEST(RichText, EqualityIsByBytes)
{
    const RichText a(QStringLiteral("a"), TextFont::system(14));
    EXPECT_EQ(a, RichText::fromRtf(a.rtf()));
    EXPECT_NE(a, RichText::fromRtf(a.rtf() + " "));
    EXPECT_EQ(RichText(a.attributed()), a) << "reading and storing again keeps the bytes";
}

} // namespace
} // namespace quorrin
