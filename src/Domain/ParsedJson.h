#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>

#include <optional>
#include <vector>

namespace quorrin::json {

class ParsedValue;

// A quick reading of JSON text as the store writes it: compact, with keys
// that hold no escapes. Values are kept as one flat list that points into the
// text, without copying strings, so reading a stored note costs little more
// than scanning its bytes once.
//
// It reads only what it can read exactly as QJsonDocument does, and declines
// everything else: whitespace between tokens, duplicate keys, keys with
// escapes, strings with raw control characters, invalid or non-character
// UTF-8, escapes of surrogates, U+0000 or non-characters, numbers that do not
// convert exactly (out of range, subnormal, too long), nesting deeper than
// 64, anything after the top-level object. A declined text is read the
// ordinary way, which also words the error when there is one.
class ParsedDocument {
public:
    // The text must outlive the document and every value taken from it.
    static std::optional<ParsedDocument> parse(QByteArrayView text);

    // The top-level object.
    ParsedValue root() const;

private:
    friend class ParsedValue;
    friend class Parser;

    enum class Kind : quint8 { Null, False, True, Integer, Double, String, Array, Object };
    struct Node {
        Kind kind = Kind::Null;
        bool escaped = false;  // a string holding escapes
        quint32 end = 0;       // the index just past this value and everything inside it
        quint32 offset = 0;    // a string's bytes between its quotes
        quint32 length = 0;    // a string's byte count; a container's element count
        quint32 keyOffset = 0; // an object member's key, between its quotes
        quint32 keyLength = 0;
        qint64 integer = 0;
        double number = 0;
    };

    QByteArrayView m_text;
    std::vector<Node> m_nodes;
};

// One value of a ParsedDocument, asked the way a QJsonValue is asked; an
// absent member reads as undefined.
class ParsedValue {
public:
    ParsedValue() = default; // undefined
    bool isUndefined() const { return !m_document; }
    bool isNull() const { return is(ParsedDocument::Kind::Null); }
    bool isBool() const { return is(ParsedDocument::Kind::True) || is(ParsedDocument::Kind::False); }
    bool isDouble() const { return is(ParsedDocument::Kind::Integer) || is(ParsedDocument::Kind::Double); }
    bool isString() const { return is(ParsedDocument::Kind::String); }
    bool isArray() const { return is(ParsedDocument::Kind::Array); }
    bool isObject() const { return is(ParsedDocument::Kind::Object); }

    bool toBool() const { return is(ParsedDocument::Kind::True); }
    double toDouble() const;
    // A number written without fraction or exponent; nothing for any other.
    std::optional<qint64> wholeNumber() const;
    QString toString() const;
    // A string's bytes when they are ASCII without escapes, so that they are
    // its characters one for one; nothing otherwise.
    std::optional<QByteArrayView> plainAscii() const;

    // An object is looked up in place.
    const ParsedValue& toObject() const { return *this; }
    // The member with that key, undefined when there is none.
    ParsedValue value(QLatin1StringView key) const;

    // An array's element count and its elements in order.
    qsizetype size() const;
    class Iterator {
    public:
        ParsedValue operator*() const { return ParsedValue(m_document, m_index); }
        Iterator& operator++()
        {
            m_index = m_document->m_nodes[m_index].end;
            return *this;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        friend class ParsedValue;
        Iterator(const ParsedDocument* document, quint32 index)
            : m_document(document)
            , m_index(index)
        {
        }
        const ParsedDocument* m_document;
        quint32 m_index;
    };
    Iterator begin() const { return Iterator(m_document, m_index + 1); }
    Iterator end() const { return Iterator(m_document, m_document->m_nodes[m_index].end); }

private:
    friend class ParsedDocument;
    ParsedValue(const ParsedDocument* document, quint32 index)
        : m_document(document)
        , m_index(index)
    {
    }
    const ParsedDocument::Node& node() const { return m_document->m_nodes[m_index]; }
    bool is(ParsedDocument::Kind kind) const { return m_document && node().kind == kind; }

    const ParsedDocument* m_document = nullptr;
    quint32 m_index = 0;
};

} // namespace quorrin::json
