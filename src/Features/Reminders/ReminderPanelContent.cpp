#include "Features/Reminders/ReminderPanel.h"

#include "Editor/BlockCommands.h"
#include "Editor/BlockEditor.h"
#include "Features/Reminders/ReminderPanelLayout.h"
#include "Platform/ReducedMotion.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/BusySpinner.h"
#include "Widgets/MenuActionButton.h"
#include "Widgets/NoteIcons.h"
#include "Widgets/ThemedSurfaceView.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace quorrin {

using reminderPanelStyle::ButtonGroup;

// What the widgets show of the editing state, to tell what changed.
struct ReminderPanel::Shown {
    ReminderDraft draft;
    ReminderQuickChoice quickChoice = ReminderQuickChoice::OneHour;
    bool detailsExpanded = false;
    bool busy = false;
    QString message;
};

namespace {

QFont systemFont(double pointSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    return font;
}

QLabel* label(QWidget* parent, double pointSize, QFont::Weight weight = QFont::Normal)
{
    auto* made = new QLabel(parent);
    made->setFont(systemFont(pointSize, weight));
    made->setTextFormat(Qt::PlainText);
    return made;
}

// The bell of the header, drawn in `color`.
QPixmap bellPixmap(const QColor& color, double devicePixelRatio)
{
    const QSizeF size(15, 15);
    QPixmap pixmap((size * devicePixelRatio).toSize());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.moveTo(2.5, 11);
    body.cubicTo(3.8, 9.6, 3.6, 7, 3.9, 5.4);
    body.cubicTo(4.3, 3.3, 5.8, 2.2, 7.5, 2.2);
    body.cubicTo(9.2, 2.2, 10.7, 3.3, 11.1, 5.4);
    body.cubicTo(11.4, 7, 11.2, 9.6, 12.5, 11);
    body.closeSubpath();
    painter.setPen(QPen(color, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QPointF(7.5, 12.6), 1.4, 1.4);
    painter.drawEllipse(QPointF(7.5, 1.5), 0.9, 0.9);
    return pixmap;
}

} // namespace

ReminderPanel::ReminderPanel(BlockEditor& editor, const QUuid& blockID, const ReminderCallbacks& callbacks,
                             Services services)
    : FloatingPanel(Focus::WhenAsked)
    , m_editor(&editor)
    , m_blockID(blockID)
    , m_services(std::move(services))
    , m_calendar(m_services.calendar.value_or(Calendar::current()))
{
    if (!m_services.now)
        m_services.now = systemNow;
    if (!m_services.prefersReducedMotion) {
        auto motion = std::make_shared<ReducedMotion>();
        m_services.prefersReducedMotion = [motion] { return motion->isPreferred(); };
    }
    setWindowTitle(QStringLiteral("待办提醒"));
    setFixedWidth(menuWidth);
    QWidget::resize(menuWidth, 245);

    const QPointer<BlockEditor> weakEditor = m_editor;
    ReminderPanelHost host;
    host.block = [this] { return block(); };
    host.editorAlive = [weakEditor] { return !weakEditor.isNull(); };
    host.noteDeleted = [weakEditor] {
        const std::optional<Note> note = weakEditor ? weakEditor->currentNote() : std::nullopt;
        return note && note->deletedAt.has_value();
    };
    host.change = [weakEditor, blockID](const QString& undoName, const std::optional<TodoReminder>& reminder) {
        if (!weakEditor)
            return false;
        const ChangeResult result = weakEditor->change(
            undoName, [&](Note& note) { blockcommands::setReminder(note, blockID, reminder); });
        // A refused change (an input method composing) stored nothing either.
        return result == ChangeResult::Applied || result == ChangeResult::Unchanged;
    };
    host.authorize = callbacks.authorize;
    host.synchronize = callbacks.synchronize;
    host.deliveryNotice = callbacks.deliveryNotice;
    host.later = [this](double seconds, std::function<void()> step) {
        QTimer::singleShot(int(std::lround(seconds * 1000)), this, std::move(step));
    };
    host.now = m_services.now;
    host.calendar = m_calendar;
    m_editing = std::make_unique<ReminderPanelEditing>(std::move(host));
    m_shown = std::make_unique<Shown>();
    m_shown->draft = m_editing->draft();
    m_shown->quickChoice = m_editing->quickChoice();
    m_editing->onChange = [this] { editingChanged(); };
    m_editing->onDismissRequest = [this](bool animated, bool restoreFocus) { dismiss(animated, restoreFocus, true); };

    buildContent();
    refreshFromModel();
    updateDraft(false);
}

ReminderPanel::~ReminderPanel()
{
    stopWatching();
}

int ReminderPanel::hourSegmentOffset(const QLocale& locale)
{
    return reminderPanelLayout::hourSegmentOffset(locale);
}

double ReminderPanel::animationDuration() const
{
    const bool animations = !m_editor || m_editor->store().preferences().animations;
    return reminderPanelLayout::animationDuration(animations, m_services.prefersReducedMotion());
}

const NoteTheme& ReminderPanel::theme() const
{
    return m_surface->theme();
}

std::optional<Block> ReminderPanel::block() const
{
    if (!m_editor)
        return std::nullopt;
    const std::optional<Note> note = m_editor->currentNote();
    if (!note)
        return std::nullopt;
    for (const Block& candidate : note->blocks) {
        if (candidate.id == m_blockID)
            return candidate;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- content

void ReminderPanel::buildContent()
{
    m_surface = new ThemedSurfaceView(this);
    m_surface->setCornerRadius(12);
    m_surface->setAccessibleName(QStringLiteral("待办提醒设置"));
    m_surface->setGeometry(rect());

    m_column = new QWidget(m_surface);
    auto* column = new QVBoxLayout(m_column);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->setSizeConstraint(QLayout::SetNoConstraint);
    m_column->setFixedWidth(contentWidth);

    column->addWidget(buildHeader());

    m_titleLabel = label(m_column, 11);
    column->addWidget(m_titleLabel);

    m_datePicker = new QDateTimeEdit(m_column);
    m_datePicker->setCalendarPopup(true);
    m_datePicker->setTimeSpec(Qt::UTC); // the fields are wall-clock time; the calendar resolves them
    m_datePicker->setDisplayFormat(reminderPanelLayout::pickerPattern(m_datePicker->locale()));
    m_datePicker->setFrame(false);
    m_datePicker->setFont(systemFont(12));
    m_datePicker->setAccessibleName(QStringLiteral("提醒日期和时间"));
    m_datePicker->setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(m_datePicker, &QDateTimeEdit::dateTimeChanged, this, [this] { pickerChanged(); });
    column->addWidget(m_datePicker);

    std::vector<MenuActionButton*> quick;
    for (const ReminderQuickChoice choice : reminderQuickChoice::allCases) {
        const int tag = reminderQuickChoice::rawValue(choice);
        MenuActionButton* chip = button(reminderQuickChoice::label(choice), ButtonGroup::QuickChoice, tag,
                                        [this](int chosen) { chooseQuickDate(chosen); });
        if (choice == ReminderQuickChoice::Custom)
            chip->setAccessibleName(QStringLiteral("自定义提醒时间，使用上方日期选择器"));
        quick.push_back(chip);
    }
    m_quickButtons = quick;
    column->addWidget(row(quick, 6));

    m_preview = label(m_column, 10);
    column->addWidget(m_preview);

    m_repeatButton = button(QString(), ButtonGroup::Plain, 0, [this](int) { m_editing->toggleDetails(); });
    m_repeatButton->setTextAlignment(Qt::AlignLeft);
    column->addWidget(m_repeatButton);

    column->addWidget(buildDetails());

    m_snoozeButtons = {
        button(QStringLiteral("稍后10分钟"), ButtonGroup::Plain, 600, [this](int tag) { m_editing->snooze(tag); }),
        button(QStringLiteral("稍后1小时"), ButtonGroup::Plain, 3600, [this](int tag) { m_editing->snooze(tag); }),
    };
    m_snoozeRow = row(m_snoozeButtons, 6);
    column->addWidget(m_snoozeRow);

    m_saveButton = button(QStringLiteral("保存提醒"), ButtonGroup::Save, 0, [this](int) { m_editing->saveReminder(); });
    m_removeButton
        = button(QStringLiteral("取消提醒"), ButtonGroup::Plain, 0, [this](int) { m_editing->removeReminder(); });
    column->addWidget(row({m_removeButton, m_saveButton}, 6));

    m_messageLabel = label(m_column, 11);
    m_messageLabel->setWordWrap(true);
    m_messageLabel->setMaximumHeight(3 * m_messageLabel->fontMetrics().lineSpacing() + 2);
    m_messageLabel->hide();
    column->addWidget(m_messageLabel);
}

QWidget* ReminderPanel::buildHeader()
{
    auto* header = new QWidget(m_column);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_bell = new QLabel(header);
    m_bell->setFixedWidth(15);
    layout->addWidget(m_bell, 0, Qt::AlignVCenter);
    m_heading = label(header, 13, QFont::DemiBold);
    m_heading->setText(QStringLiteral("提醒"));
    layout->addWidget(m_heading, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    m_spinner = new BusySpinner(header);
    m_spinner->hide();
    layout->addWidget(m_spinner, 0, Qt::AlignVCenter);

    m_closeButton = new MenuActionButton(header);
    m_closeButton->setIcon(NoteIcons::icon(NoteSymbol::XMark));
    m_closeButton->setIconSize(QSize(11, 11));
    m_closeButton->setAccessibleName(QStringLiteral("关闭提醒菜单"));
    m_closeButton->setFixedWidth(22);
    configure(*m_closeButton, ButtonGroup::Plain);
    connect(m_closeButton, &QAbstractButton::clicked, this, [this] { dismiss(true, true, true); });
    layout->addWidget(m_closeButton, 0, Qt::AlignVCenter);
    return header;
}

QWidget* ReminderPanel::buildDetails()
{
    m_details = new QWidget(m_column);
    auto* layout = new QVBoxLayout(m_details);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(7);

    const QStringList frequencies
        = {QStringLiteral("不重复"), QStringLiteral("每天"), QStringLiteral("每周"), QStringLiteral("每月")};
    for (int tag = 0; tag < frequencies.size(); ++tag) {
        m_frequencyButtons.push_back(button(frequencies[tag], ButtonGroup::Frequency, tag,
                                            [this](int chosen) { m_editing->changeFrequency(chosen); }));
    }
    layout->addWidget(row(m_frequencyButtons, 6));

    const QStringList weekdays = {QStringLiteral("日"), QStringLiteral("一"), QStringLiteral("二"),
                                  QStringLiteral("三"), QStringLiteral("四"), QStringLiteral("五"),
                                  QStringLiteral("六")};
    for (int index = 0; index < weekdays.size(); ++index) {
        MenuActionButton* day = button(weekdays[index], ButtonGroup::Weekday, index + 1,
                                       [this](int tag) { m_editing->changeWeekday(tag); });
        day->setAccessibleName(QStringLiteral("星期") + weekdays[index]);
        m_weekButtons.push_back(day);
    }
    m_weekRow = row(m_weekButtons, 3);
    layout->addWidget(m_weekRow);

    m_monthRow = new QWidget(m_details);
    auto* month = new QHBoxLayout(m_monthRow);
    month->setContentsMargins(0, 0, 0, 0);
    month->setSpacing(8);
    m_monthLabel = label(m_monthRow, 11);
    month->addWidget(m_monthLabel);
    m_monthStepper = new QSpinBox(m_monthRow);
    m_monthStepper->setRange(1, 31);
    m_monthStepper->setSingleStep(1);
    m_monthStepper->setFont(systemFont(11));
    m_monthStepper->setAccessibleName(QStringLiteral("每月提醒日期"));
    connect(m_monthStepper, &QSpinBox::valueChanged, this, [this](int day) {
        if (!m_syncingPicker)
            m_editing->changeMonthDay(day);
    });
    month->addWidget(m_monthStepper);
    month->addStretch(1);
    layout->addWidget(m_monthRow);

    m_details->hide();
    return m_details;
}

QWidget* ReminderPanel::row(const std::vector<MenuActionButton*>& buttons, int spacing)
{
    auto* made = new QWidget(m_column);
    auto* layout = new QHBoxLayout(made);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (MenuActionButton* each : buttons) {
        // Equal widths: every button stretches alike from nothing.
        each->setParent(made);
        each->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        each->setMinimumWidth(1);
        layout->addWidget(each, 1);
    }
    return made;
}

MenuActionButton* ReminderPanel::button(const QString& title, ButtonGroup group, int tag,
                                        std::function<void(int tag)> action)
{
    auto* made = new MenuActionButton(m_column);
    made->setText(title);
    made->setAccessibleName(title);
    made->setProperty("tag", tag);
    configure(*made, group);
    connect(made, &QAbstractButton::clicked, this, [action = std::move(action), tag] { action(tag); });
    return made;
}

void ReminderPanel::configure(MenuActionButton& button, ButtonGroup group)
{
    button.setFocusPolicy(Qt::NoFocus);
    button.setFont(systemFont(11));
    button.setFixedHeight(28);
    m_buttons.push_back(&button);
    m_groups.push_back(group);
}

void ReminderPanel::setElidedText(QLabel& label, const QString& text)
{
    label.setText(label.fontMetrics().elidedText(text, Qt::ElideRight, contentWidth));
    label.setToolTip(QString());
    label.setAccessibleName(text);
}

// ---------------------------------------------------------------- theme

void ReminderPanel::applyTheme()
{
    const NoteTheme theme = m_editor ? m_editor->noteTheme() : NoteTheme::neutral();
    m_surface->setTheme(theme);
    const Appearance appearance = SystemAppearance::of(palette());
    const auto paint = [&](QWidget& widget, const DynamicColor& color, QPalette::ColorRole role) {
        QPalette palette = widget.palette();
        palette.setColor(role, toQColor(color, appearance));
        widget.setPalette(palette);
    };
    paint(*m_titleLabel, theme.secondaryText, QPalette::WindowText);
    paint(*m_preview, theme.secondaryText, QPalette::WindowText);
    paint(*m_heading, theme.text, QPalette::WindowText);
    paint(*m_monthLabel, theme.text, QPalette::WindowText);
    paint(*m_messageLabel, theme.accent, QPalette::WindowText);
    // The date and the month day sit on the panel's own surface.
    for (QAbstractSpinBox* field : std::initializer_list<QAbstractSpinBox*>{m_datePicker, m_monthStepper}) {
        paint(*field, theme.text, QPalette::Text);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        field->setPalette(palette);
        field->setAutoFillBackground(false);
    }
    m_bell->setPixmap(bellPixmap(toQColor(theme.text, appearance), devicePixelRatioF()));
    m_spinner->setColor(toQColor(theme.accent, appearance));
}

void ReminderPanel::applyButtonTheme(bool animated)
{
    const NoteTheme& current = theme();
    const Appearance appearance = SystemAppearance::of(palette());
    const bool fades = animated && animationDuration() > 0;
    for (size_t index = 0; index < m_buttons.size(); ++index) {
        MenuActionButton& each = *m_buttons[index];
        const reminderPanelStyle::ButtonStyle style = reminderPanelStyle::style(
            m_groups[index], each.property("tag").toInt(), current, m_editing->quickChoice(), m_editing->draft());
        each.setAccentColor(toQColor(style.accent, appearance));
        each.setHoverBackgroundColor(style.hoverBackground
                                         ? std::optional<QColor>(toQColor(*style.hoverBackground, appearance))
                                         : std::nullopt);
        each.setRestingBackground(toQColor(style.restingBackground, appearance), fades);
        each.setTextColor(toQColor(style.titleColor, appearance));
        each.setTintColor(style.contentTint);
        each.setCornerRadius(style.cornerRadius);
        each.setBorder(toQColor(style.borderColor, appearance), style.borderWidth);
        each.setFont(systemFont(11, style.semibold ? QFont::DemiBold : QFont::Normal));
        each.setProperty("selected", style.isSelected);
    }
}

// ---------------------------------------------------------------- the editing state on screen

void ReminderPanel::refreshFromModel()
{
    if (!m_editing->todoQualifies()) {
        dismiss(false, false, true);
        return;
    }
    const std::optional<Block> current = block();
    setElidedText(*m_titleLabel, ReminderPanelEditing::todoTitle(*current));
    applyTheme();
    const bool hasReminder = m_editing->storedReminder().has_value();
    m_snoozeRow->setVisible(hasReminder);
    m_removeButton->setVisible(hasReminder);
    m_removeButton->setText(m_editing->removeTitle());
    m_removeButton->setAccessibleName(m_editing->removeTitle());
    applyButtonTheme(isVisible());
    if (isVisible())
        resizeToContent(true);
}

void ReminderPanel::editingChanged()
{
    const ReminderPanelEditing& editing = *m_editing;
    if (editing.isBusy() != m_shown->busy)
        showBusy(editing.isBusy());
    if (editing.message() != m_shown->message)
        showMessage(editing.message());
    if (editing.detailsExpanded() != m_shown->detailsExpanded)
        showDetails(editing.detailsExpanded());
    else if (editing.draft() != m_shown->draft || editing.quickChoice() != m_shown->quickChoice)
        updateDraft(true);
}

void ReminderPanel::updateDraft(bool animated)
{
    const ReminderPanelEditing& editing = *m_editing;
    m_shown->draft = editing.draft();
    m_shown->quickChoice = editing.quickChoice();
    setPickerDate(editing.draft().date);
    m_repeatButton->setText(editing.repeatTitle());
    setElidedText(*m_preview, editing.previewText());
    m_weekRow->setVisible(editing.draft().frequency == RepeatRule::Frequency::Weekly);
    m_monthRow->setVisible(editing.draft().frequency == RepeatRule::Frequency::Monthly);
    m_monthLabel->setText(editing.monthText());
    m_syncingPicker = true;
    m_monthStepper->setValue(int(editing.draft().monthDay));
    m_syncingPicker = false;
    applyButtonTheme(animated);
    if (animated) {
        pulse(*m_preview);
        resizeToContent(true);
    }
}

void ReminderPanel::showBusy(bool busy)
{
    m_shown->busy = busy;
    for (MenuActionButton* each : m_buttons) {
        if (each != m_closeButton)
            each->setEnabled(!busy);
    }
    m_datePicker->setEnabled(!busy);
    m_monthStepper->setEnabled(!busy);
    m_spinner->setVisible(busy);
    if (busy)
        m_spinner->start();
    else
        m_spinner->stop();
    pulse(*m_saveButton);
}

void ReminderPanel::showMessage(const QString& message)
{
    m_shown->message = message;
    m_messageLabel->setText(message);
    m_messageLabel->setVisible(!message.isEmpty());
    if (!message.isEmpty())
        pulse(*m_messageLabel);
    resizeToContent(true);
}

void ReminderPanel::showDetails(bool expanded)
{
    m_shown->detailsExpanded = expanded;
    m_repeatButton->setText(m_editing->repeatTitle());
    applyButtonTheme(true);
    const double duration = animationDuration();
    if (expanded) {
        m_details->show();
        if (duration > 0)
            fade(*m_details, 0, 0);
        updateDraft(true);
        if (duration > 0)
            fade(*m_details, 1, duration);
        return;
    }
    if (duration > 0) {
        const QPointer<ReminderPanel> self(this);
        fade(*m_details, 0, 0.6 * duration, [self] {
            if (self && !self->m_editing->detailsExpanded() && !self->isClosing()) {
                self->m_details->hide();
                self->resizeToContent(true);
            }
        });
        return;
    }
    m_details->hide();
    resizeToContent(false);
}

void ReminderPanel::chooseQuickDate(int tag)
{
    m_editing->chooseQuickDate(tag);
    if (tag != reminderQuickChoice::rawValue(ReminderQuickChoice::Custom))
        return;
    if (m_datePicker->hasFocus())
        m_datePicker->setFocus(Qt::OtherFocusReason);
    else
        focusTimeSegment();
}

void ReminderPanel::pickerChanged()
{
    if (!m_syncingPicker)
        m_editing->changeDate(pickerDate());
}

Date ReminderPanel::pickerDate() const
{
    const QDateTime shown = m_datePicker->dateTime();
    Calendar::Components local;
    local.year = shown.date().year();
    local.month = shown.date().month();
    local.day = shown.date().day();
    local.hour = shown.time().hour();
    local.minute = shown.time().minute();
    return m_calendar.date(local).value_or(m_editing->draft().date);
}

void ReminderPanel::setPickerDate(Date date)
{
    const Calendar::Components local = m_calendar.components(date);
    const QDateTime shown(QDate(local.year, local.month, local.day), QTime(local.hour, local.minute),
                          Qt::UTC);
    if (m_datePicker->dateTime() == shown)
        return;
    m_syncingPicker = true;
    m_datePicker->setDateTime(shown);
    m_syncingPicker = false;
}

} // namespace quorrin
