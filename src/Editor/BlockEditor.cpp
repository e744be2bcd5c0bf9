#include "Editor/BlockEditor.h"

#include "Editor/BlockMenuPanel.h"

#include "Editor/BlockGutter.h"
#include "Editor/BlockCommands.h"
#include "Editor/BlockMenu.h"
#include "Editor/EditorDocument.h"
#include "Editor/BlockTextView.h"
#include "Editor/DisplayAppearance.h"
#include "Editor/DocumentMirror.h"
#include "Editor/EditorAnimations.h"
#include "Editor/EditorHistory.h"
#include "Editor/ScrollOverflowHint.h"
#include "Editor/TextDocumentConversion.h"
#include "Editor/NoteStoreBinding.h"
#include "Persistence/NoteStore.h"

#include <QAbstractTextDocumentLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include "Platform/DesktopOpener.h"
#include "Platform/DialogPlacement.h"
#include "Platform/ReducedMotion.h"
#include <QApplication>
#include "Widgets/OverlayScroller.h"
#include "Editor/LinkDetection.h"

#include <QFileInfo>
#include <QImageReader>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>

namespace quorrin {
namespace {

const QString unsupportedFileMessage = QStringLiteral("请将文件拖至文件暂存区。");

// Whether a file's extension names a picture format we read.
bool isImageName(const QString& extension)
{
    return !extension.isEmpty() && QImageReader::supportedImageFormats().contains(extension.toLatin1());
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
    m_scroller = new OverlayScroller(m_textView);
    m_appearance = new DisplayAppearance(document());
    m_mirror = std::make_unique<DocumentMirror>(*document());
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

    m_markingWork.setSingleShot(true);
    connect(&m_markingWork, &QTimer::timeout, this, &BlockEditor::markLeftParagraphs);
    m_showingWork.setSingleShot(true);
    connect(&m_showingWork, &QTimer::timeout, this, [this] {
        showNextPart();
        // What was typed while the parts came is written back after the last.
        if (m_leftToShow.isEmpty() && m_editedSinceWriteBack)
            flush();
    });
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
    closeBlockMenu = [this] { ownCloseBlockMenu(); };
    prefersReducedMotion = [] { return ReducedMotion().isPreferred(); };
    m_animations = new EditorAnimations(*this);
    confirm = [this](const QString& message, const QString& informative, const QString& yes, const QString& no) {
        QMessageBox box(QMessageBox::Question, QString(), message, QMessageBox::NoButton, window());
        placeInFrontOfNotes(box, window());
        box.setInformativeText(informative);
        box.setWindowModality(Qt::ApplicationModal);
        QPushButton* confirming = box.addButton(yes, QMessageBox::AcceptRole);
        box.addButton(no, QMessageBox::RejectRole);
        box.setDefaultButton(confirming);
        box.exec();
        return box.clickedButton() == confirming;
    };
    // A stored attachment is opened only when it is an image or a PDF;
    // anything else is shown in the file manager, never run. What the
    // desktop could not open is told, however late its answer comes.
    const auto reportFailure = [self = QPointer<BlockEditor>(this)](const QString& message) {
        if (self)
            self->m_store->report(AppError(message));
    };
    openFile = [reportFailure](const QString& path) { openOrReveal(path, reportFailure); };
    openLink = [reportFailure](const QUrl& url) {
        if (links::isOpenable(url))
            openWithDesktop(url, reportFailure);
    };
    gutter = new BlockGutter(*this);
    render(false);
}

BlockEditor::BlockEditor(NoteStore& store, const QUuid& noteID, QWidget* parent)
    : BlockEditor(std::make_shared<NoteStoreBinding>(store), noteID, parent)
{
}

BlockEditor::~BlockEditor()
{
    m_animations->stop();
    delete m_blockMenuPanel;
    // The gutter watches the text view's events, which go on while the view
    // is destroyed with the widget tree, when it is a view no longer.
    qDeleteAll(findChildren<BlockGutter*>(Qt::FindDirectChildrenOnly));
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
    const Note* note = shownNote();
    return note ? std::optional<Note>(*note) : std::nullopt;
}

const Note* BlockEditor::shownNote() const
{
    if (dragPreviewNote)
        return &*dragPreviewNote;
    return m_store->findNote(m_noteID);
}

bool BlockEditor::hasMarkedText() const
{
    const QTextLayout* layout = m_textView->textCursor().block().layout();
    return layout && !layout->preeditAreaText().isEmpty();
}

std::optional<AppError> BlockEditor::save(Note note, bool immediate, bool notify)
{
    return m_store->update(std::move(note), immediate, notify);
}

void BlockEditor::recordHistory(const Note& note)
{
    m_historicalBlocks.record(note.blocks);
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

// ---------------------------------------------------------------- changes

ChangeResult BlockEditor::change(const QString& actionName, const Mutation& mutation)
{
    if (hasMarkedText()) {
        QApplication::beep();
        return ChangeResult::Refused;
    }
    flush();
    // A drag preview only shows where a block would land: a change made
    // meanwhile applies to the stored note, never to the placeholder line.
    const std::optional<Note> old = storedNote();
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

bool BlockEditor::undo()
{
    return stepHistory(&QUndoStack::undo);
}

bool BlockEditor::redo()
{
    return stepHistory(&QUndoStack::redo);
}

bool BlockEditor::stepHistory(void (QUndoStack::*step)())
{
    if (hasMarkedText()) {
        QApplication::beep();
        return false;
    }
    showWholeText(); // a step may reach anywhere in the text
    (m_history->*step)();
    return true;
}

bool BlockEditor::restore(Note& snapshot)
{
    m_textView->unmarkText();
    call(finishTaskReveal);
    const std::optional<Note> current = storedNote();
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

std::optional<AttributedString> BlockEditor::replaceText(int position, const QString& expected,
                                                         const AttributedString& replacement, bool keepSelection,
                                                         int caretBeforeEnd)
{
    // Committing a composition here would record it as typing in the middle
    // of the replacement, which then overwrites it.
    if (hasMarkedText()) {
        QApplication::beep();
        return std::nullopt;
    }
    if (m_rendering || position < 0)
        return std::nullopt;
    const QTextCursor before = m_textView->textCursor();
    QTextDocument& doc = *document();
    const std::optional<editortext::TextSpan> span
        = editortext::storedSpan(m_mirror->text().string(), position, expected);
    if (!span || span->end > editordoc::textLength(doc))
        return std::nullopt;
    AttributedString replaced = textdoc::read(doc, span->start, span->end - span->start);
    m_applyingHistory = true;
    QTextCursor cursor(&doc);
    cursor.setPosition(span->start);
    cursor.setPosition(span->end, QTextCursor::KeepAnchor);
    // One change for the text to report: a write-back between its parts
    // would mark the lines being put back with the ids of their neighbours.
    cursor.beginEditBlock();
    textdoc::insert(cursor, replacement);
    cursor.endEditBlock();
    m_applyingHistory = false;
    if (keepSelection) {
        const int length = editordoc::textLength(doc);
        QTextCursor kept(&doc);
        kept.setPosition(std::min(before.anchor(), length));
        kept.setPosition(std::min(before.position(), length), QTextCursor::KeepAnchor);
        m_textView->setTextCursor(kept);
    } else {
        cursor.setPosition(std::max(cursor.position() - caretBeforeEnd, span->start));
        m_textView->setTextCursor(cursor);
    }
    return replaced;
}

// ---------------------------------------------------------------- block commands

std::optional<Block> BlockEditor::findBlock(const QUuid& id) const
{
    const Note* note = shownNote();
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
    return blockmenu::build(*this, findBlock(blockID), parent);
}

BlockMenuPanel* BlockEditor::openBlockMenu(const QUuid& blockID, const QRectF& rect, QWidget& view, bool takeFocus)
{
    call(closeBlockMenu);
    ownCloseBlockMenu();
    auto* panel = new BlockMenuPanel(*this, blockID);
    m_blockMenuPanel = panel;
    // The panel goes once it is dismissed, after the event that closed it.
    const QPointer<BlockEditor> self(this);
    panel->onDismiss = [self, panel] {
        if (self && self->m_blockMenuPanel == panel)
            self->m_blockMenuPanel = nullptr;
        panel->deleteLater();
    };
    panel->show(rect, view, takeFocus);
    return panel;
}

BlockMenuPanel* BlockEditor::openBlockMenuAtCaret()
{
    const std::optional<QUuid> id = currentBlock();
    if (!id || !findBlock(*id))
        return nullptr;
    const QRect caret = m_textView->cursorRect();
    return openBlockMenu(*id, QRectF(caret), *m_textView->viewport(), true);
}

void BlockEditor::ownCloseBlockMenu()
{
    if (BlockMenuPanel* panel = m_blockMenuPanel) {
        m_blockMenuPanel = nullptr;
        panel->dismiss();
    }
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
    const auto runOf = [&] {
        return std::find_if(m_ranges.begin(), m_ranges.end(), [&](const TextRun& run) {
            return run.blockID == blockID && run.isRemarks == remarks;
        });
    };
    auto entry = runOf();
    if (entry == m_ranges.end() && isShowingInParts()) {
        showWholeText(); // a block further down than shown so far
        entry = runOf();
    }
    if (entry == m_ranges.end())
        return;
    QTextCursor cursor(document());
    cursor.setPosition(std::min(entry->end(), editordoc::textLength(*document())));
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
    cursor.setPosition(entry->start);
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
    if (window())
        m_textView->setFocus(Qt::OtherFocusReason);
    call(scheduleFormatBar);
}

std::optional<int> BlockEditor::newLineBelowRemarks() const
{
    const QTextCursor caret = m_textView->textCursor();
    if (caret.hasSelection())
        return std::nullopt;
    const QString& text = m_mirror->text().string();
    for (std::size_t i = 0; i + 1 < m_ranges.size(); ++i) {
        const TextRun& line = m_ranges[i];
        const TextRun& remarks = m_ranges[i + 1];
        if (line.isRemarks || !line.contains(caret.position()) || !remarks.isRemarks
            || remarks.blockID != line.blockID || line.end() > text.size())
            continue;
        // Only placeholders between the caret and the line break.
        const QStringView rest = QStringView(text).sliced(caret.position(), line.end() - 1 - caret.position());
        if (rest.count(editortext::zeroWidthSpace) == rest.size())
            return remarks.end();
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QUuid> BlockEditor::currentBlock() const
{
    const int position = m_textView->textCursor().position();
    if (const auto id = editortext::runAt(m_ranges, position, editordoc::textLength(*document())))
        return id;
    const Note* note = shownNote();
    if (!note)
        return std::nullopt;
    const std::vector<Block> shown = note->displayBlocks();
    if (shown.empty())
        return std::nullopt;
    return shown.back().id;
}

bool BlockEditor::importFiles(const QStringList& paths)
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
            } else if (const std::optional<QString> failure =
                           isImageName(extension) && readFailure ? readFailure(path) : std::nullopt) {
                // A picture we may not read would only become a shelf entry
                // that cannot be opened either, likely in a hidden note.
                throw AppError(QStringLiteral("无法读取文件“%1”：%2").arg(QFileInfo(path).fileName(), *failure));
            } else if (stageFiles) {
                if (!stageFiles(QStringList{path}))
                    return false;
            } else {
                throw AppError(unsupportedFileMessage);
            }
        }
    } catch (const AppError& error) {
        m_store->report(error);
        return false;
    } catch (const std::exception&) {
        // Nothing may leave an event handler: a failure of any kind is told.
        m_store->report(AppError(describeError(std::current_exception())));
        return false;
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
    return true;
}

void BlockEditor::refreshAlarmVisuals()
{
    bool ringing = false;
    if (alarmCenter) {
        for (const auto& [note, block] : alarmCenter())
            ringing = ringing || note == m_noteID;
    }
    if (ringing) {
        call(startAlarmPulse);
    } else {
        call(stopAlarmPulse);
        m_alarmPulse = 1;
    }
    if (gutter)
        gutter->update();
}

} // namespace quorrin
