#pragma once

#include "Domain/NoteColor.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace quorrin {

class NoteStore;

// The settings form: the defaults of new notes and the behaviour switches.
// It copies the preferences once when made; "保存设置" writes them back and
// saves. The file-link switch takes effect at once through its own callback.
class SettingsView final : public QWidget {
    Q_OBJECT
public:
    struct Services {
        // Applies the file-link persistence switch; throws on failure.
        std::function<void(bool)> setFilePersistence;
        // Asks the user (message, informative text, confirming button,
        // cancelling button); true for the confirming button.
        std::function<bool(const QString&, const QString&, const QString&, const QString&)> confirm;
        // Opens a folder in the file manager.
        std::function<void(const QString&)> openFolder;
    };

    inline static const QString persistFilesTitle = QStringLiteral("退出后保留文件暂存关联");
    inline static const QString privateRemindersTitle = QStringLiteral("通知隐藏待办正文（只显示通用提示）");
    inline static const QString confirmTitle = QStringLiteral("删除便笺前确认");
    inline static const QString animationsTitle = QStringLiteral("启用归档动画（遵循系统减少动态效果设置）");
    inline static const QString saveTitle = QStringLiteral("保存设置");
    inline static const QString savedMessage = QStringLiteral("已保存");
    inline static const QString turnOffMessage = QStringLiteral("关闭文件关联持久化？");
    inline static const QString turnOffInformative =
        QStringLiteral("当前暂存项本次运行仍可使用，退出后不再恢复。仅清除持久关联记录，不删除原文件。");
    inline static const QString turnOffButton = QStringLiteral("关闭并清除记录");
    inline static const QString cancelButton = QStringLiteral("取消");

    SettingsView(NoteStore& store, Services services, QWidget* parent = nullptr);

    // The controls, for tests.
    QCheckBox* persistFilesSwitch() const { return m_persistFilesSwitch; }
    QCheckBox* privateRemindersSwitch() const { return m_privateReminders; }
    QCheckBox* confirmSwitch() const { return m_confirm; }
    QCheckBox* animationsSwitch() const { return m_animations; }
    QComboBox* colorPicker() const { return m_color; }
    QSlider* fontSizeSlider() const { return m_fontSizeSlider; }
    QString fontSizeText() const;
    QPushButton* saveButton() const { return m_save; }
    QPushButton* openFolderButton() const { return m_openFolder; }
    QString message() const;

    // The file-link switch set to a value, with its confirmation.
    void setPersistFiles(bool enabled);
    void save();

private:
    void showFontSize();

    QPointer<NoteStore> m_store;
    Services m_services;
    bool m_persistFiles = false;
    double m_fontSize = 0;
    QCheckBox* m_persistFilesSwitch = nullptr;
    QCheckBox* m_privateReminders = nullptr;
    QCheckBox* m_confirm = nullptr;
    QCheckBox* m_animations = nullptr;
    QComboBox* m_color = nullptr;
    QSlider* m_fontSizeSlider = nullptr;
    QLabel* m_fontSizeValue = nullptr;
    QPushButton* m_openFolder = nullptr;
    QPushButton* m_save = nullptr;
    QLabel* m_message = nullptr;
};

} // namespace quorrin
