#include "Features/Panels/SettingsView.h"

#include "Features/Panels/PanelTestSupport.h"
#include "Domain/AppError.h"
#include "Widgets/ButtonCursorSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>

namespace quorrin {
namespace {

using testing::PanelStore;

class SettingsTest : public ::testing::Test, protected PanelStore {
protected:
    std::vector<bool> persistenceCalls;
    QStringList confirmations;
    bool confirmAnswer = true;
    bool persistenceFails = false;

    std::unique_ptr<SettingsView> makeView()
    {
        SettingsView::Services services;
        services.setFilePersistence = [this](bool enabled) {
            persistenceCalls.push_back(enabled);
            if (persistenceFails)
                throw AppError(QStringLiteral("无法保存"));
            store->setFilePersistence(enabled);
        };
        services.confirm = [this](const QString& message, const QString& informative, const QString& accept,
                                  const QString& reject) {
            confirmations << message + '|' + informative + '|' + accept + '|' + reject;
            return confirmAnswer;
        };
        return std::make_unique<SettingsView>(*store, std::move(services));
    }

    Preferences reopenedPreferences()
    {
        store.reset();
        store = directory.open();
        return store->preferences();
    }
};

TEST_F(SettingsTest, TheFormShowsThePreferencesAbsentSwitchesOff)
{
    store->preferences().fontSize = 13.5;
    store->preferences().color = NoteColor::Sage;
    store->preferences().confirmDeletion = false;
    auto view = makeView();
    EXPECT_FALSE(view->persistFilesSwitch()->isChecked());
    EXPECT_FALSE(view->privateRemindersSwitch()->isChecked());
    EXPECT_FALSE(view->confirmSwitch()->isChecked());
    EXPECT_TRUE(view->animationsSwitch()->isChecked());
    EXPECT_EQ(view->colorPicker()->currentText(), "鼠尾草绿");
    EXPECT_EQ(view->fontSizeText(), "13 pt");
    EXPECT_EQ(view->message(), "");
    QStringList labels;
    for (int i = 0; i < view->colorPicker()->count(); ++i)
        labels << view->colorPicker()->itemText(i);
    EXPECT_EQ(labels, QStringList({"奶油黄", "雾霾蓝", "鼠尾草绿", "樱花粉", "淡薰衣草紫", "杏仁橙", "珍珠灰", "纯净白"}));
}

TEST_F(SettingsTest, SavingWritesTheEditedFieldsOnly)
{
    store->preferences().fontSize = 13.5;
    store->preferences().opacity = 0.8;
    auto view = makeView();
    view->privateRemindersSwitch()->setChecked(true);
    view->animationsSwitch()->setChecked(false);
    view->colorPicker()->setCurrentIndex(3);
    view->fontSizeSlider()->setValue(20);
    EXPECT_EQ(view->fontSizeText(), "20 pt");
    view->saveButton()->click();
    EXPECT_EQ(view->message(), "已保存");

    const Preferences saved = reopenedPreferences();
    EXPECT_EQ(saved.privateReminderContent, true);
    EXPECT_FALSE(saved.animations);
    EXPECT_EQ(saved.color, NoteColor::Pink);
    EXPECT_EQ(saved.fontSize, 20);
    EXPECT_EQ(saved.opacity, 0.8);
    EXPECT_FALSE(saved.persistFileLinks);
}

TEST_F(SettingsTest, AnUntouchedSliderKeepsAFractionalSize)
{
    store->preferences().fontSize = 13.5;
    auto view = makeView();
    view->save();
    EXPECT_EQ(reopenedPreferences().fontSize, 13.5);
}

TEST_F(SettingsTest, AFailedSaveReportsAndKeepsTheStatusLine)
{
    auto view = makeView();
    view->save();
    breakSaving();
    view->confirmSwitch()->setChecked(false);
    view->save();
    EXPECT_EQ(view->message(), "已保存");
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_FALSE(store->preferences().confirmDeletion); // kept in memory for a later save
}

TEST_F(SettingsTest, TurningFileLinksOffAsksFirstAndOnNever)
{
    auto view = makeView();
    view->persistFilesSwitch()->click(); // on: no question
    EXPECT_TRUE(confirmations.isEmpty());
    EXPECT_EQ(persistenceCalls, std::vector<bool>{true});
    EXPECT_TRUE(store->preferences().keepsFileLinks());

    confirmAnswer = false;
    view->persistFilesSwitch()->click();
    ASSERT_EQ(confirmations.size(), 1);
    EXPECT_EQ(confirmations[0], "关闭文件关联持久化？|当前暂存项本次运行仍可使用，退出后不再恢复。仅清除持久关联记录，"
                                "不删除原文件。|关闭并清除记录|取消");
    EXPECT_TRUE(view->persistFilesSwitch()->isChecked());
    EXPECT_EQ(persistenceCalls.size(), 1u);

    confirmAnswer = true;
    view->persistFilesSwitch()->click();
    EXPECT_FALSE(view->persistFilesSwitch()->isChecked());
    EXPECT_EQ(persistenceCalls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(reopenedPreferences().keepsFileLinks());
}

TEST_F(SettingsTest, AFailedSwitchReportsAndStaysPut)
{
    auto view = makeView();
    persistenceFails = true;
    view->persistFilesSwitch()->click();
    EXPECT_FALSE(view->persistFilesSwitch()->isChecked());
    EXPECT_EQ(errors, std::vector<QString>{"无法保存"});

    // Saving the form afterwards does not write the switch a second time.
    persistenceFails = false;
    view->persistFilesSwitch()->click();
    view->save();
    EXPECT_EQ(persistenceCalls.size(), 2u);
    EXPECT_TRUE(reopenedPreferences().keepsFileLinks());
}

TEST_F(SettingsTest, TheFileAndNotificationSwitchesKeepTheArrow)
{
    auto view = makeView();
    EXPECT_EQ(view->persistFilesSwitch()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(view->persistFilesSwitch()->property(ButtonCursorSupport::arrowOnlyProperty).toBool());
    EXPECT_TRUE(view->privateRemindersSwitch()->property(ButtonCursorSupport::arrowOnlyProperty).toBool());
    EXPECT_FALSE(view->confirmSwitch()->property(ButtonCursorSupport::arrowOnlyProperty).toBool());
}

} // namespace
} // namespace quorrin
