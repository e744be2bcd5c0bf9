#include "Editor/TextDocumentConversion.h"

#include "Domain/RichText.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quorrin {
namespace {

TextAttributes withFont(TextFont font)
{
    TextAttributes a;
    a.font = std::move(font);
    return a;
}

AttributedString concat(std::initializer_list<AttributedString> parts)
{
    AttributedString result;
    for (const auto& part : parts)
        result.append(part);
    return result;
}

struct RoundTripCase {
    const char* name;
    AttributedString text;
};

std::vector<RoundTripCase> roundTripCases()
{
    ParagraphStyle indented;
    indented.firstLineHeadIndent = 30;
    indented.headIndent = 20;
    indented.tailIndent = -16;
    indented.paragraphSpacing = 12;
    indented.lineSpacing = 2;
    indented.alignment = TextAlignment::Center;

    TextAttributes styled = withFont(TextFont{QStringLiteral("DejaVu Serif"), 17.5, true, true});
    styled.foreground = TextColor::fixed(Rgba{0.123456789, 0.5, 0.987654321, 0.42});
    styled.underlineStyle = 9;
    styled.strikethroughStyle = 2;
    styled.paragraphStyle = indented;

    TextAttributes marked = withFont(TextFont::system(14));
    marked.foreground = TextColor::dynamicText();
    marked.custom[EditorAttribute::blockID] = QStringLiteral("6F9619FF-8B86-D011-B42D-00C04FC964FF");
    marked.custom[EditorAttribute::presentationBase] = QList<double>{0, 4.5, -3};
    marked.custom[EditorAttribute::presentationIndent] = 44.0;
    marked.custom[QStringLiteral("Other.name")] = QStringLiteral("value");
    marked.paragraphStyle = ParagraphStyle{};

    TextAttributes notes = marked;
    notes.custom[EditorAttribute::blockRole] = QStringLiteral("notes");
    notes.font = TextFont::system(12);

    TextAttributes otherMark = marked;
    otherMark.custom[EditorAttribute::blockID] = QStringLiteral("0A0B0C0D-8B86-D011-B42D-00C04FC964FF");
    TextAttributes unmarked = marked;
    unmarked.custom.erase(EditorAttribute::blockID);

    return {
        {"empty", AttributedString()},
        {"plain without attributes", AttributedString(QStringLiteral("hello"))},
        {"single line break", AttributedString(QStringLiteral("\n"), marked)},
        {"zero width space run", AttributedString(QString(QChar(0x200B)) + QStringLiteral("\n"), marked)},
        {"fonts, colours, lines and paragraph style", AttributedString(QStringLiteral("Styled 中文"), styled)},
        {"mixed runs over paragraphs",
         concat({AttributedString(QStringLiteral("第一段\n"), marked), AttributedString(QStringLiteral("备注\n"), notes),
                 AttributedString(QStringLiteral("tail"), styled)})},
        {"empty paragraphs between", concat({AttributedString(QStringLiteral("a\n\n\n"), marked),
                                             AttributedString(QStringLiteral("b"), withFont(TextFont::system(25, true)))})},
        {"paragraphs that differ only in their marks",
         concat({AttributedString(QStringLiteral("a\n"), marked), AttributedString(QStringLiteral("a\n"), otherMark),
                 AttributedString(QStringLiteral("a\n"), unmarked), AttributedString(QStringLiteral("a\n"), marked),
                 AttributedString(QStringLiteral("b"), otherMark)})},
        {"line separator stays inside the paragraph", AttributedString(QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b\n"))},
    };
}

TEST(TextDocumentConversion, RoundTripGivesTheSameText)
{
    for (const auto& testCase : roundTripCases()) {
        QTextDocument document;
        textdoc::setContents(document, testCase.text);
        EXPECT_EQ(textdoc::contents(document), testCase.text) << testCase.name;
        EXPECT_EQ(textdoc::plainText(document, 0, testCase.text.length()), testCase.text.string()) << testCase.name;
    }
}

// Each character, separators included, carries the very format its
// attributes make, with its properties in the same order, however many
// characters before it had attributes that differ only in their marks.
TEST(TextDocumentConversion, EachCharacterHasTheFormatItsAttributesMake)
{
    for (const auto& testCase : roundTripCases()) {
        QTextDocument document;
        textdoc::setContents(document, testCase.text);
        for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                EXPECT_EQ(fragment.charFormat(), textdoc::charFormat(testCase.text.attributesAt(fragment.position())))
                    << testCase.name << " at " << fragment.position();
            }
            const int separator = block.position() + block.length() - 1;
            if (block.next().isValid()) {
                EXPECT_EQ(block.next().charFormat(), textdoc::charFormat(testCase.text.attributesAt(separator)))
                    << testCase.name << " separator at " << separator;
            }
        }
    }
}

TEST(TextDocumentConversion, SeparatorFormatIsTheFollowingBlocksCharFormat)
{
    TextAttributes first;
    first.custom[EditorAttribute::blockID] = QStringLiteral("A");
    TextAttributes separator;
    separator.custom[EditorAttribute::blockID] = QStringLiteral("SEP");
    TextAttributes second;
    second.custom[EditorAttribute::blockID] = QStringLiteral("B");
    const AttributedString text = concat({AttributedString(QStringLiteral("one"), first),
                                          AttributedString(QStringLiteral("\n"), separator),
                                          AttributedString(QStringLiteral("two"), second)});
    QTextDocument document;
    textdoc::setContents(document, text);

    ASSERT_EQ(document.blockCount(), 2);
    EXPECT_EQ(document.findBlockByNumber(1).charFormat().property(textdoc::BlockID).toString(), QStringLiteral("SEP"));
    const AttributedString separatorOnly = textdoc::read(document, 3, 1);
    EXPECT_EQ(separatorOnly.string(), QStringLiteral("\n"));
    EXPECT_EQ(separatorOnly.attributesAt(0).custom.at(EditorAttribute::blockID),
              CustomAttributeValue(QStringLiteral("SEP")));
    EXPECT_EQ(textdoc::readBlock(document.firstBlock(), true), text.substring(0, 4));
    EXPECT_EQ(textdoc::readBlock(document.firstBlock(), false), text.substring(0, 3));
}

TEST(TextDocumentConversion, ParagraphStyleOfAParagraphIsItsBlocksFormat)
{
    ParagraphStyle head;
    head.headIndent = 18;
    head.firstLineHeadIndent = 18;
    head.tailIndent = -16;
    head.paragraphSpacing = 6;
    ParagraphStyle todo = head;
    todo.headIndent = 44;
    todo.firstLineHeadIndent = 50;
    todo.tailIndent = -56;

    TextAttributes a;
    a.paragraphStyle = head;
    TextAttributes b;
    b.paragraphStyle = todo;
    QTextDocument document;
    textdoc::setContents(document, concat({AttributedString(QStringLiteral("bullet\n"), a),
                                           AttributedString(QStringLiteral("todo\n"), b)}));

    const QTextBlockFormat first = document.findBlockByNumber(0).blockFormat();
    const QTextBlockFormat second = document.findBlockByNumber(1).blockFormat();
    EXPECT_DOUBLE_EQ(first.leftMargin(), 18);
    EXPECT_DOUBLE_EQ(first.textIndent(), 0);
    EXPECT_DOUBLE_EQ(first.rightMargin(), 16);
    EXPECT_DOUBLE_EQ(first.bottomMargin(), 6);
    EXPECT_DOUBLE_EQ(second.leftMargin(), 44);
    EXPECT_DOUBLE_EQ(second.textIndent(), 6);
    EXPECT_EQ(textdoc::paragraphStyle(second), todo);
}

TEST(TextDocumentConversion, SystemFontShowsAsTheApplicationFont)
{
    const QTextCharFormat format = textdoc::charFormat(withFont(TextFont::system(14, true)));
    EXPECT_EQ(format.fontFamilies().toStringList(), QStringList{QGuiApplication::font().family()});
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    EXPECT_EQ(textdoc::attributes(format, {}).font, TextFont::system(14, true));

    // A format Qt made on its own (no marks) still reads sensibly.
    QTextCharFormat foreign;
    foreign.setFontFamilies(QStringList{QStringLiteral("Noto Sans")});
    foreign.setFontPointSize(11);
    foreign.setForeground(QColor(255, 0, 0));
    foreign.setFontUnderline(true);
    const TextAttributes read = textdoc::attributes(foreign, {});
    EXPECT_EQ(read.font, (TextFont{QStringLiteral("Noto Sans"), 11, false, false}));
    EXPECT_EQ(read.foreground, TextColor::fixed(Rgba{1, 0, 0, 1}));
    EXPECT_EQ(read.underlineStyle, 1);
}

TEST(TextDocumentConversion, InsertInTheMiddleKeepsTheRestOfTheBlock)
{
    ParagraphStyle outer;
    outer.headIndent = 7;
    TextAttributes outerAttributes;
    outerAttributes.paragraphStyle = outer;
    QTextDocument document;
    textdoc::setContents(document, AttributedString(QStringLiteral("abcd"), outerAttributes));

    TextAttributes inserted;
    inserted.custom[EditorAttribute::blockID] = QStringLiteral("X");
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    textdoc::insert(cursor, AttributedString(QStringLiteral("X\nY"), inserted));

    EXPECT_EQ(textdoc::plainText(document, 0, 100), QStringLiteral("abX\nYcd"));
    EXPECT_EQ(cursor.position(), 5);
    // "Y" starts the second paragraph, whose style is now the inserted one; the
    // first paragraph keeps its own.
    EXPECT_EQ(textdoc::paragraphStyle(document.findBlockByNumber(0).blockFormat()), outer);
    EXPECT_EQ(textdoc::paragraphStyle(document.findBlockByNumber(1).blockFormat()), std::nullopt);
    EXPECT_EQ(textdoc::read(document, 2, 3).substring(0, 3).attributesAt(1).custom.at(EditorAttribute::blockID),
              CustomAttributeValue(QStringLiteral("X")));
}

// The paragraphs of one run are inserted at once: each still takes the
// run's style, a separator ending the text still leaves a paragraph of no
// style, and "\r\n" still makes two paragraphs.
TEST(TextDocumentConversion, ParagraphsOfOneRunTakeItsStyleAndOnlyThem)
{
    ParagraphStyle style;
    style.headIndent = 7;
    TextAttributes styled;
    styled.paragraphStyle = style;
    const std::optional<ParagraphStyle> none;
    struct Row {
        QString text;
        std::vector<std::optional<ParagraphStyle>> expected;
    };
    const std::vector<Row> rows = {
        {QStringLiteral("a\nb\n\nc"), {style, style, style, style}},
        {QStringLiteral("a\nb\n"), {style, style, none}},
        {QStringLiteral("a\r\nb\nc"), {style, style, style, style}},
    };
    for (const Row& row : rows) {
        QTextDocument document;
        textdoc::setContents(document, AttributedString(row.text, styled));
        ASSERT_EQ(document.blockCount(), int(row.expected.size())) << row.text.toStdString();
        for (int i = 0; i < document.blockCount(); ++i)
            EXPECT_EQ(textdoc::paragraphStyle(document.findBlockByNumber(i).blockFormat()), row.expected[i])
                << row.text.toStdString() << " paragraph " << i;
    }
}

TEST(TextDocumentConversion, ReadClampsRanges)
{
    QTextDocument document;
    textdoc::setContents(document, AttributedString(QStringLiteral("ab\ncd")));
    EXPECT_EQ(textdoc::read(document, 1, 3).string(), QStringLiteral("b\nc"));
    EXPECT_EQ(textdoc::read(document, 4, 100).string(), QStringLiteral("d"));
    EXPECT_EQ(textdoc::read(document, -5, 2).string(), QStringLiteral("ab"));
    EXPECT_TRUE(textdoc::read(document, 99, 2).isEmpty());
}

} // namespace
} // namespace quorrin
