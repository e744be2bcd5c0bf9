#include "Features/NoteDocument.h"

#include "Support/FsTestSupport.h"
#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <limits>

namespace quorrin {
namespace {

using namespace documents;

const QChar attachmentCharacter(rtf::attachmentCharacter);

AttributedString marked(const QString& text)
{
    // Every U+FFFC in `text` becomes an attachment named by its position.
    AttributedString result;
    for (int position = 0; position < text.size(); ++position) {
        TextAttributes attributes;
        if (text.at(position) == attachmentCharacter)
            attributes.custom[rtf::attachmentAttribute] = QStringLiteral("f%1.png").arg(position);
        result.append(QString(text.at(position)), attributes);
    }
    return result;
}

// Paragraph pieces as their text, attachment pieces as "[name]".
QStringList describe(const std::vector<DocumentPiece>& pieces)
{
    QStringList result;
    for (const DocumentPiece& piece : pieces)
        result << (piece.kind == DocumentPiece::Kind::Paragraph ? piece.text.string() : '[' + piece.fileName + ']');
    return result;
}

TEST(NoteDocumentTest, DocumentsSplitIntoParagraphsAndAttachments)
{
    const QString image(attachmentCharacter);
    const std::vector<std::pair<QString, QStringList>> cases = {
        {"", {}},
        {"一\n\n\n二", {"一", "", "", "二"}},
        {"a\r\nb\rc\u2029d\u0085e", {"a", "b", "c", "d", "e"}},
        {"ends with break\n", {"ends with break"}},
        {"line\u2028\n", {"line"}},
        {"\n", {""}},
        {image + "\nnext", {"[f0.png]", "next"}},
        {"text" + image + "more" + image + "\n", {"textmore", "[f4.png]", "[f9.png]"}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(describe(splitIntoPieces(marked(text))), expected) << text.toStdString();
    // A U+FFFC without the attribute is ordinary text.
    EXPECT_EQ(describe(splitIntoPieces(AttributedString(image + "x"))), QStringList{image + "x"});
}

TEST(NoteDocumentTest, ParagraphsKeepTheirFormatting)
{
    TextAttributes bold;
    bold.font = TextFont{QStringLiteral("Serif"), 20, true, false};
    AttributedString text(QStringLiteral("粗体\n"), bold);
    const std::vector<DocumentPiece> pieces = splitIntoPieces(text);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].text, AttributedString(QStringLiteral("粗体"), bold));
}

TEST(NoteDocumentTest, AttachmentKindFollowsTheExtension)
{
    EXPECT_EQ(attachmentKind("Report.PDF"), BlockKind::Pdf);
    EXPECT_EQ(attachmentKind("a.pdf"), BlockKind::Pdf);
    EXPECT_EQ(attachmentKind("photo.jpeg"), BlockKind::Image);
    EXPECT_EQ(attachmentKind("pdf"), BlockKind::Image);
}

TEST(NoteDocumentTest, PriorityWordsClampOutOfRangeValues)
{
    const std::vector<std::pair<qint64, QString>> cases = {
        {0, "紧急"}, {1, "紧急"}, {2, "高"}, {3, "中"}, {4, "低"}, {9, "低"}, {-5, "紧急"},
        {std::numeric_limits<qint64>::max(), "低"}, {std::numeric_limits<qint64>::min(), "紧急"}};
    for (const auto& [priority, word] : cases)
        EXPECT_EQ(priorityWord(priority), word) << priority;
}

class RenderNoteTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString attachments = dir.filePath("Attachments");

    static Block block(BlockKind kind, const QString& text)
    {
        Block result;
        result.kind = kind;
        result.text = RichText(text, TextFont::system(14));
        if (kind == BlockKind::Todo)
            result.todo = TodoMetadata();
        return result;
    }

    static Block attachmentBlock(const QString& stored, const QString& original)
    {
        Block result = block(BlockKind::Image, QString());
        Attachment attachment;
        attachment.relativePath = stored;
        attachment.originalFilename = original;
        result.attachment = attachment;
        return result;
    }

    Note note(std::vector<Block> blocks) const
    {
        Note result;
        result.blocks = std::move(blocks);
        return result;
    }
};

TEST_F(RenderNoteTest, BlocksBecomeReadableText)
{
    Block done = block(BlockKind::Todo, "交报告");
    done.todo->isCompleted = true;
    done.todo->priority = 9;
    Block urgent = block(BlockKind::Todo, "打电话");
    urgent.todo->priority = 0;
    urgent.todo->notes = RichText("下午三点", TextFont::system(12));
    Block blankRemarks = block(BlockKind::Todo, "空备注");
    blankRemarks.todo->notes = RichText("\n", TextFont::system(12));
    Block bare = block(BlockKind::Todo, "无数据");
    bare.todo.reset();
    Block archived = block(BlockKind::Todo, "已归档");
    archived.todo->archivedAt = Date{5};
    Block broken = block(BlockKind::Paragraph, "x");
    broken.text = RichText::fromRtf("not rtf");

    const Note input = note({block(BlockKind::H1, "标题"), block(BlockKind::Bullet, "要点"), done, urgent,
                             blankRemarks, bare, archived, broken, block(BlockKind::Paragraph, "结尾")});
    const RenderedNote rendered = renderNote(input, attachments, false);
    EXPECT_EQ(rendered.text.string(), QStringLiteral("标题\n"
                                                     "• 要点\n"
                                                     "☑ 低 交报告\n"
                                                     "☐ 紧急 打电话\n"
                                                     "    备注：下午三点\n"
                                                     "☐ 低 空备注\n"
                                                     "    备注：\n\n"
                                                     "☐ 低 无数据\n"
                                                     "\n"
                                                     "结尾\n"));
    EXPECT_TRUE(rendered.files.empty());
    // The body keeps its formatting; prefixes carry none.
    EXPECT_EQ(rendered.text.attributesAt(0).font, TextFont::system(14));
    EXPECT_EQ(rendered.text.attributesAt(3), TextAttributes{});
}

TEST_F(RenderNoteTest, AttachmentsAreEmbeddedUnderSafeUniqueNamesOrNamed)
{
    testing::writeFile(attachments + "/A.png", "first");
    testing::writeFile(attachments + "/B.png", "second");
    testing::writeFile(attachments + "/C.pdf", "third");
    testing::writeFile(attachments + "/D.pdf", "fourth");
    testing::writeFile(dir.filePath("secret.png"), "outside");
    const Note input = note({attachmentBlock("A.png", "图.png"), attachmentBlock("B.png", "图.PNG"),
                             attachmentBlock("C.pdf", "txt.RTF"), attachmentBlock("D.pdf", "../a/b.pdf"),
                             attachmentBlock("gone.png", "丢失.png"), attachmentBlock("../secret.png", "secret.png")});

    const RenderedNote embedded = renderNote(input, attachments, true);
    const QString a(attachmentCharacter);
    EXPECT_EQ(embedded.text.string(), a + "\n" + a + "\n" + a + "\n" + a + "\n[附件：丢失.png]\n[附件：secret.png]\n");
    EXPECT_EQ(embedded.files, (std::vector<EmbeddedFile>{{"图.png", "first"}, {"图 2.PNG", "second"},
                                                         {"txt 2.RTF", "third"}, {".._a_b.pdf", "fourth"}}));
    EXPECT_EQ(attachmentsIn(embedded.text), (std::vector<AttachmentMark>{
                                                {0, "图.png"}, {2, "图 2.PNG"}, {4, "txt 2.RTF"}, {6, ".._a_b.pdf"}}));

    const RenderedNote named = renderNote(input, attachments, false);
    EXPECT_TRUE(named.files.empty());
    EXPECT_TRUE(named.text.string().startsWith("[附件：图.png]\n[附件：图.PNG]\n[附件：txt.RTF]\n[附件：../a/b.pdf]\n"));
}

} // namespace
} // namespace quorrin
