#include "Core/Storage/SqliteFailureText.h"

#include "Core/Storage/Sqlite.h"

#include <sqlite3.h>

namespace quorrin {
namespace {

struct Wording {
    QString sentence; // without the closing full stop
    bool withDetail;  // SQLite's own text helps to find the cause
};

Wording wordingFor(int primaryCode)
{
    switch (primaryCode) {
    case SQLITE_FULL:
        return {QStringLiteral("磁盘空间不足，无法写入便笺数据库"), false};
    case SQLITE_READONLY:
        return {QStringLiteral("便笺数据库只能读取、不能写入，请检查数据文件夹的写入权限"), false};
    case SQLITE_IOERR:
        return {QStringLiteral("读写便笺数据库时磁盘出错"), true};
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return {QStringLiteral("便笺数据库正被占用，请稍后重试"), false};
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return {QStringLiteral("便笺数据库已损坏"), false};
    case SQLITE_CANTOPEN:
        return {QStringLiteral("无法打开便笺数据库文件"), true};
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return {QStringLiteral("没有访问便笺数据库的权限"), false};
    case SQLITE_NOMEM:
        return {QStringLiteral("内存不足，无法完成便笺数据库的操作"), false};
    case SQLITE_TOOBIG:
        return {QStringLiteral("内容过大，无法存入便笺数据库"), false};
    case SQLITE_NOLFS:
        return {QStringLiteral("所在文件系统不支持大文件，无法写入便笺数据库"), false};
    case SQLITE_PROTOCOL:
        return {QStringLiteral("便笺数据库的文件锁出错，请稍后重试"), false};
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT:
        return {QStringLiteral("便笺数据库的操作被中断"), false};
    case SQLITE_CONSTRAINT:
        return {QStringLiteral("便笺数据库拒绝了不一致的数据"), true};
    case SQLITE_SCHEMA:
        return {QStringLiteral("便笺数据库的结构在操作中发生了变化，请重试"), false};
    default:
        return {QStringLiteral("便笺数据库出错"), true};
    }
}

} // namespace

QString sqliteFailureText(int extendedCode, const QString& detail)
{
    const Wording wording = wordingFor(extendedCode & 0xff);
    if (!wording.withDetail || detail.trimmed().isEmpty())
        return wording.sentence + u'。';
    return QStringLiteral("%1（SQLite %2：%3）。").arg(wording.sentence).arg(extendedCode).arg(detail.trimmed());
}

QString sqliteFailureText(const SqliteError& error)
{
    return sqliteFailureText(error.extendedCode(), error.message());
}

} // namespace quorrin
