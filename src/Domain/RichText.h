#pragma once

#include "Core/Text/AttributedString.h"
#include "Core/Text/Rtf.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorrin {

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
    // The string in that font and the dynamic text colour.
    RichText(const QString& text, const TextFont& font);

    const QByteArray& rtf() const { return m_rtf; }

    // The stored text read back; the empty text when it cannot be read.
    AttributedString attributed() const;
    // The stored text read back, or nothing when the bytes are not readable RTF.
    std::optional<AttributedString> read() const;

    // Copies share their bytes, which are then equal without being read.
    friend bool operator==(const RichText& a, const RichText& b)
    {
        return a.m_rtf.size() == b.m_rtf.size() && (a.m_rtf.constData() == b.m_rtf.constData() || a.m_rtf == b.m_rtf);
    }

    // Stores texts one after another, each to the bytes RichText(text)
    // gives. The lines of a long text mostly share one set of attributes:
    // what the stored text keeps of them is worked out once for a row of
    // one-run texts that carry the same.
    class Series {
    public:
        RichText store(const AttributedString& text);

    private:
        rtf::SeriesWriter m_writer;
        std::optional<TextAttributes> m_shown; // the last one-run text's attributes
        TextAttributes m_stored;               // and what is stored of them
    };

private:
    QByteArray m_rtf;
};

} // namespace quorrin
