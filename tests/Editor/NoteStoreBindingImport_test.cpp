// The editor's file import over the real store and its real attachment copy:
// whatever the file, a failure reaches the store's lastError and onError and
// nothing leaves the editor as an exception.

#include "Editor/BlockEditor.h"
#include "Editor/NoteStoreBinding.h"

#include "Persistence/NoteStore.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace quorrin {
namespace {

class ImportThroughStoreTest : public ::testing::Test {
protected:
    QTemporaryDir data;
    QTemporaryDir files;
    NoteStore store{data.path(), false};
    std::shared_ptr<NoteStoreBinding> binding = std::make_shared<NoteStoreBinding>(store);
    std::vector<QString> reported;
    std::unique_ptr<BlockEditor> editor;
    Note note = store.create();

    void SetUp() override
    {
        store.setOnError([this](std::exception_ptr error) { reported.push_back(describeError(error)); });
        editor = std::make_unique<BlockEditor>(binding, note.id, nullptr, systemNow);
    }
    QStringList attachmentFiles() const
    {
        return QDir(data.filePath(NoteStore::attachmentsDirectoryName)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

TEST_F(ImportThroughStoreTest, OddFilesAreReportedAndNothingIsCopied)
{
    QDir().mkpath(files.filePath("x.pdf"));
    QFile::link(files.filePath("gone.pdf"), files.filePath("dangling.pdf"));
    testing::writeFile(files.filePath("locked.pdf"), "%PDF-1.4");
    QFile::setPermissions(files.filePath("locked.pdf"), {});
    const bool unreadable = ::access(QFile::encodeName(files.filePath("locked.pdf")).constData(), R_OK) != 0;

    struct Case {
        QString file;
        QString says;
    };
    testing::writeFile(files.filePath("empty.pdf"), "");
    std::vector<Case> cases = {{"x.pdf", QStringLiteral("无法导入文件夹")},
                               {"dangling.pdf", QStringLiteral("不是可读取的普通文件")},
                               {"empty.pdf", QStringLiteral("文件是空的（0 字节）")}};
    if (unreadable) // root reads it anyway
        cases.push_back({"locked.pdf", QStringLiteral("无法读取文件")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        reported.clear();
        EXPECT_NO_THROW(editor->importFiles({files.filePath(c.file)}));
        ASSERT_EQ(reported.size(), 1u);
        EXPECT_TRUE(reported.front().contains(c.says)) << reported.front().toStdString();
        EXPECT_EQ(describeError(store.lastError()), reported.front());
        EXPECT_EQ(store.note(note.id)->blocks.size(), 1u);
        EXPECT_TRUE(attachmentFiles().isEmpty());
    }
}

TEST_F(ImportThroughStoreTest, APdfIsCopiedIntoTheDataDirectory)
{
    testing::writeFile(files.filePath("Paper.PDF"), "%PDF-1.4 bytes");
    editor->importFiles({files.filePath("Paper.PDF")});
    EXPECT_TRUE(reported.empty());
    const Note stored = *store.note(note.id);
    ASSERT_EQ(stored.blocks.size(), 2u);
    ASSERT_TRUE(stored.blocks[1].attachment);
    EXPECT_EQ(testing::readFile(binding->attachmentPath(*stored.blocks[1].attachment)), "%PDF-1.4 bytes");

    // One byte is the least a file may hold (none is refused).
    testing::writeFile(files.filePath("tiny.pdf"), "%");
    editor->importFiles({files.filePath("tiny.pdf")});
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(store.note(note.id)->blocks.size(), 3u);
}

} // namespace
} // namespace quorrin
