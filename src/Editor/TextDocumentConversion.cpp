#include "Editor/TextDocumentConversion.h"
#include "Editor/LinkDetection.h"

#include "Domain/RichText.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>

namespace quorrin::textdoc {
namespace {

struct NamedProperty {
    const QString& name;
    int property;
};

const std::array<NamedProperty, 7>& namedProperties()
{
    static const std::array<NamedProperty, 7> table = {{
        {links::attribute, Link},
        {EditorAttribute::blockID, BlockID},
        {EditorAttribute::blockRole, BlockRole},
        {EditorAttribute::presentationBase, PresentationBase},
        {EditorAttribute::presentationTail, PresentationTail},
        {EditorAttribute::presentationIndent, PresentationIndent},
        {EditorAttribute::presentationSpacing, PresentationSpacing},
    }};
    return table;
}

Qt::Alignment qtAlignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Natural: return Qt::AlignLeading;
    case TextAlignment::Left: return Qt::AlignLeft | Qt::AlignAbsolute;
    case TextAlignment::Center: return Qt::AlignHCenter;
    case TextAlignment::Right: return Qt::AlignRight | Qt::AlignAbsolute;
    case TextAlignment::Justified: return Qt::AlignJustify;
    }
    return Qt::AlignLeading;
}

TextAlignment alignmentFromQt(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignJustify)
        return TextAlignment::Justified;
    if (alignment & Qt::AlignHCenter)
        return TextAlignment::Center;
    if (alignment & Qt::AlignRight)
        return TextAlignment::Right;
    if ((alignment & Qt::AlignLeft) && (alignment & Qt::AlignAbsolute))
        return TextAlignment::Left;
    return TextAlignment::Natural;
}

QString applicationFontFamily()
{
    return QGuiApplication::font().family();
}

std::array<double, 4> clampedComponents(const Rgba& color)
{
    return {std::clamp(color.red, 0.0, 1.0), std::clamp(color.green, 0.0, 1.0),
            std::clamp(color.blue, 0.0, 1.0), std::clamp(color.alpha, 0.0, 1.0)};
}

QColor qtColor(const std::array<double, 4>& c)
{
    return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]), float(c[3]));
}

// Appends the characters [start, end) of the block that starts at
// `position`, and its separator when that lies inside, one fragment after
// another: each fragment's attributes are made once and either extend the
// last run or start a new one. Positions are counted along, not asked of the
// document, which finds each in a tree.
void appendFragments(const QTextBlock& block, int position, int start, int end, AttributedString& text,
                     FormatCache& cache)
{
    const int separator = position + block.length() - 1;
    const int blockIndex = block.blockFormatIndex();
    const auto blockFormat = [&block] { return block.blockFormat(); };
    for (auto it = block.begin(); !it.atEnd() && position < end; ++it) {
        const QTextFragment fragment = it.fragment();
        const int length = fragment.length();
        const int from = std::max(start, position);
        const int to = std::min(end, position + length);
        if (from < to) {
            const TextAttributes& attributes = cache.attributes(
                fragment.charFormatIndex(), [&fragment] { return fragment.charFormat(); }, blockIndex, blockFormat);
            text.append(fragment.text().mid(from - position, to - from), attributes);
        }
        position += length;
    }
    if (separator < start || separator >= end)
        return;
    const QTextBlock next = block.next();
    if (next.isValid())
        text.append(QStringLiteral("\n"),
                    cache.attributes(next.charFormatIndex(), [&next] { return next.charFormat(); }, blockIndex,
                                     blockFormat));
}

} // namespace

bool isParagraphSeparator(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

namespace {

// The last paragraph separator in [from, to), or `from`.
int lastParagraphSeparator(const QString& s, int from, int to)
{
    for (int i = to - 1; i > from; --i) {
        if (isParagraphSeparator(s.at(i)))
            return i;
    }
    return from;
}

// Whether QTextCursor::insertText splits [from, to) into paragraphs where
// insert does: it takes "\r\n" as one separator, and frame marks as
// separators too.
bool splitsAsHere(const QString& s, int from, int to)
{
    for (int i = from; i < to; ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\r') || c == QChar(0xfdd0) || c == QChar(0xfdd1))
            return false;
    }
    return true;
}

} // namespace

std::optional<int> propertyOf(const QString& customName)
{
    for (const NamedProperty& entry : namedProperties()) {
        if (entry.name == customName)
            return entry.property;
    }
    return std::nullopt;
}

QVariant toVariant(const CustomAttributeValue& value)
{
    if (const auto* text = std::get_if<QString>(&value))
        return *text;
    if (const auto* number = std::get_if<double>(&value))
        return *number;
    return QVariant::fromValue(std::get<QList<double>>(value));
}

std::optional<CustomAttributeValue> fromVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong: return value.toDouble();
    default: break;
    }
    if (value.canConvert<QList<double>>() && value.metaType() == QMetaType::fromType<QList<double>>())
        return value.value<QList<double>>();
    if (value.typeId() == QMetaType::QVariantList) {
        QList<double> numbers;
        for (const QVariant& item : value.toList()) {
            bool ok = false;
            numbers.append(item.toDouble(&ok));
            if (!ok)
                return std::nullopt;
        }
        return numbers;
    }
    return std::nullopt;
}

QTextCharFormat charFormat(const TextAttributes& a)
{
    QTextCharFormat format;
    if (a.font) {
        const bool system = a.font->family == TextFont::systemFamily();
        format.setFontFamilies(QStringList{system ? applicationFontFamily() : a.font->family});
        if (system)
            format.setProperty(SystemFont, true);
        if (a.font->pointSize > 0)
            format.setFontPointSize(a.font->pointSize);
        format.setFontWeight(a.font->bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(a.font->italic);
    }
    if (a.foreground) {
        if (a.foreground->isDynamic()) {
            format.setProperty(DynamicTextColor, true);
        } else {
            const auto components = clampedComponents(*a.foreground->rgba);
            format.setForeground(qtColor(components));
            format.setProperty(ExactColor, QVariant::fromValue(QList<double>(components.begin(), components.end())));
        }
    }
    if (a.underlineStyle != 0) {
        format.setFontUnderline(true);
        format.setProperty(UnderlineStyle, a.underlineStyle);
    }
    if (a.strikethroughStyle != 0) {
        format.setFontStrikeOut(true);
        format.setProperty(StrikethroughStyle, a.strikethroughStyle);
    }
    QVariantMap others;
    for (const auto& [name, value] : a.custom) {
        if (const auto property = propertyOf(name))
            format.setProperty(*property, toVariant(value));
        else
            others.insert(name, toVariant(value));
    }
    if (!others.isEmpty())
        format.setProperty(OtherCustom, others);
    return format;
}

QTextBlockFormat blockFormat(const std::optional<ParagraphStyle>& style)
{
    QTextBlockFormat format;
    if (!style)
        return format;
    format.setProperty(ParagraphStyleSet, true);
    format.setProperty(Alignment, int(style->alignment));
    format.setProperty(FirstLineHeadIndent, style->firstLineHeadIndent);
    format.setProperty(HeadIndent, style->headIndent);
    format.setProperty(TailIndent, style->tailIndent);
    format.setProperty(ParagraphSpacing, style->paragraphSpacing);
    format.setProperty(ParagraphSpacingBefore, style->paragraphSpacingBefore);
    format.setProperty(LineSpacing, style->lineSpacing);

    // What Qt shows: head indent as the left margin, the first line relative to it.
    const double head = std::max(style->headIndent, 0.0);
    format.setAlignment(qtAlignment(style->alignment));
    format.setLeftMargin(head);
    format.setTextIndent(std::max(style->firstLineHeadIndent, 0.0) - head);
    format.setRightMargin(style->tailIndent < 0 ? -style->tailIndent : 0);
    format.setBottomMargin(std::max(style->paragraphSpacing, 0.0));
    format.setTopMargin(std::max(style->paragraphSpacingBefore, 0.0));
    if (style->lineSpacing > 0)
        format.setLineHeight(style->lineSpacing, QTextBlockFormat::LineDistanceHeight);
    return format;
}

std::optional<ParagraphStyle> paragraphStyle(const QTextBlockFormat& format)
{
    if (format.boolProperty(ParagraphStyleSet)) {
        ParagraphStyle style;
        const int alignment = format.intProperty(Alignment);
        style.alignment = alignment >= int(TextAlignment::Natural) && alignment <= int(TextAlignment::Justified)
            ? TextAlignment(alignment) : TextAlignment::Natural;
        style.firstLineHeadIndent = format.doubleProperty(FirstLineHeadIndent);
        style.headIndent = format.doubleProperty(HeadIndent);
        style.tailIndent = format.doubleProperty(TailIndent);
        style.paragraphSpacing = format.doubleProperty(ParagraphSpacing);
        style.paragraphSpacingBefore = format.doubleProperty(ParagraphSpacingBefore);
        style.lineSpacing = format.doubleProperty(LineSpacing);
        return style;
    }
    // A block made by Qt itself (pasted HTML, for example): read what it shows.
    const bool hasNative = format.hasProperty(QTextFormat::BlockLeftMargin)
        || format.hasProperty(QTextFormat::TextIndent) || format.hasProperty(QTextFormat::BlockRightMargin)
        || format.hasProperty(QTextFormat::BlockBottomMargin) || format.hasProperty(QTextFormat::BlockTopMargin)
        || format.hasProperty(QTextFormat::BlockAlignment) || format.hasProperty(QTextFormat::LineHeight);
    if (!hasNative)
        return std::nullopt;
    ParagraphStyle style;
    style.alignment = alignmentFromQt(format.alignment());
    style.headIndent = format.leftMargin();
    style.firstLineHeadIndent = format.leftMargin() + format.textIndent();
    style.tailIndent = -format.rightMargin();
    style.paragraphSpacing = format.bottomMargin();
    style.paragraphSpacingBefore = format.topMargin();
    if (format.lineHeightType() == QTextBlockFormat::LineDistanceHeight)
        style.lineSpacing = format.lineHeight();
    return style;
}

FormatCache::FormatCache(Completion complete)
    : m_complete(std::move(complete))
{
}

const TextAttributes& FormatCache::met(quint64 key, const QTextCharFormat& charFormat, int blockFormatIndex,
                                       const QTextBlockFormat& blockFormat)
{
    if (charFormat.hasProperty(BlockID)) {
        QTextCharFormat without = charFormat;
        without.clearProperty(BlockID);
        const TextAttributes& shared = unmarked(without, blockFormatIndex, blockFormat);
        // The mark goes on last; where the rest names a block id already (in
        // a table of other attributes, say), the whole conversion decides.
        if (!shared.custom.contains(EditorAttribute::blockID)) {
            m_marked = shared;
            if (auto mark = fromVariant(charFormat.property(BlockID)))
                m_marks.set(m_marked.custom, *mark);
            return m_marked;
        }
    }
    return m_seen.emplace(key, convert(charFormat, blockFormat)).first->second;
}

const TextAttributes& FormatCache::unmarked(const QTextCharFormat& charFormat, int blockFormatIndex,
                                            const QTextBlockFormat& blockFormat)
{
    constexpr std::size_t kept = 32;
    for (const Unmarked& entry : m_unmarked) {
        if (entry.blockFormatIndex == blockFormatIndex && entry.charFormat == charFormat)
            return entry.attributes;
    }
    Unmarked made{charFormat, blockFormatIndex, convert(charFormat, blockFormat)};
    if (m_unmarked.size() < kept) {
        m_unmarked.push_back(std::move(made));
        return m_unmarked.back().attributes;
    }
    Unmarked& slot = m_unmarked[m_replaced];
    m_replaced = (m_replaced + 1) % kept;
    slot = std::move(made);
    return slot.attributes;
}

TextAttributes FormatCache::convert(const QTextCharFormat& charFormat, const QTextBlockFormat& blockFormat) const
{
    TextAttributes converted = textdoc::attributes(charFormat, blockFormat);
    if (m_complete)
        m_complete(converted, blockFormat);
    return converted;
}

std::optional<TextColor> foreground(const QTextCharFormat& format)
{
    if (format.boolProperty(DynamicTextColor))
        return TextColor::dynamicText();
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return std::nullopt;
    const QColor shown = format.foreground().color();
    const QList<double> exact = format.property(ExactColor).value<QList<double>>();
    if (exact.size() == 4 && qtColor({exact[0], exact[1], exact[2], exact[3]}) == shown)
        return TextColor::fixed(Rgba{exact[0], exact[1], exact[2], exact[3]});
    return TextColor::fixed(Rgba{shown.redF(), shown.greenF(), shown.blueF(), shown.alphaF()});
}

TextAttributes attributes(const QTextCharFormat& format, const QTextBlockFormat& block)
{
    TextAttributes a;
    if (format.hasProperty(QTextFormat::FontFamilies) || format.hasProperty(QTextFormat::FontPointSize)) {
        TextFont font;
        const QStringList families = format.fontFamilies().toStringList();
        font.family = format.boolProperty(SystemFont) || families.isEmpty() ? TextFont::systemFamily()
                                                                              : families.front();
        font.pointSize = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 14;
        font.bold = format.fontWeight() >= QFont::DemiBold;
        font.italic = format.fontItalic();
        a.font = font;
    }
    a.foreground = foreground(format);
    if (format.fontUnderline())
        a.underlineStyle = format.hasProperty(UnderlineStyle) ? format.intProperty(UnderlineStyle) : 1;
    if (format.fontStrikeOut())
        a.strikethroughStyle = format.hasProperty(StrikethroughStyle) ? format.intProperty(StrikethroughStyle) : 1;
    for (const NamedProperty& entry : namedProperties()) {
        if (!format.hasProperty(entry.property))
            continue;
        if (auto value = fromVariant(format.property(entry.property)))
            a.custom[entry.name] = std::move(*value);
    }
    const QVariantMap others = format.property(OtherCustom).toMap();
    for (auto it = others.begin(); it != others.end(); ++it) {
        if (auto value = fromVariant(it.value()))
            a.custom[it.key()] = std::move(*value);
    }
    a.paragraphStyle = paragraphStyle(block);
    return a;
}

namespace {

// The formats of the runs of one insert. The paragraphs of a long text
// differ mostly in nothing but the block id each is marked with: the formats
// a run's attributes make are worked out once for all runs that differ only
// in that mark, which is then set on a copy. A property set again keeps its
// place among the others, so each format is the very one charFormat() makes.
class RunFormats {
public:
    explicit RunFormats(const BlockFormatCompletion& complete)
        : m_complete(complete)
        , m_made(EditorAttribute::blockID)
    {
    }

    QTextCharFormat charFormat(const TextAttributes& attributes)
    {
        const Made& made = madeFor(attributes);
        QTextCharFormat format = made.chars;
        const auto mark = attributes.custom.find(EditorAttribute::blockID);
        if (mark != attributes.custom.end() && !(made.mark && *made.mark == mark->second))
            format.setProperty(BlockID, toVariant(mark->second));
        return format;
    }

    // The format of a paragraph that starts with such a run, completed with
    // the format of the first run that made it: a completion takes nothing
    // from the mark.
    const QTextBlockFormat& blockFormat(const TextAttributes& attributes)
    {
        Made& made = madeFor(attributes);
        if (!made.block) {
            QTextBlockFormat block = textdoc::blockFormat(attributes.paragraphStyle);
            if (m_complete)
                m_complete(block, made.chars);
            made.block = std::move(block);
        }
        return *made.block;
    }

private:
    struct Made {
        QTextCharFormat chars;                    // with the mark of the attributes that made it
        std::optional<CustomAttributeValue> mark; // that mark
        std::optional<QTextBlockFormat> block;
    };

    Made& madeFor(const TextAttributes& attributes)
    {
        return m_made.entry(attributes, [&] {
            const auto mark = attributes.custom.find(EditorAttribute::blockID);
            return Made{textdoc::charFormat(attributes),
                        mark == attributes.custom.end() ? std::nullopt : std::optional(mark->second), std::nullopt};
        });
    }

    const BlockFormatCompletion& m_complete;
    AttributesApartTable<Made> m_made;
};

} // namespace

void insert(QTextCursor& cursor, const AttributedString& text, const BlockFormatCompletion& complete)
{
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    // A paragraph that starts at a block start gives that block its style; a
    // block split off by a separator first keeps the format the rest of the
    // original block had.
    const QTextBlockFormat original = cursor.blockFormat();
    bool atParagraphStart = cursor.atBlockStart();
    // Whether the cursor's block was inserted with the format of the
    // paragraph that starts there, which then needs no setting.
    bool formatted = false;
    RunFormats formats(complete);
    const QString& s = text.string();
    const std::vector<AttributedString::Run>& runs = text.runs();
    for (std::size_t index = 0; index < runs.size(); ++index) {
        const AttributedString::Run& run = runs[index];
        const QTextCharFormat format = formats.charFormat(run.attributes);
        const int end = run.start + run.length;
        int position = run.start;
        while (position < end) {
            int separator = position;
            while (separator < end && !isParagraphSeparator(s.at(separator)))
                ++separator;
            if (atParagraphStart && separator >= position) {
                if (!formatted)
                    cursor.setBlockFormat(formats.blockFormat(run.attributes));
                // The run's further paragraphs take the same format: up to its
                // last separator Qt splits them off itself, in one insert.
                const int last = lastParagraphSeparator(s, separator, end);
                if (last > separator && splitsAsHere(s, position, last))
                    separator = last;
            }
            if (separator > position) {
                cursor.insertText(s.mid(position, separator - position), format);
                atParagraphStart = false;
            }
            if (separator < end) {
                // A paragraph follows in the text: its block goes in with its format.
                const int next = separator + 1;
                const AttributedString::Run* following
                    = next < end ? &run : index + 1 < runs.size() ? &runs[index + 1] : nullptr;
                formatted = following != nullptr;
                cursor.insertBlock(following ? formats.blockFormat(following->attributes) : original, format);
                atParagraphStart = true;
                position = next;
            } else {
                position = end;
            }
        }
    }
    // What followed the cursor moved on into the last block, which took the
    // last paragraph's format as it went in: set once more, so that the
    // document reports those characters as changed too.
    if (formatted)
        cursor.setBlockFormat(cursor.blockFormat());
}

void setContents(QTextDocument& document, const AttributedString& text, const std::function<void()>& prepare,
                 const BlockFormatCompletion& complete)
{
    document.clear();
    if (prepare)
        prepare();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    insert(cursor, text, complete);
    cursor.endEditBlock();
}

AttributedString read(const QTextDocument& document, int start, int length)
{
    const int total = document.characterCount() - 1;
    start = std::clamp(start, 0, total);
    const int end = std::clamp(start + std::max(length, 0), start, total);
    AttributedString text;
    FormatCache cache;
    QTextBlock block = document.findBlock(start);
    for (int position = block.position(); block.isValid() && position < end; block = block.next()) {
        appendFragments(block, position, start, end, text, cache);
        position += block.length();
    }
    return text;
}

AttributedString contents(const QTextDocument& document)
{
    return read(document, 0, document.characterCount() - 1);
}

AttributedString readBlock(const QTextBlock& block, bool withSeparator)
{
    FormatCache cache;
    return readBlock(block, block.position(), withSeparator, cache);
}

AttributedString readBlock(const QTextBlock& block, int position, bool withSeparator, FormatCache& cache)
{
    AttributedString text;
    const int end = position + block.length() - (withSeparator ? 0 : 1);
    appendFragments(block, position, position, end, text, cache);
    return text;
}

QString plainText(const QTextDocument& document, int start, int length)
{
    const int total = document.characterCount() - 1;
    start = std::clamp(start, 0, total);
    const int end = std::clamp(start + std::max(length, 0), start, total);
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace quorrin::textdoc
