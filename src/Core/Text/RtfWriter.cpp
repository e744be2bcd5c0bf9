// The RTF writer. Every attribute run becomes one group that states its
// attributes from the document's defaults, so a run never depends on the runs
// before it and the bytes depend on nothing but the text and its attributes.

#include "Core/Text/Rtf.h"
#include "Core/Text/RtfFormat.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>
#include <vector>

namespace quorrin::rtf {

namespace {

using namespace units;

// Attributes at the precision the document keeps them, so that what the
// reader gives back compares equal to what was written.
Rgba quantized(const Rgba& color)
{
    return Rgba{componentFromByte(byteFromComponent(color.red)), componentFromByte(byteFromComponent(color.green)),
                componentFromByte(byteFromComponent(color.blue)), componentFromByte(byteFromComponent(color.alpha))};
}

ParagraphStyle quantized(const ParagraphStyle& style)
{
    ParagraphStyle result = style;
    result.firstLineHeadIndent = pointsFromTwips(twipsFromPoints(style.firstLineHeadIndent));
    result.headIndent = pointsFromTwips(twipsFromPoints(style.headIndent));
    result.tailIndent = -pointsFromTwips(twipsFromPoints(-style.tailIndent));
    result.paragraphSpacing = pointsFromTwips(twipsFromPoints(style.paragraphSpacing));
    result.paragraphSpacingBefore = pointsFromTwips(twipsFromPoints(style.paragraphSpacingBefore));
    result.lineSpacing = pointsFromTwips(twipsFromPoints(style.lineSpacing));
    return result;
}

// A number that is not a number equals nothing, not even itself, so it would
// keep runs apart that read back merged; such attributes are not written.
bool holdsNaN(const CustomAttributeValue& value)
{
    if (const auto* number = std::get_if<double>(&value))
        return std::isnan(*number);
    if (const auto* list = std::get_if<QList<double>>(&value))
        return std::any_of(list->begin(), list->end(), [](double item) { return std::isnan(item); });
    return false;
}

TextAttributes quantized(TextAttributes attributes)
{
    std::vector<QString> notNumbers;
    for (const auto& [name, value] : attributes.custom) {
        if (holdsNaN(value))
            notNumbers.push_back(name);
    }
    for (const QString& name : notNumbers)
        attributes.custom.erase(name);
    if (attributes.font)
        attributes.font->pointSize = pointsFromHalfPoints(halfPointsFromPoints(attributes.font->pointSize));
    if (attributes.foreground && attributes.foreground->rgba)
        attributes.foreground->rgba = quantized(*attributes.foreground->rgba);
    if (attributes.paragraphStyle)
        attributes.paragraphStyle = quantized(*attributes.paragraphStyle);
    return attributes;
}

struct Piece {
    QStringView text;
    TextAttributes attributes;
};

// The attachment name a document can hold for these attributes: a non-empty
// string without surrounding blanks (the reader trims them), or nothing.
std::optional<QString> attachmentName(const TextAttributes& attributes)
{
    const auto found = attributes.custom.find(attachmentAttribute);
    if (found == attributes.custom.end())
        return std::nullopt;
    const auto* name = std::get_if<QString>(&found->second);
    if (!name || name->trimmed().isEmpty())
        return std::nullopt;
    return name->trimmed();
}

// A run split so that the attachment attribute stays on U+FFFC characters
// only, which is all an attachment group can stand for.
void splitAtAttachments(QStringView part, const TextAttributes& attributes, std::vector<Piece>& into)
{
    const std::optional<QString> name = attachmentName(attributes);
    TextAttributes plain = attributes;
    plain.custom.erase(attachmentAttribute);
    if (!name) {
        into.push_back(Piece{part, std::move(plain)});
        return;
    }
    TextAttributes attachment = plain;
    attachment.custom[attachmentAttribute] = *name;
    qsizetype start = 0;
    while (start < part.size()) {
        const bool isAttachment = part[start] == QChar(attachmentCharacter);
        qsizetype end = start + 1;
        while (end < part.size() && (part[end] == QChar(attachmentCharacter)) == isAttachment)
            ++end;
        into.push_back(Piece{part.mid(start, end - start), isAttachment ? attachment : plain});
        start = end;
    }
}

// The text's runs at document precision, neighbours that became equal merged.
std::vector<Piece> quantizedPieces(const AttributedString& text)
{
    std::vector<Piece> split;
    const QStringView whole(text.string());
    for (const AttributedString::Run& run : text.runs())
        splitAtAttachments(whole.mid(run.start, run.length), quantized(run.attributes), split);
    std::vector<Piece> pieces;
    for (Piece& piece : split) {
        if (!pieces.empty() && pieces.back().attributes == piece.attributes)
            pieces.back().text = whole.mid(pieces.back().text.data() - whole.data(),
                                           pieces.back().text.size() + piece.text.size());
        else
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

template <typename T> int indexIn(std::vector<T>& table, const T& value)
{
    const auto found = std::find(table.begin(), table.end(), value);
    if (found != table.end())
        return int(found - table.begin());
    table.push_back(value);
    return int(table.size()) - 1;
}

class Writer {
public:
    explicit Writer(std::vector<Piece> pieces)
        : m_pieces(std::move(pieces))
    {
        for (const Piece& piece : m_pieces) {
            if (piece.attributes.font)
                indexIn(m_fonts, piece.attributes.font->family);
            if (piece.attributes.foreground && piece.attributes.foreground->rgba)
                indexIn(m_colors, *piece.attributes.foreground->rgba);
        }
    }

    QByteArray document()
    {
        // Room for what a short text in few formats takes, so that it is
        // written without growing the buffer on the way.
        qsizetype room = 64 + 24 * qsizetype(m_colors.size()) + 64 * qsizetype(m_pieces.size());
        for (const QString& font : m_fonts)
            room += 16 + font.size();
        for (const Piece& piece : m_pieces)
            room += piece.text.size() + piece.text.size() / 4;
        m_out.reserve(room);
        writeHeader();
        for (const Piece& piece : m_pieces)
            writePiece(piece);
        m_out += '}';
        return m_out;
    }

    // What the document of a text of one run (not an attachment) holds
    // before the run's characters.
    SeriesWriter::Opening opening()
    {
        writeHeader();
        writePieceOpening(m_pieces.front().attributes);
        return {m_pieces.front().attributes, m_out, m_delimit};
    }

    // The document of a text of one run, from its opening.
    static QByteArray finish(const SeriesWriter::Opening& opening, QStringView characters)
    {
        Writer writer({});
        writer.m_out.reserve(opening.bytes.size() + characters.size() + characters.size() / 4 + 8);
        writer.m_out += opening.bytes;
        writer.m_delimit = opening.delimit;
        writer.text(characters, Escaping::Body);
        writer.close();
        writer.m_out += '}';
        return writer.m_out;
    }

private:
    void writeHeader()
    {
        m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n";
        writeFontTable();
        writeColorTable();
    }

    void word(const char* name)
    {
        m_out += '\\';
        m_out += name;
        m_delimit = true;
    }

    void word(const char* name, std::int64_t parameter)
    {
        word(name);
        char digits[24];
        const auto written = std::to_chars(std::begin(digits), std::end(digits), parameter);
        m_out.append(digits, written.ptr - digits);
    }

    void wordIfNonZero(const char* name, std::int64_t parameter)
    {
        if (parameter != 0)
            word(name, parameter);
    }

    void open()
    {
        m_out += '{';
        m_delimit = false;
    }

    void close()
    {
        m_out += '}';
        m_delimit = false;
    }

    void literal(char byte)
    {
        if (m_delimit)
            m_out += ' ';
        m_out += byte;
        m_delimit = false;
    }

    void unicode(char16_t unit)
    {
        word("u", qint16(unit));
        m_out += '?'; // the one fallback character \uc1 announces
        m_delimit = false;
    }

    enum class Escaping { Body, Field };

    // Body text uses \par, \line and \tab; fields (font names, attribute
    // names and values) escape everything unusual, including ';' which ends them.
    // Whether a character is written as itself.
    static bool isPlain(char16_t unit, Escaping escaping)
    {
        return unit >= 0x20 && unit < 0x7F && unit != u'\\' && unit != u'{' && unit != u'}'
            && !(escaping == Escaping::Field && unit == u';');
    }

    void text(QStringView text, Escaping escaping)
    {
        qsizetype index = 0;
        while (index < text.size()) {
            // Characters written as themselves go out a stretch at a time.
            qsizetype end = index;
            while (end < text.size() && isPlain(text[end].unicode(), escaping))
                ++end;
            if (end > index) {
                literal(char(text[index].unicode()));
                const qsizetype at = m_out.size();
                m_out.resize(at + (end - index - 1));
                char* out = m_out.data() + at;
                for (qsizetype i = index + 1; i < end; ++i)
                    *out++ = char(text[i].unicode());
                index = end;
                continue;
            }
            const char16_t unit = text[index++].unicode();
            if (escaping == Escaping::Body && unit == u'\n') {
                word("par");
                m_out += '\n';
                m_delimit = false;
            } else if (escaping == Escaping::Body && unit == u'\t') {
                word("tab");
            } else if (escaping == Escaping::Body && unit == u'\u2028') {
                word("line");
            } else if (unit == u'\\' || unit == u'{' || unit == u'}') {
                literal('\\');
                m_out += char(unit);
            } else {
                unicode(unit);
            }
        }
    }

    void writeFontTable()
    {
        open();
        word("fonttbl");
        for (std::size_t index = 0; index < m_fonts.size(); ++index) {
            open();
            word("f", qint64(index));
            word("fnil");
            m_out += ' ';
            m_delimit = false;
            text(m_fonts[index], Escaping::Field);
            m_out += ';';
            close();
        }
        close();
        m_out += '\n';
    }

    void writeColorTable()
    {
        open();
        word("colortbl");
        m_out += ';'; // entry 0: the automatic colour, which stands for the dynamic text colour
        m_delimit = false;
        for (const Rgba& color : m_colors) {
            word("red", byteFromComponent(color.red));
            word("green", byteFromComponent(color.green));
            word("blue", byteFromComponent(color.blue));
            const int alpha = byteFromComponent(color.alpha);
            if (alpha != 255)
                word(words::colorAlpha, alpha);
            m_out += ';';
            m_delimit = false;
        }
        close();
        m_out += '\n';
    }

    void writeParagraphStyle(const ParagraphStyle& style)
    {
        word("pard");
        switch (style.alignment) {
        case TextAlignment::Natural: break;
        case TextAlignment::Left: word("ql"); break;
        case TextAlignment::Center: word("qc"); break;
        case TextAlignment::Right: word("qr"); break;
        case TextAlignment::Justified: word("qj"); break;
        }
        // RTF measures the first line from the head indent.
        const std::int64_t head = twipsFromPoints(style.headIndent);
        wordIfNonZero("fi", twipsFromPoints(style.firstLineHeadIndent) - head);
        wordIfNonZero("li", head);
        wordIfNonZero("ri", twipsFromPoints(-style.tailIndent));
        wordIfNonZero("sb", twipsFromPoints(style.paragraphSpacingBefore));
        wordIfNonZero("sa", twipsFromPoints(style.paragraphSpacing));
        wordIfNonZero(words::lineLeading, twipsFromPoints(style.lineSpacing));
    }

    void writeFont(const TextFont& font)
    {
        word("f", indexIn(m_fonts, font.family));
        word("fs", halfPointsFromPoints(font.pointSize));
        if (font.bold)
            word("b");
        if (font.italic)
            word("i");
    }

    // A standard word when one fits; otherwise the plain word for other
    // readers followed by the exact value for ours.
    void writeLineStyle(int style, const char* single, const char* thick, const char* doubled, const char* exact)
    {
        if (style == 0)
            return;
        const char* standard = style == 1 ? single : style == 2 ? thick : style == 9 ? doubled : nullptr;
        if (standard) {
            word(standard);
        } else {
            word(single);
            word(exact, style);
        }
    }

    void writeCustom(const QString& name, const CustomAttributeValue& value)
    {
        open();
        word("*");
        m_delimit = false;
        QByteArray numbers;
        if (const auto* string = std::get_if<QString>(&value)) {
            word(words::stringAttribute);
            text(name, Escaping::Field);
            literal(';');
            text(*string, Escaping::Field);
        } else if (const auto* number = std::get_if<double>(&value)) {
            word(words::numberAttribute);
            text(name, Escaping::Field);
            literal(';');
            m_out += numberText(*number);
        } else {
            word(words::numbersAttribute);
            text(name, Escaping::Field);
            literal(';');
            const auto& list = std::get<QList<double>>(value);
            for (qsizetype index = 0; index < list.size(); ++index) {
                if (index > 0)
                    m_out += ',';
                m_out += numberText(list[index]);
            }
        }
        close();
    }

    void writePiece(const Piece& piece)
    {
        writePieceOpening(piece.attributes);
        if (const std::optional<QString> attachment = attachmentName(piece.attributes)) {
            for (qsizetype index = 0; index < piece.text.size(); ++index)
                writeAttachment(*attachment);
        } else {
            text(piece.text, Escaping::Body);
        }
        close();
    }

    void writePieceOpening(const TextAttributes& attributes)
    {
        open();
        if (attributes.paragraphStyle)
            writeParagraphStyle(*attributes.paragraphStyle);
        if (attributes.font)
            writeFont(*attributes.font);
        if (attributes.foreground)
            word("cf", attributes.foreground->rgba ? indexIn(m_colors, *attributes.foreground->rgba) + 1 : 0);
        writeLineStyle(attributes.underlineStyle, "ul", "ulth", "uldb", words::underlineStyle);
        writeLineStyle(attributes.strikethroughStyle, "strike", nullptr, "striked1", words::strikethroughStyle);
        for (const auto& [name, value] : attributes.custom) {
            if (name != attachmentAttribute)
                writeCustom(name, value);
        }
    }

    // The group other readers know: the file's name, then the placeholder
    // character "¬" that the attachment replaces.
    void writeAttachment(const QString& name)
    {
        open();
        open();
        word("NeXTGraphic");
        text(name, Escaping::Field);
        close();
        unicode(u'\u00AC');
        close();
    }

    std::vector<Piece> m_pieces;
    std::vector<QString> m_fonts;
    std::vector<Rgba> m_colors;
    QByteArray m_out;
    bool m_delimit = false; // the last thing written was a control word that still needs its delimiter
};

} // namespace

QByteArray write(const AttributedString& text)
{
    return Writer(quantizedPieces(text)).document();
}

QByteArray SeriesWriter::write(const AttributedString& text)
{
    std::vector<Piece> pieces = quantizedPieces(text);
    if (pieces.size() != 1 || attachmentName(pieces.front().attributes))
        return Writer(std::move(pieces)).document();
    const std::optional<std::size_t> found = openingFor(pieces.front().attributes);
    if (!found)
        return Writer(std::move(pieces)).document();
    return Writer::finish(m_openings[*found], pieces.front().text);
}

QByteArray SeriesWriter::write(QStringView characters, const TextAttributes& attributes)
{
    if (m_lastRun && *m_lastRun == attributes && !characters.isEmpty())
        return Writer::finish(m_openings[m_lastOpening], characters);
    std::vector<Piece> pieces;
    if (!characters.isEmpty())
        splitAtAttachments(characters, quantized(attributes), pieces);
    if (pieces.size() != 1 || attachmentName(pieces.front().attributes))
        return Writer(std::move(pieces)).document();
    const std::optional<std::size_t> found = openingFor(pieces.front().attributes);
    if (!found)
        return Writer(std::move(pieces)).document();
    m_lastRun = attributes;
    m_lastOpening = *found;
    return Writer::finish(m_openings[*found], characters);
}

std::optional<std::size_t> SeriesWriter::openingFor(const TextAttributes& attributes)
{
    const auto found = std::find_if(m_openings.begin(), m_openings.end(),
                                    [&](const Opening& opening) { return opening.attributes == attributes; });
    if (found != m_openings.end())
        return std::size_t(found - m_openings.begin());
    // A series in ever new formats keeps only the first few.
    if (m_openings.size() >= maximumOpenings)
        return std::nullopt;
    m_openings.push_back(Writer({Piece{{}, attributes}}).opening());
    return m_openings.size() - 1;
}

} // namespace quorrin::rtf
