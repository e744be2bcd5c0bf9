#pragma once

#include "App/RegisteredNoteWindow.h"
#include "Domain/Note.h"
#include "Domain/Todo.h"
#include "Core/Time/Clock.h"
#include "Windows/NoteWorkspace.h"
#include "Windows/WorkspaceHost.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quorrin {

class BlockEditor;
class NoteStore;
class ReminderCoordinator;
class ScreenProvider;

// What the registry takes from its surroundings; tests replace each part.
struct NoteRegistryServices {
    // Makes the window of a live note.
    // Makes the window of a note; `note` is the store's own, valid until the
    // notes next change.
    using WindowFactory = std::function<std::unique_ptr<RegisteredNoteWindow>(NoteStore& store, const Note& note)>;

    WindowFactory makeWindow;
    // The screens the workspace recovers windows onto; the desktop's when not given.
    std::shared_ptr<const ScreenProvider> screens;
    NoteWorkspace::MouseQuery leftMouseDown = &NoteWorkspace::isLeftMouseButtonDown;
    // The clipboard's plain text; none when it holds no text. The system
    // clipboard when not given.
    std::function<std::optional<QString>()> clipboardText;
    // The system's alert sound when not given.
    std::function<void()> beep;
    // When a todo counts as completed.
    Clock clock = systemNow;
};

// The note windows of the application, one per note, made on demand, and the
// commands that show notes, make new ones and act on the block at the caret
// of the current note. It owns the workspace (made on first use), which
// reaches the store and the windows through it.
class NoteRegistry final : public QObject, public WorkspaceHost {
    Q_OBJECT
public:
    inline static const QString noSelectionError = QStringLiteral("未收到选中文字");
    inline static const QString toggleTodoAction = QStringLiteral("切换待办完成");
    inline static const QString toggleRemarksAction = QStringLiteral("展开／折叠备注");
    inline static const QString priorityAction = QStringLiteral("设置优先级");

    // The store must outlive the registry.
    NoteRegistry(NoteStore& store, NoteRegistryServices services, QObject* parent = nullptr);
    ~NoteRegistry() override;

    // --- wiring by the application
    // Brings the application forward, for a note's window in particular when
    // one is given; every command that activates calls it.
    std::function<void(RegisteredNoteWindow* forWindow)> activateApplication;
    // The reminder coordinator; without one no reminder editor opens.
    void setReminders(ReminderCoordinator* reminders);
    // The ringing alarms as (note id, block id), handed to every editor.
    std::function<std::vector<std::pair<QUuid, QUuid>>()> ringingAlarms;
    // Ends a todo's ringing in the alarm center once its editor acknowledged it.
    std::function<void(const QUuid& noteID, const QUuid& blockID)> acknowledgeAlarm;
    // Called for every note window the registry makes, once it is wired.
    std::function<void(RegisteredNoteWindow& window)> onWindowMade;
    // While the application's own menu is open, activation and focus are
    // recorded here and applied when it closes.
    bool trackingOwnMenu = false;
    std::optional<QUuid> pendingMenuFocusID;
    bool pendingMenuActivation = false;

    NoteWorkspace& workspace();

    // --- the registry
    NoteStore* noteStore() const override;
    std::vector<WorkspaceWindow*> noteWindows() const override;
    WorkspaceWindow* noteWindow(const QUuid& noteID) const override;
    // Makes the window of a live note that has none; deleted and unknown
    // notes get none.
    void ensureController(const QUuid& noteID) override;
    RegisteredNoteWindow* controller(const QUuid& noteID) const;
    std::vector<RegisteredNoteWindow*> controllers() const;
    // The window that is the application's key window, if it is a note's.
    RegisteredNoteWindow* current() const;
    // Drops every window (after a backup was restored).
    void removeAll();

    // --- showing notes
    // While one exists, what the registry shows serves a hand-over from
    // another program (selected text, files, a second launch): hand-overs
    // that arrive together bring the notes forward once
    // (NoteWorkspace::presentAllForBurst), not once each.
    class HandOver {
    public:
        explicit HandOver(NoteRegistry& registry)
            : m_registry(registry)
            , m_outer(std::exchange(registry.m_handingOver, true))
        {
        }
        ~HandOver() { m_registry.m_handingOver = m_outer; }
        HandOver(const HandOver&) = delete;
        HandOver& operator=(const HandOver&) = delete;

    private:
        NoteRegistry& m_registry;
        bool m_outer;
    };
    // Shows a live note, expanding it and placing the caret when a block is
    // given. Without activation a hidden note stays hidden and unshown.
    void open(const QUuid& noteID, std::optional<QUuid> block, bool activate);
    void raiseAllNotes(bool activate, bool includeHidden);
    // Every note, hidden ones included, with the application brought forward.
    void showAll();
    // Opens the reminder editor of an open, unarchived todo on the next
    // event-loop turn.
    void showReminder(const QUuid& noteID, const QUuid& blockID);

    // --- new notes
    void newNote();
    // A note with the clipboard's text; a beep when it holds none.
    void newFromClipboard();
    // A note with the given text, shown and activated.
    void newFromText(const QString& text);
    // The text service: a note with the selected text, or the error to
    // answer when no text came.
    std::optional<QString> newFromSelection(const QString& text);

    // --- block commands on the block at the caret of the current note
    void toggleCurrentTodo();
    void toggleCurrentRemarks();
    // `priority` is the menu item's tag: 1 urgent ... 4 low.
    void priorityCurrent(int priority);
    void reminderCurrent();
    void archiveCurrent();
    // `representedObject`: the menu item's block kind raw value.
    void convertBlock(const QVariant& representedObject);

    // --- arranging
    // Lays every live note out in a grid over the main screen, flat (all
    // dockings removed) and expanded, in the order of the menu item's tag
    // (0 the store's, 1 colour, 2 title, 3 creation date, 4 screen position).
    void arrange(int tag);

private:
    struct Entry {
        QUuid id;
        std::unique_ptr<RegisteredNoteWindow> window;
    };

    void wire(RegisteredNoteWindow& window);
    void attachDetached();
    void noteDeleted(const QUuid& noteID);
    void activate(RegisteredNoteWindow* forWindow = nullptr);
    void beep() const;
    // Every note forward, as presentAll, or once for a burst while handing over.
    void presentAll(std::optional<QUuid> focus, bool activate, bool includeHidden);
    // The current note's editor and the block at its caret.
    std::optional<std::pair<BlockEditor*, QUuid>> currentBlock() const;
    void changeCurrentTodo(const QString& actionName, const std::function<void(TodoMetadata&)>& change);

    QPointer<NoteStore> m_store;
    NoteRegistryServices m_services;
    QPointer<ReminderCoordinator> m_reminders;
    std::vector<Entry> m_entries; // in the order the windows were made
    QHash<QUuid, RegisteredNoteWindow*> m_windowsByNote;
    std::unique_ptr<NoteWorkspace> m_workspace;
    bool m_handingOver = false;
};

} // namespace quorrin
