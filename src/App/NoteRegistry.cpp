#include "App/NoteRegistry.h"

#include "App/ArrangeLayout.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Features/Reminders/ReminderCoordinator.h"
#include "Persistence/NoteStore.h"
#include "Platform/QtScreenProvider.h"
#include "Windows/WorkspaceWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>

#include <algorithm>

namespace quorrin {

namespace {

std::optional<QString> systemClipboardText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return std::nullopt;
    return data->text();
}

bool isLive(const std::optional<Note>& note)
{
    return note && !note->deletedAt;
}

bool isLive(const Note* note)
{
    return note && !note->deletedAt;
}

// The first todo block with that id; a block of another kind does not count.
Block* todoBlock(Note& note, const QUuid& blockID)
{
    const auto found = std::find_if(note.blocks.begin(), note.blocks.end(), [&](const Block& block) {
        return block.id == blockID && block.kind == BlockKind::Todo;
    });
    return found == note.blocks.end() ? nullptr : &*found;
}

} // namespace

NoteRegistry::NoteRegistry(NoteStore& store, NoteRegistryServices services, QObject* parent)
    : QObject(parent)
    , m_store(&store)
    , m_services(std::move(services))
{
    if (!m_services.screens)
        m_services.screens = std::make_shared<QtScreenProvider>();
    if (!m_services.clipboardText)
        m_services.clipboardText = &systemClipboardText;
    if (!m_services.beep)
        m_services.beep = &QApplication::beep;
}

NoteRegistry::~NoteRegistry()
{
    // The workspace lets go of the windows while they are all still here.
    m_workspace.reset();
}

void NoteRegistry::setReminders(ReminderCoordinator* reminders)
{
    m_reminders = reminders;
}

NoteWorkspace& NoteRegistry::workspace()
{
    if (!m_workspace)
        m_workspace = std::make_unique<NoteWorkspace>(*this, *m_services.screens, m_services.leftMouseDown);
    return *m_workspace;
}

NoteStore* NoteRegistry::noteStore() const
{
    return m_store.data();
}

std::vector<WorkspaceWindow*> NoteRegistry::noteWindows() const
{
    std::vector<WorkspaceWindow*> windows;
    windows.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        windows.push_back(&entry.window->layout());
    return windows;
}

WorkspaceWindow* NoteRegistry::noteWindow(const QUuid& noteID) const
{
    RegisteredNoteWindow* window = controller(noteID);
    return window ? &window->layout() : nullptr;
}

RegisteredNoteWindow* NoteRegistry::controller(const QUuid& noteID) const
{
    return m_windowsByNote.value(noteID);
}

std::vector<RegisteredNoteWindow*> NoteRegistry::controllers() const
{
    std::vector<RegisteredNoteWindow*> windows;
    windows.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        windows.push_back(entry.window.get());
    return windows;
}

RegisteredNoteWindow* NoteRegistry::current() const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [](const Entry& entry) { return entry.window->isKeyWindow(); });
    return found == m_entries.end() ? nullptr : found->window.get();
}

void NoteRegistry::ensureController(const QUuid& noteID)
{
    if (controller(noteID) || !m_store || !m_services.makeWindow)
        return;
    const Note* note = m_store->findNote(noteID);
    if (!note || note->deletedAt)
        return;
    // The store's own note, uncopied: a window reads what it needs of it
    // before it changes the notes.
    std::unique_ptr<RegisteredNoteWindow> window = m_services.makeWindow(*m_store, *note);
    if (!window)
        return;
    wire(*window);
    RegisteredNoteWindow& made = *window;
    m_entries.push_back({noteID, std::move(window)});
    m_windowsByNote.insert(noteID, &made);
    // Every other window was attached when it was made.
    NoteWorkspace& layout = workspace();
    if (made.layout().host() != &layout)
        layout.attach(made.layout());
    if (BlockEditor* editor = made.editor())
        editor->refreshAlarmVisuals();
    if (onWindowMade)
        onWindowMade(made);
}

void NoteRegistry::wire(RegisteredNoteWindow& window)
{
    const QUuid id = window.noteID();
    const QPointer<NoteRegistry> self(this);
    if (BlockEditor* editor = window.editor()) {
        editor->alarmCenter = [self] {
            return self && self->ringingAlarms ? self->ringingAlarms() : std::vector<std::pair<QUuid, QUuid>>{};
        };
        editor->onReminder = [self, id](const QUuid& blockID) {
            if (self)
                self->showReminder(id, blockID);
        };
        editor->acknowledgeInAlarmCenter = [self](const QUuid& noteID, const QUuid& blockID) {
            if (self && self->acknowledgeAlarm)
                self->acknowledgeAlarm(noteID, blockID);
        };
    }
    window.onTextDrop = [self](const QString& text) {
        if (self)
            self->newFromText(text);
    };
    window.onDelete = [self](const QUuid& noteID) {
        if (self)
            self->noteDeleted(noteID);
    };
}

void NoteRegistry::attachDetached()
{
    NoteWorkspace& layout = workspace();
    for (const Entry& entry : m_entries) {
        WorkspaceWindow& window = entry.window->layout();
        if (window.host() != &layout)
            layout.attach(window);
    }
}

void NoteRegistry::noteDeleted(const QUuid& noteID)
{
    // The window is still inside its own delete command: let go of it on the
    // next turn.
    QTimer::singleShot(0, this, [this, noteID] {
        const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                        [&](const Entry& entry) { return entry.id == noteID; });
        if (found == m_entries.end())
            return;
        RegisteredNoteWindow* removed = found->window.release();
        m_entries.erase(found);
        m_windowsByNote.remove(noteID);
        if (m_workspace && removed->layout().host() == m_workspace.get())
            removed->layout().setHost(nullptr);
        removed->deleteLater();
        attachDetached();
        workspace().reflow();
    });
}

void NoteRegistry::removeAll()
{
    std::vector<Entry> removed = std::exchange(m_entries, {});
    m_windowsByNote.clear();
    for (Entry& entry : removed) {
        if (m_workspace && entry.window->layout().host() == m_workspace.get())
            entry.window->layout().setHost(nullptr);
        entry.window.release()->deleteLater();
    }
}

void NoteRegistry::activate(RegisteredNoteWindow* forWindow)
{
    if (activateApplication)
        activateApplication(forWindow);
}

void NoteRegistry::beep() const
{
    m_services.beep();
}

void NoteRegistry::open(const QUuid& noteID, std::optional<QUuid> block, bool activate)
{
    // The note is read where the store holds it, and copied only to change it.
    if (!m_store || !isLive(m_store->findNote(noteID)))
        return;
    ensureController(noteID);

    if (block) {
        if (const Note* stored = m_store->findNote(noteID); stored && stored->isCollapsed) {
            Note note = *stored;
            note.isCollapsed = false;
            m_store->update(std::move(note), true, true);
        }
    }
    if (activate) {
        if (const Note* stored = m_store->findNote(noteID); stored && stored->isHidden) {
            Note note = *stored;
            note.isHidden = false;
            m_store->update(std::move(note), true, true);
        }
        // A burst of hand-overs brings the application forward once.
        if (!m_handingOver || !workspace().isBurstPending())
            this->activate(controller(noteID));
        if (trackingOwnMenu)
            pendingMenuFocusID = noteID;
        presentAll(noteID, true, false);
    } else {
        const Note* note = m_store->findNote(noteID);
        if (note && !note->isHidden)
            presentAll(noteID, false, false);
    }
    if (block) {
        if (RegisteredNoteWindow* window = controller(noteID); window && window->editor())
            window->editor()->focus(*block, false);
    }
}

void NoteRegistry::raiseAllNotes(bool activate, bool includeHidden)
{
    std::optional<QUuid> candidate;
    if (const RegisteredNoteWindow* window = current()) {
        candidate = window->noteID();
    } else if (m_store) {
        for (const Note& note : m_store->active()) {
            if (includeHidden || !note.isHidden) {
                candidate = note.id;
                break;
            }
        }
    }
    if (activate) {
        // For the note that takes the focus: no other window of ours comes
        // forward on the way.
        if (!m_handingOver || !workspace().isBurstPending())
            this->activate(candidate ? controller(*candidate) : nullptr);
        if (trackingOwnMenu)
            pendingMenuActivation = true;
    }
    presentAll(candidate, activate, includeHidden);
}

void NoteRegistry::presentAll(std::optional<QUuid> focus, bool activate, bool includeHidden)
{
    if (m_handingOver)
        workspace().presentAllForBurst(focus, activate, includeHidden);
    else
        workspace().presentAll(focus, activate, includeHidden);
}

void NoteRegistry::showAll()
{
    raiseAllNotes(true, true);
}

void NoteRegistry::showReminder(const QUuid& noteID, const QUuid& blockID)
{
    if (!m_reminders || !m_store)
        return;
    const std::optional<Note> note = m_store->note(noteID);
    if (!isLive(note))
        return;
    const auto block = std::find_if(note->blocks.begin(), note->blocks.end(),
                                    [&](const Block& candidate) { return candidate.id == blockID; });
    if (block == note->blocks.end() || block->kind != BlockKind::Todo || !block->todo || block->todo->isCompleted
        || block->isArchived())
        return;
    ensureController(noteID);
    const QPointer<RegisteredNoteWindow> window = controller(noteID);
    if (!window)
        return;

    QTimer::singleShot(0, this, [this, window, noteID, blockID] {
        if (!window)
            return;
        activate(window);
        workspace().presentAll(noteID, false, false);
        const ReminderCallbacks callbacks = reminderPanelCallbacks(m_reminders);
        window->showReminder(blockID, callbacks);
    });
}

void NoteRegistry::newNote()
{
    if (!m_store)
        return;
    const Note note = m_store->create();
    open(note.id, std::nullopt, true);
    if (RegisteredNoteWindow* window = controller(note.id); window && window->editor()) {
        if (BlockTextView* text = window->editor()->textView())
            text->setFocus(Qt::OtherFocusReason);
    }
}

void NoteRegistry::newFromText(const QString& text)
{
    if (!m_store)
        return;
    const Note note = m_store->create(AttributedString(text));
    open(note.id, std::nullopt, true);
}

void NoteRegistry::newFromClipboard()
{
    const std::optional<QString> text = m_services.clipboardText();
    if (!text || text->isEmpty()) {
        beep();
        return;
    }
    newFromText(*text);
}

std::optional<QString> NoteRegistry::newFromSelection(const QString& text)
{
    if (text.isEmpty())
        return noSelectionError;
    const HandOver handOver(*this);
    newFromText(text);
    return std::nullopt;
}

std::optional<std::pair<BlockEditor*, QUuid>> NoteRegistry::currentBlock() const
{
    const RegisteredNoteWindow* window = current();
    BlockEditor* editor = window ? window->editor() : nullptr;
    if (!editor)
        return std::nullopt;
    const std::optional<QUuid> block = editor->currentBlock();
    if (!block)
        return std::nullopt;
    return std::pair{editor, *block};
}

void NoteRegistry::changeCurrentTodo(const QString& actionName, const std::function<void(TodoMetadata&)>& change)
{
    const auto target = currentBlock();
    if (!target)
        return;
    const QUuid blockID = target->second;
    target->first->change(actionName, [&](Note& note) {
        Block* block = todoBlock(note, blockID);
        if (block && block->todo)
            change(*block->todo);
    });
}

void NoteRegistry::toggleCurrentTodo()
{
    const Date now = m_services.clock();
    changeCurrentTodo(toggleTodoAction, [now](TodoMetadata& todo) {
        todo.isCompleted = !todo.isCompleted;
        if (todo.isCompleted)
            todo.completedAt = now;
        else
            todo.completedAt.reset();
    });
}

void NoteRegistry::toggleCurrentRemarks()
{
    changeCurrentTodo(toggleRemarksAction, [](TodoMetadata& todo) { todo.notesExpanded = !todo.notesExpanded; });
}

void NoteRegistry::priorityCurrent(int priority)
{
    // Only the four priorities exist; a stray tag must not reach the store.
    if (priority < highestPriority || priority > lowestPriority)
        return;
    changeCurrentTodo(priorityAction, [priority](TodoMetadata& todo) { todo.priority = priority; });
}

void NoteRegistry::reminderCurrent()
{
    const auto target = currentBlock();
    if (!target) {
        beep();
        return;
    }
    BlockEditor* editor = target->first;
    const QUuid blockID = target->second;
    const std::optional<Note> shown = editor->currentNote(); // the drag preview while a block is dragged
    const Block* block = nullptr;
    if (shown) {
        const auto found = std::find_if(shown->blocks.begin(), shown->blocks.end(),
                                        [&](const Block& candidate) { return candidate.id == blockID; });
        block = found == shown->blocks.end() ? nullptr : &*found;
    }
    if (!block || block->kind != BlockKind::Todo) {
        beep();
        return;
    }
    editor->flush();
    showReminder(editor->noteID(), blockID);
}

void NoteRegistry::archiveCurrent()
{
    const auto target = currentBlock();
    if (!target)
        return;
    if (RegisteredNoteWindow* window = current())
        window->archiveBlock(target->second);
}

void NoteRegistry::convertBlock(const QVariant& representedObject)
{
    if (representedObject.typeId() != QMetaType::QString)
        return;
    const std::optional<BlockKind> kind = blockKind::fromRawValue(representedObject.toString());
    const auto target = currentBlock();
    if (!kind || !target)
        return;
    target->first->convert(target->second, *kind);
}

void NoteRegistry::arrange(int tag)
{
    const std::optional<QRectF> visible = m_services.screens->mainVisibleFrame();
    if (!visible || !m_store)
        return;
    workspace().detachAll();
    const std::vector<Note> order = arrange::sorted(m_store->active(), arrange::orderForTag(tag));
    for (std::size_t index = 0; index < order.size(); ++index) {
        const QUuid id = order[index].id;
        if (std::optional<Note> note = m_store->note(id)) {
            const QRectF cell = arrange::cellFrame(int(index), *visible);
            note->frame = WindowFrame{cell.x(), cell.y(), cell.width(), cell.height()};
            note->isCollapsed = false;
            // A failed save is reported by the store; the next note goes on.
            m_store->update(*note, true, true);
        }
        if (RegisteredNoteWindow* window = controller(id))
            window->restoreSavedFrame();
    }
}

} // namespace quorrin
