#pragma once

#include "Core/Text/AttributedString.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorrin {

namespace rtf {
class SeriesWriter;
}

// The six attribute names the block editor puts on the text it shows; they
// never reach stored text.
namespace EditorAttribute {
inline const QString blockID = QStringLiteral("Quorrin.blockID");
inline const QString blockRole = QStringLiteral("Quorrin.blockRole");
inline const QString presentationBase = QStringLiteral("Quorrin.presentationBase");
inline const QString presentationTail = QStringLiteral("Quorrin.presentationTail");
inline const QString presentationIndent = QStringLiteral("Quorrin.presentationIndent");
inline const QString presentationSpacing = QStringLiteral("Quorrin.presentationSpacing");
} // namespace EditorAttribute

// Formatted text stored as RTF bytes. Two rich texts are equal when their
// bytes are equal.
class RichText {
public:
    RichText() = default; // zero bytes: reads back as the empty text
    static RichText fromRtf(QByteArray rtf);

    // Stores the text as RTF without the editor's marks, subtracting the
    // amounts the editor added to each paragraph style.
    explicit RichText(const AttributedString& text);
    // The same bytes, for one text of a series written through `writer`.
    RichText(const AttributedString& text, rtf::SeriesWriter& writer);
    // The string in that font and the dynamic text colour.
    RichText(const QString& text, const TextFont& font);

    const QByteArray& rtf() const { return m_rtf; }

    // The stored text read back; the empty text when it cannot be read.
    AttributedString attributed() const;
    // The stored text read back, or nothing when the bytes are not readable RTF.
    std::optional<AttributedString> read() const;

    friend bool operator==(const RichText&, const RichText&) = default;

private:
    QByteArray m_rtf;
};

} // namespace quorrin
