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
        QFile file(directory.filePath(QString::fromUtf8(test.name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(test.content);
        file.close();
        EXPECT_EQ(externalOpeningFor(file.fileName()), test.expected);
    }
}

} // namespace
} // namespace quorrin
