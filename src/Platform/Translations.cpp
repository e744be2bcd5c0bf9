#include "Platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorrin::translations {

QString qtTranslationsDirectory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool installQtChinese(QCoreApplication& application, QTranslator& translator)
{
    if (!translator.load(QStringLiteral("qtbase_zh_CN"), qtTranslationsDirectory()))
        return false;
    return application.installTranslator(&translator);
}

} // namespace quorrin::translations
