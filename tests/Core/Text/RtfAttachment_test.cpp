#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

std::optional<QString> attachmentAt(const AttributedString& text, int position)
{
    const std::optional<CustomAttributeValue> value = text.customAt(position, rtf::attachmentAttribute);
    if (!value || !std::holds_alternative<QString>(*value))
        return std::nullopt;
    return std::get<QString>(*value);
}

AttributedString withAttachment(const QString& before, const QString& name, const QString& after)
{
    TextAttributes font;
    font.font = TextFont::system(14);
    AttributedString text(before, font);
    TextAttributes marked = font;
    marked.custom[rtf::attachmentAttribute] = name;
    text.append(QString(QChar(rtf::attachmentCharacter)), marked);
    text.append(after, font);
    return text;
}

TEST(RtfAttachmentTest, ReadsTheGroupsOtherWritersProduce)
{
    // The size words after the name, a line break and the "¬" placeholder as
    // a code-page byte, as other programs write them.
    const QByteArray document = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss Helvetica;}\\f0\\fs24 "
                                "\\u21069?{{\\NeXTGraphic \\u22270?\\u29255? 1.png \\width640 \\height480 "
                                "\\appleattachmentpadding0 \\appleembedtype0 \\appleaqc\n}\\'ac}\\u21518?\\par}";
    const std::optional<AttributedString> text = rtf::read(document);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), QStringLiteral("前\uFFFC后\n"));
    EXPECT_EQ(attachmentAt(*text, 1), QStringLiteral("图片 1.png"));
    EXPECT_EQ(text->attributesAt(1).font->family, QStringLiteral("Helvetica"));
    EXPECT_FALSE(attachmentAt(*text, 0));
    EXPECT_FALSE(attachmentAt(*text, 2));
}

TEST(RtfAttachmentTest, TheAttributeComesOnlyFromAttachmentGroups)
{
    // A custom attribute group cannot forge an attachment, and a group that
    // names no file is no attachment.
    const QByteArray forged = "{\\rtf1{{\\*\\quorrinattrstring Quorrin.attachment;../../x}abc}"
                              "{{\\NeXTGraphic   }\\u172?}d}";
    const std::optional<AttributedString> text = rtf::read(forged);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), QStringLiteral("abc\u00ACd"));
    for (int position = 0; position < text->length(); ++position)
        EXPECT_FALSE(attachmentAt(*text, position)) << position;
}

TEST(RtfAttachmentTest, OnlyThePlaceholderAfterTheGroupIsSwallowed)
{
    const std::optional<AttributedString> text = rtf::read("{\\rtf1{{\\NeXTGraphic a.pdf}xy}}");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), QStringLiteral("\uFFFCxy"));
    EXPECT_EQ(attachmentAt(*text, 0), QStringLiteral("a.pdf"));
}

TEST(RtfAttachmentTest, WrittenAttachmentsReadBackAndWriteTheSameBytes)
{
    const std::vector<QString> names = {QStringLiteral("photo.png"), QStringLiteral("报告;{v2}\\final.PDF"),
                                        QStringLiteral("  padded.png ")};
    for (const QString& name : names) {
        const AttributedString text = withAttachment(QStringLiteral("中文 "), name, QStringLiteral(" end"));
        const QByteArray written = rtf::write(text);
        EXPECT_TRUE(written.contains("\\NeXTGraphic")) << written.constData();
        const std::optional<AttributedString> read = rtf::read(written);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->string(), text.string());
        EXPECT_EQ(attachmentAt(*read, 3), name.trimmed());
        EXPECT_EQ(rtf::write(*read), written);
    }
}

TEST(RtfAttachmentTest, TheAttributeStaysOnlyOnAttachmentCharacters)
{
    TextAttributes marked;
    marked.custom[rtf::attachmentAttribute] = QStringLiteral("a.png");
    AttributedString text(QStringLiteral("x\uFFFC\uFFFCy"), marked);
    const QByteArray written = rtf::write(text);
    const std::optional<AttributedString> read = rtf::read(written);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->string(), text.string());
    EXPECT_FALSE(attachmentAt(*read, 0));
    EXPECT_EQ(attachmentAt(*read, 1), QStringLiteral("a.png"));
    EXPECT_EQ(attachmentAt(*read, 2), QStringLiteral("a.png"));
    EXPECT_FALSE(attachmentAt(*read, 3));
    EXPECT_EQ(rtf::write(*read), written);
}

} // namespace
} // namespace quorrin
