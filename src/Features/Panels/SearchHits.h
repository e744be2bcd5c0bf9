#pragma once

#include "Domain/Note.h"
#include "Core/Text/TextSearch.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin {

// One matching text of a block: its own text or its todo's remarks.
struct SearchHit {
    QUuid noteID;
    QUuid blockID;
    QString title; // the note's title, followed by " · 备注" for a remark
    QString text;  // the whole matching text, plain
    bool remarks = false;

    // Distinct for the text and the remarks of one block.
    QString id() const;
    friend bool operator==(const SearchHit&, const SearchHit&) = default;
};

// Finds a text in the blocks and todo remarks of the live notes, archived
// todos left out, in store order (notes, then blocks, then a block's text
// before its remarks). The plain text of every searched rich text is kept
// between searches, and the search forms of a note's texts lie together in
// one buffer per note, rebuilt only when one of its texts changed, so one
// keystroke costs one scan of each note's buffer.
class SearchIndex {
public:
    inline static const QString remarksSuffix = QStringLiteral(" · 备注");

    // `notes` is every note of the store; deleted ones are skipped. An empty
    // query finds nothing; blanks are searched as they are.
    std::vector<SearchHit> hits(const std::vector<Note>& notes, const QString& query, SearchCase searchCase);

    // How many texts are kept (for tests).
    qsizetype cachedTexts() const;

private:
    // One searched text: a block's own text or its remarks.
    struct Text {
        QUuid blockID;
        bool remarks = false;
        QByteArray rtf;
        QString plain;
    };
    // The texts of one note in the order they are searched, and their search
    // forms together, by SearchCase.
    struct NoteTexts {
        std::vector<Text> texts;
        std::optional<SearchableTexts> prepared[2];
        quint64 lastUse = 0;

        // Brings the texts in step with `note`; a changed text drops the
        // prepared forms.
        void refresh(const Note& note);
        const SearchableTexts& preparedFor(SearchCase searchCase);

    private:
        // Whether the text at `slot` is already this one.
        bool holds(size_t slot, const QUuid& blockID, bool remarks, const QByteArray& rtf) const;
        void keep(size_t slot, const QUuid& blockID, bool remarks, const QByteArray& rtf);
    };

    QHash<QUuid, NoteTexts> m_notes;
    quint64 m_pass = 0;
};

// The plain text of rich text as the search compares it: empty when unreadable.
QString searchablePlainText(const QByteArray& rtf);

} // namespace quorrin
