#include "Editor/NoteStoreBinding.h"

#include "Persistence/NoteStore.h"
#include "Core/Files/FileNames.h"

#include <QDir>
#include <QFileInfo>

namespace quorrin {
namespace {

// The store learns to import attachments separately; until it can, importing
// fails with a message instead of silently doing nothing.
template <typename Store> Attachment importInto(Store& store, const QString& path)
{
    if constexpr (requires { store.importAttachment(path); })
        return store.importAttachment(path);
    else
        throw AppError(QStringLiteral("无法导入附件：") + QFileInfo(path).fileName());
}

} // namespace

NoteStoreBinding::NoteStoreBinding(NoteStore& store)
    : m_store(store)
{
}

const Note* NoteStoreBinding::findNote(const QUuid& id) const
{
    return m_store.findNote(id);
}

std::optional<AppError> NoteStoreBinding::update(Note note, bool immediate, bool notify)
{
    // A failure of this very update leaves a new error behind; an older one
    // must not be mistaken for it.
    const std::exception_ptr before = m_store.lastError();
    m_store.update(std::move(note), immediate, notify);
    const std::exception_ptr after = m_store.lastError();
    if (!after || after == before)
        return std::nullopt;
    return AppError(describeError(after));
}

void NoteStoreBinding::report(const AppError& error)
{
    m_store.reportError(std::make_exception_ptr(error));
}

Preferences NoteStoreBinding::preferences() const
{
    return m_store.preferences();
}

QString NoteStoreBinding::attachmentPath(const Attachment& attachment) const
{
    // Only a bare file name inside "Attachments" is followed, and never
    // through a symbolic link, which could lead anywhere.
    const QString name = attachment.relativePath;
    if (!filenames::isPlainFileName(name))
        return {};
    const QString path = QDir(m_store.root()).filePath(NoteStore::attachmentsDirectoryName + QLatin1Char('/') + name);
    if (QFileInfo(path).isSymLink())
        return {};
    return path;
}

Attachment NoteStoreBinding::importAttachment(const QString& path)
{
    return importInto(m_store, path);
}

} // namespace quorrin
