#include "Domain/ParsedJson.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace quorrin::json {

namespace {

constexpr int deepestNesting = 64;
// Shortest round-trip doubles need at most 24 characters.
constexpr qsizetype longestNumber = 32;
// A member count beyond which looking for duplicate keys is not worth it.
constexpr quint32 mostMembers = 64;

// The bytes a string scan stops at: the closing quote, an escape, a control
// character, and every byte of a multi-byte UTF-8 sequence.
constexpr std::array<bool, 256> stopsStringScan = [] {
    std::array<bool, 256> stops{};
    for (int byte = 0; byte < 0x20; ++byte)
        stops[size_t(byte)] = true;
    for (int byte = 0x80; byte < 0x100; ++byte)
        stops[size_t(byte)] = true;
    stops[size_t('"')] = true;
    stops[size_t('\\')] = true;
    return stops;
}();

bool isNonCharacter(char32_t scalar)
{
    return (scalar >= 0xFDD0 && scalar <= 0xFDEF) || (scalar & 0xFFFE) == 0xFFFE;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

// Recursive descent over the text; every method answers whether it could
// read what it was asked to, and reading stops at the first refusal.
class Parser {
public:
    explicit Parser(QByteArrayView text, std::vector<ParsedDocument::Node>& nodes)
        : m_begin(text.data())
        , m_at(text.data())
        , m_end(text.data() + text.size())
        , m_nodes(nodes)
    {
    }

    bool document()
    {
        if (m_at == m_end || *m_at != '{')
            return false;
        return value(0) && m_at == m_end;
    }

private:
    using Node = ParsedDocument::Node;
    using Kind = ParsedDocument::Kind;

    quint32 position(const char* at) const { return quint32(at - m_begin); }

    bool literal(const char* word, size_t length)
    {
        if (size_t(m_end - m_at) < length || std::memcmp(m_at, word, length) != 0)
            return false;
        m_at += length;
        return true;
    }

    bool value(int depth)
    {
        if (m_at == m_end)
            return false;
        const quint32 index = quint32(m_nodes.size());
        m_nodes.emplace_back();
        bool read = false;
        switch (*m_at) {
        case '{': read = object(index, depth + 1); break;
        case '[': read = array(index, depth + 1); break;
        case '"': read = string(m_nodes[index]); break;
        case 't':
            m_nodes[index].kind = Kind::True;
            read = literal("true", 4);
            break;
        case 'f':
            m_nodes[index].kind = Kind::False;
            read = literal("false", 5);
            break;
        case 'n':
            m_nodes[index].kind = Kind::Null;
            read = literal("null", 4);
            break;
        default: read = number(m_nodes[index]); break;
        }
        m_nodes[index].end = quint32(m_nodes.size());
        return read;
    }

    bool object(quint32 index, int depth)
    {
        if (depth > deepestNesting)
            return false;
        m_nodes[index].kind = Kind::Object;
        ++m_at; // '{'
        if (m_at != m_end && *m_at == '}') {
            ++m_at;
            return true;
        }
        std::vector<quint32> members;
        while (true) {
            Node key;
            if (m_at == m_end || *m_at != '"' || !string(key) || key.escaped)
                return false;
            if (m_at == m_end || *m_at != ':')
                return false;
            ++m_at;
            const quint32 member = quint32(m_nodes.size());
            if (!value(depth))
                return false;
            m_nodes[member].keyOffset = key.offset;
            m_nodes[member].keyLength = key.length;
            for (const quint32 earlier : members) {
                const Node& other = m_nodes[earlier];
                if (other.keyLength == key.length
                    && std::memcmp(m_begin + other.keyOffset, m_begin + key.offset, key.length) == 0)
                    return false; // which of the two would count is QJsonDocument's business
            }
            members.push_back(member);
            if (members.size() > mostMembers || m_at == m_end)
                return false;
            if (*m_at == '}') {
                ++m_at;
                m_nodes[index].length = quint32(members.size());
                return true;
            }
            if (*m_at != ',')
                return false;
            ++m_at;
        }
    }

    bool array(quint32 index, int depth)
    {
        if (depth > deepestNesting)
            return false;
        m_nodes[index].kind = Kind::Array;
        ++m_at; // '['
        if (m_at != m_end && *m_at == ']') {
            ++m_at;
            return true;
        }
        quint32 count = 0;
        while (true) {
            if (!value(depth))
                return false;
            ++count;
            if (m_at == m_end)
                return false;
            if (*m_at == ']') {
                ++m_at;
                m_nodes[index].length = count;
                return true;
            }
            if (*m_at != ',')
                return false;
            ++m_at;
        }
    }

    // Reads a string into `node` (which may not be in the list yet).
    bool string(Node& node)
    {
        node.kind = Kind::String;
        ++m_at; // '"'
        const char* const start = m_at;
        while (true) {
            while (m_at != m_end && !stopsStringScan[quint8(*m_at)])
                ++m_at;
            if (m_at == m_end)
                return false;
            const quint8 byte = quint8(*m_at);
            if (byte == '"')
                break;
            if (byte == '\\') {
                node.escaped = true;
                if (!escape())
                    return false;
            } else if (byte >= 0x80) {
                if (!multiByteCharacter())
                    return false;
            } else {
                return false; // a raw control character
            }
        }
        node.offset = position(start);
        node.length = quint32(m_at - start);
        ++m_at; // '"'
        return true;
    }

    bool escape()
    {
        ++m_at; // '\\'
        if (m_at == m_end)
            return false;
        switch (*m_at) {
        case '"':
        case '\\':
        case '/':
        case 'b':
        case 'f':
        case 'n':
        case 'r':
        case 't': ++m_at; return true;
        case 'u': break;
        default: return false;
        }
        ++m_at;
        if (m_end - m_at < 4)
            return false;
        char32_t unit = 0;
        for (int digit = 0; digit < 4; ++digit) {
            const int value = hexValue(m_at[digit]);
            if (value < 0)
                return false;
            unit = unit << 4 | char32_t(value);
        }
        m_at += 4;
        return unit != 0 && (unit < 0xD800 || unit > 0xDFFF) && !isNonCharacter(unit);
    }

    // One UTF-8 sequence of two to four bytes: the shortest form of a scalar
    // value that is not a surrogate and not a non-character.
    bool multiByteCharacter()
    {
        const quint8 lead = quint8(*m_at);
        int trailing = 0;
        char32_t scalar = 0;
        char32_t lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
            scalar = lead & 0x1F;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            scalar = lead & 0x0F;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            scalar = lead & 0x07;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (m_end - m_at <= trailing)
            return false;
        for (int index = 1; index <= trailing; ++index) {
            const quint8 next = quint8(m_at[index]);
            if ((next & 0xC0) != 0x80)
                return false;
            scalar = scalar << 6 | (next & 0x3F);
        }
        if (scalar < lowest || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF) || isNonCharacter(scalar))
            return false;
        m_at += trailing + 1;
        return true;
    }

    bool number(Node& node)
    {
        const char* const start = m_at;
        const char* at = m_at;
        const bool negative = at != m_end && *at == '-';
        if (negative)
            ++at;
        if (at == m_end || !isDigit(*at))
            return false;
        bool nonZeroDigit = false;
        if (*at == '0') {
            ++at;
        } else {
            for (; at != m_end && isDigit(*at); ++at)
                nonZeroDigit = nonZeroDigit || *at != '0';
        }
        bool whole = true;
        if (at != m_end && *at == '.') {
            whole = false;
            ++at;
            if (at == m_end || !isDigit(*at))
                return false;
            for (; at != m_end && isDigit(*at); ++at)
                nonZeroDigit = nonZeroDigit || *at != '0';
        }
        if (at != m_end && (*at == 'e' || *at == 'E')) {
            whole = false;
            ++at;
            if (at != m_end && (*at == '+' || *at == '-'))
                ++at;
            if (at == m_end || !isDigit(*at))
                return false;
            while (at != m_end && isDigit(*at))
                ++at;
        }
        if (at - start > longestNumber)
            return false;
        m_at = at;
        if (whole) {
            node.kind = Kind::Integer;
            const auto [end, error] = std::from_chars(start, at, node.integer);
            return error == std::errc() && end == at;
        }
        node.kind = Kind::Double;
        const auto [end, error] = std::from_chars(start, at, node.number);
        if (error != std::errc() || end != at || !std::isfinite(node.number))
            return false;
        // Zero only from zero digits, and without a sign; nothing subnormal.
        if (node.number == 0)
            return !nonZeroDigit && !negative;
        return std::isnormal(node.number);
    }

    const char* m_begin;
    const char* m_at;
    const char* m_end;
    std::vector<Node>& m_nodes;
};

std::optional<ParsedDocument> ParsedDocument::parse(QByteArrayView text)
{
    if (text.size() >= qsizetype(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    ParsedDocument document;
    document.m_text = text;
    // About one value per sixteen bytes of text.
    document.m_nodes.reserve(size_t(text.size() / 16 + 8));
    if (!Parser(text, document.m_nodes).document())
        return std::nullopt;
    return document;
}

ParsedValue ParsedDocument::root() const
{
    return ParsedValue(this, 0);
}

double ParsedValue::toDouble() const
{
    if (is(ParsedDocument::Kind::Integer))
        return double(node().integer);
    return is(ParsedDocument::Kind::Double) ? node().number : 0;
}

std::optional<qint64> ParsedValue::wholeNumber() const
{
    if (is(ParsedDocument::Kind::Integer))
        return node().integer;
    return std::nullopt;
}

std::optional<QByteArrayView> ParsedValue::plainAscii() const
{
    if (!isString() || node().escaped)
        return std::nullopt;
    const QByteArrayView bytes = m_document->m_text.sliced(node().offset, node().length);
    for (const char byte : bytes) {
        if (quint8(byte) >= 0x80)
            return std::nullopt;
    }
    return bytes;
}

QString ParsedValue::toString() const
{
    if (!isString())
        return {};
    const QByteArrayView bytes = m_document->m_text.sliced(node().offset, node().length);
    if (!node().escaped)
        return QString::fromUtf8(bytes);
    // The parser checked every escape; each becomes its character in UTF-8.
    std::string unescaped;
    unescaped.reserve(size_t(bytes.size()));
    for (qsizetype index = 0; index < bytes.size(); ++index) {
        const char c = bytes[index];
        if (c != '\\') {
            unescaped += c;
            continue;
        }
        const char kind = bytes[++index];
        switch (kind) {
        case 'b': unescaped += '\b'; break;
        case 'f': unescaped += '\f'; break;
        case 'n': unescaped += '\n'; break;
        case 'r': unescaped += '\r'; break;
        case 't': unescaped += '\t'; break;
        case 'u': {
            char32_t unit = 0;
            for (int digit = 1; digit <= 4; ++digit)
                unit = unit << 4 | char32_t(hexValue(bytes[index + digit]));
            index += 4;
            const QByteArray encoded = QString(QChar(char16_t(unit))).toUtf8();
            unescaped.append(encoded.constData(), size_t(encoded.size()));
            break;
        }
        default: unescaped += kind; break; // '"', '\\', '/'
        }
    }
    return QString::fromUtf8(unescaped.data(), qsizetype(unescaped.size()));
}

ParsedValue ParsedValue::value(QLatin1StringView key) const
{
    if (!isObject())
        return {};
    const char* const text = m_document->m_text.data();
    for (const ParsedValue member : *this) {
        const ParsedDocument::Node& found = member.node();
        if (found.keyLength == quint32(key.size()) && std::memcmp(text + found.keyOffset, key.data(), found.keyLength) == 0)
            return member;
    }
    return {};
}

qsizetype ParsedValue::size() const
{
    return isArray() || isObject() ? qsizetype(node().length) : 0;
}

} // namespace quorrin::json
