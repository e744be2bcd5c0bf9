#pragma once

#include "Domain/BackupManifest.h"
#include "Domain/Json.h"
#include "Persistence/NoteStore.h"
#include "Persistence/RecordWriter.h"
#include "Support/ManualRestartableTimer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace quorrin::testing {

// A deferred-save timer the test fires by hand.
using FakeTimer = ManualRestartableTimer;

class FakeDesktop final : public DesktopMetrics {
public:
    std::optional<QRectF> frame;
    QStringList fonts;

    std::optional<QRectF> mainScreenVisibleFrame() const override { return frame; }
    bool hasFontFamily(const QString& family) const override { return fonts.contains(family); }
};

inline QUuid uuid(int n)
{
    return QUuid(QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0')));
}

inline Clock fixedClock(double seconds)
{
    return [seconds] { return Date{seconds}; };
}

// A note with one paragraph of the given text, created at `created`.
inline Note textNote(int n, const QString& plain, double created = 700000000)
{
    Note note = Note::create(fixedClock(created));
    note.id = uuid(n);
    note.blocks.front().id = uuid(1000 + n);
    note.blocks.front().text = RichText(plain, TextFont::system(14));
    return note;
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray manifestPayload(const std::vector<Note>& notes, qint64 schemaVersion = 6,
                                  const Preferences& preferences = {})
{
    return json::encode(BackupManifest{schemaVersion, Date{0}, notes, preferences});
}

// A data directory in a temporary folder, with the store's collaborators.
class StoreDirectory {
public:
    QString path() const { return m_directory.path(); }
    QString file(const QString& name) const { return m_directory.filePath(name); }
    QString storePath() const { return file(NoteStore::storeFileName); }

    std::unique_ptr<NoteStore> open(bool exclusiveAccess = true, bool writeInBackground = false)
    {
        NoteStoreServices services;
        services.writeInBackground = writeInBackground;
        services.clock = [this] { return now; };
        services.desktop = desktop;
        auto timerOwner = std::make_unique<FakeTimer>();
        timer = timerOwner.get();
        services.saveTimer = std::move(timerOwner);
        auto deadlineOwner = std::make_unique<FakeTimer>();
        deadline = deadlineOwner.get();
        services.saveDeadlineTimer = std::move(deadlineOwner);
        auto retryOwner = std::make_unique<FakeTimer>();
        retry = retryOwner.get();
        services.saveRetryTimer = std::move(retryOwner);
        return std::make_unique<NoteStore>(path(), exclusiveAccess, std::move(services));
    }

    // Writes rows straight into a store file of the current model.
    void writeRows(const std::vector<std::pair<QString, QByteArray>>& rows,
                   const std::optional<QByteArray>& appState = std::nullopt)
    {
        RecordStore store(storePath());
        RecordChanges changes;
        for (const auto& [id, payload] : rows)
            changes.writes.push_back({id, payload, 0});
        changes.appState = appState;
        store.apply(changes);
    }

    // Makes every later save fail: the preferences file becomes a folder that
    // is not empty, so it can be neither replaced nor removed.
    void breakSaving() const
    {
        const QString preferences = file(NoteStore::preferencesFileName);
        QFile::remove(preferences);
        QDir().mkpath(preferences + QStringLiteral("/occupied"));
    }
    // Saving works again.
    void repairSaving() const { QDir(file(NoteStore::preferencesFileName)).removeRecursively(); }

    Date now{700000500};
    std::shared_ptr<FakeDesktop> desktop = std::make_shared<FakeDesktop>();
    FakeTimer* timer = nullptr; // owned by the last opened store
    FakeTimer* deadline = nullptr; // the longest-wait timer of the same store
    FakeTimer* retry = nullptr; // the same store's timer for trying a failed save again

private:
    QTemporaryDir m_directory;
};

inline QString idText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace quorrin::testing
