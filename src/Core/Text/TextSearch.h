#pragma once

#include <QString>
#include <QStringMatcher>
#include <QStringView>

#include <optional>
#include <vector>

namespace quorrin {

// A range of UTF-16 code units in a text.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;

    qsizetype end() const { return start + length; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

enum class SearchCase { Sensitive, Insensitive };

// A text prepared for substring search the way the desktop's plain string
// search compares: canonically equivalent spellings are equal (a precomposed
// "é" finds "e" + U+0301 and back), a match never begins or ends inside a
// character and its combining marks, and without case sensitivity letters are
// compared after full case folding ("STRASSE" finds "straße", "ﬀ" finds "FF").
// No locale is involved and nothing else is ignored: diacritics and widths
// count.
//
// Preparing is the costly part; a prepared text can be searched repeatedly.
class SearchableText {
public:
    SearchableText() = default;
    SearchableText(QStringView text, SearchCase searchCase);

    // The compared form: canonically decomposed, and case-folded when
    // insensitive.
    const QString& key() const { return m_key; }
    bool isEmpty() const { return m_key.isEmpty(); }

    // The first match of `query` (prepared with the same case) at or after
    // `from` (a position in the original text), as a range of the original
    // text. Nothing for an empty query.
    std::optional<TextRange> find(const SearchableText& query, qsizetype from = 0) const;
    bool contains(const SearchableText& query) const { return find(query).has_value(); }

private:
    // Where the character starting at key position p begins in the original
    // text, or -1 when p lies inside a character; one entry past the end.
    // Empty when key and text correspond position by position.
    qsizetype originOf(qsizetype keyPosition) const;

    QString m_key;
    std::vector<qsizetype> m_origin;
};

// Many texts prepared together, their keys one after another in a single
// buffer, so finding which of them contain a query is one scan of that
// buffer rather than one search per text. A match counts for a text only
// when it lies within that text's key and on its character boundaries, as
// SearchableText::find would find it.
class SearchableTexts {
public:
    explicit SearchableTexts(SearchCase searchCase)
        : m_case(searchCase)
    {
    }

    void append(QStringView text);
    qsizetype size() const { return qsizetype(m_starts.size()); }

    // A query prepared once for scanning many SearchableTexts.
    class Query {
    public:
        explicit Query(const SearchableText& query);

    private:
        friend class SearchableTexts;
        QString m_key;
        QStringMatcher m_matcher;
    };

    // The indices (in appending order) of the texts that contain `query`,
    // prepared with the same case; none for an empty query.
    std::vector<qsizetype> containing(const Query& query) const;
    std::vector<qsizetype> containing(const SearchableText& query) const { return containing(Query(query)); }

private:
    // Stands between two keys; a match that covers it spans two texts.
    static constexpr QChar separator = QChar(char16_t(0xFFFF));

    qsizetype keyEnd(qsizetype index) const;
    bool onCharacterBoundaries(qsizetype index, qsizetype start, qsizetype end) const;

    SearchCase m_case;
    QString m_keys;
    std::vector<qsizetype> m_starts; // where each text's key begins
    // Per text, its entry in m_origins, or -1 when its key corresponds to
    // the text position by position (most texts).
    std::vector<int> m_originIndex;
    // The key-to-text positions of the texts whose key differs from their text.
    std::vector<std::vector<qsizetype>> m_origins;
};

// The first match of `query` in `text` within [from, to), as a range of
// `text`; the convenience for a single search.
std::optional<TextRange> findText(QStringView text, QStringView query, SearchCase searchCase, qsizetype from = 0,
                                  qsizetype to = -1);

} // namespace quorrin
