// The block editor's presentation: rendering the note into the text, the
// paragraph layout, geometry in document coordinates and the display-only
// appearance.
#include "Editor/BlockEditor.h"

#include "Domain/NoteTheme.h"
#include "Domain/RichText.h"
#include "Domain/TextDefaults.h"
#include "Editor/AttachmentThumbnail.h"
#include "Editor/BlockCommands.h"
#include "Editor/BlockTextView.h"
#include "Editor/DeferredLayout.h"
#include "Editor/DisplayAppearance.h"
#include "Editor/DocumentMirror.h"
#include "Editor/EditorDocument.h"
#include "Editor/ParagraphLayouts.h"
#include "Editor/FindReplaceBar.h"
#include "Editor/ParagraphMarks.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextDocumentConversion.h"
#include "Platform/ReducedMotion.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/OverlayScroller.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetricsF>
#include <QHash>
#include <QImageReader>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace quorrin {
namespace {

constexpr int maximumWritableLines = 500;

// The height an empty paragraph takes in the text: one line of the 14-point
// system font and the spacing below a paragraph.
double emptyLineHeight(QFont font)
{
    font.setPointSizeF(14);
    return QFontMetricsF(font).lineSpacing() + 6;
}

// Lays the text out down to `block` and no further: the rest of a long text
// is laid out in the event loop's idle steps.
void layOutThrough(const QTextBlock& block)
{
    if (block.isValid())
        block.document()->documentLayout()->blockBoundingRect(block);
}

// Moved outside an edit, a cursor has Qt find its place on its line, which
// lays the text out down to it: a place kept below the part of a long text
// shown so far would have each part lay out all the parts before it.
void moveWithoutLayout(QTextCursor& cursor, int position)
{
    cursor.beginEditBlock();
    cursor.setPosition(position);
    cursor.endEditBlock();
}

// A paragraph inserted with its layout's margins: they go on its block
// format, so that it is laid out once, within them.
void addPresentation(QTextBlockFormat& block, const QTextCharFormat& first)
{
    if (first.hasProperty(textdoc::PresentationTail))
        editordoc::addPresentation(block, first);
}

// The rendered text with each paragraph given the style and the marks
// layOutParagraph would give it once inserted: the marks on its characters,
// the style (and, through the insert, the marks) on the paragraph. None
// where a paragraph does not start with the one run it holds.
std::optional<AttributedString> laidOutText(const editortext::RenderedText& rendered,
                                            const std::function<editortext::ParagraphInput(const TextRun&)>& inputFor)
{
    const AttributedString& text = rendered.text;
    const QString& s = text.string();
    const int length = text.length();
    const std::vector<AttributedString::Run>& runs = text.runs();
    AttributedString result;
    result.reserve(length, runs.size()); // about as many runs as the rendered text
    // The attribute run at a position, from an index that only moves on.
    const auto reach = [&](std::size_t& index, int position) {
        while (index + 1 < runs.size() && runs[index].start + runs[index].length <= position)
            ++index;
    };
    std::size_t copying = 0; // the attribute run at `copied`
    int copied = 0;
    editortext::ParagraphLayouts layouts;
    const auto copy = [&](int to, editortext::ParagraphLayouts::Laid* laid) {
        while (copied < to) {
            reach(copying, copied);
            const AttributedString::Run& run = runs[copying];
            const int end = std::min(to, run.start + run.length);
            if (laid)
                result.append(s.mid(copied, end - copied), layouts.laidOut(*laid, run.attributes));
            else
                result.append(s.mid(copied, end - copied), run.attributes);
            copied = end;
        }
    };
    // What a paragraph style reads back as from a block, for the last one met.
    std::optional<std::pair<std::optional<ParagraphStyle>, std::optional<ParagraphStyle>>> shownStyle;
    const auto asShown = [&](const std::optional<ParagraphStyle>& style) {
        if (!shownStyle || !(shownStyle->first == style))
            shownStyle.emplace(style, textdoc::paragraphStyle(textdoc::blockFormat(style)));
        return shownStyle->second;
    };
    // A paragraph's layout follows from its run's inputs, the attributes it
    // starts with and whether it ends its run: the paragraphs of a run that
    // start in the same attribute run share one, worked out once and copied
    // with them in one go.
    std::size_t starting = 0; // the attribute run at the last paragraph's start
    int laidTo = 0;           // where the last paragraph ends
    struct Pending {
        std::size_t first = 0;
        bool endsRun = false;
        editortext::ParagraphLayouts::Laid* laid = nullptr;
    };
    std::optional<Pending> pending; // laid out up to `laidTo`, not yet copied
    const auto flush = [&] {
        if (pending)
            copy(laidTo, pending->laid);
        pending.reset();
    };
    for (const TextRun& run : rendered.ranges) {
        // A run of a part of a longer text may begin in an earlier part or go
        // on in a later one: only its paragraphs within this text are laid
        // out, and only the last of all ends it.
        const int from = std::max(run.start, 0);
        const int until = std::min(run.end(), length);
        if (run.length <= 0 || from >= until)
            continue;
        const editortext::ParagraphInput runInput = inputFor(run);
        int paragraph = from;
        while (paragraph < until) {
            if (paragraph < laidTo || (paragraph > 0 && !textdoc::isParagraphSeparator(s.at(paragraph - 1))))
                return std::nullopt; // a paragraph of two runs, or of a run and text outside any
            int separator = paragraph;
            while (separator < length && !textdoc::isParagraphSeparator(s.at(separator)))
                ++separator;
            const int to = std::min(separator + 1, until);
            if (paragraph > laidTo) {
                flush();
                copy(paragraph, nullptr);
            }
            reach(starting, paragraph);
            const bool endsRun = to == run.end();
            if (!pending || pending->first != starting || pending->endsRun != endsRun) {
                flush();
                const TextAttributes& first = runs[starting].attributes;
                editortext::ParagraphInput input = runInput;
                input.endsRun = endsRun;
                input.current = asShown(first.paragraphStyle);
                const auto base = first.custom.find(EditorAttribute::presentationBase);
                if (base != first.custom.end()) {
                    if (const auto* numbers = std::get_if<QList<double>>(&base->second))
                        input.storedBase = *numbers;
                }
                pending = Pending{starting, endsRun, &layouts.layout(input)};
            }
            laidTo = to;
            paragraph = separator + 1;
        }
        flush(); // the next run has inputs of its own
    }
    copy(length, nullptr);
    return result;
}

} // namespace

// ---------------------------------------------------------------- rendering

void BlockEditor::render(bool force)
{
    // Typing into a text still being shown a part at a time waits for its
    // last part to be written back: it is written back now, before the text
    // is replaced.
    if (!m_leftToShow.isEmpty() && m_editedSinceWriteBack)
        flush();
    followStoredNote();
    // Compared where it is: a note shown already is not copied to find that out.
    const Note* current = shownNote();
    if (!current)
        return;
    if (!force && m_rendered && *m_rendered == *current)
        return;
    if (hasMarkedText())
        return; // the next render or write-back brings the text up to date
    std::optional<Note> note = *current;
    m_rendering = true;
    m_editedSinceWriteBack = false; // the text is the stored note's again
    recordHistory(*note);
    const int caret = m_textView->textCursor().position();
    // New text scrolls to its caret; the reader's place is kept instead, and
    // the caret followed only when it was in sight (typing at the end of the
    // view, a new block below the last line).
    QScrollBar* scroller = m_textView->verticalScrollBar();
    const int scrolledTo = scroller->value();
    const bool caretInSight = m_textView->viewport()->rect().intersects(m_textView->cursorRect());
    const QString textBefore = document()->toPlainText();
    const std::vector<TextRun> rangesBefore = m_ranges;
    // The parts left of the text shown before read the note it showed.
    m_showingWork.stop();
    m_leftToShow.clear();
    // One copy of a note of many blocks is enough: the parts still to show
    // are rendered, and lay out their paragraphs, from this one.
    m_rendered = std::move(note);
    const Note& shown = *m_rendered;

    BlocksLeftToRender blocks(shown, newTextAttributes());
    m_shownRemarks = blocks.remarksShown();
    m_partInputs = paragraphInputs(shown, blocks);
    const TextLeftToShow::Opening opening
        = m_leftToShow.begin(std::move(blocks), {rangesBefore, textBefore, caret}, paragraphsPerPart);
    const TextLeftToShow::Part& first = opening.first;
    const int placed = opening.caret;
    // Each paragraph is inserted with its layout: no second pass over the text.
    const std::optional<AttributedString> laidOut = laidOutText(first, m_partInputs);
    m_mirror->suspend(); // the text is replaced whole and read anew below
    m_marksLeft.clear();
    m_markingWork.stop();
    // The margins go on first, so that the text is laid out once, within them.
    m_appearance->replaceText([&] {
        textdoc::setContents(*document(), laidOut ? *laidOut : first.text, [this] { applyFrameMargins(); },
                             addPresentation);
    });
    m_ranges = TextLeftToShow::shownRuns(first);
    // Where the next part goes: it follows what is shown, and stays before
    // anything typed below the last line, as that was typed below the whole.
    m_partsGoTo = QTextCursor(document());
    m_partsGoTo.setPosition(std::min(first.text.length(), editordoc::textLength(*document())));
    m_partsGoTo.setKeepPositionOnInsert(true);
    installAttachmentImages(shown, m_ranges);
    if (!laidOut)
        applyParagraphLayout(shown);

    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(placed, 0, editordoc::textLength(*document())));
    m_textView->setTextCursor(cursor);
    scroller->setValue(scrolledTo);
    if (caretInSight)
        m_textView->ensureCursorVisible();
    // Text typed at the caret takes the format beside it, as after any caret
    // move; an empty line shows the note's typing style.
    m_mirror->reread();
    // The paragraphs of a text shown in parts are read part by part, so
    // that the first write-back need not read them all in one turn.
    if (!m_leftToShow.isEmpty())
        m_mirror->refreshParagraphs();
    m_charactersChanged = false;

    call(applyCompletion);
    if (gutter)
        gutter->update();
    call(hideFormatBar);
    if (syncFileShelves)
        syncFileShelves(false);
    refreshAlarmVisuals();
    m_rendering = false;
    updateScrollHint();
    continueOrEndShowing();
}

void BlockEditor::showNextPart(bool all)
{
    if (m_rendering || !m_rendered)
        return;
    std::optional<TextLeftToShow::Part> part = m_leftToShow.take(all);
    if (!part)
        return;
    m_rendering = true; // the parts are no edit of the user's
    const int at = m_partsGoTo.position();
    const int lengthBefore = editordoc::textLength(*document());
    const std::optional<AttributedString> laidOut = laidOutText(*part, m_partInputs);
    {
        // Laid out at once, each part would have Qt move every paragraph
        // after the next change of formats (the write-back's marks): the
        // layout is left to the event loop's idle steps, as for a text
        // inserted whole.
        const DeferredLayout deferred(*m_textView);
        QTextCursor cursor(document());
        cursor.setPosition(at);
        cursor.beginEditBlock();
        textdoc::insert(cursor, laidOut ? *laidOut : part->text, addPresentation);
        cursor.endEditBlock();
    }
    moveWithoutLayout(m_partsGoTo, at + editordoc::textLength(*document()) - lengthBefore);
    m_mirror->refreshParagraphs();

    // Text typed below the last line shown went on the last run: it stays
    // on the last run, below the part.
    int typedBelow = 0;
    if (!m_ranges.empty() && m_ranges.back().start < at && m_ranges.back().end() > at) {
        typedBelow = m_ranges.back().end() - at;
        m_ranges.back().length -= typedBelow;
    }
    std::vector<TextRun> runs = TextLeftToShow::shownRuns(*part);
    for (TextRun& run : runs)
        run.start += at;
    // A run cut at the part's start goes on the run shown last.
    auto added = runs.begin();
    if (!part->ranges.empty() && part->ranges.front().start < 0 && added != runs.end() && !m_ranges.empty()) {
        TextRun& last = m_ranges.back();
        if (last.end() == at && last.blockID == added->blockID && last.isRemarks == added->isRemarks) {
            last.length += added->length;
            ++added;
        }
    }
    m_ranges.insert(m_ranges.end(), std::make_move_iterator(added), std::make_move_iterator(runs.end()));
    if (!m_ranges.empty())
        m_ranges.back().length += typedBelow;
    installAttachmentImages(*m_rendered, runs);
    if (!laidOut)
        applyParagraphLayout(*m_rendered);
    m_rendering = false;
    if (gutter)
        gutter->update();
    continueOrEndShowing();
}

void BlockEditor::continueOrEndShowing()
{
    if (!m_leftToShow.isEmpty()) {
        m_showingWork.start();
        return;
    }
    // Once all is shown, nothing lays out a part or inserts one any more.
    m_partInputs = nullptr;
    m_partsGoTo = QTextCursor();
}

void BlockEditor::showWholeText()
{
    m_showingWork.stop();
    showNextPart(true);
}

void BlockEditor::installAttachmentImages(const Note& note, const std::vector<TextRun>& runs)
{
    const double available = std::max(width() - 100.0, 120.0);
    m_attachmentWidth = available;
    // The first block of each id, attachments only: looked up run by run. A
    // note of many lines and no attachment costs one look at each block, and
    // no table: each part of a long note asks again.
    const auto isAttachment = [](const Block& block) { return blockKind::isAttachment(block.kind) && block.attachment; };
    if (std::none_of(note.blocks.begin(), note.blocks.end(), isAttachment))
        return;
    QHash<QUuid, const Block*> attachments;
    for (const Block& block : note.blocks) {
        if (!attachments.contains(block.id))
            attachments.insert(block.id, isAttachment(block) ? &block : nullptr);
    }
    for (const TextRun& run : runs) {
        if (run.isRemarks)
            continue;
        const Block* block = attachments.value(run.blockID, nullptr);
        if (!block)
            continue;
        if (document()->characterAt(run.start) != editortext::attachmentCharacter)
            continue;
        const AttachmentThumbnail thumbnail = makeAttachmentThumbnail(
            m_store->attachmentPath(*block->attachment), block->kind == BlockKind::Image, available);
        const QUrl name(QStringLiteral("quorrin-attachment:") + editortext::idString(block->id));
        document()->addResource(QTextDocument::ImageResource, name, thumbnail.image);
        QTextImageFormat image;
        image.merge(editordoc::charFormatAt(*document(), run.start));
        image.setObjectType(QTextFormat::ImageObject);
        image.setName(name.toString());
        image.setWidth(thumbnail.size.width());
        image.setHeight(thumbnail.size.height());
        if (thumbnail.isPlaceholder)
            image.setToolTip(block->attachment->originalFilename);
        QTextCursor cursor(document());
        cursor.setPosition(run.start);
        cursor.setPosition(run.start + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(image);
    }
}

TextAttributes BlockEditor::newTextAttributes() const
{
    const Preferences preferences = m_store->preferences();
    const AttributedString defaults = preferences.defaultText.attributed();
    TextAttributes typing = defaults.isEmpty() ? TextAttributes{} : defaults.attributesAt(0);
    typing.font = TextFont{editordoc::fontFamilyFor(preferences.fontName), preferences.fontSize > 0 ? preferences.fontSize : 14,
                           false, false};
    if (!typing.foreground)
        typing.foreground = TextColor::dynamicText();
    typing.paragraphStyle.reset();
    return typing;
}

namespace {

// Each id's first block and whether its last run holds remarks, found
// through one look-up in a hash table a run.
struct OfID {
    const Block* block = nullptr;
    bool lastRunIsRemarks = false;
};
using BlocksByID = QHash<QUuid, OfID>;

std::shared_ptr<BlocksByID> blocksByID(const Note& note, std::size_t runs)
{
    auto ids = std::make_shared<BlocksByID>();
    ids->reserve(qsizetype(std::max(note.blocks.size(), runs)));
    for (const Block& block : note.blocks) {
        OfID& of = (*ids)[block.id];
        if (!of.block)
            of.block = &block;
    }
    return ids;
}

std::function<editortext::ParagraphInput(const TextRun&)> inputsOf(const BlockEditor& editor,
                                                                   std::shared_ptr<const BlocksByID> ids)
{
    return [&editor, ids = std::move(ids)](const TextRun& run) {
        const OfID of = ids->value(run.blockID);
        const Block* block = of.block;
        const auto progress = editor.revealProgress.find(run.blockID);
        editortext::ParagraphInput input;
        input.block = block;
        input.isRemarks = run.isRemarks;
        input.revealProgress = progress == editor.revealProgress.end() ? 1.0 : progress->second;
        input.isLastRunOfBlock = of.lastRunIsRemarks == run.isRemarks;
        input.shelfHeight
            = editor.shelfHeight ? editor.shelfHeight(run.blockID, block && block->kind == BlockKind::Todo) : 0;
        return input;
    };
}

} // namespace

std::function<editortext::ParagraphInput(const TextRun&)> BlockEditor::paragraphInputs(const Note& note,
                                                                                    const std::vector<TextRun>& runs) const
{
    const std::shared_ptr<BlocksByID> ids = blocksByID(note, runs.size());
    for (const TextRun& run : runs)
        (*ids)[run.blockID].lastRunIsRemarks = run.isRemarks;
    return inputsOf(*this, ids);
}

std::function<editortext::ParagraphInput(const TextRun&)> BlockEditor::paragraphInputs(const Note& note,
                                                                                    const BlocksLeftToRender& shown) const
{
    const std::shared_ptr<BlocksByID> ids = blocksByID(note, shown.size());
    // A block's runs are its line and then, when it shows them, its remarks.
    for (std::size_t i = 0; i < shown.size(); ++i)
        (*ids)[shown[i].id].lastRunIsRemarks = editortext::showsRemarks(shown[i]);
    return inputsOf(*this, ids);
}

void BlockEditor::applyParagraphLayout(const Note& note, std::optional<QUuid> only)
{
    QTextDocument& doc = *document();
    const auto inputFor = paragraphInputs(note, m_ranges);
    const int length = editordoc::textLength(doc);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    paragraphmarks::Pass pass(cursor);
    for (const TextRun& run : m_ranges) {
        if ((only && *only != run.blockID) || run.length <= 0 || run.end() > length)
            continue;
        const editortext::ParagraphInput runInput = inputFor(run);
        for (QTextBlock paragraph = doc.findBlock(run.start); paragraph.isValid() && paragraph.position() < run.end();
             paragraph = paragraph.next()) {
            const int from = std::max(paragraph.position(), run.start);
            const int to = std::min(paragraph.position() + paragraph.length(), run.end());
            editortext::ParagraphInput input = runInput;
            input.endsRun = to == run.end();
            pass.apply(paragraph, from, to, nullptr, &input);
        }
    }
    cursor.endEditBlock();
}

void BlockEditor::updateScrollHint()
{
    if (m_updatingScrollHint || m_rendering)
        return;
    m_updatingScrollHint = true;
    const auto done = qScopeGuard([this] { m_updatingScrollHint = false; });
    if (m_ranges.empty() || m_ranges.front().end() > editordoc::textLength(*document())) {
        m_textView->setTopBand(0);
        placeGutter();
        m_scrollHint->hide();
        return;
    }
    const double top = firstLineRect(m_ranges.front().start, m_ranges.front().length).top();
    const Note* note = shownNote();
    m_scrollHint->setPaperColor(toQColor(noteColor::color(note ? note->color : NoteColor::Cream),
                                         SystemAppearance::of(palette())));
    m_scrollHint->update();
    QColor knob = toQColor(noteTheme().secondaryText, SystemAppearance::of(palette()));
    knob.setAlphaF(0.55f);
    m_scroller->setKnobColor(knob);
    const double visibleHeight = m_textView->viewport()->height();
    const double offset = m_textView->verticalScrollBar()->value();
    // Whether the text is taller than the view is asked last: a long text
    // laid out lazily answers it when its layout grows (documentSizeChanged).
    const bool hidden = (note && note->isCollapsed) || visibleHeight <= 0 || offset <= top + 1
        || !textTallerThan(visibleHeight + 1);
    // The badge sits in a band of its own above the text rather than over
    // its first line. The band only narrows the view, so the badge stays; a
    // view scrolled to the end stays at the end.
    QScrollBar& scroll = *m_textView->verticalScrollBar();
    const bool atEnd = scroll.value() >= scroll.maximum();
    const int band = hidden ? 0 : m_scrollHint->bandHeight();
    if (band != m_textView->topBand()) {
        m_textView->setTopBand(band);
        placeGutter();
        if (band && atEnd)
            scroll.setValue(scroll.maximum());
    }
    m_scrollHint->setVisible(!hidden);
}

void BlockEditor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutViews();
    // Images are fitted to the width they were rendered at; a note opened
    // before its window had its size shows them at the width it has now.
    if (m_rendered && !m_rendering && !hasMarkedText() && std::max(width() - 100.0, 120.0) != m_attachmentWidth) {
        if (const Note* note = shownNote()) { // not copied: fitting images changes no note
            m_rendering = true;
            installAttachmentImages(*note, m_ranges); // the mirror follows these changes itself
            m_rendering = false;
        }
    }
}

void BlockEditor::layoutViews()
{
    QRect textArea = QWidget::rect();
    if (m_findBar && !m_findBar->isHidden()) {
        const int barHeight = m_findBar->sizeHint().height();
        m_findBar->setGeometry(0, height() - barHeight, width(), barHeight);
        textArea.setBottom(height() - barHeight - 1);
    }
    m_textView->setGeometry(textArea);
    placeGutter();
    layoutTaskShelves();
    updateScrollHint();
    call(updateFormatBarPosition);
}

void BlockEditor::placeGutter()
{
    if (!gutter)
        return;
    QRect area = m_textView->geometry();
    area.setTop(area.top() + m_textView->topBand());
    gutter->setGeometry(area);
    gutter->raise();
    gutter->update();
}

void BlockEditor::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange && event->type() != QEvent::StyleChange)
        return;
    call(applyCompletion);
    m_appearance->rehighlight(); // the shown colours follow the palette
    if (gutter)
        gutter->update();
}

// ---------------------------------------------------------------- geometry

QRectF BlockEditor::rect(int start, int length, double until) const
{
    QTextDocument& doc = *document();
    // Qt lays out nothing before the view gives the text a page size: a
    // text shown before its window has one has no lines to walk yet.
    if (doc.pageSize().isNull())
        return {};
    const int end = start + std::max(length, 0);
    const bool whole = !std::isfinite(until);
    if (whole) {
        const QTextBlock last = doc.findBlock(std::min(end, editordoc::textLength(doc)));
        layOutThrough(last.isValid() ? last : doc.lastBlock());
    }
    QRectF result;
    for (QTextBlock block = doc.findBlock(start); block.isValid(); block = block.next()) {
        if (block.position() > end || (block.position() == end && length > 0))
            break;
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        if (!whole) {
            layOutThrough(block);
            if (layout->position().y() > until) {
                // Cut there: the row reaches at least that far down.
                result = result.isNull() ? QRectF(layout->position(), QSizeF(1, 0))
                                         : result.united(QRectF(result.topLeft(), QPointF(result.right(), until)));
                break;
            }
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int lineStart = block.position() + line.textStart();
            const int lineEnd = lineStart + line.textLength();
            if (lineEnd < start || lineStart > end || (lineStart == end && length > 0))
                continue;
            result = result.united(line.rect().translated(layout->position()));
        }
    }
    if (result.isNull())
        return {};
    result.setHeight(std::max(result.height(), 20.0));
    return result;
}

QRectF BlockEditor::firstLineRect(int start, int length) const
{
    QTextDocument& doc = *document();
    if (start < 0 || start >= editordoc::textLength(doc))
        return rect(start, length);
    const QTextBlock block = doc.findBlock(start);
    if (!block.isValid() || !block.layout())
        return {};
    layOutThrough(block);
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(std::max(start - block.position(), 0));
    if (!line.isValid())
        return rect(start, length);
    return line.rect().translated(layout->position());
}

std::vector<TextRun>::const_iterator BlockEditor::runsReaching(double y) const
{
    // The run at that depth, laid out only so far; rows lie down the text in
    // its order, so the rows before it that still reach `y` (a row counts
    // as at least 20 high, and 7 below it as its own) are the last few.
    // Where the text below is not laid out yet, Qt can tell a position far
    // past `y` (a depth between or above paragraphs hits the first paragraph
    // not laid out): the rows before it are searched, not walked.
    const int position = document()->documentLayout()->hitTest(QPointF(0, y), Qt::FuzzyHit);
    const auto first = std::partition_point(m_ranges.begin(), m_ranges.end(),
                                            [&](const TextRun& run) { return run.start <= position; });
    return std::partition_point(m_ranges.begin(), first, [&](const TextRun& run) {
        return rect(run.start, run.length, y).bottom() + 27 < y;
    });
}

bool BlockEditor::textTallerThan(double height) const
{
    QTextDocument& doc = *document();
    QAbstractTextDocumentLayout& layout = *doc.documentLayout();
    // A paragraph after the one at that depth reaches below it; only the
    // text down to there needs laying out.
    const int position = layout.hitTest(QPointF(0, height), Qt::FuzzyHit);
    const QTextBlock there = doc.findBlock(std::max(position, 0));
    if (there.isValid() && there.next().isValid())
        return true;
    return layout.documentSize().height() > height; // laid out whole already
}

std::optional<QUuid> BlockEditor::block(double y) const
{
    for (auto run = runsReaching(y); run != m_ranges.end(); ++run) {
        if (run->isRemarks)
            continue;
        QRectF row = rect(run->start, run->length, y);
        row.setHeight(std::max(row.height(), 20.0));
        if (row.top() <= y && y <= row.bottom() + 7)
            return run->blockID;
        if (row.top() > y)
            break;
    }
    return std::nullopt;
}

bool BlockEditor::prepareWritableLine(QPointF point)
{
    if (hasMarkedText())
        return false;
    double bottom = 0;
    if (!m_ranges.empty()) {
        document()->documentLayout()->documentSize();
        const TextRun& last = m_ranges.back();
        bottom = std::max(rect(last.start, last.length).bottom(), 0.0);
        // A todo's file shelf below the last line belongs to the text.
        const auto shelf = m_taskShelfViews.find(last.blockID);
        if (shelf != m_taskShelfViews.end() && shelf->second)
            bottom = std::max(bottom, QRectF(shelf->second->geometry()).translated(scrollOffset()).bottom());
    }
    if (point.y() <= bottom + 6)
        return false;
    const Preferences preferences = m_store->preferences();
    const QString family = editordoc::fontFamilyFor(preferences.fontName);
    QFont font(family == TextFont::systemFamily() ? QApplication::font().family() : family);
    font.setPointSizeF(preferences.fontSize > 0 ? preferences.fontSize : 14);
    const QFontMetricsF metrics(font);
    const double lineHeight = std::ceil(metrics.ascent() + metrics.descent() + metrics.leading()) + 6;
    int count = std::clamp(int(std::floor((point.y() - bottom - 6) / lineHeight)) + 1, 1, maximumWritableLines);
    // The new lines stay inside the visible area: lines that reached below
    // it would grow the text past the view, and focusing the last of them
    // would scroll the top of the note out of sight.
    const double visibleBottom = scrollOffset().y() + m_textView->viewport()->height();
    if (m_textView->viewport()->height() > 0 && point.y() <= visibleBottom) {
        const double below = document()->documentLayout()->documentSize().height() - bottom;
        const double lineSpan = std::max(lineHeight, emptyLineHeight(m_textView->font()));
        count = std::min(count, int(std::floor((visibleBottom - bottom - below) / lineSpan)));
        if (count < 1)
            return false;
    }

    std::vector<Block> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(blockcommands::emptyParagraph(m_clock()));
    const ChangeResult result = change(QStringLiteral("在空白行输入"), [&](Note& note) {
        note.blocks.insert(note.blocks.end(), lines.begin(), lines.end());
    });
    if (result != ChangeResult::Applied)
        return false;
    focus(lines.back().id, false);
    return true;
}

std::optional<QUuid> BlockEditor::alarmingBlockID(QPointF point) const
{
    const auto id = block(point.y());
    if (!id || !alarmCenter)
        return std::nullopt;
    for (const auto& [note, block] : alarmCenter()) {
        if (note == m_noteID && block == *id)
            return id;
    }
    return std::nullopt;
}

bool BlockEditor::isAttachmentAtCursor() const
{
    const auto id = currentBlock();
    const Note* note = shownNote();
    if (!id || !note)
        return false;
    const auto found = std::find_if(note->blocks.begin(), note->blocks.end(), [&](const Block& b) { return b.id == *id; });
    return found != note->blocks.end() && blockKind::isAttachment(found->kind);
}

// ---------------------------------------------------------------- display-only appearance

void BlockEditor::ownApplyCompletion()
{
    const Note* note = shownNote();
    m_appearance->update(note ? appearance::completedTodos(*note) : std::set<QUuid>{},
                         SystemAppearance::of(palette()) == Appearance::Dark);
}

} // namespace quorrin
