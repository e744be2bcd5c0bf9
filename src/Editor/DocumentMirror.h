#pragma once

#include "Core/Text/AttributedString.h"
#include "Editor/EditorText.h"
#include "Editor/MarkingBacklog.h"

#include <optional>
#include <vector>

class QTextDocument;

namespace quorrin {

// The editor's copy of its text document, kept up to date edit by edit from
// the document's change reports: the whole text as the model sees it (what
// an undo step puts back) and the paragraphs as the write-back reads them.
// A paragraph is read again only once an edit touched it, so a keystroke
// costs the paragraphs it changed, not the whole note.
class DocumentMirror {
public:
    explicit DocumentMirror(const QTextDocument& document);

    // What one edit replaced, and by what.
    struct Edit {
        AttributedString before;
        AttributedString after;
    };
    // Follows a change report of the document: the characters [position,
    // position + removed) became `added` characters. Nothing when the report
    // does not fit the text as known (it is then read anew) or while
    // following is suspended.
    std::optional<Edit> follow(int position, int removed, int added);

    // The document is about to be replaced whole: its reports are ignored
    // until the next reread().
    void suspend();
    // Reads the whole text anew now, and every paragraph when next asked.
    void reread();

    const AttributedString& text() const { return m_text; }

    // The editor marks paragraphs with their block ids and roles itself, and
    // knows what that changes: while one of these lives, the document's
    // reports are not followed when the copy is current, and `mark` brings
    // the copy up to date instead, so that marks cost no reading anew.
    class OwnMarks {
    public:
        explicit OwnMarks(DocumentMirror& mirror);
        ~OwnMarks();
        OwnMarks(const OwnMarks&) = delete;
        OwnMarks& operator=(const OwnMarks&) = delete;
        // Every character of the paragraphs `indices` (ascending) now
        // carries the id and role of their entry of `marks`; the formats of
        // the characters `laidOut` changed too, in the same edit, and are
        // read again.
        void mark(const std::vector<std::size_t>& indices, const std::vector<editortext::WriteBack::Mark>& marks,
                  std::optional<editortext::TextSpan> laidOut = std::nullopt);

    private:
        void markCopy(const std::vector<std::size_t>& indices, const std::vector<editortext::WriteBack::Mark>& marks);

        DocumentMirror& m_mirror;
        bool m_current;
    };

    // What a write-back settled about a paragraph, kept until an edit touches it.
    struct Memo {
        std::optional<editortext::WriteBack::Mark> mark;
        std::optional<editortext::ParagraphLayoutKey> layout;
    };
    // Reads the paragraphs edits touched since the last call (a read
    // paragraph starts without a memo) and brings the whole text up to date
    // over them.
    void refreshParagraphs();
    // The paragraphs as of the last refresh, each with its memo.
    const std::vector<editortext::ParagraphReading>& paragraphs() const { return m_paragraphs; }
    std::vector<Memo>& memos() { return m_memos; }
    // The paragraphs of `span` that do not carry their entry of `marks` yet
    // are marked later: their readings carry it already, so that a
    // write-back meanwhile keeps each of them in the block it was given.
    void expectMarks(ParagraphSpan span, const std::vector<editortext::WriteBack::Mark>& marks);

private:
    // Where edits happened since the last refresh: the characters [low,
    // high) of the current text, the rest shifted by `delta`.
    struct Dirty {
        int low = 0;
        int high = 0;
        int delta = 0;
        // Whether [low, high) is what one followed report read, after the
        // only change since the last refresh: only the text around it is
        // read again then.
        bool readWhole = false;
    };
    void markDirty(int position, int removed, int added);
    void readAllParagraphs();
    bool refreshSpan(const Dirty& dirty);

    const QTextDocument& m_document;
    AttributedString m_text;
    std::vector<editortext::ParagraphReading> m_paragraphs;
    std::vector<Memo> m_memos;
    std::optional<Dirty> m_dirty;
    bool m_paragraphsStale = true;
    bool m_suspended = false;
    bool m_ownMarks = false;
    bool m_ownMarksMissed = false; // a report while marking changed characters
};

} // namespace quorrin
