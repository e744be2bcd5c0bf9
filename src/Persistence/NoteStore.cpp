#include "Persistence/NoteStore.h"

#include "Domain/AppError.h"
#include "Domain/BackupManifest.h"
#include "Domain/Json.h"
#include "Persistence/DurableSnapshot.h"
#include "Persistence/RecordLoading.h"
#include "Core/Files/DataDirectory.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/SafeFileWriter.h"
#include "Core/Storage/SqliteFailureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace quorrin {

namespace {

QString newUuidText()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

void makeDirectory(const QString& path)
{
    if (QDir().mkpath(path))
        return;
    const int reason = errno;
    throw AppError(QStringLiteral("无法创建文件夹“%1”：%2").arg(path, FileSystemError::reasonText(reason)));
}

const QString damagedStoreMessage = QStringLiteral("便笺数据库文件为空或已损坏，原始数据已保留。");

// What the file at `path` holds, as far as opening needs to know; a file
// that is not an SQLite database at all counts as damaged.
StoreModel existingStoreModel(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw AppError(QStringLiteral("便笺数据库“%1”不是文件，无法打开。").arg(path));
    if (QFileInfo(path).size() == 0)
        throw AppError(damagedStoreMessage);
    try {
        return RecordStore::modelOf(RecordStore::readMetadata(path));
    } catch (const SqliteError& error) {
        if (error.primaryCode() == SQLITE_NOTADB || error.primaryCode() == SQLITE_CORRUPT)
            throw AppError(damagedStoreMessage);
        throw;
    }
}

InstanceLock takeLease(const QString& root)
{
    try {
        return InstanceLock(root);
    } catch (const InstanceLockError& error) {
        std::rethrow_exception(storeErrorForLockFailure(error));
    }
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法读取文件“%1”：%2").arg(path, FileSystemError::reasonText(file)));
    return file.readAll();
}

// Text made into a note looks like what is typed next to it: a run without
// a font of its own takes the note's, one without a colour the dynamic text
// colour. Plain text from the clipboard or a selection has neither.
AttributedString inFont(AttributedString text, const TextFont& font)
{
    for (const AttributedString::Run& run : std::vector<AttributedString::Run>(text.runs())) {
        if (!run.attributes.font)
            text.setFont(run.start, run.length, font);
        if (!run.attributes.foreground)
            text.setForeground(run.start, run.length, TextColor::dynamicText());
    }
    return text;
}

} // namespace

std::exception_ptr storeErrorForLockFailure(const InstanceLockError& error)
{
    switch (error.reason()) {
    case InstanceLockError::Reason::HeldByAnotherInstance:
        return std::make_exception_ptr(StoreAccessError::alreadyRunning());
    case InstanceLockError::Reason::CannotOpen:
        return std::make_exception_ptr(AppError(
            QStringLiteral("无法建立便笺数据锁（%1）。").arg(FileSystemError::reasonText(error.systemError()))));
    case InstanceLockError::Reason::CannotLock:
        break;
    }
    // Not another instance: the file system refused the lock itself.
    return std::make_exception_ptr(
        AppError(QStringLiteral("无法锁定便笺数据目录（%1），请确认数据文件夹位于支持文件锁的本地磁盘上。")
                     .arg(FileSystemError::reasonText(error.systemError()))));
}

QString describeError(const std::exception_ptr& error)
{
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
    } catch (const AppError& appError) {
        return appError.message;
    } catch (const StoreAccessError& accessError) {
        return accessError.localizedDescription();
    } catch (const SqliteError& sqliteError) {
        return sqliteFailureText(sqliteError);
    } catch (const json::Error& jsonError) {
        return QStringLiteral("数据无法读取：%1").arg(jsonError.message());
    } catch (const std::exception& other) {
        // Every failure of our own is worded in Chinese; a library's text
        // only ever follows as the detail.
        const QString text = QString::fromUtf8(other.what());
        return hasChineseText(text) ? text : QStringLiteral("操作失败（%1）。").arg(text);
    } catch (...) {
        return QStringLiteral("发生未知错误。");
    }
}

NoteStore::NoteStore(const std::optional<QString>& root, bool exclusiveAccess, NoteStoreServices services,
                     QObject* parent)
    : QObject(parent)
    , m_root(root ? *root : defaultDataDirectory())
    , m_pending(services.saveTimer ? std::move(services.saveTimer) : std::make_unique<QtRestartableTimer>())
    , m_deadline(services.saveDeadlineTimer ? std::move(services.saveDeadlineTimer)
                                            : std::make_unique<QtRestartableTimer>())
    , m_retry(services.saveRetryTimer ? std::move(services.saveRetryTimer) : std::make_unique<QtRestartableTimer>())
    , m_clock(services.clock ? std::move(services.clock) : Clock(systemNow))
    , m_desktop(std::move(services.desktop))
{
    open(exclusiveAccess);
    if (services.writeInBackground) {
        m_background = std::make_unique<BackgroundRecordWrite>();
        connect(m_background.get(), &BackgroundRecordWrite::done, this, &NoteStore::settleBackgroundSave);
    }
}

NoteStore::~NoteStore()
{
    m_pending->cancel();
    m_deadline->cancel();
    m_retry->cancel();
    if (m_background)
        m_background->wait();
    // Close the record store before the lease lets another instance in.
    m_container.reset();
}

QString NoteStore::pathOf(const QString& name) const
{
    return QDir(m_root).filePath(name);
}

void NoteStore::open(bool exclusiveAccess)
{
    makeDirectory(m_root);
    if (exclusiveAccess)
        m_lease.emplace(takeLease(m_root));
    makeDirectory(pathOf(attachmentsDirectoryName));

    const QString preferencesPath = pathOf(preferencesFileName);
    const QString storePath = pathOf(storeFileName);
    m_isFirstLaunch = !QFileInfo::exists(preferencesPath) && !QFileInfo::exists(storePath);

    m_preferences = Preferences();
    std::exception_ptr preferencesError;
    if (QFileInfo::exists(preferencesPath)) {
        try {
            m_preferences = json::decode<Preferences>(readFile(preferencesPath));
        } catch (...) {
            preferencesError = std::current_exception();
        }
    }

    const bool storeExisted = QFileInfo::exists(storePath) || QFileInfo(storePath).isSymLink();
    // Opening refused for the preferences alone must not leave a new, empty
    // store behind.
    if (!storeExisted && preferencesError)
        std::rethrow_exception(preferencesError);
    if (storeExisted) {
        switch (existingStoreModel(storePath)) {
        case StoreModel::Current:
            break;
        case StoreModel::Legacy:
            migrateLegacyStore();
            break;
        case StoreModel::Unknown:
            throw AppError(QStringLiteral("数据库模型版本不受支持，原始数据已保留。"));
        }
    }
    m_container = std::make_unique<RecordStore>(storePath);

    bool needsUpgrade = false;
    const std::optional<QByteArray> appState = m_container->readAppState();
    if (appState) {
        const BackupManifest manifest = decodeValidManifest(*appState);
        m_preferences = manifest.preferences; // wins over "Preferences.json"
        needsUpgrade = manifest.schemaVersion < BackupManifest::currentSchemaVersion;
    } else if (preferencesError) {
        std::rethrow_exception(preferencesError);
    }

    const std::vector<StoredRecord> rows = m_container->readRecords();
    LoadedNotes loaded = loadNotes(rows, m_preferences);
    needsUpgrade = needsUpgrade || loaded.needsUpgrade;
    const bool rowsAsSaved = loaded.rowsAsSaved;
    m_notes = std::move(loaded.notes);
    forgetPositions();
    const bool snapshotDiffers = reduceToDurableSnapshot(m_notes);

    bool markedExplicit = false;
    if (m_preferences.isCloseRetentionUpgraded()) {
        for (Note& note : m_notes) {
            if (note.deletedAt && !note.deletionIsExplicit) {
                note.deletionIsExplicit = true;
                markedExplicit = true;
            }
        }
    }
    std::stable_sort(m_notes.begin(), m_notes.end(),
                     [](const Note& a, const Note& b) { return a.createdAt < b.createdAt; });
    forgetPositions();

    m_writer.loadCommitted(rows, appState);
    if (needsUpgrade) {
        checkpointBeforeSchemaUpgrade();
        save();
    } else if (snapshotDiffers || markedExplicit) {
        save();
    } else if (rowsAsSaved) {
        m_writer.adoptOpened(m_notes, m_preferences);
    }
}

void NoteStore::migrateLegacyStore()
{
    const QString storePath = pathOf(storeFileName);
    const QString recovery = pathOf(recoveryDirectoryName);
    makeDirectory(recovery);
    RecordStore::copy(storePath,
                      QDir(recovery).filePath(QStringLiteral("BeforeWorkspace-%1.sqlite").arg(newUuidText())));
    const QString migration = pathOf(QStringLiteral("Migration-%1.sqlite").arg(newUuidText()));
    RecordStore::migrateLegacy(storePath, migration);
    RecordStore::replace(migration, storePath);
    try {
        RecordStore::destroy(migration); // normally already gone with the move
    } catch (const std::exception&) {
    }
}

void NoteStore::checkpointBeforeSchemaUpgrade()
{
    const QString directory =
        QDir(pathOf(recoveryDirectoryName)).filePath(QStringLiteral("BeforeSchema6-%1").arg(newUuidText()));
    makeDirectory(directory);
    RecordStore::copy(pathOf(storeFileName), QDir(directory).filePath(storeFileName));
    const QString preferencesPath = pathOf(preferencesFileName);
    if (QFileInfo::exists(preferencesPath))
        copyFileSafely(preferencesPath, QDir(directory).filePath(preferencesFileName));
}

void NoteStore::writePreferencesFile(const QByteArray& json)
{
    // A file that already holds these very bytes is left alone: rewriting it
    // would only cost two disk flushes on every save.
    QFile current(pathOf(preferencesFileName));
    if (current.open(QIODevice::ReadOnly) && current.size() == json.size() && current.readAll() == json)
        return;
    writeFileSafely(pathOf(preferencesFileName), json);
}

RecordWriter::Plan NoteStore::planSave()
{
    m_pending->cancel();
    m_deadline->cancel();
    try {
        RecordWriter::Plan plan =
            m_writer.plan(m_notes, m_preferences, [this](const QUuid& id) -> std::optional<size_t> {
                const qsizetype index = indexOf(id);
                return index < 0 ? std::nullopt : std::optional<size_t>(size_t(index));
            });
        writePreferencesFile(plan.preferencesJson);
        return plan;
    } catch (...) {
        failedToSave(std::current_exception());
        throw;
    }
}

void NoteStore::save()
{
    settleBackgroundSave();
    RecordWriter::Plan plan = planSave();
    try {
        m_container->apply(plan.changes);
    } catch (...) {
        failedToSave(std::current_exception());
        throw;
    }
    saved(std::move(plan));
}

void NoteStore::startSavingInBackground(SaveKind kind)
{
    RecordWriter::Plan plan = planSave();
    if (plan.changes.isEmpty()) {
        saved(std::move(plan));
        return;
    }
    // A note of many blocks saved for the first time in a while has its
    // next encoding written into fresh memory, whose every page the system
    // clears on the way: the writing thread takes that on meanwhile.
    m_roomWanted = m_writer.roomWanted(plan);
    m_roomMade.reset();
    std::function<void()> makeRoom;
    if (m_roomWanted) {
        makeRoom = [made = &m_roomMade, room = *m_roomWanted] {
            made->emplace(EncodedNote::roomFor(room.bytes, room.blocks));
        };
    }
    m_background->start(*m_container, plan.changes, std::move(makeRoom));
    m_writing = std::move(plan);
    m_writingKind = kind;
}

void NoteStore::settleBackgroundSave()
{
    if (!m_writing)
        return;
    const std::exception_ptr failure = m_background->wait();
    RecordWriter::Plan plan = std::move(*m_writing);
    m_writing.reset();
    if (failure) {
        failedToSave(failure);
        reportSaveFailure(failure, m_writingKind);
    } else {
        saved(std::move(plan));
        if (m_roomWanted && m_roomMade)
            m_writer.lend(m_roomWanted->note, std::move(*m_roomMade));
    }
    m_roomWanted.reset();
    m_roomMade.reset();
    // What changed while the records were written is saved in turn.
    if (std::exchange(m_saveAfterWriting, false) && !m_pending->isPending())
        m_pending->start(saveDelay, [this] { runDeferredSave(); });
}

void NoteStore::saved(RecordWriter::Plan plan)
{
    m_writer.adopt(std::move(plan));
    m_lastError = nullptr;
    const bool recovered = std::exchange(m_saveFailed, false);
    m_retry->cancel();
    m_backoff.reset();
    m_reportedSaveFailure.clear();
    if (m_onCommit)
        m_onCommit();
    if (recovered)
        Q_EMIT unsavedChangesSaved();
}

void NoteStore::failedToSave(std::exception_ptr error)
{
    m_lastError = std::move(error);
    m_saveFailed = true;
    // What failed to be written is still marked changed; it is written
    // by the next save that succeeds.
    m_retry->start(m_backoff.next(), [this] { retrySave(); });
}

void NoteStore::reportSaveFailure(const std::exception_ptr& cause, SaveKind kind)
{
    const std::exception_ptr error = unsavedChangesError(cause);
    m_lastError = error;
    const QString message = describeError(error);
    if (kind == SaveKind::Deferred && message == m_reportedSaveFailure)
        return;
    m_reportedSaveFailure = message;
    if (m_onError)
        m_onError(error);
}

void NoteStore::retrySave()
{
    try {
        save();
    } catch (...) {
        // Already told; the next attempt is scheduled.
        m_lastError = unsavedChangesError(std::current_exception());
    }
}

void NoteStore::retrySaveNow()
{
    if (m_retry->isPending())
        retrySave();
}

void NoteStore::reportError(std::exception_ptr error)
{
    m_lastError = error;
    if (m_onError)
        m_onError(std::move(error));
}

qsizetype NoteStore::indexOf(const QUuid& id) const
{
    const auto matches = [&](qsizetype index) {
        return index >= 0 && size_t(index) < m_notes.size() && m_notes[size_t(index)].id == id;
    };
    // Every change of the list keeps or invalidates positions; a position
    // that no longer holds its note, or a count that differs, means the list
    // changed since the index was built.
    if (m_positions.size() == qsizetype(m_notes.size())) {
        const auto found = m_positions.constFind(id);
        if (found == m_positions.cend())
            return -1;
        if (matches(*found))
            return *found;
    }
    m_positions.clear();
    m_positions.reserve(qsizetype(m_notes.size()));
    for (size_t index = 0; index < m_notes.size(); ++index) {
        if (!m_positions.contains(m_notes[index].id)) // the first note with an id is the one found
            m_positions.insert(m_notes[index].id, qsizetype(index));
    }
    const auto found = m_positions.constFind(id);
    return found != m_positions.cend() && matches(*found) ? *found : -1;
}

Note* NoteStore::find(const QUuid& id)
{
    const qsizetype index = indexOf(id);
    return index < 0 ? nullptr : &m_notes[size_t(index)];
}

const Note* NoteStore::findNote(const QUuid& id) const
{
    const qsizetype index = indexOf(id);
    return index < 0 ? nullptr : &m_notes[size_t(index)];
}

bool NoteStore::hasActiveNotes() const
{
    return std::any_of(m_notes.begin(), m_notes.end(), [](const Note& note) { return !note.deletedAt; });
}

void NoteStore::update(Note note, bool immediate, bool notify)
{
    Note* stored = find(note.id);
    if (!stored)
        return;
    const QUuid id = note.id;
    *stored = withNormalizedFileLinks(std::move(note));
    stored->updatedAt = m_clock();
    markChanged(*stored);
    changed(id, immediate, notify);
}

void NoteStore::changed(const QUuid& id, bool immediate, bool notify)
{
    if (immediate) {
        try {
            // Started at once, but written in the background like the
            // deferred save: a command on a note of many blocks does not
            // hold the event loop while SQLite writes its record.
            if (m_background) {
                settleBackgroundSave();
                startSavingInBackground(SaveKind::Immediate);
            } else {
                save();
            }
        } catch (...) {
            reportSaveFailure(std::current_exception(), SaveKind::Immediate);
        }
    } else {
        m_pending->start(saveDelay, [this] { runDeferredSave(); });
        // The longest wait counts from the first update not yet saved and is
        // never restarted by the ones after it.
        if (!m_deadline->isPending())
            m_deadline->start(longestSaveWait, [this] { runDeferredSave(); });
    }
    if (notify)
        Q_EMIT notesChanged(id);
}

void NoteStore::runDeferredSave()
{
    if (m_writing) {
        m_saveAfterWriting = true;
        return;
    }
    try {
        if (m_background)
            startSavingInBackground(SaveKind::Deferred);
        else
            save();
    } catch (...) {
        reportSaveFailure(std::current_exception(), SaveKind::Deferred);
    }
}

std::optional<Note> NoteStore::note(const QUuid& id) const
{
    if (const Note* found = findNote(id))
        return *found;
    return std::nullopt;
}

std::vector<Note> NoteStore::active() const
{
    std::vector<Note> result;
    std::copy_if(m_notes.begin(), m_notes.end(), std::back_inserter(result),
                 [](const Note& note) { return !note.deletedAt; });
    return result;
}

std::vector<QUuid> NoteStore::activeIds() const
{
    std::vector<QUuid> ids;
    for (const Note& note : m_notes) {
        if (!note.deletedAt)
            ids.push_back(note.id);
    }
    return ids;
}

Note NoteStore::create(const std::optional<AttributedString>& text)
{
    Note note = Note::create(m_clock);
    note.color = m_preferences.color;
    note.opacity = m_preferences.opacity;
    note.alwaysOnTop = m_preferences.alwaysOnTop;
    note.frame.width = m_preferences.width;
    note.frame.height = m_preferences.height;

    const bool fontInstalled = !m_desktop || m_desktop->hasFontFamily(m_preferences.fontName);
    const TextFont font = fontInstalled ? TextFont{m_preferences.fontName, m_preferences.fontSize}
                                        : TextFont::system(m_preferences.fontSize);
    Block block = Block::create(m_clock);
    block.kind = BlockKind::Paragraph;
    block.text = text ? RichText(inFont(*text, font)) : RichText(QString(), font);
    note.blocks = {block};

    if (const std::optional<QRectF> screen = m_desktop ? m_desktop->mainScreenVisibleFrame() : std::nullopt) {
        const qsizetype activeCount = std::count_if(m_notes.begin(), m_notes.end(),
                                                    [](const Note& existing) { return !existing.deletedAt; });
        const double offset = double(activeCount % 12) * 22;
        note.frame.x = screen->center().x() - note.frame.width / 2 + offset;
        note.frame.y = screen->center().y() - note.frame.height / 2 - offset;
    }

    m_notes.push_back(note);
    forgetPositions();
    markChanged(note);
    changed(note.id, true, true);
    return note;
}

bool NoteStore::deleteNote(const QUuid& id)
{
    Note* existing = find(id);
    if (!existing)
        return false;
    if (existing->isEmpty()) {
        try {
            return discardEmptyNote(id);
        } catch (...) {
            reportError(std::current_exception());
            return false;
        }
    }
    // A deletion that cannot be saved is taken back, so that the note's
    // window never stays open on a note in the recently deleted.
    const Note live = *existing;
    existing->deletedAt = m_clock();
    existing->deletionIsExplicit = true;
    existing->updatedAt = m_clock();
    markChanged(*existing);
    try {
        save();
    } catch (...) {
        *find(id) = live;
        reportError(std::current_exception());
        return false;
    }
    Q_EMIT notesChanged(id);
    return true;
}

void NoteStore::changeAllAndSave(const std::function<void()>& change)
{
    const std::vector<Note> savedNotes = m_notes;
    const Preferences savedPreferences = m_preferences;
    change();
    try {
        save();
    } catch (...) {
        m_notes = savedNotes;
        forgetPositions();
        m_preferences = savedPreferences;
        throw;
    }
    Q_EMIT notesChanged(std::nullopt);
}

void NoteStore::detachDockingsTo(const QUuid& id)
{
    for (Note& note : m_notes) {
        if (note.docking && note.docking->targetID == id) {
            note.docking.reset();
            markChanged(note);
        }
    }
}

bool NoteStore::discardEmptyNote(const QUuid& id)
{
    const Note* existing = find(id);
    if (!existing || !existing->isEmpty())
        return false;
    changeAllAndSave([&] {
        m_writer.markChanged(id);
        std::erase_if(m_notes, [&](const Note& note) { return note.id == id; });
        forgetPositions();
        detachDockingsTo(id);
    });
    return true;
}

void NoteStore::closeAndDetachNote(const QUuid& id)
{
    if (!find(id))
        return;
    changeAllAndSave([&] {
        Note* closing = find(id);
        closing->isHidden = true;
        closing->docking.reset();
        markChanged(*closing);
        detachDockingsTo(id);
    });
}

bool NoteStore::updateGeometryInMemory(const QUuid& id, const WindowFrame& frame,
                                       const std::optional<NoteDock>& docking)
{
    Note* note = find(id);
    if (!note || (note->frame == frame && note->docking == docking))
        return false;
    note->frame = frame;
    note->docking = docking;
    note->updatedAt = m_clock();
    markChanged(*note);
    return true;
}

void NoteStore::updateGeometry(const QUuid& id, const WindowFrame& frame, const std::optional<NoteDock>& docking)
{
    if (updateGeometryInMemory(id, frame, docking))
        changed(id, false, false);
}

bool NoteStore::setSharedWindowLayer(bool onTop)
{
    try {
        changeAllAndSave([&] {
            m_preferences.alwaysOnTop = onTop;
            for (Note& note : m_notes) {
                if (!note.deletedAt && note.alwaysOnTop != onTop) {
                    note.alwaysOnTop = onTop;
                    markChanged(note);
                }
            }
        });
    } catch (...) {
        reportError(std::current_exception());
        return false;
    }
    return true;
}


void NoteStore::setFilePersistence(bool enabled)
{
    changeAllAndSave([&] {
        m_preferences.persistFileLinks = enabled;
        if (enabled)
            return;
        for (Note& note : m_notes) {
            if (!note.fileLinks)
                continue;
            note.removeFileLinks();
            markChanged(note);
        }
    });
}

} // namespace quorrin
