#pragma once

#include "Domain/Block.h"
#include "Domain/Note.h"
#include "Editor/BlockMenuPanel.h"
#include "Editor/EditorStore.h"
#include "Editor/DragPreview.h"
#include "Editor/EditorText.h"
#include "Editor/FindReplace.h"
#include "Editor/FormatPanel.h"
#include "Editor/MarkingBacklog.h"
#include "Editor/TextLeftToShow.h"
#include "Editor/TaskShelves.h"
#include "Editor/TextFormatTarget.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Time/Clock.h"

#include <QColor>
#include <QPointer>
#include <QRectF>
#include <QTextCursor>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QMenu;
class QTextDocument;

namespace quorrin {

class BlockTextView;
class DocumentMirror;
class NoteStore;
class ScrollOverflowHint;
class OverlayScroller;
class FindReplaceBar;
class DisplayAppearance;
class EditorAnimations;

// How a note change ended.
enum class ChangeResult {
    Applied,    // stored, announced, undoable
    Unchanged,  // the mutation changed nothing: no undo step, no save
    Refused,    // an input method is composing, or the note is gone
    SaveFailed, // the store could not save it; the note was put back as it was
};

// The body of one note window: all shown blocks of the note as one text,
// written back into the note as the user types, with one undo history for
// text and structural changes.
//
// The editor never holds the authoritative note: it asks the store every time.
class BlockEditor final : public QWidget, public TextFormatTarget {
    Q_OBJECT
public:
    BlockEditor(std::shared_ptr<EditorStore> store, const QUuid& noteID, QWidget* parent = nullptr,
                Clock clock = systemNow);
    BlockEditor(NoteStore& store, const QUuid& noteID, QWidget* parent = nullptr);
    ~BlockEditor() override;

    using Mutation = std::function<void(Note&)>;

    // --- rendering
    // Shows the stored note (or the drag preview) anew; with `force` also
    // when it did not change. A long text is shown a part at a time, one
    // part per turn of the event loop, the first reaching through the caret.
    void render(bool force);
    // Whether parts of the rendered text are still to be shown.
    bool isShowingInParts() const { return !m_leftToShow.isEmpty(); }
    // Shows at once all that is left of the rendered text: what reads or
    // changes the whole text asks for it first.
    void showWholeText();
    void applyParagraphLayout(const Note& note, std::optional<QUuid> only = std::nullopt);
    // What lays out the paragraphs of each of `runs` besides their own formats.
    std::function<editortext::ParagraphInput(const TextRun&)> paragraphInputs(const Note& note,
                                                                           const std::vector<TextRun>& runs) const;
    // The same for the runs of the text `shown` renders, told from its blocks.
    std::function<editortext::ParagraphInput(const TextRun&)> paragraphInputs(const Note& note,
                                                                           const BlocksLeftToRender& shown) const;
    void updateScrollHint();

    // --- write-back and changes
    void flush();
    // Writes back what changed in the text since the last write-back or
    // render, if anything: a long note as it was last written back or shown
    // is not read back again.
    void flushEdits();
    // The text view lost the keyboard: what was typed since the last
    // write-back is written back (after the last part, for a long text
    // still coming in parts), and the format bar goes.
    void endEditing(Qt::FocusReason reason);
    ChangeResult change(const QString& actionName, const Mutation& mutation);
    void focus(const QUuid& blockID, bool remarks = false);
    std::optional<QUuid> currentBlock() const;
    // Where Return opens its new line when the caret ends a todo's line
    // whose remarks are shown: below the remarks, which stay with their
    // todo. Nothing when Return splits the line at the caret.
    std::optional<int> newLineBelowRemarks() const;
    // Sends each file its own way: documents are imported, images and PDFs
    // inserted after the current block, other files staged. False when a
    // file was refused; the refusal has been reported and nothing of the
    // batch inserted.
    bool importFiles(const QStringList& paths);
    void refreshAlarmVisuals();

    // --- block commands
    ChangeResult convert(const QUuid& blockID, BlockKind kind);
    ChangeResult insert(const QUuid& nearBlockID, bool above);
    // The todo that now holds the caret, or nothing.
    std::optional<QUuid> addTodo();
    // Ends the ringing alarm of a todo: a repeating reminder moves on to its
    // next occurrence, a one-off reminder is removed.
    ChangeResult acknowledgeAlarm(const QUuid& blockID);

    // --- the block menu: built anew for a block, which becomes the selected
    // block its actions act on. The caller owns the menu.
    QMenu* menu(const QUuid& blockID, QWidget* parent = nullptr);
    std::optional<QUuid> selectedBlock;
    // Shows a block's menu in the block menu panel beside the note window,
    // its top by `rect` of `view`; with `takeFocus` its first row takes the
    // keyboard. Closes a panel shown before.
    BlockMenuPanel* openBlockMenu(const QUuid& blockID, const QRectF& rect, QWidget& view, bool takeFocus);
    // The same for the block at the caret, beside the caret's line.
    BlockMenuPanel* openBlockMenuAtCaret();
    BlockMenuPanel* blockMenuPanel() const { return m_blockMenuPanel; }
    // The menu's actions on the selected block.
    void editReminder();
    void menuConvert(const QVariant& kindRawValue);
    void menuInsert(const QVariant& above);
    void duplicateBlock();
    void deleteBlock();
    void moveBlockUp();
    void moveBlockDown();
    void stopRepeating();
    void openAttachment();
    void previewAttachment();

    // --- dragging a block by its handle (the gutter drives these)
    // One row of the note as it was shown when a block drag began.
    struct DragRow {
        QUuid id;
        QRectF rect; // document coordinates, at least 20 high
    };
    // Takes the keyboard away from the text for the drag, remembering the
    // selection; `endDragVisual` hands both back.
    void beginDragVisual();
    void endDragVisual();
    // Arms the preview for a dragged block and captures the rows once (none
    // for a note sorted by priority).
    void beginDragPreview(const QUuid& id);
    // Shows the note with one empty placeholder line before, or after, the
    // target; over the dragged block itself the stored note is shown.
    void updateDragPreview(const QUuid& target, bool after);
    // The stored note again; the drag stays armed.
    void clearDragPreview();
    // Back to rest: the stored note, no rows, no source.
    void endDragPreview();
    // A drag that ends without a drop (cancelled, or its release lost): the
    // preview goes and focus and selection come back.
    void cancelBlockDrag();
    bool isDragArmed() const { return m_drag.source.has_value(); }
    const std::vector<DragRow>& dragRows() const { return m_drag.rows; }
    std::optional<QUuid> dragSourceID() const { return m_drag.source; }
    std::optional<QUuid> dragPlaceholderID() const { return m_drag.placeholder; }
    // Moves a block next to another in display order: one undo step "拖动排序".
    ChangeResult moveDisplayedBlock(const QUuid& id, const QUuid& target, bool after);

    // --- archiving a completed todo: one undo step "归档待办"; its line
    // breaks into slivers while the text below slides up (no animation under
    // reduced motion or with animations off). False when nothing was archived.
    // The gutter's archive button and the application's archive command call it.
    bool archive(const QUuid& blockID);
    bool isArchiving(const QUuid& blockID) const { return m_archiving.count(blockID) > 0; }

    // --- geometry, in document coordinates (the text view's content)
    std::optional<QUuid> block(double y) const;
    bool prepareWritableLine(QPointF point);
    std::optional<QUuid> alarmingBlockID(QPointF point) const;
    bool isAttachmentAtCursor() const;
    // The lines of [start, start + length). Given `until`, lines of
    // paragraphs that start below it are left out (and need no layout), the
    // rect then reaching down to `until`.
    QRectF rect(int start, int length, double until = std::numeric_limits<double>::infinity()) const;
    QRectF firstLineRect(int start, int length) const;
    // The first run whose row may reach down to `y`: every row before it
    // ends above. The text is laid out only down to `y`.
    std::vector<TextRun>::const_iterator runsReaching(double y) const;

    // --- todo file shelves (the gap below a todo, the views inside the text)
    // The note's staged files, installed by the window; weak.
    QPointer<TaskShelfSource> fileShelfModel;
    // Set by the window while files are dragged over the note: every todo
    // then shows an (empty) shelf as a drop target.
    bool showsTaskDropTargets = false;
    const std::map<QUuid, QPointer<TaskShelfView>>& taskShelfViews() const { return m_taskShelfViews; }
    void layoutTaskShelves();

    // --- the format bar
    // The window's format panel; it is forgotten once `lifetime` is destroyed.
    void setFormatPanel(FormatPanel* panel, QObject* lifetime);
    // Called once, on the panel's first need, to make the panel and give it
    // here (setFormatPanel): most windows are never formatted.
    std::function<void()> buildFormatPanel;
    // The panel, made now if it is still to be built.
    FormatPanel* formatPanel();
    // The panel if it is built; asks for nothing.
    FormatPanel* builtFormatPanel() const;
    // The attributes the bar shows: of the first selected character, or the typing attributes.
    TextAttributes formatAttributes() const;
    // Their font, or the preferences' font.
    TextFont formatFont() const;
    // Where the bar stands: the caret's rectangle in global coordinates, or
    // nothing when the caret is scrolled out of view.
    std::optional<QRectF> formatAnchorScreenRect() const;

    // --- formatting of the body, for the format bar
    NoteTheme noteTheme() const override;
    TextFormat currentTextFormat() const override;
    void toggleBold() override;
    void toggleItalic() override;
    void toggleUnderline() override;
    void toggleStrikethroughFormat() override;
    void adjustFontSize(double delta) override;
    void setTextColor(const TextColor& color) override;
    // The link address of the selection's first character; empty without.
    QString selectedLink() const;
    // Links the selected text to an address, or unlinks it for an empty
    // one; one undo step. False when nothing is selected.
    bool setLink(const QString& address);
    // Aligns the paragraphs the selection or the caret touches; one undo step.
    void setAlignment(TextAlignment alignment);

    // --- find and replace
    // Opens the note's find and replace bar with the caret in its search field.
    void showFindBar();
    FindReplaceBar* findBar();
    // The text searched: every run, one line break after each (what is
    // still to show is shown first).
    QString searchableText();
    void selectMatch(const TextMatch& match);
    void highlightMatches(const std::vector<TextMatch>& matches);
    // Replaces the matches (those still in place) as one undo step under
    // `actionName`; the number replaced.
    int replaceMatches(const std::vector<TextMatch>& matches, const QString& replacement, const QString& actionName);

    // --- links
    // Marks the web and e-mail addresses of the paragraphs from `from` to
    // `to` as links (and unmarks text that no longer is one); true when
    // anything changed.
    bool markLinks(int from, int to);
    // Typing inside a link extends it; typing at its end, or on a new line
    // after it, does not.
    void endLinkAtCaret();
    // The URL of the link at a point of the content, or nothing.
    std::optional<QString> linkAt(QPointF point) const;
    // Opens the link at a point (only web and mail addresses reach the
    // opener); true when the point lay on a link.
    bool openLinkAt(QPointF point);
    // Hands a web or mail address to the desktop's handler.
    std::function<void(const QUrl&)> openLink;

    // --- state
    bool hasMarkedText() const;
    std::optional<Note> currentNote() const;
    // The same note without copying it, or null: valid until the store's
    // notes or the drag preview next change, so read at once, never kept.
    const Note* shownNote() const;
    const std::vector<TextRun>& ranges() const { return m_ranges; }
    const std::optional<Note>& rendered() const { return m_rendered; }
    const QUuid& noteID() const { return m_noteID; }
    EditorStore& store() const { return *m_store; }
    const Clock& clock() const { return m_clock; }
    BlockTextView* textView() const { return m_textView; }
    QTextDocument* document() const;
    QUndoStack* history() const { return m_history; }
    // Undoes or redoes one step of the note's history. Refused with a beep
    // while an input method composes: the composition would be committed
    // inside the step and then overwritten by it.
    bool undo();
    bool redo();
    const DocumentMirror& mirror() const { return *m_mirror; }
    ScrollOverflowHint* scrollHint() const { return m_scrollHint; }
    OverlayScroller* scroller() const { return m_scroller; }
    // Brightness of ringing-alarm visuals: 1 at rest, 0.12...0.90 while
    // pulsing, 0.75 steady under reduced motion.
    double alarmPulse() const { return m_alarmPulse; }
    void setAlarmPulse(double pulse) { m_alarmPulse = pulse; }
    // The task reveal and alarm pulse timers.
    EditorAnimations* animations() const { return m_animations; }

    // Installed by the window: stages the files on the note's shelf; false
    // when they were refused (the refusal has been reported).
    std::function<bool(const QStringList&)> stageFiles;
    std::function<void()> onTitleChange;
    // Installed by the application shell: open the reminder editor of a todo.
    std::function<void(const QUuid&)> onReminder;

    // Pieces built elsewhere plug in here; each one may be left empty.
    QPointer<QWidget> gutter;                                   // drawn over the text's left margin
    std::function<void()> closeBlockMenu;                      // closes the block menu panel
    std::function<double(const QUuid&, bool isTodo)> shelfHeight; // gap below a todo for its file shelf
    std::function<void(bool reload)> syncFileShelves;
    std::function<void()> applyCompletion;                     // display-only appearance of done todos
    std::function<void()> hideFormatBar;
    std::function<void()> scheduleFormatBar;
    std::function<void()> presentFormatBar;
    std::function<void()> updateFormatBarPosition;
    // shelfHeight, syncFileShelves, applyCompletion and the four format-bar
    // hooks start out as the editor's own behaviour (below); replacing one
    // replaces that behaviour.
    // The editor's animations install these three and `stopAlarmPulse`.
    std::function<void()> finishTaskReveal;
    std::function<void()> startAlarmPulse;
    std::function<void()> stopAlarmPulse;
    // The ringing alarms as (note id, block id) pairs.
    std::function<std::vector<std::pair<QUuid, QUuid>>()> alarmCenter;
    // Imports a plain-text or RTF document as a note; throws AppError.
    std::function<void(const QString& path)> importDocument;
    // Why a file cannot be read, or nothing when it can. Replaced in tests,
    // whose superuser reads any file.
    std::function<std::optional<QString>(const QString& path)> readFailure = &FileSystemError::readFailure;
    // The block menu of one block, shown in the text's context menu.
    std::function<QMenu*(const QUuid&, QWidget* parent)> blockMenu;

    // A todo's indent grows in (the animation is built elsewhere); without
    // this hook a new todo shows at its full indent at once.
    std::function<void(const QUuid&)> startTaskReveal;
    // Whether the desktop asks for reduced motion (read when a todo would grow in).
    std::function<bool()> prefersReducedMotion;
    // Asks the user to confirm; answers true for the confirming button.
    std::function<bool(const QString& message, const QString& informative, const QString& confirm,
                       const QString& cancel)>
        confirm;
    // Opens a file with the desktop's default application.
    std::function<void(const QString& path)> openFile;
    // Opens the preview and annotation window of an attachment.
    std::function<void(const Attachment&)> showAttachmentPanel;
    // Tells the alarm center that a todo's alarm has been ended.
    std::function<void(const QUuid& noteID, const QUuid& blockID)> acknowledgeInAlarmCenter;

    // Per-block reveal factor 0...1 of a todo's indent; absent counts as 1.
    std::map<QUuid, double> revealProgress;
    // The note shown instead of the stored one while a drag preview is shown.
    std::optional<Note> dragPreviewNote;
    bool applyingFormat = false;
    // How many paragraphs a write-back marks with their blocks in one turn
    // of the event loop; the others follow, a slice per turn.
    std::size_t marksPerTurn = MarkingBacklog::perTurn;
    // How many paragraphs a part of a long rendered text holds.
    std::size_t paragraphsPerPart = TextLeftToShow::perPart;

    // Used by the undo history.
    bool restore(Note& snapshot);
    // Puts `replacement` where the text holds `expected` from the stored
    // position `position` on (placeholders not counted); the caret then ends
    // `caretBeforeEnd` characters before its end, or stays where it was with
    // `keepSelection`. Answers what stood there, formats and marks as they
    // are now, or nothing when the text holds something else.
    std::optional<AttributedString> replaceText(int position, const QString& expected,
                                                const AttributedString& replacement, bool keepSelection = false,
                                                int caretBeforeEnd = 0);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool stepHistory(void (QUndoStack::*step)());
    void onContentsChange(int position, int removed, int added);
    std::optional<Block> findBlock(const QUuid& id) const;
    ChangeResult moveSelected(int offset);
    // Formats the selection as one undoable step; false when nothing was done.
    bool applyToSelection(const QString& actionName, const std::function<void(AttributedString&)>& transform);
    // Changes the attributes the next typed text takes.
    void applyToTyping(const std::function<void(TextAttributes&)>& change);
    void toggleTrait(textformat::FontTrait trait, const QString& actionName);
    void onTextChanged();
    // Writes back what was typed; while parts of a long text are still to
    // show, the last of them does.
    void flushTyping();
    void onSelectionChanged();
    // Shows the attachments of `runs` (runs of the text shown) as images.
    void installAttachmentImages(const Note& note, const std::vector<TextRun>& runs);
    // Inserts the next part of the rendered text still to show (all that is
    // left with `all`) where the text shown so far ends.
    void showNextPart(bool all = false);
    // Has the next part shown in a later turn of the event loop while parts
    // are left; once none is, lets go of what showing them needed.
    void continueOrEndShowing();
    // Gives the paragraphs of the mirror the block ids and roles the write-back
    // settled, and lays them out, in one edit: the text is laid out and
    // highlighted again once for both.
    void markAndLayOut(const editortext::WriteBack& written);
    // Gives the paragraphs of the mirror the block ids and roles of `marks`
    // through `cursor`; the paragraphs it marked.
    std::vector<std::size_t> markParagraphs(QTextCursor& cursor, const std::vector<editortext::WriteBack::Mark>& marks);
    // Lays out again the paragraphs a write-back changed or gave other layout
    // inputs; the characters whose formats it changed, if any.
    std::optional<editortext::TextSpan> applyWrittenLayout(const Note& note);
    // What marking and laying out the written paragraphs changed: the
    // paragraphs given other marks, the characters given another layout.
    struct WrittenFormats {
        std::vector<std::size_t> marked;
        std::optional<editortext::TextSpan> laidOut;
    };
    // Marks (when `marks` is given) and lays out the paragraphs of the mirror
    // through `cursor`, each read and changed once for both.
    // Only the paragraphs of `within` are gone over when one is given.
    WrittenFormats markAndLayOutParagraphs(QTextCursor& cursor, const std::vector<editortext::WriteBack::Mark>* marks,
                                           const Note& note, std::optional<ParagraphSpan> within = std::nullopt);
    // Whether each paragraph of the mirror is one run of the note, as after
    // a write-back of text without remarks.
    bool paragraphsAreRuns() const;
    // Marks and lays out the next slice of the paragraphs a write-back left.
    void markLeftParagraphs();
    // Marks and lays out the paragraphs (those of `within` when given) in one
    // edit of the document, which the mirror takes as the editor's own marks
    // rather than an edit to read back.
    void markAndLayOutAsOwn(const std::vector<editortext::WriteBack::Mark>& marks, const Note& note,
                            std::optional<ParagraphSpan> within);
    // What new text of the note looks like: the saved typing style in the
    // preferences' font. Empty lines show it, so text typed there takes it.
    TextAttributes newTextAttributes() const;
    void applyFrameMargins();
    // The text view fills the editor above the find bar, when that shows.
    void layoutViews();
    // The gutter lies over the text's viewport, below a band the text keeps free.
    void placeGutter();
    void noteLinkScan(int from, int to);
    void recordHistory(const Note& note);
    void afterWrite();
    void followCaretInGutter();
    std::optional<AppError> save(Note note, bool immediate, bool notify);
    static void call(const std::function<void()>& hook);

    // The editor's own behaviour behind the hooks.
    double ownShelfHeight(const QUuid& blockID, bool isTodo) const;
    void ownSyncFileShelves(bool reload);
    void ownApplyCompletion();
    void ownScheduleFormatBar();
    void ownPresentFormatBar();
    void ownUpdateFormatBarPosition();
    void ownHideFormatBar();
    void ownCloseBlockMenu();
    formatbar::Conditions formatBarConditions() const;
    void startFormatWork(int delayMs, bool endsTyping);
    QPointF scrollOffset() const;
    // Whether the text reaches further down than `height`.
    bool textTallerThan(double height) const;

    // The note as stored, whatever is shown.
    std::optional<Note> storedNote() const;
    // Rebuilds a shown preview when the stored note changed under it.
    void followStoredNote();
    void showDragPreview();

    struct DragState {
        std::optional<Note> original;   // the stored note the preview is built on
        std::optional<QUuid> source;    // the dragged block
        std::optional<QUuid> placeholder;
        std::optional<std::pair<QUuid, bool>> target; // target block, after it
        std::vector<DragRow> rows;
        bool hadFocus = false;
        std::optional<TextSelection> focusSelection;
    };
    DragState m_drag;
    std::set<QUuid> m_archiving;
    EditorAnimations* m_animations = nullptr;

    std::shared_ptr<EditorStore> m_store;
    QUuid m_noteID;
    Clock m_clock;
    BlockTextView* m_textView = nullptr;
    ScrollOverflowHint* m_scrollHint = nullptr;
    OverlayScroller* m_scroller = nullptr;
    FindReplaceBar* m_findBar = nullptr;
    std::optional<std::pair<int, int>> m_linkScan; // typed text not yet searched for links
    std::optional<std::optional<QUuid>> m_gutterCaret; // the caret's block when the gutter last followed it
    bool m_markingLinks = false;
    QUndoStack* m_history = nullptr;
    DisplayAppearance* m_appearance = nullptr;
    std::vector<TextRun> m_ranges;
    std::set<QUuid> m_shownRemarks; // the todos whose remarks the text held at the last render or write-back
    std::optional<Note> m_rendered;
    editortext::BlockHistory m_historicalBlocks;
    std::unique_ptr<DocumentMirror> m_mirror; // the text as last seen, for undo steps and the write-back
    MarkingBacklog m_marksLeft;
    QTimer m_markingWork;
    TextLeftToShow m_leftToShow;
    QTimer m_showingWork;
    QTextCursor m_partsGoTo; // where the next part is inserted
    // How the paragraphs of the parts still to show are laid out: worked out
    // over the whole note once, when it is rendered.
    std::function<editortext::ParagraphInput(const TextRun&)> m_partInputs;
    bool m_rendering = false;
    bool m_writingBack = false; // within flush(): its layout pass is current
    double m_attachmentWidth = 0; // the width the attachment images were last fitted to
    bool m_updatingScrollHint = false;
    bool m_applyingHistory = false;
    bool m_charactersChanged = false;
    bool m_editedSinceWriteBack = false; // the text changed since the last render or write-back
    bool m_formatSuppressed = false;
    double m_alarmPulse = 1;
    QTimer m_formatWork;
    bool m_formatWorkEndsTyping = false;
    bool m_formatAwaitsCaret = false; // the bar went as the caret left the view
    std::map<QUuid, QPointer<TaskShelfView>> m_taskShelfViews;
    FormatPanel* m_formatPanel = nullptr;
    QPointer<BlockMenuPanel> m_blockMenuPanel;
    QPointer<QObject> m_formatPanelLifetime;
};

} // namespace quorrin
