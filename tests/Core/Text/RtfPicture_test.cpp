#include "Core/Text/Rtf.h"

#include <QFile>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

std::optional<int> pictureAt(const AttributedString& text, int position)
{
    const std::optional<CustomAttributeValue> value = text.customAt(position, rtf::pictureAttribute);
    if (!value || !std::holds_alternative<double>(*value))
        return std::nullopt;
    return int(std::get<double>(*value));
}

QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(QUORRIN_FIXTURES_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(RtfPictureTest, ReadsThePngAndJpegPicturesOfAWordProcessorDocument)
{
    // Written by pandoc from Markdown with a PNG in a paragraph of its own and
    // a JPEG between two words.
    const std::optional<rtf::DocumentWithPictures> document = rtf::readWithPictures(fixture("pictures-pandoc.rtf"));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->text.string(), QStringLiteral("前文\n\uFFFC\n中间 \uFFFC 后文\n"));
    ASSERT_EQ(document->pictures.size(), 2u);
    EXPECT_EQ(pictureAt(document->text, 3), 0);
    EXPECT_EQ(pictureAt(document->text, 8), 1);
    EXPECT_FALSE(pictureAt(document->text, 0));
    EXPECT_EQ(document->pictures[0].format, rtf::PictureFormat::Png);
    EXPECT_TRUE(document->pictures[0].data.startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(document->pictures[1].format, rtf::PictureFormat::Jpeg);
    EXPECT_TRUE(document->pictures[1].data.startsWith("\xff\xd8\xff"));
    EXPECT_TRUE(document->pictures[1].data.endsWith("\xff\xd9"));

    // The plain reader drops the pictures and keeps the text around them.
    EXPECT_EQ(rtf::read(fixture("pictures-pandoc.rtf"))->string(), QStringLiteral("前文\n\n中间  后文\n"));
}

TEST(RtfPictureTest, ReadsEachWayOfWritingPictureData)
{
    struct Case {
        const char* name;
        QByteArray document;
        QString text;
        std::vector<rtf::Picture> pictures;
    };
    const std::vector<Case> cases = {
        {"hex split over lines, odd digit dropped",
         "{\\rtf1 a{\\pict\\pngblip\\picw1\\pich1 01 02\r\n0A0b\n0}b}", QStringLiteral("a\uFFFCb"),
         {{rtf::PictureFormat::Png, QByteArray("\x01\x02\x0a\x0b", 4)}}},
        {"raw bytes after \\bin, braces and backslashes included",
         QByteArray("{\\rtf1 {\\pict\\jpegblip\\bin5 {\\}\0x}z}", 36), QStringLiteral("\uFFFCz"),
         {{rtf::PictureFormat::Jpeg, QByteArray("{\\}\0x", 5)}}},
        {"\\bin longer than the document: the unfinished picture is dropped",
         "{\\rtf1 x{\\pict\\pngblip\\bin99 ab", QStringLiteral("x"), {}},
        {"the shape picture kept, its fallback and properties skipped",
         "{\\rtf1 x{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn a}{\\sv 1}}}{\\*\\blipuid 00ff}\\emfblip 0102}}"
         "{\\nonshppict{\\pict\\wmetafile8 0304}}y}",
         QStringLiteral("x\uFFFCy"), {{rtf::PictureFormat::Emf, QByteArray("\x01\x02", 2)}}},
        {"a picture inside a drawing shape is not taken",
         "{\\rtf1 {\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 0102}}}}}z}", QStringLiteral("z"), {}},
        {"no format word",
         "{\\rtf1 {\\pict 0102}}", QStringLiteral("\uFFFC"), {{rtf::PictureFormat::Unknown, QByteArray("\x01\x02", 2)}}},
        {"a DIB", "{\\rtf1 {\\pict\\dibitmap0 ff}}", QStringLiteral("\uFFFC"),
         {{rtf::PictureFormat::Dib, QByteArray("\xff")}}},
        {"a picture attribute spelled as a custom attribute is refused",
         "{\\rtf1 {{\\*\\quorrinattrnumber Quorrin.picture;0}\\u65532?}}", QStringLiteral("\uFFFC"), {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::optional<rtf::DocumentWithPictures> document = rtf::readWithPictures(test.document);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->text.string(), test.text);
        EXPECT_EQ(document->pictures, test.pictures);
        if (test.pictures.empty()) {
            EXPECT_FALSE(pictureAt(document->text, 0));
        }
        // Whatever the plain reader makes of it, it agrees with the text-only reading.
        QString plain;
        EXPECT_EQ(rtf::readPlainText(test.document, [&](QStringView piece) {
                      plain += piece;
                      return true;
                  }),
                  rtf::read(test.document).has_value());
        EXPECT_EQ(plain, rtf::read(test.document)->string());
    }
}

} // namespace
} // namespace quorrin
