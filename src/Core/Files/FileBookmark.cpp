#include "Core/Files/FileBookmark.h"

#include "Core/Files/FileSystemError.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>

namespace quorrin::filebookmark {
namespace {

// 1: path, device, inode. 2: also the birth time, when the file system has one.
constexpr int firstVersion = 1;
constexpr int currentVersion = 2;

const QString versionKey = QStringLiteral("version");
const QString pathKey = QStringLiteral("path");
const QString deviceKey = QStringLiteral("device");
const QString inodeKey = QStringLiteral("inode");
const QString birthSecondsKey = QStringLiteral("birthSeconds");
const QString birthNanosecondsKey = QStringLiteral("birthNanoseconds");

// Numbers are written as decimal text: a JSON number cannot hold every 64-bit
// value exactly.
std::optional<quint64> readUnsigned(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    bool ok = false;
    const quint64 number = value.toString().toULongLong(&ok);
    return ok ? std::optional<quint64>(number) : std::nullopt;
}

std::optional<qint64> readSigned(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    bool ok = false;
    const qint64 number = value.toString().toLongLong(&ok);
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

// Absent keys are a birth time the file system did not report; a half or
// malformed one is not a bookmark of ours. The outer optional is "readable".
std::optional<std::optional<BirthTime>> readBirth(const QJsonObject& object)
{
    const bool hasSeconds = object.contains(birthSecondsKey);
    const bool hasNanoseconds = object.contains(birthNanosecondsKey);
    if (!hasSeconds && !hasNanoseconds)
        return std::optional<BirthTime>();
    const std::optional<qint64> seconds = readSigned(object.value(birthSecondsKey));
    const std::optional<quint64> nanoseconds = readUnsigned(object.value(birthNanosecondsKey));
    if (!seconds || !nanoseconds || *nanoseconds > 999'999'999)
        return std::nullopt;
    return std::optional<BirthTime>(BirthTime{*seconds, quint32(*nanoseconds)});
}

} // namespace

QByteArray encode(const Contents& contents)
{
    QJsonObject object{
        {versionKey, currentVersion},
        {pathKey, contents.path},
        {deviceKey, QString::number(contents.identity.device)},
        {inodeKey, QString::number(contents.identity.inode)},
    };
    if (const std::optional<BirthTime>& birth = contents.identity.birth) {
        object.insert(birthSecondsKey, QString::number(birth->seconds));
        object.insert(birthNanosecondsKey, QString::number(birth->nanoseconds));
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Contents> decode(const QByteArray& bookmark)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bookmark, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue versionValue = object.value(versionKey);
    const int version = versionValue.isDouble() ? versionValue.toInt() : 0;
    if (version < firstVersion || version > currentVersion)
        return std::nullopt;
    const QJsonValue path = object.value(pathKey);
    const std::optional<quint64> device = readUnsigned(object.value(deviceKey));
    const std::optional<quint64> inode = readUnsigned(object.value(inodeKey));
    if (!path.isString() || !device || !inode)
        return std::nullopt;
    const QString stored = path.toString();
    if (!QDir::isAbsolutePath(stored) || stored.contains(QChar(0)))
        return std::nullopt;
    Contents contents{stored, FileIdentity{*device, *inode, std::nullopt}};
    // The first version never wrote a birth time; whatever else it holds is
    // read as it always was.
    if (version >= 2) {
        const std::optional<std::optional<BirthTime>> birth = readBirth(object);
        if (!birth)
            return std::nullopt;
        contents.identity.birth = *birth;
    }
    return contents;
}

QByteArray make(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    int error = ENOENT;
    const std::optional<FileIdentity> identity = canonical.isEmpty() ? std::nullopt : fileIdentity(canonical, &error);
    if (!identity)
        throw FileSystemError::fromErrno(QStringLiteral("无法关联"), path, error);
    return encode(Contents{canonical, *identity});
}

std::optional<Resolution> resolve(const QByteArray& bookmark)
{
    const std::optional<Contents> contents = decode(bookmark);
    if (!contents)
        return std::nullopt;
    const std::optional<FileIdentity> now = fileIdentity(contents->path);
    if (!now)
        return std::nullopt;
    return Resolution{contents->path, !isSameFile(contents->identity, *now)};
}

} // namespace quorrin::filebookmark
