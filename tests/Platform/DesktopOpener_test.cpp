#include "Platform/DesktopOpener.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

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

} // namespace
} // namespace quorrin
