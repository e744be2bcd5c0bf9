#include "Platform/Translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

namespace quorrin {
namespace {

TEST(Translations, QtStandardButtonsReadInChinese)
{
    QTranslator translator;
    ASSERT_TRUE(translations::installQtChinese(*QCoreApplication::instance(), translator))
        << "qtbase_zh_CN.qm missing in " << translations::qtTranslationsDirectory().toStdString();
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCoreApplication::removeTranslator(&translator);
    QDialogButtonBox english(QDialogButtonBox::Cancel);
    EXPECT_EQ(english.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
}

} // namespace
} // namespace quorrin
