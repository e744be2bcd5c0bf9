// The store's backup packages, attachment import and the one-time
// close-retention upgrade. The file work itself lives in BackupPackage and
// AttachmentImport; this is what ties it to the store's notes and saving.

#include "Persistence/AttachmentImport.h"
#include "Persistence/BackupPackage.h"
#include "Persistence/DurableSnapshot.h"
#include "Persistence/NoteStore.h"

#include "Domain/AppError.h"

#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"

#include <QDir>

#include <algorithm>
#include <utility>

namespace quorrin {
namespace {

// "<recovery>/<prefix><UUID>.quorrinbackup", creating the recovery folder.
QString newSafetyCopyPath(const QString& recovery, const QString& prefix)
{
    if (!QDir().mkpath(recovery))
        throw FileSystemError(QStringLiteral("无法创建文件夹“%1”").arg(recovery));
    return recovery + QLatin1Char('/') + prefix + filenames::uuidFileName(backup::packageExtension.mid(1));
}

// The store's file operations fail with an AppError whatever failed beneath
// them (the file system, the record store, a package's JSON), so that callers
// catch one type and always have a message to show.
template <typename Work>
auto failingWithAppError(Work&& work) -> decltype(work())
{
    try {
        return work();
    } catch (const AppError&) {
        throw;
    } catch (...) {
        throw AppError(describeError(std::current_exception()));
    }
}

bool wasClosedUnderTheOldRule(const Note& note)
{
    return note.deletedAt && !note.deletionIsExplicit.value_or(false);
}

} // namespace

BackupResult NoteStore::backup(const QString& target)
{
    return failingWithAppError([&] {
        save();
        BackupManifest manifest{BackupManifest::currentSchemaVersion, m_clock(), durableSnapshot(m_notes),
                                m_preferences};
        return backup::writePackage(target, pathOf(attachmentsDirectoryName), std::move(manifest));
    });
}

void NoteStore::restoreBackup(const QString& package)
{
    failingWithAppError([&] { restoreBackupPackage(package); });
}

void NoteStore::restoreBackupPackage(const QString& package)
{
    const BackupManifest manifest = backup::readVerifiedManifest(package);
    backup(newSafetyCopyPath(pathOf(recoveryDirectoryName), QString()));
    backup::CopiedAttachments copies =
        backup::copyAttachmentsIn(package, durableSnapshot(manifest.notes), pathOf(attachmentsDirectoryName));

    std::vector<Note> previousNotes = std::exchange(m_notes, std::move(copies.notes));
    forgetPositions();
    Preferences previousPreferences = std::exchange(m_preferences, manifest.preferences);
    // Saves look only at marked notes: the notes the restore drops must be
    // marked too, or their rows would outlive the restore.
    for (const std::vector<Note>* notes : {&m_notes, &previousNotes}) {
        for (const Note& note : *notes)
            markChanged(note);
    }
    try {
        save();
    } catch (...) {
        m_notes = std::move(previousNotes);
        forgetPositions();
        m_preferences = std::move(previousPreferences);
        for (const Note& note : m_notes)
            markChanged(note);
        throw; // the copies go with `copies`
    }
    copies.keep();
    Q_EMIT notesChanged(std::nullopt);
}

Attachment NoteStore::importAttachment(const QString& source)
{
    // Sandboxed access grants have no counterpart here: the file is read
    // with the user's own rights.
    return failingWithAppError([&] { return importAttachmentFile(source, pathOf(attachmentsDirectoryName), m_clock); });
}

int NoteStore::repointAttachment(const QUuid& attachmentID, const QString& relativePath, const QString& checksum,
                                 const QString& contentType)
{
    const auto shows = [&](const Block& block) { return block.attachment && block.attachment->id == attachmentID; };
    int changed = 0;
    for (const Note& note : m_notes)
        changed += std::any_of(note.blocks.begin(), note.blocks.end(), shows) ? 1 : 0;
    if (changed == 0)
        return 0;
    changeAllAndSave([&] {
        const Date now = m_clock();
        for (Note& note : m_notes) {
            if (std::none_of(note.blocks.begin(), note.blocks.end(), shows))
                continue;
            for (Block& block : note.blocks) {
                if (!shows(block))
                    continue;
                block.attachment->relativePath = relativePath;
                block.attachment->checksum = checksum;
                block.attachment->contentType = contentType;
            }
            note.updatedAt = now;
            markChanged(note);
        }
    });
    return changed;
}

int NoteStore::upgradeCloseRetentionIfNeeded()
{
    return failingWithAppError([&] { return upgradeCloseRetention(); });
}

int NoteStore::upgradeCloseRetention()
{
    if (m_preferences.isCloseRetentionUpgraded())
        return 0;
    const auto candidates = std::count_if(m_notes.begin(), m_notes.end(), wasClosedUnderTheOldRule);
    if (candidates > 0)
        backup(newSafetyCopyPath(pathOf(recoveryDirectoryName), QStringLiteral("BeforeCloseRetention-")));

    for (Note& note : m_notes) {
        if (!wasClosedUnderTheOldRule(note))
            continue;
        note.deletedAt.reset();
        note.isHidden = false;
        markChanged(note);
    }
    m_preferences.closeRetentionUpgraded = true;
    save();
    return int(candidates);
}

} // namespace quorrin
