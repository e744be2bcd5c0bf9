#include "Editor/BlockEditor.h"

#include "Domain/TextDefaults.h"
#include "Editor/AttachmentThumbnail.h"
#include "Editor/BlockCommands.h"
#include "Editor/BlockTextView.h"
#include "Editor/DisplayAppearance.h"
#include "Editor/EditorHistory.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextDocumentConversion.h"
#include "Editor/NoteStoreBinding.h"
#include "Domain/NoteTheme.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include "Platform/ReducedMotion.h"
#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImageReader>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>

namespace quorrin {
namespace {

constexpr int maximumWritableLines = 500;
const QString unsupportedFileMessage = QStringLiteral("请将文件拖至文件暂存区。");

QTextCharFormat charFormatAt(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid())
        return {};
    if (position == block.position() + block.length() - 1)
        return block.next().isValid() ? block.next().charFormat() : QTextCharFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat();
    }
    return {};
}

int textLength(const QTextDocument& document)
{
    return document.characterCount() - 1;
}

constexpr std::array presentationProperties{textdoc::PresentationIndent, textdoc::PresentationTail,
                                            textdoc::PresentationSpacing, textdoc::PresentationBase};

// The amounts the paragraph layout added to a paragraph's style, kept on the
// paragraph itself: characters typed since the last layout pass carry none of
// their own, yet their paragraph shows (and reads back) the full style.
void addPresentation(QTextBlockFormat& format, const QTextCharFormat& marks)
{
    for (const int property : presentationProperties)
        format.setProperty(property, marks.property(property));
}

bool samePresentation(const QTextFormat& a, const QTextFormat& b)
{
    return std::all_of(presentationProperties.begin(), presentationProperties.end(), [&](int property) {
        return a.property(property) == b.property(property);
    });
}

// A paragraph as read back, with its block's presentation amounts on every
// character, so that storing it subtracts exactly what the layout added.
AttributedString readParagraph(const QTextBlock& block, bool withSeparator)
{
    AttributedString text = textdoc::readBlock(block, withSeparator);
    const QTextBlockFormat format = block.blockFormat();
    if (!format.hasProperty(textdoc::PresentationTail))
        return text;
    const std::array<std::pair<const QString&, int>, 4> keys{{
        {EditorAttribute::presentationIndent, textdoc::PresentationIndent},
        {EditorAttribute::presentationTail, textdoc::PresentationTail},
        {EditorAttribute::presentationSpacing, textdoc::PresentationSpacing},
        {EditorAttribute::presentationBase, textdoc::PresentationBase},
    }};
    for (const auto& [name, property] : keys) {
        if (const auto value = textdoc::fromVariant(format.property(property)))
            text.setCustom(0, text.length(), name, *value);
    }
    return text;
}

// The paragraphs of the text as the model sees them: one per block, each with
// its separator; the empty block after a final line break is no paragraph.
std::vector<editortext::Paragraph> readParagraphs(const QTextDocument& document)
{
    std::vector<editortext::Paragraph> paragraphs;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const bool hasSeparator = block.next().isValid();
        if (!hasSeparator && block.length() == 1 && block.position() > 0)
            break;
        paragraphs.push_back({readParagraph(block, hasSeparator), block.position()});
    }
    return paragraphs;
}

QString fontFamilyFor(const QString& name)
{
    if (name == TextFont::systemFamily() || !QFontDatabase::families().contains(name))
        return TextFont::systemFamily();
    return name;
}

} // namespace

BlockEditor::BlockEditor(std::shared_ptr<EditorStore> store, const QUuid& noteID, QWidget* parent, Clock clock)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_noteID(noteID)
    , m_clock(std::move(clock))
{
    m_history = new QUndoStack(this);
    m_history->setUndoLimit(100);
    m_textView = new BlockTextView(this);
    m_textView->editor = this;
    m_scrollHint = new ScrollOverflowHint(this);
    m_appearance = new DisplayAppearance(document());
    applyFrameMargins();

    connect(document(), &QTextDocument::contentsChange, this, &BlockEditor::onContentsChange);
    connect(m_textView, &QTextEdit::textChanged, this, &BlockEditor::onTextChanged);
    connect(m_textView, &QTextEdit::cursorPositionChanged, this, &BlockEditor::onSelectionChanged);
    const auto followScrolling = [this] {
        layoutTaskShelves();
        updateScrollHint();
        call(updateFormatBarPosition);
    };
    connect(m_textView->verticalScrollBar(), &QScrollBar::valueChanged, this, followScrolling);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, followScrolling);

    m_formatWork.setSingleShot(true);
    connect(&m_formatWork, &QTimer::timeout, this, [this] {
        if (m_formatWorkEndsTyping)
            m_formatSuppressed = false;
        call(presentFormatBar);
    });

    shelfHeight = [this](const QUuid& id, bool isTodo) { return ownShelfHeight(id, isTodo); };
    syncFileShelves = [this](bool reload) { ownSyncFileShelves(reload); };
    applyCompletion = [this] { ownApplyCompletion(); };
    scheduleFormatBar = [this] { ownScheduleFormatBar(); };
    presentFormatBar = [this] { ownPresentFormatBar(); };
    updateFormatBarPosition = [this] { ownUpdateFormatBarPosition(); };
    hideFormatBar = [this] { ownHideFormatBar(); };
    blockMenu = [this](const QUuid& id, QWidget* parent) { return menu(id, parent); };
    prefersReducedMotion = [] { return ReducedMotion().isPreferred(); };
    confirm = [this](const QString& message, const QString& informative, const QString& yes, const QString& no) {
        QMessageBox box(QMessageBox::Question, QString(), message, QMessageBox::NoButton, window());
        box.setInformativeText(informative);
        box.setWindowModality(Qt::ApplicationModal);
        QPushButton* confirming = box.addButton(yes, QMessageBox::AcceptRole);
        box.addButton(no, QMessageBox::RejectRole);
        box.setDefaultButton(confirming);
        box.exec();
        return box.clickedButton() == confirming;
    };
    openFile = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    render(false);
}

BlockEditor::BlockEditor(NoteStore& store, const QUuid& noteID, QWidget* parent)
    : BlockEditor(std::make_shared<NoteStoreBinding>(store), noteID, parent)
{
}

BlockEditor::~BlockEditor()
{
    // The text view goes with the widget tree; nothing it emits may reach us.
    disconnect(document(), nullptr, this, nullptr);
    disconnect(m_textView, nullptr, this, nullptr);
    // Nor may it call back: closing the window moves the focus out of the
    // text while the editor's members are already gone.
    m_textView->editor = nullptr;
    m_formatWork.stop();
}

QTextDocument* BlockEditor::document() const
{
    return m_textView->document();
}

void BlockEditor::call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

std::optional<Note> BlockEditor::currentNote() const
{
    if (dragPreviewNote)
        return dragPreviewNote;
    return m_store->note(m_noteID);
}

bool BlockEditor::hasMarkedText() const
{
    const QTextLayout* layout = m_textView->textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

std::optional<AppError> BlockEditor::save(const Note& note, bool immediate, bool notify)
{
    return m_store->update(note, immediate, notify);
}

void BlockEditor::recordHistory(const Note& note)
{
    for (const Block& block : note.blocks)
        m_historicalBlocks.insert_or_assign(block.id, block);
}

void BlockEditor::applyFrameMargins()
{
    document()->setDocumentMargin(0);
    QTextFrameFormat frame = document()->rootFrame()->frameFormat();
    frame.setLeftMargin(20);
    frame.setRightMargin(20);
    frame.setTopMargin(12);
    frame.setBottomMargin(12);
    document()->rootFrame()->setFrameFormat(frame);
}

// ---------------------------------------------------------------- rendering

void BlockEditor::render(bool force)
{
    const std::optional<Note> note = currentNote();
    if (!note)
        return;
    if (!force && m_rendered && *m_rendered == *note)
        return;
    if (hasMarkedText())
        return; // the next render or write-back brings the text up to date
    m_rendering = true;
    recordHistory(*note);
    const int caret = m_textView->textCursor().position();
    const QString textBefore = document()->toPlainText();
    const std::vector<TextRun> rangesBefore = m_ranges;

    editortext::RenderedText rendered = editortext::render(note->displayBlocks());
    textdoc::setContents(*document(), rendered.text);
    applyFrameMargins();
    m_ranges = std::move(rendered.ranges);
    installAttachmentImages(*note);
    applyParagraphLayout(*note);

    QTextCursor cursor(document());
    const int placed = editortext::caretAfterRender(rangesBefore, textBefore, caret, m_ranges, document()->toPlainText());
    cursor.setPosition(std::clamp(placed, 0, textLength(*document())));
    m_textView->setTextCursor(cursor);
    applyTypingFormat();
    m_rendered = note;
    m_shadow = textdoc::contents(*document());
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
}

void BlockEditor::installAttachmentImages(const Note& note)
{
    const double available = std::max(width() - 100.0, 120.0);
    for (const TextRun& run : m_ranges) {
        if (run.isRemarks)
            continue;
        const auto block = std::find_if(note.blocks.begin(), note.blocks.end(),
                                        [&](const Block& b) { return b.id == run.blockID; });
        if (block == note.blocks.end() || !blockKind::isAttachment(block->kind) || !block->attachment)
            continue;
        if (document()->characterAt(run.start) != editortext::attachmentCharacter)
            continue;
        const AttachmentThumbnail thumbnail = makeAttachmentThumbnail(
            m_store->attachmentPath(*block->attachment), block->kind == BlockKind::Image, available);
        const QUrl name(QStringLiteral("quorrin-attachment:") + editortext::idString(block->id));
        document()->addResource(QTextDocument::ImageResource, name, thumbnail.image);
        QTextImageFormat image;
        image.merge(charFormatAt(*document(), run.start));
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

void BlockEditor::applyTypingFormat()
{
    const Preferences preferences = m_store->preferences();
    const AttributedString defaults = preferences.defaultText.attributed();
    TextAttributes typing = defaults.isEmpty() ? TextAttributes{} : defaults.attributesAt(0);
    typing.font = TextFont{fontFamilyFor(preferences.fontName), preferences.fontSize > 0 ? preferences.fontSize : 14,
                           false, false};
    if (!typing.foreground)
        typing.foreground = TextColor::dynamicText();
    typing.paragraphStyle.reset();
    m_textView->setCurrentCharFormat(textdoc::charFormat(typing));
}

void BlockEditor::applyParagraphLayout(const Note& note, std::optional<QUuid> only)
{
    QTextDocument& doc = *document();
    std::map<QUuid, const Block*> blocks;
    for (const Block& block : note.blocks)
        blocks.try_emplace(block.id, &block);
    std::map<QUuid, bool> lastRunIsRemarks;
    for (const TextRun& run : m_ranges)
        lastRunIsRemarks[run.blockID] = run.isRemarks;

    const int length = textLength(doc);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (const TextRun& run : m_ranges) {
        if ((only && *only != run.blockID) || run.length <= 0 || run.end() > length)
            continue;
        const auto found = blocks.find(run.blockID);
        const Block* block = found == blocks.end() ? nullptr : found->second;
        const auto progress = revealProgress.find(run.blockID);
        for (QTextBlock paragraph = doc.findBlock(run.start); paragraph.isValid() && paragraph.position() < run.end();
             paragraph = paragraph.next()) {
            const int from = std::max(paragraph.position(), run.start);
            const int to = std::min(paragraph.position() + paragraph.length(), run.end());
            const QTextCharFormat first = charFormatAt(doc, from);
            editortext::ParagraphInput input;
            input.block = block;
            input.isRemarks = run.isRemarks;
            input.revealProgress = progress == revealProgress.end() ? 1.0 : progress->second;
            input.endsRun = to == run.end();
            input.isLastRunOfBlock = lastRunIsRemarks[run.blockID] == run.isRemarks;
            input.shelfHeight = shelfHeight ? shelfHeight(run.blockID, block && block->kind == BlockKind::Todo) : 0;
            input.current = textdoc::paragraphStyle(paragraph.blockFormat());
            // The paragraph's own record of its base wins over a character's.
            const QVariant storedBase = paragraph.blockFormat().hasProperty(textdoc::PresentationBase)
                ? paragraph.blockFormat().property(textdoc::PresentationBase)
                : first.property(textdoc::PresentationBase);
            if (const auto base = textdoc::fromVariant(storedBase)) {
                if (const auto* numbers = std::get_if<QList<double>>(&*base))
                    input.storedBase = *numbers;
            }
            const editortext::ParagraphLayout layout = editortext::layoutParagraph(input);

            QTextCharFormat marks;
            marks.setProperty(textdoc::PresentationIndent, layout.indent);
            marks.setProperty(textdoc::PresentationTail, layout.tail);
            marks.setProperty(textdoc::PresentationSpacing, layout.spacing);
            marks.setProperty(textdoc::PresentationBase, QVariant::fromValue(layout.base));
            if (input.current != layout.style || !samePresentation(paragraph.blockFormat(), marks)) {
                QTextBlockFormat format = textdoc::blockFormat(layout.style);
                addPresentation(format, marks);
                cursor.setPosition(paragraph.position());
                cursor.setBlockFormat(format);
            }
            const QTextCharFormat last = charFormatAt(doc, to - 1);
            const auto same = [&](const QTextCharFormat& format) {
                return format.property(textdoc::PresentationIndent) == marks.property(textdoc::PresentationIndent)
                    && format.property(textdoc::PresentationTail) == marks.property(textdoc::PresentationTail)
                    && format.property(textdoc::PresentationSpacing) == marks.property(textdoc::PresentationSpacing)
                    && format.property(textdoc::PresentationBase).value<QList<double>>() == layout.base;
            };
            bool uniform = same(first) && same(last);
            for (auto it = paragraph.begin(); uniform && !it.atEnd(); ++it)
                uniform = same(it.fragment().charFormat());
            if (!uniform) {
                cursor.setPosition(from);
                cursor.setPosition(to, QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(marks);
            }
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
    if (m_ranges.empty() || m_ranges.front().end() > textLength(*document())) {
        m_scrollHint->hide();
        return;
    }
    const double top = firstLineRect(m_ranges.front().start, m_ranges.front().length).top();
    const std::optional<Note> note = currentNote();
    m_scrollHint->setPaperColor(toQColor(noteColor::color(note ? note->color : NoteColor::Cream),
                                         SystemAppearance::of(palette())));
    m_scrollHint->update();
    const double visibleHeight = m_textView->viewport()->height();
    const double contentHeight = document()->documentLayout()->documentSize().height();
    const double offset = m_textView->verticalScrollBar()->value();
    const bool hidden = (note && note->isCollapsed) || visibleHeight <= 0 || contentHeight <= visibleHeight + 1
        || offset <= top + 1;
    m_scrollHint->setVisible(!hidden);
}

void BlockEditor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_textView->setGeometry(QWidget::rect());
    if (gutter) {
        gutter->setGeometry(m_textView->geometry());
        gutter->raise();
        gutter->update();
    }
    layoutTaskShelves();
    updateScrollHint();
    call(updateFormatBarPosition);
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

// ---------------------------------------------------------------- write-back

void BlockEditor::flush()
{
    if (dragPreviewNote || m_rendering || hasMarkedText())
        return;
    const std::optional<Note> note = currentNote();
    if (!note)
        return;
    m_rendering = true;
    const std::vector<editortext::Paragraph> paragraphs = readParagraphs(*document());
    editortext::WriteBack result = editortext::writeBack(*note, paragraphs, m_ranges, m_historicalBlocks, m_clock());
    markParagraphs(paragraphs, result.marks);
    m_ranges = std::move(result.ranges);
    applyParagraphLayout(result.note);
    recordHistory(result.note);
    if (!(result.note == *note))
        save(result.note, false, false);
    m_rendered = currentNote();
    m_shadow = textdoc::contents(*document());
    afterWrite();
    m_rendering = false;
    if (result.needsRender) {
        // Text typed beside an attachment now lives in a block of its own.
        QTimer::singleShot(0, this, [this] { render(true); });
    }
}

void BlockEditor::markParagraphs(const std::vector<editortext::Paragraph>& paragraphs,
                                 const std::vector<editortext::WriteBack::Mark>& marks)
{
    QTextDocument& doc = *document();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (std::size_t i = 0; i < paragraphs.size() && i < marks.size(); ++i) {
        const QString id = editortext::idString(marks[i].blockID);
        const auto needsFix = [&](const QTextCharFormat& format) {
            const QString role = format.property(textdoc::BlockRole).toString();
            return format.property(textdoc::BlockID).toString() != id
                || (marks[i].isRemarks ? role != editortext::remarksRole : format.hasProperty(textdoc::BlockRole));
        };
        const auto fix = [&](int from, int to, QTextCharFormat format) {
            format.setProperty(textdoc::BlockID, id);
            if (marks[i].isRemarks)
                format.setProperty(textdoc::BlockRole, editortext::remarksRole);
            else
                format.clearProperty(textdoc::BlockRole);
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        };
        const QTextBlock block = doc.findBlock(paragraphs[i].start);
        std::vector<std::pair<QTextFragment, QTextCharFormat>> wrong;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (needsFix(it.fragment().charFormat()))
                wrong.emplace_back(it.fragment(), it.fragment().charFormat());
        }
        for (const auto& [fragment, format] : wrong)
            fix(fragment.position(), fragment.position() + fragment.length(), format);
        const QTextBlock next = block.next();
        if (next.isValid() && needsFix(next.charFormat())) {
            const int separator = block.position() + block.length() - 1;
            fix(separator, separator + 1, next.charFormat());
        }
    }
    cursor.endEditBlock();
}

void BlockEditor::afterWrite()
{
    call(applyCompletion);
    if (gutter)
        gutter->update();
    if (syncFileShelves)
        syncFileShelves(false);
    call(onTitleChange);
}

void BlockEditor::onContentsChange(int position, int removed, int added)
{
    if (m_rendering)
        return;
    const int length = textLength(*document());
    // Qt may count the document's closing character in a report.
    const int overshoot = position + removed - m_shadow.length();
    if (overshoot > 0) {
        removed -= overshoot;
        added -= overshoot;
    }
    if (position < 0 || removed < 0 || added < 0 || m_shadow.length() - removed + added != length) {
        m_shadow = textdoc::contents(*document());
        return;
    }
    const AttributedString before = m_shadow.substring(position, removed);
    const AttributedString after = textdoc::read(*document(), position, added);
    m_shadow.replace(position, removed, after);
    const QString& was = before.string();
    const QString& now = after.string();
    if (was == now)
        return; // attributes only
    int prefix = 0;
    while (prefix < was.size() && prefix < now.size() && was[prefix] == now[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < was.size() - prefix && suffix < now.size() - prefix
           && was[was.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    const int at = position + prefix;
    const int removedLength = int(was.size()) - prefix - suffix;
    const int addedLength = int(now.size()) - prefix - suffix;
    if (!m_ranges.empty())
        m_ranges = editortext::adjustRanges(m_ranges, at, addedLength, addedLength - removedLength);
    if (gutter)
        gutter->update();
    m_charactersChanged = true;
    if (!m_applyingHistory) {
        m_history->push(new TextEditCommand(this, at, before.substring(prefix, removedLength),
                                            after.substring(prefix, addedLength)));
    }
}

void BlockEditor::onTextChanged()
{
    if (m_rendering || (!m_charactersChanged && !applyingFormat))
        return;
    m_charactersChanged = false;
    call(closeBlockMenu);
    flush();
    if (applyingFormat) {
        if (FormatPanel* panel = formatPanel())
            panel->refreshBar();
        call(presentFormatBar);
        return;
    }
    // Typing keeps the bar out of the way until a pause.
    m_formatWork.stop();
    m_formatSuppressed = true;
    if (FormatPanel* panel = formatPanel(); panel && panel->isExpanded())
        panel->hide();
    startFormatWork(formatbar::typingDelayMs, true);
}

void BlockEditor::onSelectionChanged()
{
    if (m_rendering)
        return;
    if (gutter)
        gutter->update();
    if (!m_formatSuppressed)
        call(scheduleFormatBar);
}

// ---------------------------------------------------------------- changes

ChangeResult BlockEditor::change(const QString& actionName, const Mutation& mutation)
{
    if (hasMarkedText()) {
        QApplication::beep();
        return ChangeResult::Refused;
    }
    flush();
    const std::optional<Note> old = currentNote();
    if (!old)
        return ChangeResult::Refused;
    Note changed = *old;
    mutation(changed);
    changed.completeRepeatingTransitions(*old, m_clock(), Calendar::current());
    if (changed == *old)
        return ChangeResult::Unchanged;
    if (save(changed, true, true)) {
        // Put the previous note back in memory; the store has reported the error.
        save(*old, false, false);
        render(true);
        return ChangeResult::SaveFailed;
    }
    m_history->push(new NoteChangeCommand(this, *old, actionName));
    render(true);
    call(onTitleChange);
    return ChangeResult::Applied;
}

bool BlockEditor::restore(Note& snapshot)
{
    m_textView->unmarkText();
    call(finishTaskReveal);
    const std::optional<Note> current = currentNote();
    if (!current)
        return false;
    // Window placement, layer, visibility and file links are never undone.
    Note restored = snapshot;
    restored.alwaysOnTop = current->alwaysOnTop;
    restored.isHidden = current->isHidden;
    restored.frame = current->frame;
    restored.docking = current->docking;
    restored.fileLinks = current->fileLinks;
    if (save(restored, true, true)) {
        save(*current, false, false);
        render(true);
        return false;
    }
    snapshot = *current;
    render(true);
    call(onTitleChange);
    return true;
}

bool BlockEditor::replaceText(int position, const QString& expected, const AttributedString& replacement)
{
    m_textView->unmarkText();
    if (m_rendering || hasMarkedText())
        return false;
    QTextDocument& doc = *document();
    if (position < 0 || position + expected.size() > textLength(doc)
        || textdoc::plainText(doc, position, int(expected.size())) != expected)
        return false;
    m_applyingHistory = true;
    QTextCursor cursor(&doc);
    cursor.setPosition(position);
    cursor.setPosition(position + int(expected.size()), QTextCursor::KeepAnchor);
    textdoc::insert(cursor, replacement);
    m_applyingHistory = false;
    m_textView->setTextCursor(cursor);
    return true;
}

// ---------------------------------------------------------------- block commands

std::optional<Block> BlockEditor::findBlock(const QUuid& id) const
{
    const std::optional<Note> note = currentNote();
    if (!note)
        return std::nullopt;
    const auto found = std::find_if(note->blocks.begin(), note->blocks.end(), [&](const Block& b) { return b.id == id; });
    return found == note->blocks.end() ? std::nullopt : std::optional<Block>(*found);
}

ChangeResult BlockEditor::convert(const QUuid& blockID, BlockKind kind)
{
    call(finishTaskReveal);
    if (kind == BlockKind::Todo && startTaskReveal) {
        const std::optional<Block> block = findBlock(blockID);
        const bool alreadyTodo = block && block->kind == BlockKind::Todo;
        if (!alreadyTodo && m_store->preferences().animations && !(prefersReducedMotion && prefersReducedMotion()))
            revealProgress[blockID] = 0; // the todo starts without indent and grows into it
    }
    const double bodySize = m_store->preferences().fontSize > 0 ? m_store->preferences().fontSize : 14;
    const ChangeResult result = change(blockcommands::actionName::convert, [&](Note& note) {
        blockcommands::convert(note, blockID, kind, bodySize, m_clock);
    });
    if (revealProgress.count(blockID)) {
        if (result == ChangeResult::Applied && startTaskReveal)
            startTaskReveal(blockID);
        else
            revealProgress.erase(blockID);
    }
    return result;
}

ChangeResult BlockEditor::insert(const QUuid& nearBlockID, bool above)
{
    const Block added = blockcommands::emptyParagraph(m_clock());
    const ChangeResult result = change(blockcommands::actionName::insert, [&](Note& note) {
        blockcommands::insertNear(note, nearBlockID, above, added);
    });
    if (result == ChangeResult::Applied)
        focus(added.id, false);
    return result;
}

std::optional<QUuid> BlockEditor::addTodo()
{
    if (hasMarkedText()) {
        QApplication::beep();
        return std::nullopt;
    }
    const std::optional<QUuid> current = currentBlock();
    if (current) {
        const std::optional<Block> block = findBlock(*current);
        if (block && blockcommands::isEmptyParagraph(*block)) {
            // An empty line at the caret becomes the todo.
            convert(*current, BlockKind::Todo);
            focus(*current, false);
            return current;
        }
    }
    std::optional<QUuid> added;
    change(blockcommands::actionName::addTodo,
           [&](Note& note) { added = blockcommands::addTodo(note, current, m_clock()); });
    if (added)
        focus(*added, false);
    return added;
}

ChangeResult BlockEditor::acknowledgeAlarm(const QUuid& blockID)
{
    if (!alarmCenter)
        return ChangeResult::Refused;
    const auto alarms = alarmCenter();
    if (std::find(alarms.begin(), alarms.end(), std::pair{m_noteID, blockID}) == alarms.end())
        return ChangeResult::Refused;
    const std::optional<Block> block = findBlock(blockID);
    if (!block || !block->todo || !block->todo->reminder)
        return ChangeResult::Refused;
    const std::optional<TodoReminder> replacement
        = blockcommands::afterRinging(*block->todo->reminder, m_clock(), Calendar::current());
    const ChangeResult result = change(blockcommands::actionName::endReminder, [&](Note& note) {
        blockcommands::setReminder(note, blockID, replacement);
    });
    if (result == ChangeResult::Applied || result == ChangeResult::Unchanged) {
        if (acknowledgeInAlarmCenter)
            acknowledgeInAlarmCenter(m_noteID, blockID);
        if (gutter)
            gutter->update();
    }
    return result;
}

QMenu* BlockEditor::menu(const QUuid& blockID, QWidget* parent)
{
    selectedBlock = blockID;
    const std::optional<Block> block = findBlock(blockID);
    auto* menu = new QMenu(parent);
    for (const blockcommands::MenuItem& item : blockcommands::menuItems(block ? &*block : nullptr)) {
        if (item.isSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.title);
        action->setData(item.argument);
        connect(action, &QAction::triggered, this, [this, action, kind = *item.action] {
            using blockcommands::MenuAction;
            switch (kind) {
            case MenuAction::EditReminder: editReminder(); break;
            case MenuAction::Convert: menuConvert(action->data()); break;
            case MenuAction::Insert: menuInsert(action->data()); break;
            case MenuAction::Duplicate: duplicateBlock(); break;
            case MenuAction::MoveUp: moveBlockUp(); break;
            case MenuAction::MoveDown: moveBlockDown(); break;
            case MenuAction::StopRepeating: stopRepeating(); break;
            case MenuAction::Delete: deleteBlock(); break;
            case MenuAction::OpenAttachment: openAttachment(); break;
            case MenuAction::PreviewAttachment: previewAttachment(); break;
            }
        });
    }
    return menu;
}

void BlockEditor::editReminder()
{
    if (!selectedBlock)
        return;
    flush(); // the reminder editor reads the block as typed
    if (onReminder)
        onReminder(*selectedBlock);
}

void BlockEditor::menuConvert(const QVariant& kindRawValue)
{
    if (!selectedBlock || kindRawValue.typeId() != QMetaType::QString)
        return;
    if (const auto kind = blockKind::fromRawValue(kindRawValue.toString()))
        convert(*selectedBlock, *kind);
}

void BlockEditor::menuInsert(const QVariant& above)
{
    if (selectedBlock)
        insert(*selectedBlock, above.typeId() == QMetaType::Bool && above.toBool());
}

void BlockEditor::duplicateBlock()
{
    if (!selectedBlock)
        return;
    change(blockcommands::actionName::duplicate,
           [&](Note& note) { blockcommands::duplicate(note, *selectedBlock, m_clock()); });
}

void BlockEditor::deleteBlock()
{
    if (!selectedBlock)
        return;
    change(blockcommands::actionName::remove,
           [&](Note& note) { blockcommands::remove(note, *selectedBlock, m_clock()); });
}

ChangeResult BlockEditor::moveSelected(int offset)
{
    if (!selectedBlock)
        return ChangeResult::Refused;
    return change(blockcommands::actionName::move,
                  [&](Note& note) { blockcommands::move(note, *selectedBlock, offset); });
}

void BlockEditor::moveBlockUp()
{
    moveSelected(-1);
}

void BlockEditor::moveBlockDown()
{
    moveSelected(+1);
}

void BlockEditor::stopRepeating()
{
    if (!selectedBlock)
        return;
    const QUuid id = *selectedBlock;
    if (!confirm || !confirm(QStringLiteral("归档当前待办并停止重复？"), QStringLiteral("归档保留内容，不会生成下一实例。"),
                             QStringLiteral("归档并停止"), QStringLiteral("取消")))
        return;
    change(blockcommands::actionName::stopRepeating,
           [&](Note& note) { blockcommands::archiveAndStopRepeating(note, id, m_clock()); });
}

void BlockEditor::openAttachment()
{
    const std::optional<Block> block = selectedBlock ? findBlock(*selectedBlock) : std::nullopt;
    if (block && block->attachment && openFile)
        openFile(m_store->attachmentPath(*block->attachment));
}

void BlockEditor::previewAttachment()
{
    const std::optional<Block> block = selectedBlock ? findBlock(*selectedBlock) : std::nullopt;
    if (block && block->attachment && showAttachmentPanel)
        showAttachmentPanel(*block->attachment);
}

void BlockEditor::focus(const QUuid& blockID, bool remarks)
{
    const auto entry = std::find_if(m_ranges.begin(), m_ranges.end(), [&](const TextRun& run) {
        return run.blockID == blockID && run.isRemarks == remarks;
    });
    if (entry == m_ranges.end())
        return;
    QTextCursor cursor(document());
    cursor.setPosition(std::min(entry->end(), textLength(*document())));
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
    cursor.setPosition(entry->start);
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
    if (window())
        m_textView->setFocus(Qt::OtherFocusReason);
    call(scheduleFormatBar);
}

std::optional<QUuid> BlockEditor::currentBlock() const
{
    const int position = m_textView->textCursor().position();
    if (const auto id = editortext::runAt(m_ranges, position, textLength(*document())))
        return id;
    const std::optional<Note> note = currentNote();
    if (!note)
        return std::nullopt;
    const std::vector<Block> shown = note->displayBlocks();
    if (shown.empty())
        return std::nullopt;
    return shown.back().id;
}

void BlockEditor::importFiles(const QStringList& paths)
{
    std::vector<Block> collected;
    try {
        for (const QString& path : paths) {
            const QString extension = QFileInfo(path).suffix().toLower();
            const bool document = extension == QLatin1String("txt") || extension == QLatin1String("rtf")
                || extension == QLatin1String("rtfd");
            if (document && importDocument) {
                importDocument(path);
            } else if (!document && (extension == QLatin1String("pdf") || QImageReader(path).canRead())) {
                const Attachment attachment = m_store->importAttachment(path);
                Block block = blockcommands::emptyParagraph(m_clock());
                block.kind = attachment.contentType == QLatin1String("pdf") ? BlockKind::Pdf : BlockKind::Image;
                block.attachment = attachment;
                collected.push_back(std::move(block));
            } else if (stageFiles) {
                stageFiles(QStringList{path});
            } else {
                throw AppError(unsupportedFileMessage);
            }
        }
    } catch (const AppError& error) {
        m_store->report(error);
        return;
    }
    const std::optional<QUuid> anchor = currentBlock();
    change(QStringLiteral("插入附件"), [&](Note& note) {
        auto at = anchor ? std::find_if(note.blocks.begin(), note.blocks.end(),
                                        [&](const Block& b) { return b.id == *anchor; })
                         : note.blocks.end();
        if (at != note.blocks.end())
            ++at;
        note.blocks.insert(at, collected.begin(), collected.end());
    });
}

void BlockEditor::refreshAlarmVisuals()
{
    bool ringing = false;
    if (alarmCenter) {
        for (const auto& [note, block] : alarmCenter())
            ringing = ringing || note == m_noteID;
    }
    if (ringing)
        call(startAlarmPulse);
    else
        m_alarmPulse = 1;
    if (gutter)
        gutter->update();
}

// ---------------------------------------------------------------- geometry

QRectF BlockEditor::rect(int start, int length) const
{
    QTextDocument& doc = *document();
    doc.documentLayout()->documentSize(); // lays the text out
    const int end = start + std::max(length, 0);
    QRectF result;
    for (QTextBlock block = doc.findBlock(start); block.isValid(); block = block.next()) {
        if (block.position() > end || (block.position() == end && length > 0))
            break;
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
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
    doc.documentLayout()->documentSize(); // lays the text out
    if (start < 0 || start >= textLength(doc))
        return rect(start, length);
    const QTextBlock block = doc.findBlock(start);
    if (!block.isValid() || !block.layout())
        return {};
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(std::max(start - block.position(), 0));
    if (!line.isValid())
        return rect(start, length);
    return line.rect().translated(layout->position());
}

std::optional<QUuid> BlockEditor::block(double y) const
{
    document()->documentLayout()->documentSize();
    for (const TextRun& run : m_ranges) {
        if (run.isRemarks)
            continue;
        QRectF row = rect(run.start, run.length);
        row.setHeight(std::max(row.height(), 20.0));
        if (row.top() <= y && y <= row.bottom() + 7)
            return run.blockID;
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
    const QString family = fontFamilyFor(preferences.fontName);
    QFont font(family == TextFont::systemFamily() ? QApplication::font().family() : family);
    font.setPointSizeF(preferences.fontSize > 0 ? preferences.fontSize : 14);
    const QFontMetricsF metrics(font);
    const double lineHeight = std::ceil(metrics.ascent() + metrics.descent() + metrics.leading()) + 6;
    const int count = std::clamp(int(std::floor((point.y() - bottom - 6) / lineHeight)) + 1, 1, maximumWritableLines);

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
    const std::optional<Note> note = currentNote();
    if (!id || !note)
        return false;
    const auto found = std::find_if(note->blocks.begin(), note->blocks.end(), [&](const Block& b) { return b.id == *id; });
    return found != note->blocks.end() && blockKind::isAttachment(found->kind);
}

// ---------------------------------------------------------------- todo shelves

QPointF BlockEditor::scrollOffset() const
{
    return QPointF(m_textView->horizontalScrollBar()->value(), m_textView->verticalScrollBar()->value());
}

double BlockEditor::ownShelfHeight(const QUuid& blockID, bool isTodo) const
{
    if (!isTodo || !fileShelfModel)
        return 0;
    return taskshelf::gap(fileShelfModel->fileCount(blockID), showsTaskDropTargets);
}

void BlockEditor::ownSyncFileShelves(bool reload)
{
    const std::optional<Note> note = currentNote();
    if (!note || !fileShelfModel)
        return;
    TaskShelfSource* model = fileShelfModel;
    const std::vector<QUuid> wanted = taskshelf::wanted(
        note->displayBlocks(), [model](const QUuid& id) { return model->fileCount(id); }, showsTaskDropTargets);

    for (auto it = m_taskShelfViews.begin(); it != m_taskShelfViews.end();) {
        if (std::find(wanted.begin(), wanted.end(), it->first) == wanted.end() || !it->second) {
            delete it->second.data();
            it = m_taskShelfViews.erase(it);
        } else {
            ++it;
        }
    }
    const std::weak_ptr<EditorStore> store = m_store;
    for (const QUuid& id : wanted) {
        QPointer<TaskShelfView>& view = m_taskShelfViews[id];
        if (!view) {
            view = model->makeShelfView(id, m_textView->viewport());
            if (!view) {
                m_taskShelfViews.erase(id);
                continue;
            }
            view->onError = [store](const AppError& error) {
                if (const auto alive = store.lock())
                    alive->report(error);
            };
            view->raise();
            view->show();
        }
        if (reload || view->showsDropTarget() != showsTaskDropTargets) {
            view->setShowsDropTarget(showsTaskDropTargets);
            view->reload();
        }
    }
    applyParagraphLayout(*note);
    layoutTaskShelves();
    updateGeometry();
}

void BlockEditor::layoutTaskShelves()
{
    const QPointF offset = scrollOffset();
    const double width = m_textView->viewport()->width();
    for (const auto& [id, view] : m_taskShelfViews) {
        if (!view)
            continue;
        const auto last = std::find_if(m_ranges.rbegin(), m_ranges.rend(),
                                       [&](const TextRun& run) { return run.blockID == id; });
        if (last == m_ranges.rend())
            continue;
        const int files = fileShelfModel ? fileShelfModel->fileCount(id) : 0;
        const QRectF frame = taskshelf::frame(rect(last->start, last->length), width,
                                              taskshelf::viewHeight(files, view->showsDropTarget()));
        view->setGeometry(frame.translated(-offset).toRect());
    }
}

// ---------------------------------------------------------------- display-only appearance

void BlockEditor::ownApplyCompletion()
{
    const std::optional<Note> note = currentNote();
    m_appearance->update(note ? appearance::completedTodos(*note) : std::set<QUuid>{},
                         SystemAppearance::of(palette()) == Appearance::Dark);
}

// ---------------------------------------------------------------- format bar

void BlockEditor::setFormatPanel(FormatPanel* panel, QObject* lifetime)
{
    m_formatPanel = panel && lifetime ? panel : nullptr;
    m_formatPanelLifetime = m_formatPanel ? lifetime : nullptr;
}

FormatPanel* BlockEditor::formatPanel() const
{
    return m_formatPanelLifetime ? m_formatPanel : nullptr;
}

formatbar::Conditions BlockEditor::formatBarConditions() const
{
    const std::optional<Note> note = currentNote();
    const QWidget* noteWindow = window();
    formatbar::Conditions c;
    c.hasPanel = formatPanel() != nullptr;
    c.windowActive = noteWindow && noteWindow->isActiveWindow();
    c.noteCollapsed = note && note->isCollapsed;
    c.windowVisible = noteWindow && noteWindow->isVisible();
    c.textFocused = m_textView->hasFocus();
    c.markedText = hasMarkedText();
    c.selectionEmpty = !m_textView->textCursor().hasSelection();
    return c;
}

void BlockEditor::startFormatWork(int delayMs, bool endsTyping)
{
    m_formatWorkEndsTyping = endsTyping;
    m_formatWork.start(delayMs);
}

void BlockEditor::ownScheduleFormatBar()
{
    if (m_formatSuppressed)
        return;
    m_formatWork.stop();
    switch (formatbar::schedule(formatBarConditions())) {
    case formatbar::Scheduling::Now:
        startFormatWork(0, false);
        break;
    case formatbar::Scheduling::AfterDelay:
        startFormatWork(formatbar::caretDelayMs, false);
        break;
    case formatbar::Scheduling::Hide:
        if (FormatPanel* panel = formatPanel())
            panel->hide();
        break;
    }
}

void BlockEditor::ownPresentFormatBar()
{
    FormatPanel* panel = formatPanel();
    if (!panel)
        return;
    const std::optional<QRectF> anchor = formatAnchorScreenRect();
    if (formatbar::present(formatBarConditions(), anchor.has_value()))
        panel->show(*anchor, *window());
    else
        panel->hide();
}

void BlockEditor::ownUpdateFormatBarPosition()
{
    FormatPanel* panel = formatPanel();
    if (!panel)
        return;
    const std::optional<QRectF> anchor = formatAnchorScreenRect();
    if (formatbar::reposition(formatBarConditions(), anchor.has_value()))
        panel->show(*anchor, *window());
    else
        panel->hide();
}

void BlockEditor::ownHideFormatBar()
{
    m_formatWork.stop();
    if (FormatPanel* panel = formatPanel())
        panel->hide();
    m_formatSuppressed = false;
}

TextAttributes BlockEditor::formatAttributes() const
{
    const QTextCursor cursor = m_textView->textCursor();
    const int length = textLength(*document());
    if (cursor.hasSelection() && cursor.selectionEnd() <= length)
        return textdoc::read(*document(), cursor.selectionStart(), 1).attributesAt(0);
    return textdoc::attributes(m_textView->currentCharFormat(), {});
}

TextFont BlockEditor::formatFont() const
{
    if (const auto font = formatAttributes().font)
        return *font;
    const Preferences preferences = m_store->preferences();
    return TextFont{fontFamilyFor(preferences.fontName), preferences.fontSize > 0 ? preferences.fontSize : 14, false,
                    false};
}

std::optional<QRectF> BlockEditor::formatAnchorScreenRect() const
{
    if (!window())
        return std::nullopt;
    QTextCursor caret = m_textView->textCursor();
    caret.setPosition(std::min(caret.position(), textLength(*document())));
    const QRect inViewport = m_textView->cursorRect(caret);
    if (!inViewport.intersects(m_textView->viewport()->rect()))
        return std::nullopt;
    return QRectF(QRect(m_textView->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size()));
}

} // namespace quorrin

namespace quorrin {

// ---------------------------------------------------------------- body formatting

NoteTheme BlockEditor::noteTheme() const
{
    const std::optional<Note> note = currentNote();
    return note ? noteColor::theme(note->color) : NoteTheme::neutral();
}

TextFormat BlockEditor::currentTextFormat() const
{
    return textformat::formatOf(formatAttributes(), formatFont());
}

bool BlockEditor::applyToSelection(const QString& actionName, const std::function<void(AttributedString&)>& transform)
{
    if (hasMarkedText()) {
        QApplication::beep();
        return false;
    }
    const QTextCursor selection = m_textView->textCursor();
    const int start = selection.selectionStart();
    const int length = selection.selectionEnd() - start;
    if (length < 1 || start + length > textLength(*document()) || m_textView->isReadOnly())
        return false;
    const AttributedString saved = textdoc::read(*document(), start, length);
    AttributedString formatted = saved;
    transform(formatted);

    applyingFormat = true;
    const auto done = qScopeGuard([this] { applyingFormat = false; });
    if (!replaceText(start, saved.string(), formatted))
        return false;
    m_history->push(new TextFormatCommand(this, start, saved, formatted, actionName));
    if (m_charactersChanged || !m_rendered || !(*m_rendered == currentNote()))
        flush();

    QTextCursor reselected(document());
    reselected.setPosition(start);
    reselected.setPosition(start + length, QTextCursor::KeepAnchor);
    m_textView->setTextCursor(reselected);
    if (!m_textView->hasFocus())
        m_textView->setFocus(Qt::OtherFocusReason);
    if (FormatPanel* panel = formatPanel())
        panel->refreshBar();
    call(updateFormatBarPosition);
    return true;
}

void BlockEditor::applyToTyping(const std::function<void(TextAttributes&)>& change)
{
    if (hasMarkedText()) {
        QApplication::beep();
        return;
    }
    TextAttributes typing = textdoc::attributes(m_textView->currentCharFormat(), {});
    change(typing);
    m_textView->setCurrentCharFormat(textdoc::charFormat(typing));
    if (!m_textView->hasFocus())
        m_textView->setFocus(Qt::OtherFocusReason);
    if (FormatPanel* panel = formatPanel())
        panel->refreshBar();
}

void BlockEditor::toggleTrait(textformat::FontTrait trait, const QString& actionName)
{
    const TextFont base = formatFont();
    // The first selected character decides for the whole selection.
    const bool on = !textformat::hasTrait(base, trait);
    if (!m_textView->textCursor().hasSelection()) {
        applyToTyping([&](TextAttributes& typing) { typing.font = textformat::withTrait(base, trait, on); });
        return;
    }
    applyToSelection(actionName, [&](AttributedString& text) { textformat::setTrait(text, trait, on, base); });
}

void BlockEditor::toggleBold()
{
    toggleTrait(textformat::FontTrait::Bold, textformat::actionName::bold);
}

// Every family has an italic face here: the text system slants the upright
// face of a family that has none, so italic never needs a separate slant.
void BlockEditor::toggleItalic()
{
    toggleTrait(textformat::FontTrait::Italic, textformat::actionName::italic);
}

void BlockEditor::toggleUnderline()
{
    const int style = currentTextFormat().underline ? 0 : 1;
    if (!m_textView->textCursor().hasSelection())
        applyToTyping([&](TextAttributes& typing) { typing.underlineStyle = style; });
    else
        applyToSelection(textformat::actionName::underline,
                         [&](AttributedString& text) { textformat::setUnderline(text, style); });
}

void BlockEditor::toggleStrikethroughFormat()
{
    const int style = currentTextFormat().strikethrough ? 0 : 1;
    if (!m_textView->textCursor().hasSelection())
        applyToTyping([&](TextAttributes& typing) { typing.strikethroughStyle = style; });
    else
        applyToSelection(textformat::actionName::strikethrough,
                         [&](AttributedString& text) { textformat::setStrikethrough(text, style); });
}

void BlockEditor::adjustFontSize(double delta)
{
    const TextFont base = formatFont();
    const std::optional<double> size = textformat::steppedSize(base.pointSize, delta);
    if (!size)
        return;
    if (!m_textView->textCursor().hasSelection()) {
        applyToTyping([&](TextAttributes& typing) {
            TextFont font = base;
            font.pointSize = *size;
            typing.font = font;
        });
        return;
    }
    applyToSelection(textformat::actionName::fontSize,
                     [&](AttributedString& text) { textformat::setSize(text, *size, base); });
}

void BlockEditor::setTextColor(const TextColor& color)
{
    if (!m_textView->textCursor().hasSelection())
        applyToTyping([&](TextAttributes& typing) { typing.foreground = color; });
    else
        applyToSelection(textformat::actionName::textColor,
                         [&](AttributedString& text) { textformat::setColor(text, color); });
}

} // namespace quorrin
