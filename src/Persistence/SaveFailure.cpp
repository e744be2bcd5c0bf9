#include "Persistence/SaveFailure.h"

#include "Domain/AppError.h"
#include "Persistence/NoteStore.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Storage/Sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>

namespace quorrin {

bool isOutOfSpace(const std::exception_ptr& error)
{
    if (!error)
        return false;
    try {
        std::rethrow_exception(error);
    } catch (const SqliteError& sqliteError) {
        return sqliteError.primaryCode() == SQLITE_FULL;
    } catch (const FileSystemError& fileError) {
        const int reason = fileError.errorNumber();
        return reason == ENOSPC || reason == EDQUOT || reason == EFBIG;
    } catch (...) {
        return false;
    }
}

std::exception_ptr unsavedChangesError(const std::exception_ptr& cause)
{
    if (isOutOfSpace(cause)) {
        return std::make_exception_ptr(UnsavedChangesError(
            QStringLiteral("磁盘空间不足，便笺未能保存。内容仍保留在便笺中，腾出磁盘空间后会自动保存。")));
    }
    QString reason = describeError(cause);
    while (reason.endsWith(u'。') || reason.endsWith(u'.'))
        reason.chop(1);
    return std::make_exception_ptr(UnsavedChangesError(
        QStringLiteral("便笺未能保存：%1。内容仍保留在便笺中，Quorrin 会自动重试，直到保存成功。").arg(reason)));
}

bool isUnsavedChangesError(const std::exception_ptr& error)
{
    if (!error)
        return false;
    try {
        std::rethrow_exception(error);
    } catch (const UnsavedChangesError&) {
        return true;
    } catch (...) {
        return false;
    }
}

std::chrono::milliseconds SaveRetryBackoff::next()
{
    const std::chrono::milliseconds wait = m_next;
    m_next = std::min(m_next * 2, longestWait);
    return wait;
}

} // namespace quorrin
