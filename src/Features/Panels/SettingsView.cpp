#include "Features/Panels/SettingsView.h"

#include "Features/Panels/PanelStyle.h"
#include "Persistence/NoteStore.h"
#include "Widgets/HandPointer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace quorrin {

namespace {
constexpr int smallestFontSize = 10;
constexpr int largestFontSize = 28;

QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    PanelStyle::makeCaption(*label);
    return label;
}
} // namespace

SettingsView::SettingsView(NoteStore& store, Services services, QWidget* parent)
    : QWidget(parent)
    , m_store(&store)
    , m_services(std::move(services))
{
    const Preferences& preferences = store.preferences();
    m_persistFiles = preferences.keepsFileLinks();
    m_fontSize = preferences.fontSize;

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(24, 24, 24, 24);
    auto* form = new QWidget(this);
    form->setFixedWidth(480);
    outer->addStretch(1);
    outer->addWidget(form);
    outer->addStretch(1);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    // The two switches about files and notifications keep the arrow.
    m_persistFilesSwitch = new QCheckBox(persistFilesTitle, form);
    m_persistFilesSwitch->setChecked(m_persistFiles);
    HandPointer::keepArrow(m_persistFilesSwitch);
    connect(m_persistFilesSwitch, &QCheckBox::clicked, this, [this](bool checked) { setPersistFiles(checked); });
    layout->addWidget(m_persistFilesSwitch);
    layout->addWidget(note(QStringLiteral("关联仅指向磁盘原文件，完整备份不包含这些原文件；图片／PDF "
                                          "受管理附件仍包含在备份中。"),
                           form));

    m_privateReminders = new QCheckBox(privateRemindersTitle, form);
    m_privateReminders->setChecked(preferences.hidesReminderContent());
    HandPointer::keepArrow(m_privateReminders);
    layout->addWidget(m_privateReminders);

    m_confirm = new QCheckBox(confirmTitle, form);
    m_confirm->setChecked(preferences.confirmDeletion);
    HandPointer::apply(m_confirm);
    layout->addWidget(m_confirm);

    m_animations = new QCheckBox(animationsTitle, form);
    m_animations->setChecked(preferences.animations);
    HandPointer::apply(m_animations);
    layout->addWidget(m_animations);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel(QStringLiteral("新便笺颜色"), form));
    m_color = new QComboBox(form);
    for (NoteColor color : noteColor::allCases)
        m_color->addItem(noteColor::label(color), noteColor::rawValue(color));
    m_color->setCurrentIndex(m_color->findData(noteColor::rawValue(preferences.color)));
    HandPointer::apply(m_color);
    colorRow->addWidget(m_color, 1);
    layout->addLayout(colorRow);

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(QStringLiteral("默认字号"), form));
    m_fontSizeSlider = new QSlider(Qt::Horizontal, form);
    m_fontSizeSlider->setRange(smallestFontSize, largestFontSize);
    m_fontSizeSlider->setSingleStep(1);
    m_fontSizeSlider->setPageStep(1);
    {
        const QSignalBlocker blocker(m_fontSizeSlider);
        m_fontSizeSlider->setValue(int(std::clamp(std::round(m_fontSize), double(smallestFontSize),
                                                  double(largestFontSize))));
    }
    // The stored size stays as it is (13.5 shows as 13 pt) until the slider moves.
    connect(m_fontSizeSlider, &QSlider::valueChanged, this, [this](int value) {
        m_fontSize = value;
        showFontSize();
    });
    sizeRow->addWidget(m_fontSizeSlider, 1);
    m_fontSizeValue = new QLabel(form);
    m_fontSizeValue->setMinimumWidth(48);
    sizeRow->addWidget(m_fontSizeValue);
    layout->addLayout(sizeRow);
    showFontSize();

    layout->addWidget(note(QStringLiteral("更多默认样式：在便笺操作菜单选择“将当前样式存为默认模板”。\n"
                                          "数据完全保存在本机；建议定期通过文件菜单创建完整备份。"),
                           form));

    auto* buttons = new QHBoxLayout;
    m_openFolder = new QPushButton(QStringLiteral("打开数据文件夹"), form);
    HandPointer::apply(m_openFolder);
    connect(m_openFolder, &QPushButton::clicked, this, [this] {
        if (m_store && m_services.openFolder)
            m_services.openFolder(m_store->root());
    });
    buttons->addWidget(m_openFolder);
    buttons->addStretch(1);
    m_save = new QPushButton(saveTitle, form);
    m_save->setDefault(true);
    HandPointer::apply(m_save);
    connect(m_save, &QPushButton::clicked, this, &SettingsView::save);
    buttons->addWidget(m_save);
    layout->addLayout(buttons);
    // Return saves, as the default button of the form.
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, m_save, &QPushButton::click);
    }

    m_message = new QLabel(form);
    PanelStyle::makeSecondary(*m_message);
    layout->addWidget(m_message);
    layout->addStretch(1);
}

QString SettingsView::fontSizeText() const
{
    return m_fontSizeValue->text();
}

QString SettingsView::message() const
{
    return m_message->text();
}

void SettingsView::showFontSize()
{
    m_fontSizeValue->setText(QString::number(qint64(std::trunc(m_fontSize))) + QStringLiteral(" pt"));
}

void SettingsView::setPersistFiles(bool enabled)
{
    auto showState = [this] {
        const QSignalBlocker blocker(m_persistFilesSwitch);
        m_persistFilesSwitch->setChecked(m_persistFiles);
    };
    if (!m_store || enabled == m_persistFiles) {
        showState();
        return;
    }
    if (!enabled && !(m_services.confirm
                      && m_services.confirm(turnOffMessage, turnOffInformative, turnOffButton, cancelButton))) {
        showState(); // cancelled: links stay kept
        return;
    }
    try {
        if (m_services.setFilePersistence)
            m_services.setFilePersistence(enabled);
        m_persistFiles = enabled;
    } catch (...) {
        m_store->reportError(std::current_exception());
    }
    showState();
}

void SettingsView::save()
{
    if (!m_store)
        return;
    Preferences& preferences = m_store->preferences();
    preferences.privateReminderContent = m_privateReminders->isChecked();
    preferences.confirmDeletion = m_confirm->isChecked();
    preferences.animations = m_animations->isChecked();
    preferences.fontSize = m_fontSize;
    if (std::optional<NoteColor> color = noteColor::fromRawValue(m_color->currentData().toString()))
        preferences.color = *color;
    try {
        m_store->save();
        m_message->setText(savedMessage);
    } catch (...) {
        m_store->reportError(std::current_exception());
    }
}

} // namespace quorrin
