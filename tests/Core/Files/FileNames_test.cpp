#include "Core/Files/FileNames.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace quorrin::filenames {
namespace {

TEST(FileNames, PlainFileNamesStayInsideTheirDirectory)
{
    const struct {
        QString name;
        bool plain;
    } cases[] = {
        {QStringLiteral("A1B2.jpg"), true},
        {QStringLiteral(".hidden"), true},
        {QStringLiteral("名字 with spaces.pdf"), true},
        {QStringLiteral(""), false},
        {QStringLiteral("."), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("../x"), false},
        {QStringLiteral("/etc/passwd"), false},
        {QStringLiteral("a/b"), false},
        {QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isPlainFileName(c.name), c.plain) << c.name.toStdString();
}

TEST(FileNames, ExtensionIsTheTextAfterTheLastFullStop)
{
    const struct {
        QString name;
        QString extension;
    } cases[] = {
        {QStringLiteral("Photo.JPG"), QStringLiteral("JPG")},
        {QStringLiteral("archive.tar.gz"), QStringLiteral("gz")},
        {QStringLiteral(".bashrc"), QString()},
        {QStringLiteral("README"), QString()},
        {QStringLiteral("trailing."), QString()},
        {QStringLiteral(".config.json"), QStringLiteral("json")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathExtension(c.name), c.extension) << c.name.toStdString();
}

TEST(FileNames, StoredNameIsAnUpperCaseUuidWithTheLowerCasedExtension)
{
    const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\."));
    const QString photo = storedAttachmentName(QStringLiteral("Photo.JPG"));
    EXPECT_TRUE(uuid.match(photo).hasMatch()) << photo.toStdString();
    EXPECT_TRUE(photo.endsWith(QStringLiteral(".jpg")));
    EXPECT_EQ(photo.size(), 36 + 4);

    const QString hidden = storedAttachmentName(QStringLiteral(".bashrc"));
    EXPECT_TRUE(uuid.match(hidden).hasMatch());
    EXPECT_EQ(hidden.size(), 37) << "no extension leaves the name ending in the full stop";

    EXPECT_NE(storedAttachmentName(QStringLiteral("a.png")), storedAttachmentName(QStringLiteral("a.png")));
    EXPECT_TRUE(uuidFileName(QStringLiteral("JPG")).endsWith(QStringLiteral(".JPG"))) << "kept as given";
}

} // namespace
} // namespace quorrin::filenames
