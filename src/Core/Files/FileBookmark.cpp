#include "Core/Files/FileBookmark.h"

#include "Core/Files/FileSystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <sys/stat.h>

namespace quorrin::filebookmark {
namespace {

constexpr int version = 1;

struct Identity {
    quint64 device = 0;
    quint64 inode = 0;
};

std::optional<Identity> identityOf(const QString& path, int* error = nullptr)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    return Identity{quint64(status.st_dev), quint64(status.st_ino)};
}

// Identities are written as decimal text: a JSON number cannot hold every
// 64-bit value exactly.
std::optional<quint64> readNumber(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    bool ok = false;
    const quint64 number = value.toString().toULongLong(&ok);
    return ok ? std::optional<quint64>(number) : std::nullopt;
}

} // namespace

QByteArray make(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    int error = ENOENT;
    const std::optional<Identity> identity = canonical.isEmpty() ? std::nullopt : identityOf(canonical, &error);
    if (!identity)
        throw FileSystemError::fromErrno(QStringLiteral("无法关联"), path, error);
    const QJsonObject object{
        {QStringLiteral("version"), version},
        {QStringLiteral("path"), canonical},
        {QStringLiteral("device"), QString::number(identity->device)},
        {QStringLiteral("inode"), QString::number(identity->inode)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Resolution> resolve(const QByteArray& bookmark)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bookmark, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue path = object.value(QStringLiteral("path"));
    const std::optional<quint64> device = readNumber(object.value(QStringLiteral("device")));
    const std::optional<quint64> inode = readNumber(object.value(QStringLiteral("inode")));
    if (object.value(QStringLiteral("version")).toInt() != version || !path.isString() || !device || !inode)
        return std::nullopt;
    const QString stored = path.toString();
    if (!QDir::isAbsolutePath(stored) || stored.contains(QChar(0)))
        return std::nullopt;
    const std::optional<Identity> now = identityOf(stored);
    if (!now)
        return std::nullopt;
    return Resolution{stored, now->device != *device || now->inode != *inode};
}

} // namespace quorrin::filebookmark
