#include "Features/DocumentFormats.h"

#include "Domain/AppError.h"
#include "Support/FsTestSupport.h"
#include "Core/Text/Rtf.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace quorrin {
namespace {

using namespace documents;
using testing::readFile;
using testing::treeContents;
using testing::writeFile;

AttributedString textWithAttachments(const std::vector<QString>& names)
{
    TextAttributes font;
    font.font = TextFont{QStringLiteral("Noto Sans CJK SC"), 16, true, false};
    AttributedString text(QStringLiteral("第一段：中文\n"), font);
    for (const QString& name : names) {
        TextAttributes marked;
        marked.custom[rtf::attachmentAttribute] = name;
        text.append(QString(QChar(rtf::attachmentCharacter)), marked);
    }
    text.append(QStringLiteral("\n最后"), font);
    return text;
}

// The message an import fails with, or "" when it does not fail.
QString importFailure(const QString& path)
{
    try {
        readDocument(path);
    } catch (const AppError& error) {
        return error.message;
    }
    return {};
}

TEST(DocumentFormatsTest, TheTypeFollowsTheExtensionInAnyCase)
{
    const std::vector<std::pair<QString, DocumentType>> cases = {
        {"/a/b.txt", DocumentType::PlainText}, {"/a/b.TXT", DocumentType::PlainText},
        {"/a/b.rtf", DocumentType::Rtf},       {"/a/b.doc", DocumentType::Rtf},
        {"/a/noextension", DocumentType::Rtf}, {"/a/b.RtfD", DocumentType::Rtfd},
        {"/a/b.rtfd/", DocumentType::Rtfd},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(documentTypeOf(path), type) << path.toStdString();
}

TEST(DocumentFormatsTest, PlainTextEncodingIsDetected)
{
    const QString chinese = QStringLiteral("中文便笺\n第二行");
    QByteArray utf16 = "\xFF\xFE";
    for (const QChar character : chinese) {
        utf16 += char(character.unicode() & 0xFF);
        utf16 += char(character.unicode() >> 8);
    }
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {chinese.toUtf8(), chinese},
        {"\xEF\xBB\xBF" + chinese.toUtf8(), chinese},
        {utf16, chinese},
        {QByteArray("\xD6\xD0\xCE\xC4"), QStringLiteral("中文")}, // GB18030, not UTF-8
        {QByteArray(), QString()},
    };
    for (const auto& [bytes, expected] : cases) {
        const AttributedString text = decodePlainText(bytes);
        EXPECT_EQ(text.string(), expected);
        if (!text.isEmpty()) {
            EXPECT_EQ(text.attributesAt(0).font, TextFont::system(14));
        }
    }
}

class DocumentFilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

    // A bundle whose text names the given attachments, with the given files.
    QString bundle(const QString& name, const std::vector<QString>& names,
                   const std::vector<std::pair<QString, QByteArray>>& files)
    {
        const QString root = path(name);
        writeFile(root + "/TXT.rtf", rtf::write(textWithAttachments(names)));
        for (const auto& [file, bytes] : files)
            writeFile(root + '/' + file, bytes);
        return root;
    }
};

TEST_F(DocumentFilesTest, RtfdRoundTripKeepsTextFormattingAndFiles)
{
    const AttributedString text = textWithAttachments({"图片.png", "报告.PDF"});
    const std::vector<EmbeddedFile> files = {{"图片.png", testing::tinyPng()}, {"报告.PDF", "%PDF-1.4"}};
    writeRtfd(path("便笺.rtfd"), text, files);

    const Document read = readDocument(path("便笺.rtfd"));
    EXPECT_EQ(read.text.string(), text.string());
    EXPECT_EQ(read.text.attributesAt(0).font, text.attributesAt(0).font);
    EXPECT_EQ(attachmentsIn(read.text),
              (std::vector<AttachmentMark>{{7, "图片.png"}, {8, "报告.PDF"}}));
    EXPECT_EQ(read.files, (std::map<QString, QByteArray>{{"图片.png", files[0].data}, {"报告.PDF", "%PDF-1.4"}}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"便笺.rtfd"})
        << "no staging folder left behind";
}

TEST_F(DocumentFilesTest, RtfAndTextRoundTrip)
{
    const AttributedString text = textWithAttachments({});
    writeFile(path("a.rtf"), rtf::write(text));
    writeFile(path("a.txt"), plainTextBytes(text));
    EXPECT_EQ(readDocument(path("a.rtf")).text, *rtf::read(rtf::write(text)));
    EXPECT_EQ(readDocument(path("a.txt")).text.string(), text.string());
    EXPECT_EQ(readFile(path("a.txt")), text.string().toUtf8());
}

TEST_F(DocumentFilesTest, ReplacingABundleLeavesOnlyTheNewOne)
{
    writeRtfd(path("x.rtfd"), textWithAttachments({"old.png"}), {{"old.png", "old"}});
    writeRtfd(path("x.rtfd"), textWithAttachments({"new.png"}), {{"new.png", "new"}});
    EXPECT_EQ(treeContents(dir.path()).keys(), (QStringList{"x.rtfd", "x.rtfd/TXT.rtf", "x.rtfd/new.png"}));
}

TEST_F(DocumentFilesTest, ABundleIsNotWrittenWithUnsafeOrCollidingNames)
{
    const std::vector<std::vector<EmbeddedFile>> cases = {
        {{"../escape.png", "x"}}, {{"TXT.rtf", "x"}}, {{"txt.RTF", "x"}}, {{"a.png", "1"}, {"A.PNG", "2"}}, {{"", "x"}},
    };
    for (const auto& files : cases) {
        EXPECT_THROW(writeRtfd(path("bad.rtfd"), textWithAttachments({}), files), AppError);
        EXPECT_TRUE(treeContents(dir.path()).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("escape.png")));
}

TEST_F(DocumentFilesTest, WriteFailuresAreReported)
{
    EXPECT_THROW(documents::writeFile(path("missing/folder/a.txt"), "x"), AppError);
    EXPECT_THROW(writeRtfd(path("missing/folder/a.rtfd"), textWithAttachments({}), {}), AppError);
}

TEST_F(DocumentFilesTest, BadDocumentsAreRefusedWithAReason)
{
    QDir().mkpath(path("folder.txt"));
    writeFile(path("broken.rtf"), "this is not rtf");
    writeFile(path("attached.rtf"), rtf::write(textWithAttachments({"a.png"})));
    QDir().mkpath(path("empty.rtfd"));
    writeFile(path("notabundle.rtfd"), "{\\rtf1 x}");
    bundle("missing.rtfd", {"gone.png"}, {});
    bundle("parent.rtfd", {"../outside.png"}, {});
    writeFile(path("outside.png"), "secret");
    bundle("absolute.rtfd", {"/etc/passwd"}, {});
    bundle("nested.rtfd", {"sub/a.png"}, {{"sub/a.png", "x"}});
    bundle("directory.rtfd", {"folder.png"}, {{"folder.png/inner", "x"}});
    bundle("link.rtfd", {"link.png"}, {});
    QFile::link(path("outside.png"), path("link.rtfd/link.png"));
    QDir().mkpath(path("textlink.rtfd"));
    writeFile(path("elsewhere.rtf"), "{\\rtf1 secret}");
    QFile::link(path("elsewhere.rtf"), path("textlink.rtfd/TXT.rtf"));

    const std::vector<std::pair<QString, QString>> cases = {
        {"absent.txt", "找不到文件“absent.txt”。"},
        {"absent.rtfd", "找不到文件“absent.rtfd”。"},
        {"folder.txt", "它不是普通文件"},
        {"broken.rtf", "它不是有效的 RTF 文稿"},
        {"attached.rtf", "导入文件含无法读取的附件，未修改便笺。"},
        {"empty.rtfd", "文稿中缺少 TXT.rtf"},
        {"notabundle.rtfd", "它不是 RTFD 文稿"},
        {"missing.rtfd", "导入文件含无法读取的附件，未修改便笺。"},
        {"parent.rtfd", "不安全的附件名称“../outside.png”"},
        {"absolute.rtfd", "不安全的附件名称“/etc/passwd”"},
        {"nested.rtfd", "不安全的附件名称“sub/a.png”"},
        {"directory.rtfd", "不安全的附件“folder.png”"},
        {"link.rtfd", "不安全的附件“link.png”"},
        {"textlink.rtfd", "TXT.rtf 是链接或非普通文件"},
    };
    for (const auto& [name, message] : cases)
        EXPECT_TRUE(importFailure(path(name)).contains(message))
            << name.toStdString() << ": " << importFailure(path(name)).toStdString();
}

TEST_F(DocumentFilesTest, ABundleReachedThroughALinkIsRead)
{
    bundle("real.rtfd", {"a.png"}, {{"a.png", testing::tinyPng()}});
    QFile::link(path("real.rtfd"), path("alias.rtfd"));
    EXPECT_EQ(readDocument(path("alias.rtfd")).files.at("a.png"), testing::tinyPng());
}

} // namespace
} // namespace quorrin
