#include "Platform/InterfaceLocale.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>

namespace quorrin {
namespace {

using interfacelocale::SystemLocaleOverride;

TEST(InterfaceLocale, DatesReadInChineseWhateverTheDesktopSays)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    interfacelocale::makeDefault();
    EXPECT_EQ(QLocale().name(), QStringLiteral("zh_CN"));
    EXPECT_EQ(QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat), QStringLiteral("2026/12/9"));
    QLocale::setDefault(before);
}

TEST(InterfaceLocale, TheEnvironmentNamesChineseOnlyWhileTheOverrideLives)
{
    const QByteArray variable = SystemLocaleOverride::variable;
    const std::optional<QByteArray> saved =
        qEnvironmentVariableIsSet(variable) ? std::optional(qgetenv(variable)) : std::nullopt;
    for (const std::optional<QByteArray>& user : {std::optional<QByteArray>("en_US.UTF-8"),
                                                   std::optional<QByteArray>()}) {
        if (user)
            qputenv(variable, *user);
        else
            qunsetenv(variable);
        {
            SystemLocaleOverride chinese;
            EXPECT_EQ(qgetenv(variable), QByteArray(SystemLocaleOverride::value));
        }
        EXPECT_EQ(qEnvironmentVariableIsSet(variable), user.has_value());
        if (user) {
            EXPECT_EQ(qgetenv(variable), *user);
        }
    }
    if (saved)
        qputenv(variable, *saved);
    else
        qunsetenv(variable);
}

TEST(InterfaceLocale, FileDialogsNameFoldersInChinese)
{
    QFileIconProvider provider;
    const QFileInfo folder(QDir::tempPath());
    EXPECT_EQ(provider.type(folder), QStringLiteral("Folder"));
    interfacelocale::FileKindTexts texts;
    QCoreApplication::installTranslator(&texts);
    EXPECT_EQ(provider.type(folder), QStringLiteral("文件夹"));
    EXPECT_EQ(texts.translate("QFileDialog", "Folder"), QString()); // other contexts are Qt's own
    QCoreApplication::removeTranslator(&texts);
}

} // namespace
} // namespace quorrin
