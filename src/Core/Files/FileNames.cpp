#include "Core/Files/FileNames.h"

#include <QUuid>

namespace quorrin::filenames {

bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

QString pathExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == fileName.size() - 1)
        return {};
    return fileName.mid(dot + 1);
}

QString uuidFileName(const QString& extension)
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QLatin1Char('.') + extension;
}

QString storedAttachmentName(const QString& sourceFileName)
{
    return uuidFileName(pathExtension(sourceFileName).toLower());
}

} // namespace quorrin::filenames
