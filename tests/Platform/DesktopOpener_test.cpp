#include "Platform/DesktopOpener.h"
#include "Platform/FileManager.h"
#include "Support/StandInHandler.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using testing::StandInHandler;
using testing::handlerDone;

QByteArray png()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Writes the file into the directory and returns its path.
QString writtenFile(const QTemporaryDir& directory, const char* name, const QByteArray& content)
{
    QFile file(directory.filePath(QString::fromUtf8(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        ADD_FAILURE() << "could not write " << name;
    return file.fileName();
}

TEST(DesktopOpenerTest, OpensOnlyFilesWhoseNameAndContentAreAnImageOrAPdf)
{
    struct Case {
        const char* name;
        QByteArray content;
        ExternalOpening expected;
    };
    const std::vector<Case> cases = {
        {"photo.png", png(), ExternalOpening::openWithHandler},
        {"manual.pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<<>>\nendobj\n", ExternalOpening::openWithHandler},
        {"script.png", "#!/bin/sh\necho hi\n", ExternalOpening::revealInFileManager},
        {"photo.desktop", png(), ExternalOpening::revealInFileManager},
        {"launcher.png", "[Desktop Entry]\nType=Application\nExec=xterm\n", ExternalOpening::revealInFileManager},
        {"drawing.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>", ExternalOpening::revealInFileManager},
        {"notes.txt", "text", ExternalOpening::revealInFileManager},
    };
    QTemporaryDir directory;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(externalOpeningFor(writtenFile(directory, test.name, test.content)), test.expected);
    }
}

TEST(DesktopOpenerTest, LinkedFilesOpenUnlessTheDesktopMightRunThem)
{
    struct Case {
        const char* name;
        QByteArray content;
        bool executable;
        ExternalOpening expected;
    };
    const std::vector<Case> cases = {
        {"report.odt", "PK\x03\x04", false, ExternalOpening::openWithHandler},
        {"notes.txt", "text", false, ExternalOpening::openWithHandler},
        {"manual.pdf", "%PDF-1.4\n", false, ExternalOpening::openWithHandler},
        {"launcher.desktop", "[Desktop Entry]\nType=Application\nExec=xterm\n", false,
         ExternalOpening::revealInFileManager},
        {"launcher.txt", "[Desktop Entry]\nType=Application\nExec=xterm\n", false,
         ExternalOpening::revealInFileManager},
        {"install.sh", "#!/bin/sh\necho hi\n", false, ExternalOpening::revealInFileManager},
        {"tool", "\x7f" "ELF\x02\x01\x01", false, ExternalOpening::revealInFileManager},
        {"marked.txt", "text", true, ExternalOpening::revealInFileManager},
        {"setup.exe", "MZ\x90\x00", false, ExternalOpening::revealInFileManager},
    };
    QTemporaryDir directory;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QFile file(writtenFile(directory, test.name, test.content));
        if (test.executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        EXPECT_EQ(linkedFileOpeningFor(file.fileName()), test.expected);
    }
    EXPECT_EQ(linkedFileOpeningFor(directory.path()), ExternalOpening::openWithHandler);
    EXPECT_EQ(linkedFileOpeningFor(directory.filePath(QStringLiteral("missing"))),
              ExternalOpening::revealInFileManager);
}

TEST(DesktopOpenerTest, WhatNoHandlerOpenedOrShowedIsToldByName)
{
    struct Case {
        const char* name;
        std::optional<int> handlerStatus;
        bool reveal;
        QString expected;
    };
    const QString path = QStringLiteral("/tmp/季度报告.pdf");
    const std::vector<Case> cases = {
        {"opened", 0, false, QString()},
        {"no program for it", 3, false, QStringLiteral("无法打开“季度报告.pdf”：没有能打开它的应用程序。")},
        {"no handler installed", std::nullopt, false, QStringLiteral("无法打开“季度报告.pdf”：没有能打开它的应用程序。")},
        {"shown", 0, true, QString()},
        {"no file manager", 4, true, QStringLiteral("无法在文件管理器中显示“季度报告.pdf”：没有能显示它的文件管理器。")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const StandInHandler handler(test.handlerStatus);
        QStringList told;
        const OpenFailure failed = [&told](const QString& message) { told << message; };
        if (test.reveal)
            revealInFileManager(path, failed);
        else
            openWithDesktop(QUrl::fromLocalFile(path), failed);
        ASSERT_TRUE(handlerDone(handler, [&] { return !told.isEmpty(); }));
        EXPECT_EQ(told, test.expected.isEmpty() ? QStringList() : QStringList{test.expected});
        if (test.handlerStatus) {
            EXPECT_EQ(handler.handed(), test.reveal ? QStringLiteral("/tmp") : path);
        }
    }
}

TEST(DesktopOpenerTest, AnAddressNoProgramOpensIsToldAsWritten)
{
    const StandInHandler handler(3);
    QStringList told;
    openWithDesktop(QUrl(QStringLiteral("https://example.com/a b")), [&told](const QString& message) { told << message; });
    ASSERT_TRUE(handlerDone(handler, [&] { return !told.isEmpty(); }));
    EXPECT_EQ(handler.handed(), QStringLiteral("https://example.com/a%20b"));
    EXPECT_EQ(told, QStringList{QStringLiteral("无法打开链接“https://example.com/a b”：没有能打开它的应用程序。")});
}

} // namespace
} // namespace quorrin
