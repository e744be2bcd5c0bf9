// The RTF reader. It walks the document once with an explicit stack of group
// states (no recursion, so nesting depth cannot exhaust the call stack) and
// collects text with the attributes in force where each character was read.
// It accepts our own documents and those of other programs: code pages through
// iconv, \uc fallbacks, unknown control words and {\* ...} groups skipped.

#include "Core/Text/Rtf.h"
#include "Core/Text/RtfCodepage.h"
#include "Core/Text/RtfControlWords.h"
#include "Core/Text/RtfFormat.h"
#include "Core/Text/RtfPicture.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

namespace quorrin::rtf {

namespace {

using namespace units;

// Deeper documents are refused rather than followed; real ones stay far below.
constexpr std::size_t maxGroupDepth = 1000;
constexpr std::int64_t parameterLimit = 1'000'000'000'000'000;
constexpr int maxWordLength = 32;

enum class Destination {
    Text, FontTable, ColorTable, StringAttribute, NumberAttribute, NumbersAttribute, Attachment, Picture, Skip
};

struct ParagraphState {
    TextAlignment alignment = TextAlignment::Natural;
    // Twips; the first-line indent is relative to the left indent, as RTF has it.
    std::int64_t firstLine = 0;
    std::int64_t left = 0;
    std::int64_t right = 0;
    std::int64_t before = 0;
    std::int64_t after = 0;
    std::int64_t leading = 0;
};

struct CharacterState {
    bool fontSet = false; // any of \f, \fs, \b, \i seen: the text has a font of its own
    std::optional<std::int64_t> font;
    std::int64_t halfPoints = 24;
    bool bold = false;
    bool italic = false;
    std::optional<std::int64_t> color;
    int underline = 0;
    int strikethrough = 0;
    CustomAttributes custom;
};

struct Group {
    Destination destination = Destination::Text;
    bool startsDestination = false;
    CharacterState character;
    std::optional<ParagraphState> paragraph;
    int unicodeSkip = 1;
    // An attachment group just ended in this group: the placeholder character
    // that follows it stands for the attachment already delivered.
    bool attachmentPlaceholder = false;
};

struct FontEntry {
    QString name;
    int charset = 0;
};

int clampedInt(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

bool isLetter(char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool isDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

class Reader {
public:
    // Collects the text with its attributes.
    explicit Reader(const QByteArray& document)
        : m_document(document)
    {
    }

    // Hands each piece of the text to `takePlainText` instead, without
    // building any attributes; reading stops once it returns false.
    Reader(const QByteArray& document, const PlainTextSink& takePlainText)
        : m_document(document)
        , m_takePlainText(&takePlainText)
    {
    }

    // Keeps the document's pictures in `pictures`, each as one U+FFFC in the
    // text; without this they are skipped.
    Reader(const QByteArray& document, std::vector<Picture>& pictures)
        : m_document(document)
        , m_pictures(&pictures)
    {
    }

    // Reads the document; false when it is not an RTF document.
    bool read()
    {
        while (m_position < size() && std::string_view(" \t\r\n").find(at(m_position)) != std::string_view::npos)
            ++m_position;
        if (!m_document.mid(m_position, 5).startsWith("{\\rtf"))
            return false;
        while (m_position < size() && !m_stopped) {
            const char byte = at(m_position++);
            switch (byte) {
            case '{':
                if (!openGroup())
                    return false;
                break;
            case '}':
                closeGroup();
                if (m_groups.empty())
                    return true;
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                break;
            default:
                textByte(byte);
                break;
            }
        }
        // A document cut short keeps what it had.
        flush();
        return true;
    }

    AttributedString takeResult() { return std::move(m_result); }
    const ReadNotes& notes() const { return m_notes; }

private:
    qsizetype size() const { return m_document.size(); }
    char at(qsizetype position) const { return m_document.at(position); }
    Group& top() { return m_groups.back(); }

    bool openGroup()
    {
        flush();
        m_ignorable = false;
        m_fallbackToSkip = 0;
        if (m_groups.size() >= maxGroupDepth) {
            m_notes.nestedTooDeeply = true;
            return false;
        }
        Group group = m_groups.empty() ? Group{} : top();
        group.startsDestination = false;
        group.attachmentPlaceholder = false;
        m_groups.push_back(std::move(group));
        return true;
    }

    void closeGroup()
    {
        flush();
        m_ignorable = false;
        m_fallbackToSkip = 0;
        if (m_groups.empty())
            return;
        const Group closed = std::move(top());
        m_groups.pop_back();
        if (closed.destination == Destination::FontTable)
            finishFontEntry();
        if (closed.startsDestination)
            finishDestination(closed.destination);
    }

    void controlSequence()
    {
        if (m_position >= size())
            return;
        const char first = at(m_position);
        if (!isLetter(first)) {
            ++m_position;
            controlSymbol(first);
            return;
        }
        const qsizetype nameStart = m_position;
        while (m_position < size() && isLetter(at(m_position)))
            ++m_position;
        const qsizetype nameLength = m_position - nameStart;
        std::optional<std::int64_t> parameter;
        const bool negative = m_position + 1 < size() && at(m_position) == '-' && isDigit(at(m_position + 1));
        if (negative)
            ++m_position;
        if (m_position < size() && isDigit(at(m_position))) {
            std::int64_t value = 0;
            while (m_position < size() && isDigit(at(m_position))) {
                value = std::min(parameterLimit, value * 10 + (at(m_position) - '0'));
                ++m_position;
            }
            parameter = negative ? -value : value;
        }
        if (m_position < size() && at(m_position) == ' ')
            ++m_position;
        const std::string_view name(m_document.constData() + nameStart, std::size_t(nameLength));
        controlWord(nameLength <= maxWordLength ? lookUp(name) : std::nullopt, parameter);
    }

    bool consumeFallback()
    {
        if (m_fallbackToSkip <= 0)
            return false;
        --m_fallbackToSkip;
        return true;
    }

    void controlSymbol(char symbol)
    {
        if (symbol == '*') {
            m_ignorable = true;
            return;
        }
        m_ignorable = false;
        switch (symbol) {
        case '\\':
        case '{':
        case '}':
            textByte(symbol);
            return;
        case '\'': {
            const int high = m_position < size() ? hexDigitValue(at(m_position)) : -1;
            const int low = m_position + 1 < size() ? hexDigitValue(at(m_position + 1)) : -1;
            if (high < 0 || low < 0)
                return;
            m_position += 2;
            if (!consumeFallback())
                encodedByte(char(high * 16 + low));
            return;
        }
        default:
            break;
        }
        if (consumeFallback() || top().destination == Destination::Skip)
            return;
        switch (symbol) {
        case '~': character(u'\u00A0'); break;
        case '_': character(u'\u2011'); break;
        case '\n':
        case '\r': character(u'\n'); break;
        default: break; // \- (optional hyphen), \| and others show nothing
        }
    }

    void textByte(char byte)
    {
        m_ignorable = false;
        if (consumeFallback())
            return;
        const Destination destination = top().destination;
        if (byte == ';' && destination != Destination::Text && destination != Destination::Skip
            && destination != Destination::Attachment && destination != Destination::Picture) {
            flush();
            semicolon();
            return;
        }
        encodedByte(byte);
    }

    void encodedByte(char byte)
    {
        const Destination destination = top().destination;
        if (destination == Destination::Skip || destination == Destination::ColorTable)
            return;
        if (destination == Destination::Picture) {
            m_picture.textByte(byte);
            return;
        }
        m_pendingBytes += byte;
    }

    void character(char16_t unit)
    {
        flushBytes();
        deliver(QStringView(&unit, 1));
    }

    void controlWord(std::optional<Word> word, std::optional<std::int64_t> parameter)
    {
        flush();
        const bool ignorable = std::exchange(m_ignorable, false);
        if (consumeFallback())
            return;
        Group& group = top();
        if (group.destination == Destination::Skip) {
            if (word == Word::Bin)
                skipBinary(parameter.value_or(0));
            return;
        }
        // A picture group wrapped for older readers is opened when pictures are kept.
        const bool keptPicture = word == Word::ShapePicture && m_pictures;
        if (ignorable && word != Word::StringAttribute && word != Word::NumberAttribute
            && word != Word::NumbersAttribute && !keptPicture) {
            startDestination(Destination::Skip);
            return;
        }
        if (!word)
            return;
        const std::int64_t value = parameter.value_or(0);
        switch (*word) {
        case Word::Bin:
            if (group.destination == Destination::Picture)
                pictureBinary(value);
            else
                skipBinary(value);
            return;
        case Word::Unicode: unicode(value); return;
        case Word::UnicodeSkip: group.unicodeSkip = int(std::clamp<std::int64_t>(value, 0, 16)); return;
        default: break;
        }
        switch (group.destination) {
        case Destination::FontTable: fontTableWord(*word, value); return;
        case Destination::ColorTable: colorTableWord(*word, value); return;
        case Destination::Picture: pictureWord(*word); return;
        case Destination::StringAttribute:
        case Destination::NumberAttribute:
        case Destination::NumbersAttribute:
        case Destination::Attachment:
        case Destination::Skip: return;
        case Destination::Text: break;
        }
        textWord(*word, parameter);
    }

    void startDestination(Destination destination)
    {
        top().destination = destination;
        top().startsDestination = true;
        switch (destination) {
        case Destination::StringAttribute:
        case Destination::NumberAttribute:
        case Destination::NumbersAttribute:
        case Destination::Attachment:
            m_fieldName.clear();
            m_fieldValue.clear();
            m_fieldSeparated = false;
            break;
        case Destination::FontTable:
            m_fontName.clear();
            m_fontEntry = -1;
            break;
        case Destination::Picture: m_picture.start(); break;
        case Destination::ColorTable:
            m_colors.clear();
            m_color = ColorInProgress{};
            break;
        default: break;
        }
    }

    void unicode(std::int64_t value)
    {
        character(char16_t(std::uint16_t(value & 0xFFFF)));
        m_fallbackToSkip = top().unicodeSkip;
    }

    // The length of binary data at the position: what the document still
    // holds when it is said to run past the end.
    qsizetype binaryLength(std::int64_t count)
    {
        if (count > size() - m_position)
            m_notes.binaryCut = true;
        return qsizetype(std::clamp<std::int64_t>(count, 0, size() - m_position));
    }

    void skipBinary(std::int64_t count) { m_position += binaryLength(count); }

    void pictureBinary(std::int64_t count)
    {
        const qsizetype length = binaryLength(count);
        m_picture.binary(m_document.constData() + m_position, length);
        m_position += length;
    }

    void pictureWord(Word word)
    {
        switch (word) {
        case Word::PngBlip: m_picture.setFormat(PictureFormat::Png); break;
        case Word::JpegBlip: m_picture.setFormat(PictureFormat::Jpeg); break;
        case Word::EmfBlip: m_picture.setFormat(PictureFormat::Emf); break;
        case Word::WmfBlip: m_picture.setFormat(PictureFormat::Wmf); break;
        case Word::DibBlip: m_picture.setFormat(PictureFormat::Dib); break;
        case Word::DeviceBitmapBlip: m_picture.setFormat(PictureFormat::DeviceBitmap); break;
        case Word::MacPictBlip: m_picture.setFormat(PictureFormat::MacPict); break;
        case Word::Os2MetafileBlip: m_picture.setFormat(PictureFormat::Os2Metafile); break;
        default: break; // sizes, scaling, cropping: the picture is kept as stored
        }
    }

    void fontTableWord(Word word, std::int64_t value)
    {
        if (word == Word::Font) {
            finishFontEntry();
            m_fontEntry = value;
            m_fonts.try_emplace(value);
        } else if (word == Word::FontCharset) {
            m_fonts[m_fontEntry].charset = clampedInt(value);
        } else if (word == Word::SkipDestination) {
            startDestination(Destination::Skip);
        }
    }

    void colorTableWord(Word word, std::int64_t value)
    {
        switch (word) {
        case Word::ColorRed: m_color.red = value; break;
        case Word::ColorGreen: m_color.green = value; break;
        case Word::ColorBlue: m_color.blue = value; break;
        case Word::ColorAlpha: m_color.alpha = value; break;
        default: return;
        }
        m_color.hasValue = true;
    }

    ParagraphState& paragraph()
    {
        if (!top().paragraph)
            top().paragraph = ParagraphState{};
        return *top().paragraph;
    }

    void textWord(Word word, std::optional<std::int64_t> parameter)
    {
        const std::int64_t value = parameter.value_or(0);
        const bool on = parameter.value_or(1) != 0;
        CharacterState& state = top().character;
        switch (word) {
        case Word::Ansi: m_codepage = 1252; break;
        case Word::Mac: m_codepage = 10000; break;
        case Word::Pc: m_codepage = 437; break;
        case Word::Pca: m_codepage = 850; break;
        case Word::AnsiCodepage: m_codepage = clampedInt(value); break;
        case Word::DefaultFont: m_defaultFont = value; break;
        case Word::FontTable: startDestination(Destination::FontTable); break;
        case Word::ColorTable: startDestination(Destination::ColorTable); break;
        case Word::SkipDestination: startDestination(Destination::Skip); break;
        case Word::StringAttribute: startDestination(Destination::StringAttribute); break;
        case Word::NumberAttribute: startDestination(Destination::NumberAttribute); break;
        case Word::NumbersAttribute: startDestination(Destination::NumbersAttribute); break;
        case Word::NeXTGraphic: startDestination(Destination::Attachment); break;
        case Word::Picture: startDestination(m_pictures ? Destination::Picture : Destination::Skip); break;

        case Word::Paragraph:
        case Word::Page:
        case Word::Section:
        case Word::Row: character(u'\n'); break;
        case Word::Line: character(u'\u2028'); break;
        case Word::Tab:
        case Word::Cell: character(u'\t'); break;
        case Word::EmDash: character(u'\u2014'); break;
        case Word::EnDash: character(u'\u2013'); break;
        case Word::Bullet: character(u'\u2022'); break;
        case Word::LeftQuote: character(u'\u2018'); break;
        case Word::RightQuote: character(u'\u2019'); break;
        case Word::LeftDoubleQuote: character(u'\u201C'); break;
        case Word::RightDoubleQuote: character(u'\u201D'); break;
        case Word::EmSpace: character(u'\u2003'); break;
        case Word::EnSpace: character(u'\u2002'); break;
        case Word::QmSpace: character(u'\u2005'); break;
        case Word::ZeroWidthJoiner: character(u'\u200D'); break;
        case Word::ZeroWidthNonJoiner: character(u'\u200C'); break;
        case Word::LtrMark: character(u'\u200E'); break;
        case Word::RtlMark: character(u'\u200F'); break;

        case Word::ParagraphDefaults: top().paragraph = ParagraphState{}; break;
        case Word::AlignLeft: paragraph().alignment = TextAlignment::Left; break;
        case Word::AlignCenter: paragraph().alignment = TextAlignment::Center; break;
        case Word::AlignRight: paragraph().alignment = TextAlignment::Right; break;
        case Word::AlignJustified: paragraph().alignment = TextAlignment::Justified; break;
        case Word::FirstIndent: paragraph().firstLine = value; break;
        case Word::LeftIndent: paragraph().left = value; break;
        case Word::RightIndent: paragraph().right = value; break;
        case Word::SpaceBefore: paragraph().before = value; break;
        case Word::SpaceAfter: paragraph().after = value; break;
        case Word::LineLeading: paragraph().leading = value; break;

        case Word::Plain: state = CharacterState{}; break;
        case Word::Font:
            state.font = value;
            state.fontSet = true;
            break;
        case Word::FontSize:
            state.halfPoints = parameter.value_or(24);
            state.fontSet = true;
            break;
        case Word::Bold:
            state.bold = on;
            state.fontSet = true;
            break;
        case Word::Italic:
            state.italic = on;
            state.fontSet = true;
            break;
        case Word::TextColor: state.color = value; break;
        case Word::Underline: state.underline = on ? 1 : 0; break;
        case Word::UnderlineNone: state.underline = 0; break;
        case Word::UnderlineThick: state.underline = on ? 2 : 0; break;
        case Word::UnderlineDouble: state.underline = on ? 9 : 0; break;
        case Word::UnderlineStyle: state.underline = clampedInt(value); break;
        case Word::Strike: state.strikethrough = on ? 1 : 0; break;
        case Word::StrikeDouble: state.strikethrough = on ? 9 : 0; break;
        case Word::StrikeStyle: state.strikethrough = clampedInt(value); break;
        default: break;
        }
    }

    void semicolon()
    {
        switch (top().destination) {
        case Destination::FontTable: finishFontEntry(); break;
        case Destination::ColorTable:
            if (m_color.hasValue)
                m_colors.push_back(Rgba{componentFromByte(m_color.red), componentFromByte(m_color.green),
                                        componentFromByte(m_color.blue), componentFromByte(m_color.alpha)});
            else
                m_colors.push_back(std::nullopt);
            m_color = ColorInProgress{};
            break;
        case Destination::StringAttribute:
        case Destination::NumberAttribute:
        case Destination::NumbersAttribute:
            if (m_fieldSeparated)
                m_fieldValue += u';';
            m_fieldSeparated = true;
            break;
        default: break;
        }
    }

    void finishFontEntry()
    {
        flush();
        // A name read twice for one entry (a repeated index) keeps the last one.
        if (!m_fontName.isEmpty())
            m_fonts[m_fontEntry].name = std::exchange(m_fontName, QString());
        m_fontEntry = -1;
    }

    // A custom attribute group ended: the attribute applies to the enclosing group.
    void finishDestination(Destination destination)
    {
        if (destination == Destination::Attachment) {
            finishAttachment();
            return;
        }
        if (destination == Destination::Picture) {
            finishPicture();
            return;
        }
        // The attachment and picture attributes only ever come from their own groups.
        if (m_groups.empty() || top().destination != Destination::Text || !m_fieldSeparated
            || m_fieldName == attachmentAttribute || m_fieldName == pictureAttribute)
            return;
        std::optional<CustomAttributeValue> value;
        if (destination == Destination::StringAttribute) {
            value = m_fieldValue;
        } else if (destination == Destination::NumberAttribute) {
            if (const auto number = numberFromText(m_fieldValue))
                value = *number;
        } else if (destination == Destination::NumbersAttribute) {
            QList<double> numbers;
            bool valid = true;
            if (!m_fieldValue.isEmpty()) {
                for (const QString& part : m_fieldValue.split(u',')) {
                    const auto number = numberFromText(part);
                    valid = valid && number.has_value();
                    numbers.append(number.value_or(0));
                }
            }
            if (valid)
                value = numbers;
        }
        if (value)
            top().character.custom[m_fieldName] = *value;
    }

    // An attachment group names its file; the blanks around the name separate
    // it from the size words that other writers put after it.
    void finishAttachment()
    {
        const QString name = m_fieldValue.trimmed();
        if (m_groups.empty() || top().destination != Destination::Text || name.isEmpty())
            return;
        TextAttributes attachment = attributes(top());
        attachment.custom[attachmentAttribute] = name;
        m_result.append(QString(QChar(attachmentCharacter)), attachment);
        top().attachmentPlaceholder = true;
    }

    void finishPicture()
    {
        Picture picture = m_picture.finish();
        if (!m_pictures || m_groups.empty() || top().destination != Destination::Text)
            return;
        TextAttributes marked = attributes(top());
        marked.custom[pictureAttribute] = double(m_pictures->size());
        m_result.append(QString(QChar(attachmentCharacter)), marked);
        m_pictures->push_back(std::move(picture));
    }

    int codepageOfFont(std::int64_t font) const
    {
        const auto found = m_fonts.find(font);
        const int fromCharset = found == m_fonts.end() ? 0 : CodepageDecoder::codepageOfCharset(found->second.charset);
        return fromCharset != 0 ? fromCharset : m_codepage;
    }

    void flushBytes()
    {
        if (m_pendingBytes.isEmpty())
            return;
        const Group& group = top();
        const std::int64_t font = group.destination == Destination::FontTable
                                      ? m_fontEntry
                                      : group.character.font.value_or(m_defaultFont);
        deliver(m_decoder.decode(m_pendingBytes, codepageOfFont(font)));
        m_pendingBytes.clear();
    }

    void deliver(QStringView text)
    {
        switch (top().destination) {
        case Destination::Text: {
            if (!std::exchange(top().attachmentPlaceholder, false) || text.isEmpty()) {
                m_pendingText += text;
            } else {
                const bool placeholder = text.front() == QChar(u'\u00AC') || text.front() == QChar(attachmentCharacter);
                m_pendingText += placeholder ? text.mid(1) : text;
            }
            break;
        }
        case Destination::FontTable: m_fontName += text; break;
        case Destination::StringAttribute:
        case Destination::NumberAttribute:
        case Destination::NumbersAttribute: (m_fieldSeparated ? m_fieldValue : m_fieldName) += text; break;
        case Destination::Attachment: m_fieldValue += text; break;
        case Destination::Picture:
        case Destination::ColorTable:
        case Destination::Skip: break;
        }
    }

    // Hands the text read so far to the result, with the attributes it was read under.
    void flush()
    {
        if (m_groups.empty())
            return;
        flushBytes();
        if (m_pendingText.isEmpty())
            return;
        if (!m_takePlainText)
            m_result.append(m_pendingText, attributes(top()));
        else if (!m_stopped)
            m_stopped = !(*m_takePlainText)(m_pendingText);
        m_pendingText.clear();
    }

    TextAttributes attributes(const Group& group) const
    {
        TextAttributes result;
        const CharacterState& state = group.character;
        if (state.fontSet) {
            const auto found = m_fonts.find(state.font.value_or(m_defaultFont));
            const QString family = found == m_fonts.end() ? TextFont::systemFamily() : found->second.name;
            result.font = TextFont{family, pointsFromHalfPoints(state.halfPoints), state.bold, state.italic};
        }
        if (state.color) {
            const std::int64_t index = *state.color;
            const bool known = index >= 0 && index < std::int64_t(m_colors.size()) && m_colors[std::size_t(index)];
            result.foreground = known ? TextColor::fixed(*m_colors[std::size_t(index)]) : TextColor::dynamicText();
        }
        result.underlineStyle = state.underline;
        result.strikethroughStyle = state.strikethrough;
        if (group.paragraph) {
            const ParagraphState& paragraph = *group.paragraph;
            ParagraphStyle style;
            style.alignment = paragraph.alignment;
            style.headIndent = pointsFromTwips(paragraph.left);
            style.firstLineHeadIndent = pointsFromTwips(paragraph.left + paragraph.firstLine);
            style.tailIndent = -pointsFromTwips(paragraph.right);
            style.paragraphSpacingBefore = pointsFromTwips(paragraph.before);
            style.paragraphSpacing = pointsFromTwips(paragraph.after);
            style.lineSpacing = pointsFromTwips(paragraph.leading);
            result.paragraphStyle = style;
        }
        result.custom = state.custom;
        return result;
    }

    struct ColorInProgress {
        std::int64_t red = 0;
        std::int64_t green = 0;
        std::int64_t blue = 0;
        std::int64_t alpha = 255;
        bool hasValue = false;
    };

    const QByteArray& m_document;
    const PlainTextSink* m_takePlainText = nullptr;
    std::vector<Picture>* m_pictures = nullptr;
    PictureBuilder m_picture;
    bool m_stopped = false;
    ReadNotes m_notes;
    qsizetype m_position = 0;
    std::vector<Group> m_groups;
    bool m_ignorable = false;
    int m_fallbackToSkip = 0;

    int m_codepage = 1252;
    std::int64_t m_defaultFont = 0;
    std::map<std::int64_t, FontEntry> m_fonts;
    std::int64_t m_fontEntry = -1;
    QString m_fontName;
    std::vector<std::optional<Rgba>> m_colors;
    ColorInProgress m_color;
    QString m_fieldName;
    QString m_fieldValue;
    bool m_fieldSeparated = false;

    CodepageDecoder m_decoder;
    QByteArray m_pendingBytes;
    QString m_pendingText;
    AttributedString m_result;
};

} // namespace

std::optional<AttributedString> read(const QByteArray& document, ReadNotes* notes)
{
    Reader reader(document);
    const bool read = reader.read();
    if (notes)
        *notes = reader.notes();
    if (!read)
        return std::nullopt;
    return reader.takeResult();
}

std::optional<DocumentWithPictures> readWithPictures(const QByteArray& document, ReadNotes* notes)
{
    std::vector<Picture> pictures;
    Reader reader(document, pictures);
    const bool read = reader.read();
    if (notes)
        *notes = reader.notes();
    if (!read)
        return std::nullopt;
    return DocumentWithPictures{reader.takeResult(), std::move(pictures)};
}

bool readPlainText(const QByteArray& document, const PlainTextSink& take)
{
    return Reader(document, take).read();
}

} // namespace quorrin::rtf
