#pragma once

#include "Desktop/XDisplay.h"

#include <QPoint>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quorrin::desktop {

// Real input through the X server's test extension (xdotool): the events
// reach whichever window the server and the window manager route them to,
// exactly as a person's would.
class XInput {
public:
    XInput(QProcessEnvironment environment, XDisplay& display)
        : m_environment(std::move(environment))
        , m_display(display)
    {
    }

    // Presses and releases keys given in xdotool's names ("Return",
    // "ctrl+e", "Menu"), one after the other.
    bool key(const QStringList& keys);
    bool key(const QString& key) { return this->key(QStringList{key}); }
    // Types text, any script: characters without a key get a spare keycode
    // first.
    bool type(const QString& text);

    bool moveTo(QPoint point);
    bool click(QPoint point, int button = 1);
    bool doubleClick(QPoint point);
    // Presses at `from`, moves in steps to `to` and releases, holding the
    // modifier keys given (e.g. "alt") during the drag.
    bool drag(QPoint from, QPoint to, const QString& modifier = {}, int steps = 12);
    // The same drag with the button (and the modifier keys) still held at
    // `to`; releaseHeld ends it.
    bool dragAndHold(QPoint from, QPoint to, const QString& modifier = {}, int steps = 12);
    bool releaseHeld(const QString& modifier = {});

private:
    bool run(const QStringList& arguments);
    QProcessEnvironment m_environment;
    XDisplay& m_display;
};

} // namespace quorrin::desktop
