#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quorrin {

// Quorrin is built on X11 window behaviour: it places its own windows, keeps
// them above or below others and sees presses in other applications. A
// Wayland client can do none of that, so in a Wayland session the
// application runs through XWayland (Qt's xcb platform) unless the user chose
// a platform. These are pure decisions over what the process was started
// with; `main` applies them before the application object is made.
namespace displayplatform {

// What the process was started with, as far as the window system goes.
struct StartEnvironment {
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray display;        // DISPLAY
    // The command line after the program's name.
    QList<QByteArray> arguments;
};

struct Choice {
    // Run on Qt's xcb platform although a Wayland session would get Qt's
    // Wayland platform.
    bool forceXcb = false;
    // The platform will be xcb: an X server must answer, or Qt gives up.
    bool needsXServer = false;
    // The X display the xcb platform opens (the command line's `-display`,
    // else DISPLAY); empty when none is named.
    QByteArray display;
};

StartEnvironment fromProcess(int argc, const char* const* argv);

Choice choose(const StartEnvironment& environment);

// The command line to start the application object with: `arguments` (the
// program's name first) with the platform option added when `choice`
// forces one.
QList<QByteArray> applicationArguments(const QList<QByteArray>& arguments, const Choice& choice);

// What the user reads on the terminal when no X server answers.
QString noXServerMessage(const QByteArray& display);

} // namespace displayplatform

// Whether an X server answers at `display` (an empty name answers no).
bool xServerAnswers(const QByteArray& display);

// Decides the window system and makes the arguments for the application
// object; tells the user on stderr, in Chinese, when no X server answers.
// The arguments live as long as this object, as Qt requires.
class DisplayPlatformStart {
public:
    DisplayPlatformStart(int argc, char** argv);

    // False when the application cannot run here (already told).
    bool canStart() const { return m_canStart; }
    int& argc() { return m_argc; }
    char** argv() { return m_argv.data(); }

private:
    QList<QByteArray> m_arguments;
    QList<char*> m_argv;
    int m_argc = 0;
    bool m_canStart = true;
};

} // namespace quorrin
