#include "Features/FileShelf/FileCopy.h"
#include "Features/FileShelf/FileShelfModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

class FileShelfModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        model.onChange = [this] { ++changes; };
        model.onWarning = [this](const AppError& error) { warnings << error.message; };
    }

    QUrl file(const QString& name, const QByteArray& content = "text")
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return QUrl::fromLocalFile(path);
    }
    QUrl folder(const QString& name)
    {
        QDir().mkpath(dir.filePath(name));
        return QUrl::fromLocalFile(dir.filePath(name));
    }
    static QString thrown(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const AppError& error) {
            return error.message;
        }
        return {};
    }
    static QByteArray read(const QString& path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    FileShelfModel model;
    QUuid noteID = QUuid::createUuid();
    QUuid todo = QUuid::createUuid();
    int changes = 0;
    QStringList warnings;
};

TEST_F(FileShelfModelTest, StagingMovesAFileBetweenShelvesAndKeepsOneEntry)
{
    model.configure(noteID, true, {});
    const QUrl report = file("report.pdf");
    model.stage({report, report}, std::nullopt);
    ASSERT_EQ(model.items().size(), 1u);
    model.stage({report}, todo);
    ASSERT_EQ(model.items().size(), 1u);
    EXPECT_EQ(model.items()[0].blockID, todo);
    ASSERT_TRUE(model.items()[0].record);
    EXPECT_EQ(model.items()[0].record->blockID, todo);
    EXPECT_EQ(model.files(todo).size(), 1u);
    EXPECT_TRUE(model.files(std::nullopt).empty());
    EXPECT_EQ(changes, 2);
}

TEST_F(FileShelfModelTest, StagingIsAllOrNothing)
{
    model.configure(noteID, true, {});
    const QString message = thrown([&] {
        model.stage({file("a.txt"), QUrl::fromLocalFile(dir.filePath("missing.txt"))}, std::nullopt);
    });
    EXPECT_EQ(message, "无法暂存：原文件不存在或不可访问。");
    EXPECT_TRUE(model.items().empty());
    EXPECT_EQ(changes, 0);
    model.stage({}, std::nullopt);
    EXPECT_EQ(changes, 1); // told also for an empty list
}

TEST_F(FileShelfModelTest, StatusFollowsPersistenceAndReachability)
{
    model.configure(noteID, false, {});
    const QUrl a = file("a.txt");
    model.stage({a}, std::nullopt);
    EXPECT_FALSE(model.items()[0].record);
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(model.items()[0].status(), "仅本次运行");
    EXPECT_TRUE(model.records().empty());

    model.setPersistence(true);
    EXPECT_EQ(model.items()[0].status(), "已保存关联 · 原文件未包含在备份中");
    EXPECT_EQ(model.records().size(), 1u);

    model.setPersistence(false);
    EXPECT_EQ(model.items()[0].sessionName, "a.txt");
    EXPECT_EQ(model.items()[0].status(), "仅本次运行");
    EXPECT_TRUE(model.records().empty());

    QFile::remove(a.toLocalFile());
    EXPECT_EQ(model.items()[0].status(), "暂时无法访问 · 请连接磁盘或重新定位");
}

TEST_F(FileShelfModelTest, AFailedBookmarkWarnsAndKeepsTheFileForThisRun)
{
    model.configure(noteID, true, {});
    model.makeBookmark = [](const QUrl&) -> QByteArray { throw AppError("no"); };
    model.stage({file("a.txt")}, std::nullopt);
    ASSERT_EQ(model.items().size(), 1u);
    EXPECT_FALSE(model.items()[0].record);
    EXPECT_EQ(warnings, QStringList{"无法保存“a.txt”的持久授权，本次仍可使用。请通过重新定位授权。"});
}

TEST_F(FileShelfModelTest, LinksComeBackAfterReopeningAndGoStaleWhenTheFileIsReplaced)
{
    model.configure(noteID, true, {});
    const QUrl a = file("a.txt", "old");
    model.stage({a}, todo);
    const std::vector<PersistentFileLink> stored = model.records();

    FileShelfModel reopened;
    reopened.configure(noteID, true, stored);
    ASSERT_EQ(reopened.items().size(), 1u);
    EXPECT_TRUE(reopened.items()[0].available());
    EXPECT_EQ(reopened.items()[0].blockID, todo);
    EXPECT_EQ(reopened.items()[0].record->bookmark, stored[0].bookmark);

    // Replaced by another file under the same name: the link is refreshed
    // for the new file.
    // The old file stays alive under another name, so the new one cannot
    // reuse its inode.
    ASSERT_TRUE(QFile::rename(a.toLocalFile(), a.toLocalFile() + QStringLiteral(".old")));
    file("a.txt", "new");
    FileShelfModel replaced;
    bool resolvedStale = false;
    const auto resolve = replaced.resolveBookmark;
    replaced.resolveBookmark = [&](const QByteArray& bytes) {
        const FileShelfModel::Resolved found = resolve(bytes);
        resolvedStale = found.stale;
        return found;
    };
    replaced.configure(noteID, true, stored);
    ASSERT_EQ(replaced.items().size(), 1u);
    EXPECT_TRUE(resolvedStale);
    EXPECT_NE(replaced.items()[0].record->bookmark, stored[0].bookmark);

    // Gone: kept unresolved with its record, at "/".
    QFile::remove(a.toLocalFile());
    FileShelfModel missing;
    missing.configure(noteID, true, stored);
    ASSERT_EQ(missing.items().size(), 1u);
    EXPECT_TRUE(missing.items()[0].unresolved);
    EXPECT_EQ(missing.items()[0].url.toLocalFile(), "/");
    EXPECT_EQ(missing.records(), stored);

    // Staging the same file again never matches the unresolved entry.
    file("a.txt");
    missing.stage({a}, std::nullopt);
    EXPECT_EQ(missing.items().size(), 2u);
}

TEST_F(FileShelfModelTest, ConfiguringWithoutPersistenceKeepsTheEntries)
{
    model.configure(noteID, true, {});
    model.stage({file("a.txt")}, std::nullopt);
    model.configure(noteID, false, {});
    EXPECT_EQ(model.items().size(), 1u);
    EXPECT_TRUE(model.records().empty());
}

TEST_F(FileShelfModelTest, RelocateFindsTheMovedFileAndRefusesDuplicates)
{
    model.configure(noteID, true, {});
    const QUrl a = file("a.txt");
    const QUrl b = file("b.txt");
    model.stage({a, b}, std::nullopt);
    const QUuid first = model.items()[0].id;

    QFile::rename(a.toLocalFile(), dir.filePath("moved.txt"));
    EXPECT_FALSE(model.items()[0].available());
    model.relocate(first, QUrl::fromLocalFile(dir.filePath("moved.txt")));
    EXPECT_TRUE(model.items()[0].available());
    EXPECT_EQ(model.items()[0].id, first);
    EXPECT_EQ(model.items()[0].record->displayName, "moved.txt");

    folder("sub");
    EXPECT_EQ(thrown([&] { model.relocate(first, QUrl::fromLocalFile(dir.filePath("sub/../b.txt"))); }),
              "此文件已在当前便笺中，请先移除重复关联。");
    EXPECT_EQ(thrown([&] { model.relocate(first, QUrl::fromLocalFile(dir.filePath("none.txt"))); }),
              "所选文件暂时无法访问。");
    EXPECT_EQ(thrown([&] { model.relocate(first, QUrl::fromLocalFile(dir.filePath("moved.txt"))); }), "");
    const int before = changes;
    model.relocate(QUuid::createUuid(), b); // unknown: no effect
    EXPECT_EQ(changes, before);
}

TEST_F(FileShelfModelTest, RemoveKeepsTheFileAndReconcileSendsOrphansToTheNoteShelf)
{
    model.configure(noteID, true, {});
    const QUrl a = file("a.txt");
    model.stage({a}, todo);
    model.stage({file("b.txt")}, std::nullopt);

    const int before = changes;
    model.reconcile({todo});
    EXPECT_EQ(changes, before); // nothing moved, nobody told
    model.reconcile({});
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(model.files(std::nullopt).size(), 2u);
    EXPECT_FALSE(model.items()[0].record->blockID);

    model.removeReference(model.items()[0].id);
    EXPECT_EQ(model.items().size(), 1u);
    EXPECT_TRUE(QFile::exists(a.toLocalFile()));
    model.removeReference(QUuid::createUuid());
    EXPECT_EQ(changes, before + 3); // told even when nothing matched
}

struct CopyCase {
    const char* label;
    QString displayName;
    QStringList existing;  // names already in the target folder
    QString expectedName;  // the copy's name, or empty when refused
    QString expectedError;
};

TEST_F(FileShelfModelTest, CopyNamesStayInsideTheFolderAndNeverOverwrite)
{
    const QString taken = QStringLiteral("目标存在同名文件，未覆盖原有内容。");
    const std::vector<CopyCase> cases{
        {"plain", "report.pdf", {}, "report.pdf", ""},
        {"taken name is refused", "report.pdf", {"report.pdf"}, "", taken},
        {"a neighbour's name is no clash", "report.pdf", {"report 2.pdf", "report.pdf.bak"}, "report.pdf", ""},
        {"case differs: another name", "report.pdf", {"Report.pdf"}, "report.pdf", ""},
        {"slashes stay in the name", "../../etc/passwd", {}, ".._.._etc_passwd", ""},
        {"dot-dot alone falls back", "..", {}, "source.pdf", ""},
        {"empty falls back", "", {}, "source.pdf", ""},
        {"hidden name taken", ".config", {".config"}, "", taken},
        // Copied in under a hidden name, then refused its own by the file system.
        {"name too long for the disk", QString(100, u'长'), {}, "", "：文件名过长"},
    };
    for (const CopyCase& test : cases) {
        SCOPED_TRACE(test.label);
        QTemporaryDir target;
        ASSERT_TRUE(target.isValid());
        for (const QString& name : test.existing) {
            QFile existing(QDir(target.path()).filePath(name));
            ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
            existing.write("keep");
        }
        FileShelfModel shelf;
        shelf.configure(noteID, true, {});
        shelf.stage({file("source.pdf", "payload")}, std::nullopt);
        shelf.configure(noteID, true,
                        {PersistentFileLink{shelf.items()[0].record->id, noteID, std::nullopt, test.displayName,
                                            shelf.items()[0].record->bookmark}});
        const auto copy = [&] { return shelf.copy(shelf.items()[0].id, QUrl::fromLocalFile(target.path())); };
        if (test.expectedError.isEmpty()) {
            const QUrl copied = copy();
            EXPECT_EQ(QFileInfo(copied.toLocalFile()).absolutePath(), QFileInfo(target.path()).canonicalFilePath());
            EXPECT_EQ(copied.fileName(), test.expectedName);
            EXPECT_EQ(read(copied.toLocalFile()), "payload");
        } else {
            const QString message = thrown(copy);
            EXPECT_TRUE(message.endsWith(test.expectedError)) << message.toStdString();
        }
        for (const QString& name : test.existing)
            EXPECT_EQ(read(QDir(target.path()).filePath(name)), "keep");
        // Nothing but the copy and what was there before: no partial copy.
        EXPECT_EQ(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                  test.existing.size() + (test.expectedError.isEmpty() ? 1 : 0));
    }
}

TEST_F(FileShelfModelTest, CopyRefusesWhatCannotWork)
{
    model.configure(noteID, true, {});
    const QUrl a = file("a.txt");
    const QUrl tree = folder("tree");
    file("tree/inner/leaf.txt");
    model.stage({a, tree}, std::nullopt);
    const QUuid fileID = model.items()[0].id;
    const QUuid treeID = model.items()[1].id;

    EXPECT_EQ(thrown([&] { model.copy(fileID, QUrl::fromLocalFile(dir.path())); }), "文件已在这个文件夹中。");
    EXPECT_EQ(thrown([&] { model.copy(fileID, a); }), "请选择有效的目标文件夹。");
    EXPECT_EQ(thrown([&] { model.copy(fileID, QUrl::fromLocalFile(dir.filePath("none"))); }),
              "请选择有效的目标文件夹。");
    EXPECT_EQ(thrown([&] { model.copy(treeID, tree); }), "不能把文件夹复制到它自身或它的子文件夹中。");
    EXPECT_EQ(thrown([&] { model.copy(treeID, folder("tree/inner")); }),
              "不能把文件夹复制到它自身或它的子文件夹中。");
    EXPECT_EQ(thrown([&] { model.copy(QUuid::createUuid(), folder("out")); }), "原文件暂时无法访问，请重新定位。");

    // A folder next to itself in another folder is copied whole.
    const QUrl copied = model.copy(treeID, folder("out"));
    EXPECT_EQ(read(QDir(copied.toLocalFile()).filePath("inner/leaf.txt")), "text");
    EXPECT_EQ(model.items().size(), 2u);
    // Copied again: the first copy stands, nothing is merged into it.
    QFile::remove(QDir(copied.toLocalFile()).filePath("inner/leaf.txt"));
    EXPECT_EQ(thrown([&] { model.copy(treeID, folder("out")); }), "目标存在同名文件，未覆盖原有内容。");
    EXPECT_FALSE(QFile::exists(QDir(copied.toLocalFile()).filePath("inner/leaf.txt")));
    // A dangling link holds the name too.
    QFile::link(dir.filePath("gone"), dir.filePath("out/a.txt"));
    EXPECT_EQ(thrown([&] { model.copy(fileID, folder("out")); }), "目标存在同名文件，未覆盖原有内容。");
    EXPECT_TRUE(QFileInfo(dir.filePath("out/a.txt")).isSymLink());
    QFile::remove(dir.filePath("out/a.txt"));

    QFile::remove(a.toLocalFile());
    EXPECT_EQ(thrown([&] { model.copy(fileID, folder("out")); }), "原文件暂时无法访问，请重新定位。");
}

TEST(FileCopyNames, AFolderIsInsideItselfButNotInsideASiblingWithALongerName)
{
    EXPECT_TRUE(filecopy::isSameOrInside("/a/b", "/a/b"));
    EXPECT_TRUE(filecopy::isSameOrInside("/a/b/c", "/a/b"));
    EXPECT_FALSE(filecopy::isSameOrInside("/a/bc", "/a/b"));
}

} // namespace
