#pragma once

#include "Core/Text/AttributedString.h"

#include <QByteArray>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace quorrin::rtf {

// An embedded file is one U+FFFC character carrying this custom attribute,
// whose value is the file's name. Documents hold it as a NeXT-style
// attachment group, {{\NeXTGraphic name}\u172?}, which names a file beside
// the document inside an RTFD bundle; the reader never takes the attribute
// from anywhere else, and the writer keeps it only on U+FFFC characters.
inline const QString attachmentAttribute = QStringLiteral("Quorrin.attachment");
inline constexpr char16_t attachmentCharacter = u'\uFFFC';

// Writes the text as an RTF document (7-bit ASCII; non-ASCII as \uN).
// Deterministic: the same text always gives the same bytes, and writing what
// was read from our own output gives that output again byte for byte.
// Values are kept at RTF precision: font sizes in half points, distances in
// twips, colour components in 8 bits.
QByteArray write(const AttributedString& text);

// Writes texts one after another, each to the bytes write() gives. Most of
// what a short text of one run costs is the start of its document (header,
// font and colour tables, the run's attributes), which depends on the run's
// attributes alone: it is made once for each set of attributes met.
class SeriesWriter {
public:
    QByteArray write(const AttributedString& text);
    // The same for a text of one run: the characters all in `attributes`.
    // Texts in a row in the same attributes (the lines of a long plain
    // text) reuse the opening the first of them found, unconverted.
    QByteArray write(QStringView characters, const TextAttributes& attributes);

    struct Opening {
        TextAttributes attributes; // at document precision
        QByteArray bytes;
        bool delimit = false; // the bytes end in a control word that needs its delimiter
    };

private:
    // The opening for a run in these attributes (at document precision).
    std::optional<std::size_t> openingFor(const TextAttributes& attributes);

    static constexpr std::size_t maximumOpenings = 16;
    std::vector<Opening> m_openings;
    // The attributes of the last one-run text given, and the opening they
    // have, when they have one.
    std::optional<TextAttributes> m_lastRun;
    std::size_t m_lastOpening = 0;
};

// What reading a document noticed that its reader may want to tell.
struct ReadNotes {
    // Groups nested deeper than the reader follows: the document reads as
    // nothing.
    bool nestedTooDeeply = false;
    // Binary data (\bin) said to run past the document's end: the text
    // before it is kept, anything the document meant to follow is lost.
    bool binaryCut = false;
};

// Reads an RTF document, ours or another program's; nothing when the bytes
// are not an RTF document. Never throws. `notes`, when given, says why a
// document read as nothing or lost its end.
std::optional<AttributedString> read(const QByteArray& document, ReadNotes* notes = nullptr);

// A picture embedded in a document as a \pict group, with its bytes as the
// document holds them (a DIB without its file header, a metafile as is).
enum class PictureFormat { Png, Jpeg, Emf, Wmf, Dib, DeviceBitmap, MacPict, Os2Metafile, Unknown };
struct Picture {
    PictureFormat format = PictureFormat::Unknown;
    QByteArray data;
    friend bool operator==(const Picture&, const Picture&) = default;
};

// Where read() drops pictures, readWithPictures() keeps each as one U+FFFC
// character carrying this custom attribute, whose value is the picture's
// index in `pictures`. Pictures inside {\*\shppict} are taken; the fallbacks
// in {\nonshppict} and pictures inside drawing shapes are not.
inline const QString pictureAttribute = QStringLiteral("Quorrin.picture");
struct DocumentWithPictures {
    AttributedString text;
    std::vector<Picture> pictures;
};
std::optional<DocumentWithPictures> readWithPictures(const QByteArray& document, ReadNotes* notes = nullptr);

// Receives the text of a document piece by piece; returns false to stop.
using PlainTextSink = std::function<bool(QStringView piece)>;

// Reads the document's text without building its attributes: the pieces
// handed to `take`, joined, are exactly read(document)->string(). Returns
// false exactly when read() gives nothing (the pieces handed over until then
// count for nothing), except that once `take` returns false the rest of the
// document is skipped, whatever it holds.
bool readPlainText(const QByteArray& document, const PlainTextSink& take);

} // namespace quorrin::rtf
