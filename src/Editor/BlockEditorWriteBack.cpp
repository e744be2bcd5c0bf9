// The block editor's write-back: what is typed into the text is read back
// into the note's blocks, each paragraph marked with its block, and the
// document's change reports followed on the way.
#include "Editor/BlockEditor.h"

#include "Core/Text/TextDifference.h"
#include "Editor/BlockGutter.h"
#include "Editor/BlockTextView.h"
#include "Editor/DeferredLayout.h"
#include "Editor/DocumentMirror.h"
#include "Editor/EditorDocument.h"
#include "Editor/EditorHistory.h"
#include "Editor/ParagraphMarks.h"
#include "Editor/TextDocumentConversion.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <set>

namespace quorrin {

// ---------------------------------------------------------------- write-back

void BlockEditor::flush()
{
    if (dragPreviewNote || m_rendering || hasMarkedText())
        return;
    // The write-back reads the whole text: what is still to show comes first.
    showWholeText();
    // The stored note is read in place: nothing below changes the store
    // until the written note is handed over.
    const Note* note = m_store->findNote(m_noteID);
    if (!note)
        return;
    m_rendering = true;
    m_editedSinceWriteBack = false;
    // Only the paragraphs edits touched are read again; the others keep
    // their readings, marks and layout.
    m_mirror->refreshParagraphs();
    editortext::WriteBack result
        = editortext::writeBack(*note, m_mirror->paragraphs(), m_ranges, m_historicalBlocks, m_clock(), m_shownRemarks);
    m_ranges = std::move(result.ranges);
    m_shownRemarks = editortext::remarksIn(m_ranges);
    markAndLayOut(result);
    recordHistory(result.note);
    if (!(result.note == *note))
        save(std::move(result.note), false, false);
    // What the store now holds: the blocks shown before are changed where
    // they differ, not copied again.
    if (const Note* stored = m_store->findNote(m_noteID)) {
        std::vector<Block> blocks = m_rendered ? std::move(m_rendered->blocks) : std::vector<Block>();
        assignBlocks(blocks, stored->blocks);
        m_rendered = stored->withBlocks(std::move(blocks));
    } else {
        m_rendered.reset();
    }
    m_writingBack = true;
    afterWrite();
    m_writingBack = false;
    m_rendering = false;
    if (result.needsRender) {
        // Text typed beside an attachment now lives in a block of its own.
        QTimer::singleShot(0, this, [this] { render(true); });
    }
}

void BlockEditor::flushTyping()
{
    if (m_leftToShow.isEmpty()) {
        flush();
        return;
    }
    // Writing back would show the rest of the text at once: the last part
    // writes back what was typed while the parts came. The paragraphs typed
    // into are read now, so that no part reads them with all it inserted.
    m_mirror->refreshParagraphs();
}

void BlockEditor::flushEdits()
{
    if (m_editedSinceWriteBack)
        flush();
}

void BlockEditor::endEditing(Qt::FocusReason reason)
{
    // Leaving a long text still coming in parts does not show the rest in
    // one go: the last part writes back what was typed.
    if (m_editedSinceWriteBack)
        flushTyping();
    // A popup (the format bar's colour menu) leaves the bar in place.
    if (hideFormatBar && reason != Qt::PopupFocusReason)
        hideFormatBar();
}

void BlockEditor::markAndLayOut(const editortext::WriteBack& written)
{
    // The paragraphs to mark: a first write-back marks every one.
    const std::vector<DocumentMirror::Memo>& memos = m_mirror->memos();
    const std::size_t count = std::min(memos.size(), written.marks.size());
    std::size_t first = 0;
    while (first < count && memos[first].mark == written.marks[first])
        ++first;
    std::size_t last = count;
    while (last > first && memos[last - 1].mark == written.marks[last - 1])
        --last;
    const ParagraphSpan changed{first, last};
    // Text with remarks is laid out as a whole: it is marked whole too.
    const ParagraphSpan now = paragraphsAreRuns()
        ? MarkingBacklog::markedAtOnce(changed, std::size_t(m_textView->textCursor().blockNumber()), marksPerTurn)
        : changed;
    if (now.size() == changed.size()) {
        m_marksLeft.clear();
        m_markingWork.stop();
        const DeferredLayout deferred(*m_textView, int(first), int(last) - 1);
        markAndLayOutAsOwn(written.marks, written.note, std::nullopt);
        return;
    }
    // Laid out at once, what is marked now and in each slice after would
    // have Qt move every laid-out paragraph below it: the layout of the
    // whole text is left to the event loop's idle steps instead, each slice
    // starting it again from the top, which costs what the view shows.
    {
        const DeferredLayout deferred(*m_textView);
        markAndLayOutAsOwn(written.marks, written.note, now);
    }
    m_mirror->expectMarks(changed, written.marks);
    m_marksLeft.defer(written.marks);
    m_markingWork.start();
}

void BlockEditor::markLeftParagraphs()
{
    // An edit since the last write-back may have moved paragraphs: the next
    // write-back, at once after it, settles the marks anew.
    if (m_marksLeft.isEmpty() || m_rendering || m_editedSinceWriteBack || hasMarkedText())
        return;
    const Note* note = m_store->findNote(m_noteID);
    if (!note || m_mirror->paragraphs().size() != m_marksLeft.marks().size() || !paragraphsAreRuns()) {
        m_marksLeft.clear();
        return;
    }
    const std::optional<ParagraphSpan> slice = m_marksLeft.nextSlice(marksPerTurn);
    if (!slice)
        return;
    m_rendering = true; // the marks are no edit of the user's
    const DeferredLayout deferred(*m_textView);
    markAndLayOutAsOwn(m_marksLeft.marks(), *note, slice);
    m_rendering = false;
    m_markingWork.start();
}

void BlockEditor::markAndLayOutAsOwn(const std::vector<editortext::WriteBack::Mark>& marks, const Note& note,
                                     std::optional<ParagraphSpan> within)
{
    DocumentMirror::OwnMarks own(*m_mirror);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    const WrittenFormats done = markAndLayOutParagraphs(cursor, &marks, note, within);
    cursor.endEditBlock();
    own.mark(done.marked, marks, done.laidOut);
}

bool BlockEditor::paragraphsAreRuns() const
{
    const std::vector<editortext::ParagraphReading>& paragraphs = m_mirror->paragraphs();
    return paragraphs.size() == m_ranges.size()
        && std::equal(paragraphs.begin(), paragraphs.end(), m_ranges.begin(),
                      [](const editortext::ParagraphReading& paragraph, const TextRun& run) {
                          return paragraph.start == run.start && paragraph.length == run.length;
                      });
}

std::vector<std::size_t> BlockEditor::markParagraphs(QTextCursor& cursor,
                                                     const std::vector<editortext::WriteBack::Mark>& marks)
{
    QTextDocument& doc = *document();
    const std::vector<editortext::ParagraphReading>& paragraphs = m_mirror->paragraphs();
    std::vector<DocumentMirror::Memo>& memos = m_mirror->memos();
    std::vector<std::size_t> marked;
    paragraphmarks::Pass pass(cursor);
    for (std::size_t i = 0; i < paragraphs.size() && i < marks.size(); ++i) {
        // Marked before with the same id and role, and untouched since.
        if (memos[i].mark == marks[i])
            continue;
        memos[i].mark = marks[i];
        marked.push_back(i);
        const paragraphmarks::IdMark mark{editortext::idString(marks[i].blockID), marks[i].isRemarks};
        const QTextBlock block = doc.findBlock(paragraphs[i].start);
        pass.apply(block, block.position(), block.position(), &mark, nullptr);
    }
    return marked;
}

std::optional<editortext::TextSpan> BlockEditor::applyWrittenLayout(const Note& note)
{
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    const WrittenFormats done = markAndLayOutParagraphs(cursor, nullptr, note);
    cursor.endEditBlock();
    return done.laidOut;
}

BlockEditor::WrittenFormats BlockEditor::markAndLayOutParagraphs(QTextCursor& cursor,
                                                                 const std::vector<editortext::WriteBack::Mark>* marks,
                                                                 const Note& note, std::optional<ParagraphSpan> within)
{
    std::vector<DocumentMirror::Memo>& memos = m_mirror->memos();
    WrittenFormats done;
    // After a write-back each run is one paragraph of the mirror, in order.
    if (!paragraphsAreRuns()) {
        if (marks)
            done.marked = markParagraphs(cursor, *marks);
        for (DocumentMirror::Memo& memo : memos)
            memo.layout.reset();
        applyParagraphLayout(note);
        done.laidOut = editortext::TextSpan{0, editordoc::textLength(*document())};
        return done;
    }
    // The runs come in the order of the note's blocks: each run's block is
    // looked for where the last one was found, and only then in all blocks.
    const ParagraphSpan span = within ? *within : ParagraphSpan{0, m_ranges.size()};
    QHash<QUuid, const Block*> blocks;
    std::size_t found = std::min(span.from, note.blocks.size());
    const auto blockOf = [&](const QUuid& id) -> const Block* {
        for (std::size_t k = found; k < note.blocks.size() && k < found + 2; ++k) {
            if (note.blocks[k].id == id) {
                found = k;
                return &note.blocks[k];
            }
        }
        if (blocks.isEmpty()) {
            blocks.reserve(qsizetype(note.blocks.size()));
            for (const Block& block : note.blocks) {
                if (!blocks.contains(block.id))
                    blocks.insert(block.id, &block);
            }
        }
        return blocks.value(id, nullptr);
    };
    // A block without remarks has no run but its own: only the runs of the
    // few with remarks are counted to find each one's last.
    const std::set<QUuid> withRemarks = editortext::remarksIn(m_ranges);
    QHash<QUuid, bool> lastRunIsRemarks;
    for (const TextRun& run : m_ranges) {
        if (withRemarks.count(run.blockID) > 0)
            lastRunIsRemarks.insert(run.blockID, run.isRemarks);
    }
    const auto isLastRunOfBlock = [&](const TextRun& run) {
        return withRemarks.count(run.blockID) == 0 || lastRunIsRemarks.value(run.blockID) == run.isRemarks;
    };

    QTextDocument& doc = *document();
    const int length = editordoc::textLength(doc);
    editortext::TextSpan changed{length, 0};
    // The paragraph last changed: the next one is found from it.
    QTextBlock paragraph;
    std::size_t paragraphIndex = 0;
    paragraphmarks::Pass pass(cursor);
    for (std::size_t i = span.from; i < span.to && i < m_ranges.size(); ++i) {
        const TextRun& run = m_ranges[i];
        // Marked before with the same id and role, and untouched since.
        const editortext::WriteBack::Mark* mark
            = marks && i < marks->size() && !(memos[i].mark == (*marks)[i]) ? &(*marks)[i] : nullptr;
        if (mark) {
            memos[i].mark = *mark;
            done.marked.push_back(i);
        }
        std::optional<editortext::ParagraphInput> input;
        if (run.length > 0 && run.end() <= length) {
            const Block* block = blockOf(run.blockID);
            const auto progress = revealProgress.find(run.blockID);
            input.emplace();
            input->block = block;
            input->isRemarks = run.isRemarks;
            input->revealProgress = progress == revealProgress.end() ? 1.0 : progress->second;
            input->endsRun = true; // the paragraph is the whole run
            input->isLastRunOfBlock = isLastRunOfBlock(run);
            input->shelfHeight = shelfHeight ? shelfHeight(run.blockID, block && block->kind == BlockKind::Todo) : 0;
            const editortext::ParagraphLayoutKey key = editortext::layoutKey(*input);
            // Laid out before with the same inputs, and untouched since.
            if (memos[i].layout == key)
                input.reset();
            else
                memos[i].layout = key;
        } else {
            memos[i].layout.reset();
        }
        if (!mark && !input)
            continue;
        if (paragraph.isValid() && paragraphIndex + 1 == i)
            paragraph = paragraph.next();
        if (!paragraph.isValid() || paragraph.position() != run.start)
            paragraph = doc.findBlock(run.start);
        paragraphIndex = i;
        const std::optional<paragraphmarks::IdMark> idMark
            = mark ? std::optional(paragraphmarks::IdMark{editortext::idString(mark->blockID), mark->isRemarks})
                   : std::nullopt;
        if (pass.apply(paragraph, run.start, run.end(), idMark ? &*idMark : nullptr, input ? &*input : nullptr)) {
            changed.start = std::min(changed.start, run.start);
            changed.end = std::max(changed.end, run.end());
        }
    }
    if (changed.start < changed.end)
        done.laidOut = changed;
    return done;
}

void BlockEditor::afterWrite()
{
    call(applyCompletion);
    followCaretInGutter();
    if (syncFileShelves)
        syncFileShelves(false);
    call(onTitleChange);
}

void BlockEditor::onContentsChange(int position, int removed, int added)
{
    // The mirror follows every change, the write-back's own marks and layout too.
    const std::optional<DocumentMirror::Edit> edit = m_mirror->follow(position, removed, added);
    if (!m_rendering)
        m_editedSinceWriteBack = true;
    if (m_rendering || !edit)
        return;
    const AttributedString& before = edit->before;
    const AttributedString& after = edit->after;
    const QString& was = before.string();
    const QString& now = after.string();
    if (was == now)
        return; // attributes only
    const auto [prefix, suffix] = differenceBetween(was, now);
    const int at = position + prefix;
    const int removedLength = int(was.size()) - prefix - suffix;
    const int addedLength = int(now.size()) - prefix - suffix;
    if (!m_ranges.empty())
        m_ranges = editortext::adjustRanges(m_ranges, at, addedLength, addedLength - removedLength);
    // The gutter is not repainted whole for an edit: the layout repaints the
    // changed lines and all that moved, across the full width, and the
    // gutter over them with it. Only the caret's row is its own to follow.
    m_charactersChanged = true;
    if (!m_applyingHistory) {
        TextEdit step{at, before.substring(prefix, removedLength), after.substring(prefix, addedLength)};
        const QLatin1Char lineBreak('\n');
        if (step.removed.string().contains(lineBreak) || step.inserted.string().contains(lineBreak))
            step = wholeParagraphs(step, m_mirror->text());
        step.position = editortext::storedPosition(m_mirror->text().string(), step.position);
        m_history->push(new TextEditCommand(this, std::move(step)));
    }
    noteLinkScan(at, at + addedLength);
}

void BlockEditor::onTextChanged()
{
    if (m_rendering || (!m_charactersChanged && !applyingFormat))
        return;
    m_charactersChanged = false;
    call(closeBlockMenu);
    // Addresses become links once typed; never while an input method composes.
    const bool composing = hasMarkedText();
    if (!(m_linkScan && !composing && markLinks(m_linkScan->first, m_linkScan->second)))
        flushTyping();
    if (!composing)
        m_linkScan.reset();
    endLinkAtCaret(); // the write-back's layout pass resets what typing inserts
    if (applyingFormat) {
        if (FormatPanel* panel = formatPanel())
            panel->refreshBar();
        call(presentFormatBar);
        return;
    }
    // Typing keeps the bar out of the way until a pause.
    m_formatWork.stop();
    m_formatSuppressed = true;
    if (FormatPanel* panel = builtFormatPanel(); panel && panel->isExpanded())
        panel->hide();
    startFormatWork(formatbar::typingDelayMs, true);
}

void BlockEditor::onSelectionChanged()
{
    if (m_rendering)
        return;
    endLinkAtCaret();
    followCaretInGutter();
    if (!m_formatSuppressed)
        call(scheduleFormatBar);
}

void BlockEditor::followCaretInGutter()
{
    // The gutter shows the controls of the caret's block: it is repainted
    // when the caret reaches another block, not for every step within one.
    const std::optional<QUuid> block = currentBlock();
    if (m_gutterCaret && *m_gutterCaret == block)
        return;
    m_gutterCaret = block;
    if (gutter)
        gutter->update();
}

} // namespace quorrin
