#pragma once

#include "Domain/AppError.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace quorrin::testing {

// Whether a message reads as Chinese: it holds Chinese, and Latin words
// appear only as details in parentheses, inside quotation marks (names the
// user gave) or as the few names the program uses as they are.
inline bool readsAsChinese(const QString& message)
{
    if (!hasChineseText(message))
        return false;
    static const QRegularExpression enclosed(QStringLiteral("（[^）]*）|\\([^)]*\\)|“[^”]*”|「[^」]*」"));
    QString bare = message;
    bare.remove(enclosed);
    static const QStringList names = {"Quorrin", "SQLite", "JSON", "UTF", "Base64", "KB", "MB", "GB", "TB",
                                      "manifest", "json"};
    static const QRegularExpression word(QStringLiteral("[A-Za-z][A-Za-z0-9]+"));
    for (auto it = word.globalMatch(bare); it.hasNext();) {
        if (!names.contains(it.next().captured()))
            return false;
    }
    return true;
}

} // namespace quorrin::testing
