#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorrin {
namespace {

TextAttributes plain(double size = 14)
{
    TextAttributes attributes;
    attributes.font = TextFont::system(size);
    attributes.foreground = TextColor::dynamicText();
    return attributes;
}

AttributedString mixedText()
{
    AttributedString text;
    text.append(QStringLiteral("Plain {braces} \\ and tabs\there\n"), plain());

    TextAttributes bold = plain(15.5);
    bold.font->family = QStringLiteral("Noto Sans CJK SC");
    bold.font->bold = true;
    bold.font->italic = true;
    bold.foreground = TextColor::fixed(Rgba{1, 0, 0, 1});
    text.append(QStringLiteral("中文粗体 😀 emoji\n"), bold);

    TextAttributes styled = plain();
    styled.foreground = TextColor::fixed(Rgba{0, 128 / 255.0, 1, 64 / 255.0});
    styled.underlineStyle = 9;
    styled.strikethroughStyle = 1;
    ParagraphStyle paragraph;
    paragraph.alignment = TextAlignment::Center;
    paragraph.firstLineHeadIndent = -12;
    paragraph.headIndent = 24.5;
    paragraph.tailIndent = -8;
    paragraph.paragraphSpacing = 6;
    paragraph.paragraphSpacingBefore = 3;
    paragraph.lineSpacing = 2.5;
    styled.paragraphStyle = paragraph;
    styled.custom[QStringLiteral("Quorrin.link")] = QStringLiteral("a;b\\{c} 链接\n");
    styled.custom[QStringLiteral("weight;odd name")] = 0.1;
    styled.custom[QStringLiteral("list")] = QList<double>{1, -2.25, 1e300};
    text.append(QStringLiteral("Underlined\u2028line two"), styled);

    text.append(QStringLiteral(" no attributes at all"), TextAttributes{});
    return text;
}

// Stored documents hold these bytes: the same text must always be written
// to exactly them again.
TEST(Rtf, BytesStayAsStored)
{
    TextAttributes serif = plain(12);
    serif.font->family = QStringLiteral("Noto Serif");
    serif.foreground = TextColor::fixed(Rgba{0.2, 0.4, 0.6, 1});
    TextAttributes sans = plain(16);
    sans.font->family = QStringLiteral("Noto Sans");
    sans.font->bold = true;
    sans.foreground = TextColor::fixed(Rgba{1, 0, 0, 0.5});
    TextAttributes serifInRed = serif;
    serifInRed.foreground = sans.foreground;
    AttributedString fonts;
    fonts.append(QStringLiteral("one "), serif);
    fonts.append(QStringLiteral("two "), sans);
    fonts.append(QStringLiteral("three "), serifInRed);
    fonts.append(QStringLiteral("four\n"), plain());
    fonts.append(QStringLiteral("five"), sans);

    TextAttributes embedded = plain();
    embedded.custom[rtf::attachmentAttribute] = QStringLiteral("图.png");
    AttributedString attachments;
    attachments.append(QStringLiteral("see "), plain());
    attachments.append(QStringLiteral("\uFFFC\uFFFC"), embedded);
    attachments.append(QStringLiteral(" done"), plain());

    TextAttributes linked = plain();
    linked.custom[QStringLiteral("Quorrin.link")] = QStringLiteral("https://example.com/");

    TextAttributes rounded = plain(13.3);
    AttributedString merged(QStringLiteral("13.3 pt "), rounded);
    rounded.font->pointSize = 13.4;
    merged.append(QStringLiteral("and 13.4 pt read back as one run"), rounded);

    const struct {
        const char* name;
        AttributedString text;
        const char* bytes;
    } cases[] = {
        {"a short line in one format", AttributedString(QStringLiteral("buy milk\n"), plain()),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\f0\\fs28\\cf0 buy milk\\par\n"
         "}}"},
        {"every attribute", mixedText(),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}{\\f1\\fnil Noto Sans CJK SC;}}\n"
         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255\\quorrinalpha64;}\n"
         "{\\f0\\fs28\\cf0 Plain \\{braces\\} \\\\ and tabs\\tab here\\par\n"
         "}{\\f1\\fs31\\b\\i\\cf1\\u20013?\\u25991?\\u31895?\\u20307? \\u-10179?\\u-8704? emoji\\par\n"
         "}"
         "{\\pard\\qc\\fi-730\\li490\\ri160\\sb60\\sa120\\slleading50\\f0\\fs28\\cf2\\uldb\\strike{\\*\\quorrinattrstring Quorrin.link;a\\u59?b\\\\\\{c\\} \\u-27394?\\u25509?\\u10?}"
         "{\\*\\quorrinattrnumbers list;1,-2.25,1e+300}"
         "{\\*\\quorrinattrnumber weight\\u59?odd name;0.1}Underlined\\line line two}{ no attributes at all}}"},
        {"several fonts and colours", fonts,
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil Noto Serif;}{\\f1\\fnil Noto Sans;}{\\f2\\fnil .SystemFont;}}\n"
         "{\\colortbl;\\red51\\green102\\blue153;\\red255\\green0\\blue0\\quorrinalpha128;}\n"
         "{\\f0\\fs24\\cf1 one }{\\f1\\fs32\\b\\cf2 two }{\\f0\\fs24\\cf2 three }{\\f2\\fs28\\cf0 four\\par\n"
         "}{\\f1\\fs32\\b\\cf2 five}}"},
        {"attachments", attachments,
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\f0\\fs28\\cf0 see }{\\f0\\fs28\\cf0{{\\NeXTGraphic\\u22270?.png}\\u172?}"
         "{{\\NeXTGraphic\\u22270?.png}\\u172?}}{\\f0\\fs28\\cf0  done}}"},
        {"neighbours equal once rounded", merged,
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\f0\\fs27\\cf0 13.3 pt and 13.4 pt read back as one run}}"},
        {"another line in a format met before, escapes first",
         AttributedString(QStringLiteral("\tx {y} \\\n"), plain()),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\f0\\fs28\\cf0\\tab x \\{y\\} \\\\\\par\n"
         "}}"},
        {"a line whose attributes end in a group", AttributedString(QStringLiteral("linked"), linked),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\f0\\fs28\\cf0{\\*\\quorrinattrstring Quorrin.link;https://example.com/}linked}}"},
        {"an attachment alone", AttributedString(QStringLiteral("\uFFFC"), embedded),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
         "{\\fonttbl{\\f0\\fnil .SystemFont;}}\n"
         "{\\colortbl;}\n"
         "{\\f0\\fs28\\cf0{{\\NeXTGraphic\\u22270?.png}\\u172?}}}"},
        {"no text", AttributedString(),
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl}\n{\\colortbl;}\n}"},
    };
    // Written in a series, twice over, each opening made once is used again;
    // a text of one run also as its characters and attributes, twice in a
    // row, the second time from what the first found.
    rtf::SeriesWriter series;
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            EXPECT_EQ(rtf::write(c.text).toStdString(), c.bytes) << c.name;
            EXPECT_EQ(series.write(c.text).toStdString(), c.bytes) << c.name << ", in a series";
            if (c.text.runs().size() != 1)
                continue;
            for (int time = 0; time < 2; ++time)
                EXPECT_EQ(series.write(c.text.string(), c.text.runs().front().attributes).toStdString(), c.bytes)
                    << c.name << ", as one run";
        }
    }
}

TEST(Rtf, EveryAttributeRoundTrips)
{
    const AttributedString text = mixedText();
    const auto read = rtf::read(rtf::write(text));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->string(), text.string());
    EXPECT_EQ(read->runs(), text.runs());
}

TEST(Rtf, ValuesRoundTripAtDocumentPrecision)
{
    struct Case {
        const char* name;
        TextAttributes attributes;
    };
    auto withParagraph = [](auto change) {
        TextAttributes attributes;
        ParagraphStyle style;
        change(style);
        attributes.paragraphStyle = style;
        return attributes;
    };
    auto withFont = [](double size) {
        TextAttributes attributes;
        attributes.font = TextFont{QStringLiteral("宋体;{x}"), size, false, true};
        return attributes;
    };
    TextAttributes thickUnderline;
    thickUnderline.underlineStyle = 2;
    TextAttributes patternUnderline;
    patternUnderline.underlineStyle = 0x201;
    TextAttributes doubleStrike;
    doubleStrike.strikethroughStyle = 9;
    TextAttributes thickStrike;
    thickStrike.strikethroughStyle = 2;
    TextAttributes emptyList;
    emptyList.custom[QString()] = QList<double>{};
    TextAttributes emptyParagraph;
    emptyParagraph.paragraphStyle = ParagraphStyle{};

    const Case cases[] = {
        {"15.5 pt", withFont(15.5)},
        {"huge font", withFont(1e6)},
        {"negative first-line indent",
         withParagraph([](ParagraphStyle& s) { s.firstLineHeadIndent = -20; s.headIndent = 10; })},
        {"negative head indent", withParagraph([](ParagraphStyle& s) { s.headIndent = -7.25; })},
        {"positive tail indent", withParagraph([](ParagraphStyle& s) { s.tailIndent = 300; })},
        {"justified", withParagraph([](ParagraphStyle& s) { s.alignment = TextAlignment::Justified; })},
        {"left", withParagraph([](ParagraphStyle& s) { s.alignment = TextAlignment::Left; })},
        {"right", withParagraph([](ParagraphStyle& s) { s.alignment = TextAlignment::Right; })},
        {"default paragraph style", emptyParagraph},
        {"thick underline", thickUnderline},
        {"pattern underline", patternUnderline},
        {"double strikethrough", doubleStrike},
        {"thick strikethrough", thickStrike},
        {"empty number list, empty name", emptyList},
    };
    for (const Case& c : cases) {
        const AttributedString text(QStringLiteral("x\ny"), c.attributes);
        const auto read = rtf::read(rtf::write(text));
        ASSERT_TRUE(read.has_value()) << c.name;
        EXPECT_EQ(read->runs(), text.runs()) << c.name;
    }
}

TEST(Rtf, WritingIsAFixedPoint)
{
    TextAttributes odd = plain(13.3);
    odd.foreground = TextColor::fixed(Rgba{0.1234, 0.5, 2.0, -1});
    ParagraphStyle style;
    style.headIndent = 1.0 / 3.0;
    style.firstLineHeadIndent = std::numeric_limits<double>::quiet_NaN();
    style.tailIndent = 1e200;
    odd.paragraphStyle = style;
    odd.custom[QStringLiteral("n")] = std::numeric_limits<double>::infinity();
    odd.custom[QStringLiteral("not a number")] = std::numeric_limits<double>::quiet_NaN();
    AttributedString text = mixedText();
    text.append(QStringLiteral("odd values"), odd);
    text.append(QStringLiteral("neighbour that merges after rounding"), [&] {
        TextAttributes close = odd;
        close.font->pointSize = 13.4;
        close.custom[QStringLiteral("not a number")] = QList<double>{1, std::nan("")};
        return close;
    }());
    text.append(QString(QChar(0xD800)) + QChar(u'\r') + QChar(u'\0'), plain());

    const QByteArray first = rtf::write(text);
    const auto read = rtf::read(first);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(rtf::write(*read), first);
    EXPECT_EQ(rtf::write(text), first) << "deterministic";
}

TEST(Rtf, OutputIsSevenBitAscii)
{
    const QByteArray document = rtf::write(mixedText());
    for (const char byte : document)
        EXPECT_EQ(byte & 0x80, 0);
    EXPECT_TRUE(document.contains("\\fs31"));
    EXPECT_TRUE(document.contains("\\u20013?")) << "CJK as \\uN";
    EXPECT_TRUE(document.contains("\\u-10179?\\u-8704?")) << "emoji as a surrogate pair";
}

TEST(Rtf, DynamicTextColourStaysDynamic)
{
    const QByteArray document = rtf::write(AttributedString(QStringLiteral("a"), plain()));
    EXPECT_TRUE(document.contains("\\cf0"));
    EXPECT_FALSE(document.contains("\\red"));
    const auto read = rtf::read(document);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->attributesAt(0).foreground->isDynamic());
}

TEST(Rtf, EmptyTextWritesAValidDocument)
{
    const QByteArray document = rtf::write(AttributedString());
    EXPECT_TRUE(document.startsWith("{\\rtf1"));
    EXPECT_TRUE(document.endsWith("}"));
    const auto read = rtf::read(document);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->isEmpty());
}

} // namespace
} // namespace quorrin
