#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

class QAbstractButton;
class QWidget;

namespace quorrin {

// Keeps the pointing-hand cursor over every enabled button of every window
// of the application, whatever button class it is. Made once at launch;
// releasing it removes its event filter.
class ButtonCursorSupport final {
public:
    // A button with this property set to true keeps its own cursor (the arrow
    // unless it sets one): for controls that must not look like links.
    static constexpr const char* arrowOnlyProperty = "quorrinArrowOnly";

    ButtonCursorSupport();
    ~ButtonCursorSupport();
    ButtonCursorSupport(const ButtonCursorSupport&) = delete;
    ButtonCursorSupport& operator=(const ButtonCursorSupport&) = delete;

    // Installs the application event filter; a second call does nothing.
    void install();
    bool isInstalled() const;

    // Pointer events the filter has seen; one event counts once however often
    // install() ran.
    int monitoredEvents() const;

    // The button under a point (window coordinates): the first button on the
    // way up from the widget hit there. Nothing when none lies on the way, or
    // when that button is disabled or arrow-only (an enabled button around it
    // is not asked).
    static QAbstractButton* buttonAt(const QPoint& point, QWidget& window);

private:
    class Monitor;
    std::unique_ptr<Monitor> monitor_;
};

} // namespace quorrin
