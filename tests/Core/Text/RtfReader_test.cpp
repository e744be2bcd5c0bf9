#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(RtfReader, BadBytesReadAsNothing)
{
    const QByteArray documents[] = {
        "",
        "plain text",
        "{\\rtf",  // only a header: still RTF, gives empty text (checked below)
        "\x89PNG\r\n\x1a\n",
        "{\\rtx1 abc}",
        QByteArray(5000, '{').prepend("{\\rtf1 "),
    };
    EXPECT_FALSE(rtf::read(documents[0]).has_value());
    EXPECT_FALSE(rtf::read(documents[1]).has_value());
    EXPECT_TRUE(rtf::read(documents[2]).value_or(AttributedString(QStringLiteral("x"))).isEmpty());
    EXPECT_FALSE(rtf::read(documents[3]).has_value());
    EXPECT_FALSE(rtf::read(documents[4]).has_value());
    EXPECT_FALSE(rtf::read(documents[5]).has_value()) << "nesting deeper than any real document";
}

TEST(RtfReader, NotesTellADocumentNestedTooDeeplyAndBinaryDataCutShort)
{
    // The document's own group counts: 1000 groups deep are read, 1001 not.
    const auto nested = [](int depth) {
        return QByteArray("{\\rtf1 ") + QByteArray(depth - 1, '{') + "x" + QByteArray(depth, '}');
    };
    struct Case {
        const char* name;
        QByteArray document;
        std::optional<QString> text;
        bool tooDeep;
        bool cut;
    };
    const Case cases[] = {
        {"999 deep", nested(999), QStringLiteral("x"), false, false},
        {"1000 deep", nested(1000), QStringLiteral("x"), false, false},
        {"1001 deep", nested(1001), std::nullopt, true, false},
        // "\bin5 " is followed by exactly 5 bytes, by 4, or by 6.
        {"binary to the end", "{\\rtf1 a\\bin5 12345", QStringLiteral("a"), false, false},
        {"binary one past the end", "{\\rtf1 a\\bin5 1234", QStringLiteral("a"), false, true},
        {"binary then text", "{\\rtf1 a\\bin5 12345b}", QStringLiteral("ab"), false, false},
        {"picture cut", "{\\rtf1 a{\\pict\\bin9 12", QStringLiteral("a"), false, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        rtf::ReadNotes notes;
        const std::optional<AttributedString> read = rtf::read(test.document, &notes);
        EXPECT_EQ(read.has_value(), test.text.has_value());
        if (read && test.text) {
            EXPECT_EQ(read->string(), *test.text);
        }
        EXPECT_EQ(notes.nestedTooDeeply, test.tooDeep);
        EXPECT_EQ(notes.binaryCut, test.cut);
        rtf::ReadNotes pictureNotes;
        (void)rtf::readWithPictures(test.document, &pictureNotes);
        EXPECT_EQ(pictureNotes.binaryCut, test.cut);
    }
}

TEST(RtfReader, HostileFragmentsNeverCrash)
{
    const QByteArray fragments[] = {
        "{\\rtf1 \\'", "{\\rtf1 \\'4", "{\\rtf1 \\u", "{\\rtf1 \\u-", "{\\rtf1 \\bin999999999 x}",
        "{\\rtf1 \\fs99999999999999999999999 x}", "{\\rtf1 {\\colortbl;\\red300\\green-5;}\\cf1 x}",
        "{\\rtf1 \\cf99 x\\cf-1 y}", "{\\rtf1 }}}}}} trailing", "{\\rtf1 {\\*\\quorrinattrnumber a;zz}x}",
        "{\\rtf1 \\uc99999\\u65 abc}", "{\\rtf1 \\ansicpg99999 \\'e4}",
        "{\\rtf1 \\li9223372036854775807\\fi9223372036854775807 x}",
        "{\\rtf1 \\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz x}",
    };
    for (const QByteArray& fragment : fragments) {
        const auto read = rtf::read(fragment);
        if (read)
            (void)rtf::write(*read);
    }
    SUCCEED();
}

TEST(RtfReader, ForeignDocumentWithCodePageLosesNoText)
{
    // In the style of a word processor on a Chinese system: GBK bytes as \'hh,
    // a font name in GBK, \uc1 fallbacks, unknown words and destinations.
    const QByteArray document =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
        "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\generator Riched20 10.0.19041}{\\info{\\title Secret}}\\viewkind4\\uc1 \r\n"
        "\\pard\\sa200\\sl276\\slmult1\\qc\\f0\\fs22\\lang2052 \\'c4\\'e3\\'ba\\'c3\\'a3\\'ac\\'ca\\'c0\\'bd\\'e7\\par\r\n"
        "\\pard\\li720\\fi-360 \\cf1\\b\\f1 Bold \\u8364\\'80 euro\\b0\\tab tab\\line next\\par\r\n"
        "{\\*\\unknowndestination hidden {nested}}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\r\n"
        "\\pard\\plain\\'d6\\'d0\\'ce\\'c4 \\{\\}\\\\}\r\n";
    const auto read = rtf::read(document);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->string(), QStringLiteral("你好，世界\nBold € euro\ttab\u2028next\nlink中文 {}\\"));

    const TextAttributes first = read->attributesAt(0);
    ASSERT_TRUE(first.font.has_value());
    EXPECT_EQ(first.font->family, QStringLiteral("宋体"));
    EXPECT_EQ(first.font->pointSize, 11);
    ASSERT_TRUE(first.paragraphStyle.has_value());
    EXPECT_EQ(first.paragraphStyle->alignment, TextAlignment::Center);
    EXPECT_EQ(first.paragraphStyle->paragraphSpacing, 10);

    const TextAttributes bold = read->attributesAt(int(read->string().indexOf(u'B')));
    EXPECT_EQ(bold.font->family, QStringLiteral("Arial"));
    EXPECT_TRUE(bold.font->bold);
    EXPECT_EQ(bold.foreground, TextColor::fixed(Rgba{1, 0, 0, 1}));
    EXPECT_EQ(bold.paragraphStyle->headIndent, 36);
    EXPECT_EQ(bold.paragraphStyle->firstLineHeadIndent, 18) << "\\fi is relative to \\li";
}

TEST(RtfReader, UnicodeFallbacksAreSkipped)
{
    struct Case {
        QByteArray document;
        QString expected;
    };
    const Case cases[] = {
        {"{\\rtf1 \\uc2\\u20013\\'d6\\'d0x}", QStringLiteral("中x")},
        {"{\\rtf1 \\uc0\\u20013 x}", QStringLiteral("中x")},
        {"{\\rtf1 \\u20013\\par x}", QStringLiteral("中x")}, // a control word counts as the fallback
        {"{\\rtf1 {\\uc3\\u20013}x}", QStringLiteral("中x")}, // the group end stops skipping
        {"{\\rtf1 \\u-10179?\\u-8704?}", QStringLiteral("😀")},
        {"{\\rtf1\\mac \\'8a}", QStringLiteral("ä")},
        {"{\\rtf1 caf\\'e9 \\~\\emdash}", QStringLiteral("café \u00A0\u2014")},
        {"{\\rtf1 a\\\r\nb}", QStringLiteral("a\nb")},
        {"{\\rtf1 {\\pict\\bin4 }}}}}x}", QStringLiteral("x")},
    };
    for (const Case& c : cases) {
        const auto read = rtf::read(c.document);
        ASSERT_TRUE(read.has_value()) << c.document.constData();
        EXPECT_EQ(read->string(), c.expected) << c.document.constData();
    }
}

TEST(RtfReader, ResetsAndDefaults)
{
    const auto read = rtf::read("{\\rtf1{\\fonttbl\\f0 Serif;\\f1 Mono;}\\deff1 {\\b\\qc bold}\\pard\\plain x\\fs30 y}");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->string(), QStringLiteral("boldxy"));
    const TextAttributes bold = read->attributesAt(0);
    EXPECT_EQ(bold.font, (TextFont{QStringLiteral("Mono"), 12, true, false})) << "\\deff names the default font";
    EXPECT_EQ(bold.paragraphStyle->alignment, TextAlignment::Center);
    const TextAttributes x = read->attributesAt(4);
    EXPECT_FALSE(x.font.has_value());
    EXPECT_EQ(x.paragraphStyle, ParagraphStyle{});
    EXPECT_EQ(read->attributesAt(5).font->pointSize, 15);

    // Every colour table entry starts from nothing: blue alone is pure blue,
    // an empty entry is the automatic colour.
    const auto coloured = rtf::read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\blue255;;}\\cf2 a\\cf3 b}");
    ASSERT_TRUE(coloured.has_value());
    EXPECT_EQ(coloured->attributesAt(0).foreground, TextColor::fixed(Rgba{0, 0, 1, 1}));
    EXPECT_EQ(coloured->attributesAt(1).foreground, TextColor::dynamicText());

    // Text outside any font group is in \deff's font, bytes in its charset.
    const auto gbk = rtf::read("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset134 SimSun;}}\\'c4\\'e3}");
    ASSERT_TRUE(gbk.has_value());
    EXPECT_EQ(gbk->string(), QStringLiteral("你"));
}

TEST(RtfReader, PlainTextIsTheStringOfTheFullRead)
{
    const QByteArray documents[] = {
        "",
        "plain text",
        "{\\rtf",
        "{\\rtf1 \\'",
        "{\\rtf1 \\uc99999\\u65 abc}",
        "{\\rtf1 }}}}}} trailing",
        "{\\rtf1 {\\*\\quorrinattrstring a;zz}x{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce;}}\\f0 \\'c4\\'e3\\par y}",
        "{\\rtf1 \\u-9408?{\\u-9215?}\\tab\\emdash\\~ cut short",
        QByteArray(5000, '{').prepend("{\\rtf1 x"),
        rtf::write(AttributedString(QStringLiteral("第 1 行：买牛奶\n\u2028line"), TextAttributes{{}, {}, 1, 0, {}, {}})),
    };
    for (const QByteArray& document : documents) {
        QString joined;
        const bool readable = rtf::readPlainText(document, [&](QStringView piece) {
            joined += piece;
            return true;
        });
        const std::optional<AttributedString> read = rtf::read(document);
        EXPECT_EQ(readable, read.has_value()) << document.left(60).constData();
        if (read) {
            EXPECT_EQ(joined, read->string()) << document.left(60).constData();
        }
    }
}

TEST(RtfReader, PlainTextStopsWhenAsked)
{
    // What follows the first piece would make the document unreadable.
    const QByteArray document = QByteArray(5000, '{').prepend("{\\rtf1 first");
    QStringList pieces;
    const bool readable = rtf::readPlainText(document, [&](QStringView piece) {
        pieces.append(piece.toString());
        return false;
    });
    EXPECT_TRUE(readable);
    EXPECT_EQ(pieces, QStringList{QStringLiteral("first")});
}

} // namespace
} // namespace quorrin
