#pragma once

#include "Core/Text/AttributedString.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

#include <functional>
#include <map>
#include <optional>
#include <utility>

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
class FormatCache {
public:
    using Completion = std::function<void(TextAttributes& attributes, const QTextBlockFormat& block)>;
    explicit FormatCache(Completion complete = {});
    // The last pair met is kept as a place in this cache's own table.
    FormatCache(const FormatCache&) = delete;
    FormatCache& operator=(const FormatCache&) = delete;

    template <typename CharFormat, typename BlockFormat>
    const TextAttributes& attributes(int charFormatIndex, CharFormat&& charFormat, int blockFormatIndex,
                                     BlockFormat&& blockFormat)
    {
        const std::pair key{charFormatIndex, blockFormatIndex};
        if (m_last != m_seen.end() && m_last->first == key)
            return m_last->second; // neighbouring fragments mostly share their formats
        m_last = m_seen.find(key);
        if (m_last == m_seen.end())
            m_last = m_seen.emplace(key, convert(charFormat(), blockFormat())).first;
        return m_last->second;
    }

private:
    TextAttributes convert(const QTextCharFormat& charFormat, const QTextBlockFormat& blockFormat) const;

    Completion m_complete;
    std::map<std::pair<int, int>, TextAttributes> m_seen;
    std::map<std::pair<int, int>, TextAttributes>::iterator m_last = m_seen.end();
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
