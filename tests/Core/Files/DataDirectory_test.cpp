#include "Core/Files/DataDirectory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

using namespace quorrin;

namespace {

TEST(DataDirectoryTest, OverrideWinsWhenNonEmpty)
{
    struct Case {
        QString overrideValue;
        QString location;
        QString expected;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("/home/u/.local/share"), QStringLiteral("/home/u/.local/share/Quorrin")},
        {QStringLiteral(""), QStringLiteral("/data"), QStringLiteral("/data/Quorrin")},
        {QStringLiteral("/tmp/elsewhere"), QStringLiteral("/data"), QStringLiteral("/tmp/elsewhere")},
        {QStringLiteral(" "), QStringLiteral("/data"), QStringLiteral(" ")}, // taken as a path, whatever it holds
        {QStringLiteral("relative/dir"), QStringLiteral("/data"), QStringLiteral("relative/dir")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolveDataDirectory(c.overrideValue, c.location), c.expected) << c.overrideValue.toStdString();
}

TEST(DataDirectoryTest, DefaultReadsTheEnvironmentAndIsAbsolute)
{
    const QByteArray saved = qgetenv(dataDirectoryVariable);
    const bool wasSet = qEnvironmentVariableIsSet(dataDirectoryVariable);

    qputenv(dataDirectoryVariable, "/tmp/quorrin-data");
    EXPECT_EQ(defaultDataDirectory(), QStringLiteral("/tmp/quorrin-data"));

    qputenv(dataDirectoryVariable, "relative-data");
    EXPECT_EQ(defaultDataDirectory(), QDir::current().filePath(QStringLiteral("relative-data")));

    qputenv(dataDirectoryVariable, "");
    EXPECT_EQ(defaultDataDirectory(),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quorrin"));

    if (wasSet)
        qputenv(dataDirectoryVariable, saved);
    else
        qunsetenv(dataDirectoryVariable);
}

} // namespace
