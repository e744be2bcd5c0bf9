#pragma once

#include "Core/Time/Calendar.h"
#include "Core/Time/Clock.h"
#include "Domain/NoteTheme.h"
#include "Features/Reminders/ReminderPanelEditing.h"
#include "Features/Reminders/ReminderPanelStyle.h"
#include "Widgets/FloatingPanel.h"
#include "Windows/NoteWindowSeams.h"

#include <QPointer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDateTimeEdit;
class QLabel;
class QLocale;
class QSpinBox;
class QVBoxLayout;
class QVariantAnimation;

namespace quorrin {

class BlockEditor;
class BusySpinner;
class MenuActionButton;
class ThemedSurfaceView;

// The small floating panel beside a note window in which the reminder and
// the repeat rule of one todo are edited: date and time, quick choices,
// repeat details, snoozing, removing and saving. It closes on Escape, on a
// click outside it (unless a save is in flight), after a confirmed save or
// removal, and as soon as the todo can no longer carry a reminder. A closed
// panel is never shown again; the note window makes a new one.
class ReminderPanel final : public FloatingPanel, public NoteReminderPanel {
    Q_OBJECT
public:
    static constexpr int menuWidth = 308;
    static constexpr int contentWidth = menuWidth - 2 * 14;

    // What the panel takes from its surroundings; tests replace each part.
    struct Services {
        Clock now;                                  // the system clock when empty
        std::optional<Calendar> calendar;           // the system's time zone when empty
        std::function<bool()> prefersReducedMotion; // the desktop's setting when empty
    };

    ReminderPanel(BlockEditor& editor, const QUuid& blockID, const ReminderCallbacks& callbacks,
                  Services services = {});
    ~ReminderPanel() override;

    // --- NoteReminderPanel
    void refreshFromModel() override;
    void dismiss(bool animated, bool restoreFocus, bool force) override;
    void show(const QRectF& rect, QWidget& view) override;
    using QWidget::show;

    // How many date fields the locale's date-time pattern puts before the hour.
    static int hourSegmentOffset(const QLocale& locale);
    // Seconds; 0 when animations are off in the preferences or the desktop
    // asks for reduced motion.
    double animationDuration() const;

    const QUuid& blockID() const { return m_blockID; }
    const ReminderPanelEditing& editing() const { return *m_editing; }
    bool isClosing() const { return m_editing->isClosing(); }
    int generation() const { return m_editing->generation(); }
    bool isWatching() const { return m_watching; }
    QWidget* noteWindow() const { return m_noteWindow; }
    const NoteTheme& theme() const;

    // --- the controls, in the order they are shown
    MenuActionButton* closeButton() const { return m_closeButton; }
    BusySpinner* spinner() const { return m_spinner; }
    QLabel* titleLabel() const { return m_titleLabel; }
    QDateTimeEdit* datePicker() const { return m_datePicker; }
    const std::vector<MenuActionButton*>& quickButtons() const { return m_quickButtons; }
    QLabel* preview() const { return m_preview; }
    MenuActionButton* repeatButton() const { return m_repeatButton; }
    QWidget* details() const { return m_details; }
    const std::vector<MenuActionButton*>& frequencyButtons() const { return m_frequencyButtons; }
    QWidget* weekRow() const { return m_weekRow; }
    const std::vector<MenuActionButton*>& weekButtons() const { return m_weekButtons; }
    QWidget* monthRow() const { return m_monthRow; }
    QLabel* monthLabel() const { return m_monthLabel; }
    QSpinBox* monthStepper() const { return m_monthStepper; }
    QWidget* snoozeRow() const { return m_snoozeRow; }
    const std::vector<MenuActionButton*>& snoozeButtons() const { return m_snoozeButtons; }
    MenuActionButton* removeButton() const { return m_removeButton; }
    MenuActionButton* saveButton() const { return m_saveButton; }
    QLabel* messageLabel() const { return m_messageLabel; }
    // Every styled button, in creation order.
    const std::vector<MenuActionButton*>& buttons() const { return m_buttons; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Shown; // what the widgets show of the editing state

    // --- content (ReminderPanelContent.cpp)
    void buildContent();
    QWidget* buildHeader();
    QWidget* buildDetails();
    QWidget* row(const std::vector<MenuActionButton*>& buttons, int spacing);
    MenuActionButton* button(const QString& title, reminderPanelStyle::ButtonGroup group, int tag,
                             std::function<void(int tag)> action);
    void configure(MenuActionButton& button, reminderPanelStyle::ButtonGroup group);
    void applyTheme();
    void applyButtonTheme(bool animated);
    void setElidedText(QLabel& label, const QString& text);

    // --- the editing state on screen
    void editingChanged();
    void updateDraft(bool animated);
    void showBusy(bool busy);
    void showMessage(const QString& message);
    void showDetails(bool expanded);
    void chooseQuickDate(int tag);
    void pickerChanged();
    Date pickerDate() const;
    void setPickerDate(Date date);

    // --- presentation (ReminderPanelPresentation.cpp)
    std::optional<Block> block() const;
    QRectF visibleBounds() const;
    void resizeToContent(bool animated);
    double contentHeight() const;
    void animateFrame(const QRect& frame, double opacity, double seconds, const QEasingCurve& curve,
                      std::function<void()> done = {});
    void pulse(QWidget& view);
    void fade(QWidget& view, double to, double seconds, std::function<void()> done = {});
    void focusTimeSegment();
    void selectHourLater();
    void startWatching();
    void stopWatching();
    void finishDismiss(bool restoreFocus);

    QPointer<BlockEditor> m_editor;
    QUuid m_blockID;
    Services m_services;
    Calendar m_calendar;
    std::unique_ptr<ReminderPanelEditing> m_editing;
    std::unique_ptr<Shown> m_shown;

    ThemedSurfaceView* m_surface = nullptr;
    QWidget* m_column = nullptr;
    MenuActionButton* m_closeButton = nullptr;
    BusySpinner* m_spinner = nullptr;
    QLabel* m_bell = nullptr;
    QLabel* m_heading = nullptr;
    QLabel* m_titleLabel = nullptr;
    QDateTimeEdit* m_datePicker = nullptr;
    QLabel* m_preview = nullptr;
    MenuActionButton* m_repeatButton = nullptr;
    QWidget* m_details = nullptr;
    QWidget* m_weekRow = nullptr;
    QWidget* m_monthRow = nullptr;
    QLabel* m_monthLabel = nullptr;
    QSpinBox* m_monthStepper = nullptr;
    QWidget* m_snoozeRow = nullptr;
    MenuActionButton* m_removeButton = nullptr;
    MenuActionButton* m_saveButton = nullptr;
    QLabel* m_messageLabel = nullptr;
    std::vector<MenuActionButton*> m_buttons;
    std::vector<reminderPanelStyle::ButtonGroup> m_groups; // parallel to m_buttons
    std::vector<MenuActionButton*> m_quickButtons;
    std::vector<MenuActionButton*> m_frequencyButtons;
    std::vector<MenuActionButton*> m_weekButtons;
    std::vector<MenuActionButton*> m_snoozeButtons;

    QPointer<QWidget> m_noteWindow;
    QVariantAnimation* m_frameAnimation = nullptr;
    bool m_watching = false;
    bool m_syncingPicker = false;
    bool m_hourFocusPending = false;
    bool m_dismissNotified = false;
};

} // namespace quorrin
