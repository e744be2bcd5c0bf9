#pragma once

#include "Core/Text/AttributedString.h"
#include "Core/Text/AttributesApart.h"
#include "Domain/RichText.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

#include <functional>
#include <unordered_map>
#include <optional>
#include <utility>
#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace quorrin::textdoc {

// The one place where the model's rich text (AttributedString) meets Qt's
// text document.
//
// Paragraphs: a "\n" of the attributed string is a block separator in the
// document. The separator's character format is what QTextBlock::charFormat()
// of the *following* block reports, and a paragraph's style is the block
// format of the block that holds its first character. Every paragraph style
// therefore covers its whole paragraph (the style found at the paragraph's
// first character wins), which is also how paragraphs are laid out.
//
// Attributes without a Qt counterpart, and exact values Qt would round, are
// kept as user properties so that a round trip gives back the same text.
enum Property : int {
    SystemFont = QTextFormat::UserProperty + 1, // bool: the family is the system font
    DynamicTextColor,                           // bool: the appearance-following text colour
    ExactColor,                                 // QList<double> r, g, b, a as given
    UnderlineStyle,                             // int
    StrikethroughStyle,                         // int
    OtherCustom,                                // QVariantMap of custom attributes without own slot
    ParagraphStyleSet,                          // bool on a block format: the paragraph has a style
    Alignment,                                  // int (TextAlignment)
    FirstLineHeadIndent,                        // double, exact
    HeadIndent,
    TailIndent,
    ParagraphSpacing,
    ParagraphSpacingBefore,
    LineSpacing,
    Link, // QString: the URL of a link
    // The editor's marks on its text.
    BlockID = QTextFormat::UserProperty + 32,
    BlockRole,
    PresentationBase,
    PresentationTail,
    PresentationIndent,
    PresentationSpacing,
};

// The fixed property of a custom attribute name, or nothing.
std::optional<int> propertyOf(const QString& customName);

QTextCharFormat charFormat(const TextAttributes& attributes);
QTextBlockFormat blockFormat(const std::optional<ParagraphStyle>& style);
std::optional<ParagraphStyle> paragraphStyle(const QTextBlockFormat& format);
// Character attributes from a character format, the paragraph style from its block.
TextAttributes attributes(const QTextCharFormat& format, const QTextBlockFormat& block);
// The text colour a character format stores, if any.
std::optional<TextColor> foreground(const QTextCharFormat& format);

// Custom attribute values as stored in a format.
QVariant toVariant(const CustomAttributeValue& value);
std::optional<CustomAttributeValue> fromVariant(const QVariant& value);

// Replaces the whole document with the text; `prepare` is run on the emptied
// document before the text goes in (a change of the frame made then costs no
// layout of the text).
// Whether a character ends a paragraph when text is inserted.
bool isParagraphSeparator(QChar c);

// Completes the block format a paragraph is inserted with, given the format
// of its first characters.
using BlockFormatCompletion = std::function<void(QTextBlockFormat& block, const QTextCharFormat& first)>;
void setContents(QTextDocument& document, const AttributedString& text, const std::function<void()>& prepare = {},
                 const BlockFormatCompletion& complete = {});
// Inserts the text at the cursor (replacing its selection); the cursor ends after it.
void insert(QTextCursor& cursor, const AttributedString& text, const BlockFormatCompletion& complete = {});

// The attributes of the formats met while reading a document, each pair of
// character and block format converted once: the text of many paragraphs
// holds few formats. Valid while the document does not change. The formats
// are fetched (by `charFormat()` and `blockFormat()`) only when a pair is met
// for the first time; `complete`, when given, adds to each pair's attributes
// what the reader takes from the block format besides the paragraph style.
// The paragraphs of a long text have character formats of their own that
// differ only in the block id each is marked with: those are converted once
// without it, and the mark is set on a copy.
class FormatCache {
public:
    using Completion = std::function<void(TextAttributes& attributes, const QTextBlockFormat& block)>;
    explicit FormatCache(Completion complete = {});
    // The last pair met is kept as a place in this cache.
    FormatCache(const FormatCache&) = delete;
    FormatCache& operator=(const FormatCache&) = delete;

    template <typename CharFormat, typename BlockFormat>
    const TextAttributes& attributes(int charFormatIndex, CharFormat&& charFormat, int blockFormatIndex,
                                     BlockFormat&& blockFormat)
    {
        const quint64 key = (quint64(quint32(charFormatIndex)) << 32) | quint32(blockFormatIndex);
        if (m_last && m_lastKey == key)
            return *m_last; // neighbouring fragments mostly share their formats
        m_lastKey = key;
        const auto seen = m_seen.find(key);
        m_last = seen != m_seen.end() ? &seen->second : &met(key, charFormat(), blockFormatIndex, blockFormat());
        return *m_last;
    }

private:
    const TextAttributes& met(quint64 key, const QTextCharFormat& charFormat, int blockFormatIndex,
                              const QTextBlockFormat& blockFormat);
    const TextAttributes& unmarked(const QTextCharFormat& charFormat, int blockFormatIndex,
                                   const QTextBlockFormat& blockFormat);
    TextAttributes convert(const QTextCharFormat& charFormat, const QTextBlockFormat& blockFormat) const;

    Completion m_complete;
    std::unordered_map<quint64, TextAttributes> m_seen; // by the pair of format indices
    // The last character formats met without their marks (only a few
    // differ), with their block formats' indices.
    struct Unmarked {
        QTextCharFormat charFormat;
        int blockFormatIndex = 0;
        TextAttributes attributes;
    };
    std::vector<Unmarked> m_unmarked;
    std::size_t m_replaced = 0; // the next of them to give way once there are enough
    TextAttributes m_marked;    // the last marked pair's attributes
    AttributeSetter m_marks{EditorAttribute::blockID};
    const TextAttributes* m_last = nullptr;
    quint64 m_lastKey = 0;
};

// The whole document, or the characters [start, start + length).
AttributedString contents(const QTextDocument& document);
AttributedString read(const QTextDocument& document, int start, int length);
// One block's characters, followed by its separator when it has one and
// withSeparator is set.
AttributedString readBlock(const QTextBlock& block, bool withSeparator);
// The same for a block whose position the caller knows already (finding it
// walks the document's tree).
AttributedString readBlock(const QTextBlock& block, int position, bool withSeparator, FormatCache& cache);

// The document's characters as the attributed string has them ("\n" for a separator).
QString plainText(const QTextDocument& document, int start, int length);

} // namespace quorrin::textdoc
