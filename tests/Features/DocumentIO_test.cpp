#include "Features/DocumentIO.h"
#include "Editor/LinkDetection.h"

#include "Domain/AppError.h"
#include "Features/DocumentFormats.h"
#include "Features/NoteDocument.h"
#include "Persistence/StoreFixtures.h"
#include "Support/FileDialogAnswer.h"
#include "Support/FsTestSupport.h"
#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>

namespace quorrin {
namespace {

using testing::StoreDirectory;
using testing::treeContents;
using testing::writeFile;

class FakeDialogs final : public FileDialogs {
public:
    std::optional<SaveChoice> answer;
    std::vector<SaveRequest> requests;

    std::optional<SaveChoice> askSavePath(QWidget*, const SaveRequest& request) override
    {
        requests.push_back(request);
        return answer;
    }
    QStringList askOpenPaths(QWidget*, const OpenRequest&) override { return {}; }
};

class FakeShare final : public ShareServices {
public:
    std::unique_ptr<QMimeData> clipboard;
    std::vector<QStringList> mails;
    bool mailerStarts = true;

    void copyToClipboard(std::unique_ptr<QMimeData> data) override { clipboard = std::move(data); }
    bool launchMailer(const QStringList& arguments) override
    {
        mails.push_back(arguments);
        return mailerStarts;
    }
};

class FakeAlerts final : public AlertPresenter {
public:
    QStringList messages;
    void present(const QString& message, const QString&) override { messages << message; }
};

QByteArray pngBytes(QColor color = Qt::red)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class DocumentIOTest : public ::testing::Test {
protected:
    StoreDirectory data;
    std::unique_ptr<NoteStore> store = data.open();
    QTemporaryDir outside;
    FakeDialogs* dialogs = new FakeDialogs;
    FakeShare* share = new FakeShare;
    std::shared_ptr<FakeAlerts> alerts = std::make_shared<FakeAlerts>();
    DocumentIO io{std::unique_ptr<FileDialogs>(dialogs), std::unique_ptr<ShareServices>(share), alerts};
    int flushes = 0;
    std::vector<QString> errors;

    void SetUp() override
    {
        store->setOnError([this](std::exception_ptr error) { errors.push_back(describeError(error)); });
    }

    QString attachmentsDir() const { return data.file(NoteStore::attachmentsDirectoryName); }
    QString path(const QString& name) const { return outside.filePath(name); }

    NoteSource source(const QUuid& id)
    {
        return NoteSource{store.get(), id, [this] { ++flushes; }, nullptr};
    }

    // The note the last import made.
    Note imported() const { return store->notes().back(); }

    Attachment storeAttachment(const QString& name, const QByteArray& bytes)
    {
        writeFile(path("source/" + name), bytes);
        return store->importAttachment(path("source/" + name));
    }

    static Block textBlock(BlockKind kind, const QString& text)
    {
        Block block;
        block.kind = kind;
        block.text = RichText(text, TextFont::system(14));
        if (kind == BlockKind::Todo)
            block.todo = TodoMetadata();
        return block;
    }

    // A note with a heading, a todo with remarks, a bullet, an image and a PDF.
    Note richNote()
    {
        Note note = store->create();
        Block todo = textBlock(BlockKind::Todo, "买牛奶");
        todo.todo->priority = 2;
        todo.todo->notes = RichText("全脂", TextFont::system(12));
        Block image = textBlock(BlockKind::Image, "");
        image.attachment = storeAttachment("照片.png", pngBytes());
        Block pdf = textBlock(BlockKind::Pdf, "");
        pdf.attachment = storeAttachment("说明.pdf", "%PDF");
        note.blocks = {textBlock(BlockKind::H2, "购物清单"), todo, textBlock(BlockKind::Bullet, "周末"), image, pdf};
        note.customTitle = "我的/便笺";
        store->update(note, true, false);
        return note;
    }

    static QStringList blockTexts(const Note& note)
    {
        QStringList texts;
        for (const Block& block : note.blocks)
            texts << (block.attachment ? '[' + block.attachment->originalFilename + ']' : block.text.attributed().string());
        return texts;
    }
};

TEST_F(DocumentIOTest, PlainTextBecomesANoteWithOneParagraphPerLine)
{
    writeFile(path("清单.TXT"), "第一行\n\n\n第三行\n");
    const std::size_t before = store->notes().size();
    DocumentIO::importDocument(path("清单.TXT"), *store);
    ASSERT_EQ(store->notes().size(), before + 1);
    EXPECT_EQ(blockTexts(imported()), (QStringList{"第一行", "", "", "第三行"}));
    for (const Block& block : imported().blocks)
        EXPECT_EQ(block.kind, BlockKind::Paragraph);
}

TEST_F(DocumentIOTest, AddressesInImportedTextBecomeLinks)
{
    writeFile(path("links.txt"), "见 https://example.org/a, 或写信 ann@example.com。\n没有地址\n");
    DocumentIO::importDocument(path("links.txt"), *store);
    const Note note = imported();
    ASSERT_EQ(note.blocks.size(), 2u);
    const AttributedString& first = note.blocks[0].text.attributed();
    const auto linkAt = [&](const QString& word) {
        const std::optional<CustomAttributeValue> value = first.customAt(int(first.string().indexOf(word)), links::attribute);
        return value ? std::get<QString>(*value) : QString();
    };
    EXPECT_EQ(linkAt("https"), "https://example.org/a");
    EXPECT_EQ(linkAt("ann@"), "mailto:ann@example.com");
    EXPECT_EQ(linkAt("或写信"), QString());
    EXPECT_FALSE(first.customAt(first.length() - 1, links::attribute).has_value()) << "the full stop is not linked";
    const AttributedString& second = note.blocks[1].text.attributed();
    EXPECT_FALSE(second.customAt(0, links::attribute).has_value());
}

TEST_F(DocumentIOTest, EachImportedLineIsStoredAsItWouldBeAlone)
{
    // Lines alike, lines with a link, a line in other attributes and empty
    // lines, one after another: each block holds the bytes of its own line.
    writeFile(path("rows.rtf"), "{\\rtf1 a\\par a\\par {\\b a}\\par a\\par\\par\\par see https://example.org/\\par "
                                "see https://example.org/\\par a}");
    const documents::Document document = documents::readDocument(path("rows.rtf"));
    DocumentIO::importDocument(path("rows.rtf"), *store);
    const Note note = imported();
    const std::vector<documents::DocumentPiece> pieces = documents::splitIntoPieces(document.text);
    ASSERT_EQ(note.blocks.size(), pieces.size());
    ASSERT_EQ(note.blocks.size(), 9u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        AttributedString line = pieces[i].text;
        links::markAddresses(line);
        EXPECT_EQ(note.blocks[i].text.rtf(), RichText(line).rtf()) << i;
    }
    EXPECT_NE(note.blocks[1].text, note.blocks[2].text) << "the bold line";
    EXPECT_NE(note.blocks[6].text, note.blocks[5].text) << "the linked line";
}

TEST_F(DocumentIOTest, AnEmptyDocumentGivesOneEmptyParagraph)
{
    writeFile(path("empty.rtf"), "{\\rtf1}");
    DocumentIO::importDocument(path("empty.rtf"), *store);
    ASSERT_EQ(imported().blocks.size(), 1u);
    EXPECT_EQ(imported().blocks[0].kind, BlockKind::Paragraph);
    EXPECT_EQ(imported().blocks[0].text, emptyDefaultText());
}

TEST_F(DocumentIOTest, RtfdAttachmentsBecomeImageAndPdfBlocksAfterTheirParagraph)
{
    TextAttributes font;
    font.font = TextFont::system(14);
    AttributedString text(QStringLiteral("前"), font);
    TextAttributes image;
    image.custom[rtf::attachmentAttribute] = QStringLiteral("pic");
    text.append(QString(QChar(rtf::attachmentCharacter)), image);
    text.append(QStringLiteral("后\n"), font);
    TextAttributes pdf;
    pdf.custom[rtf::attachmentAttribute] = QStringLiteral("Manual.PDF");
    text.append(QString(QChar(rtf::attachmentCharacter)), pdf);
    documents::writeRtfd(path("doc.rtfd"), text, {{"pic", pngBytes()}, {"Manual.PDF", "%PDF-1.7"}});

    DocumentIO::importDocument(path("doc.rtfd"), *store);
    const Note note = imported();
    EXPECT_EQ(blockTexts(note), (QStringList{"前后", "[pic]", "[Manual.PDF]"}));
    EXPECT_EQ(note.blocks[1].kind, BlockKind::Image);
    EXPECT_EQ(note.blocks[2].kind, BlockKind::Pdf);
    // Stored under new names; an extension-less file is taken as TIFF data.
    EXPECT_TRUE(note.blocks[1].attachment->relativePath.endsWith(".tiff"));
    EXPECT_TRUE(note.blocks[2].attachment->relativePath.endsWith(".pdf"));
    EXPECT_EQ(testing::readFile(attachmentsDir() + '/' + note.blocks[2].attachment->relativePath), "%PDF-1.7");
    EXPECT_EQ(note.blocks[1].text, emptyDefaultText());
}

TEST_F(DocumentIOTest, PicturesOfAWordProcessorRtfBecomeImageBlocksStoredAsTiff)
{
    // Written by pandoc: a PNG in a paragraph of its own, a JPEG between two words.
    const QString fixture = QStringLiteral(QUORRIN_FIXTURES_DIR "/pictures-pandoc.rtf");
    DocumentIO::importDocument(fixture, *store);
    const Note note = imported();
    EXPECT_EQ(blockTexts(note), (QStringList{"前文", "[导入图片.tiff]", "中间  后文", "[导入图片.tiff]"}));
    const std::vector<QSize> sizes = {{6, 4}, {5, 3}};
    const std::vector<QColor> colors = {Qt::red, Qt::blue};
    for (std::size_t index = 0; index < 2; ++index) {
        const Block& block = note.blocks[index * 2 + 1];
        EXPECT_EQ(block.kind, BlockKind::Image);
        ASSERT_TRUE(block.attachment);
        EXPECT_EQ(block.attachment->contentType, "tiff");
        EXPECT_TRUE(block.attachment->relativePath.endsWith(".tiff"));
        const QByteArray stored = testing::readFile(attachmentsDir() + '/' + block.attachment->relativePath);
        EXPECT_TRUE(stored.startsWith("II*") || stored.startsWith("MM")) << "TIFF data";
        const QImage image = QImage::fromData(stored);
        EXPECT_EQ(image.size(), sizes[index]);
        const QColor pixel = image.pixelColor(1, 1);
        EXPECT_NEAR(pixel.red(), colors[index].red(), 8);
        EXPECT_NEAR(pixel.blue(), colors[index].blue(), 8);
    }
}

TEST_F(DocumentIOTest, AttachmentsThatAreNeitherImagesNorPdfsAreRefused)
{
    TextAttributes script;
    script.custom[rtf::attachmentAttribute] = QStringLiteral("run.png");
    documents::writeRtfd(path("script.rtfd"), AttributedString(QStringLiteral("\uFFFC"), script),
                         {{"run.png", "#!/bin/sh\nrm -rf ~\n"}});
    // A metafile picture, which no installed reader can draw.
    writeFile(path("metafile.rtf"), "{\\rtf1 {\\pict\\emfblip 0100000064000000}}");

    const std::vector<Note> notesBefore = store->notes();
    const QMap<QString, QByteArray> filesBefore = treeContents(data.path());
    try {
        DocumentIO::importDocument(path("script.rtfd"), *store);
        ADD_FAILURE() << "imported";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message, "导入文件含不支持的附件“run.png”（只能导入图片和 PDF），未修改便笺。");
    }
    try {
        DocumentIO::importDocument(path("metafile.rtf"), *store);
        ADD_FAILURE() << "imported";
    } catch (const AppError& error) {
        EXPECT_EQ(error.message, "导入文件含无法读取的附件，未修改便笺。");
    }
    EXPECT_EQ(store->notes(), notesBefore);
    EXPECT_EQ(treeContents(data.path()), filesBefore);
}

TEST_F(DocumentIOTest, RefusedDocumentsLeaveTheStoreAndDataDirectoryAsTheyWere)
{
    richNote();
    // The first attachment is fine; the second reaches outside the bundle.
    TextAttributes first;
    first.custom[rtf::attachmentAttribute] = QStringLiteral("ok.png");
    TextAttributes second;
    second.custom[rtf::attachmentAttribute] = QStringLiteral("../../../etc/passwd");
    AttributedString text(QStringLiteral("\uFFFC"), first);
    text.append(QStringLiteral("\n\uFFFC"), second);
    writeFile(path("hostile.rtfd/TXT.rtf"), rtf::write(text));
    writeFile(path("hostile.rtfd/ok.png"), "fine");
    writeFile(path("broken.rtf"), "garbage");

    const std::vector<Note> notesBefore = store->notes();
    const QMap<QString, QByteArray> filesBefore = treeContents(data.path());
    for (const QString& name : QStringList{"hostile.rtfd", "broken.rtf", "missing.txt"}) {
        EXPECT_THROW(DocumentIO::importDocument(path(name), *store), AppError) << name.toStdString();
        EXPECT_EQ(store->notes(), notesBefore);
        EXPECT_EQ(treeContents(data.path()), filesBefore);
    }
}

TEST_F(DocumentIOTest, ADocumentOverTheSizeLimitIsRefusedNamingTheLimitAndOneAtItIsImported)
{
    const QByteArray atLimit(documents::maximumDocumentBytes, 'a');
    const QByteArray over = atLimit + 'a';
    writeFile(path("at.txt"), atLimit);
    writeFile(path("over.txt"), over);
    writeFile(path("over.rtf"), "{\\rtf1 " + over + "}");
    writeFile(path("over.rtfd/TXT.rtf"), "{\\rtf1 " + over + "}");
    const std::size_t before = store->notes().size();
    for (const QString& name : {QStringLiteral("over.txt"), QStringLiteral("over.rtf"), QStringLiteral("over.rtfd")}) {
        SCOPED_TRACE(name.toStdString());
        try {
            DocumentIO::importDocument(path(name), *store);
            ADD_FAILURE() << "imported";
        } catch (const AppError& error) {
            EXPECT_TRUE(error.message.startsWith(QStringLiteral("“%1”有 1.0 MB，").arg(name)));
            EXPECT_TRUE(error.message.endsWith(QStringLiteral("超过可导入的文稿上限 1 MB，未导入。")));
        }
        EXPECT_EQ(store->notes().size(), before);
    }
    DocumentIO::importDocument(path("at.txt"), *store);
    EXPECT_EQ(blockTexts(imported()), QStringList{QString::fromLatin1(atLimit)});
}

TEST_F(DocumentIOTest, ADocumentNestedTooDeeplyIsRefusedSayingSo)
{
    writeFile(path("deep.rtf"), QByteArray("{\\rtf1 ") + QByteArray(1000, '{') + QByteArray(1001, '}'));
    writeFile(path("deep.rtfd/TXT.rtf"), QByteArray("{\\rtf1 ") + QByteArray(1000, '{') + QByteArray(1001, '}'));
    const std::size_t before = store->notes().size();
    for (const QString& name : {QStringLiteral("deep.rtf"), QStringLiteral("deep.rtfd")}) {
        SCOPED_TRACE(name.toStdString());
        try {
            DocumentIO::importDocument(path(name), *store);
            ADD_FAILURE() << "imported";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message, QStringLiteral("无法读取“%1”：文稿的分组嵌套层数过多，超出可读取的范围。").arg(name));
        }
        EXPECT_EQ(store->notes().size(), before);
    }
}

TEST_F(DocumentIOTest, BinaryDataCutShortKeepsTheTextBeforeItAndSaysSo)
{
    writeFile(path("cut.rtf"), "{\\rtf1 kept\\par\\bin100 short");
    DocumentIO::importDocument(path("cut.rtf"), *store);
    EXPECT_EQ(blockTexts(imported()), QStringList{"kept"});
    EXPECT_EQ(errors, std::vector<QString>{QStringLiteral(
                          "“cut.rtf”中的二进制数据超出了文件末尾：已导入此前的内容，其后的内容无法读取。")});
}

TEST_F(DocumentIOTest, ExportAsksForADestinationNamedAfterTheTitle)
{
    const Note note = richNote();
    io.exportNote(source(note.id));
    EXPECT_EQ(flushes, 1) << "pending typing is written back first";
    ASSERT_EQ(dialogs->requests.size(), 1u);
    const FileDialogs::SaveRequest& request = dialogs->requests[0];
    EXPECT_EQ(request.suggestedName, "我的-便笺.rtfd");
    ASSERT_EQ(request.types.size(), 3u);
    EXPECT_EQ(request.types[0].extension, "rtfd");
    EXPECT_EQ(request.types[1].extension, "rtf");
    EXPECT_EQ(request.types[2].extension, "txt");
    EXPECT_EQ(request.message, "RTFD 可携带附件；RTF/TXT 将附件转换为文件名。任务和备注导出为可读文本，完整数据请使用备份。");
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"source"})
        << "cancelling writes nothing";
}

TEST_F(DocumentIOTest, ExportedDocumentsImportBackWithTheirContent)
{
    const Note note = richNote();
    const QStringList readable = {"购物清单", "☐ 高 买牛奶", "    备注：全脂", "• 周末"};

    dialogs->answer = FileDialogs::SaveChoice{path("导出.rtfd"), 0};
    io.exportNote(source(note.id));
    DocumentIO::importDocument(path("导出.rtfd"), *store);
    EXPECT_EQ(blockTexts(imported()), readable + QStringList({"[照片.png]", "[说明.pdf]"}));
    EXPECT_EQ(imported().blocks[4].kind, BlockKind::Image);
    EXPECT_EQ(imported().blocks[5].kind, BlockKind::Pdf);
    EXPECT_EQ(testing::readFile(attachmentsDir() + '/' + imported().blocks[5].attachment->relativePath), "%PDF");

    dialogs->answer = FileDialogs::SaveChoice{path("导出"), 1}; // the RTF type, no extension typed
    io.exportNote(source(note.id));
    DocumentIO::importDocument(path("导出.rtf"), *store);
    EXPECT_EQ(blockTexts(imported()), readable + QStringList({"[附件：照片.png]", "[附件：说明.pdf]"}));

    dialogs->answer = FileDialogs::SaveChoice{path("导出.TXT"), 0};
    io.exportNote(source(note.id));
    EXPECT_EQ(testing::readFile(path("导出.TXT")),
              QStringLiteral("购物清单\n☐ 高 买牛奶\n    备注：全脂\n• 周末\n[附件：照片.png]\n[附件：说明.pdf]\n").toUtf8());
    EXPECT_TRUE(errors.empty());
}

TEST_F(DocumentIOTest, ExportFailuresGoToTheStoresErrorReporting)
{
    const Note note = richNote();
    dialogs->answer = FileDialogs::SaveChoice{path("no/such/folder/a.rtf"), 1};
    io.exportNote(source(note.id));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith("无法写入")) << errors[0].toStdString();
    EXPECT_TRUE(store->lastError());
}

TEST_F(DocumentIOTest, AGoneNoteIsNeitherExportedNorShared)
{
    dialogs->answer = FileDialogs::SaveChoice{path("a.rtf"), 1};
    io.exportNote(source(QUuid::createUuid()));
    io.copyNote(source(QUuid::createUuid()));
    io.mailNote(source(QUuid::createUuid()));
    EXPECT_TRUE(dialogs->requests.empty());
    EXPECT_FALSE(share->clipboard);
    EXPECT_TRUE(share->mails.empty());
}

TEST_F(DocumentIOTest, CopyPutsRtfHtmlAndPlainTextOnTheClipboard)
{
    const Note note = richNote();
    io.copyNote(source(note.id));
    ASSERT_TRUE(share->clipboard);
    const QString plain = share->clipboard->text();
    EXPECT_TRUE(plain.startsWith("购物清单\n☐ 高 买牛奶\n")) << plain.toStdString();
    EXPECT_TRUE(plain.contains("[附件：照片.png]"));
    const std::optional<AttributedString> rtf = rtf::read(share->clipboard->data("text/rtf"));
    ASSERT_TRUE(rtf);
    EXPECT_EQ(rtf->string(), plain);
    EXPECT_TRUE(share->clipboard->html().contains("买牛奶"));
}

TEST_F(DocumentIOTest, MailAttachesTheTextAndTheFiles)
{
    const Note note = richNote();
    io.mailNote(source(note.id));
    ASSERT_EQ(share->mails.size(), 1u);
    const QStringList arguments = share->mails[0];
    EXPECT_EQ(arguments.mid(0, 3), (QStringList{"--utf8", "--subject", "我的/便笺"}));
    QStringList attached;
    for (qsizetype index = 0; index + 1 < arguments.size(); ++index) {
        if (arguments[index] == "--attach")
            attached << arguments[index + 1];
    }
    ASSERT_EQ(attached.size(), 3);
    EXPECT_TRUE(attached[0].endsWith("/我的-便笺.rtf"));
    EXPECT_EQ(testing::readFile(attached[1]), pngBytes());
    EXPECT_EQ(testing::readFile(attached[2]), "%PDF");
    EXPECT_TRUE(alerts->messages.isEmpty());

    share->mailerStarts = false;
    io.mailNote(source(note.id));
    EXPECT_EQ(alerts->messages, QStringList{"无法打开邮件程序：xdg-email 未能启动。"});
}

// The open and save panels open where the last of them chose a file, or in
// the home folder, never in the directory the application was started from.
TEST(QtFileDialogsTest, OpenAndSavePanelsOpenWhereTheLastChoiceWasMade)
{
    const testing::DialogPlaces places(QStringLiteral("letter.txt"));
    QtFileDialogs dialogs(std::make_shared<DialogFolder>(places.home.path()));

    QString openedIn;
    testing::answerFileDialog(openedIn, places.file);
    EXPECT_EQ(dialogs.askOpenPaths(nullptr, {}), QStringList{places.file});
    EXPECT_EQ(openedIn, places.home.path());

    testing::answerFileDialog(openedIn);
    EXPECT_FALSE(dialogs.askSavePath(nullptr, {QStringLiteral("note.txt"), {}, QString()}));
    EXPECT_EQ(openedIn, places.chosen.path());
}

} // namespace
} // namespace quorrin
