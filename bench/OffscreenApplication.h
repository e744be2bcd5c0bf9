#pragma once

#include <QApplication>

#include <string>

namespace quorrin::bench {

// The one application of a benchmark process, on the offscreen platform so
// that no window reaches a display.
inline QApplication& offscreenApplication(const char* name)
{
    static int argc = 1;
    static std::string storedName = name;
    static char* argv[] = {storedName.data(), nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The same on the platform QT_QPA_PLATFORM names, or on the display when one
// is set (an X server shows real mapping and stacking), offscreen otherwise;
// closing its last window does not end it.
inline QApplication& displayOrOffscreenApplication(const char* name)
{
    static int argc = 1;
    static std::string storedName = name;
    static char* argv[] = {storedName.data(), nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* made = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return made;
    }();
    return *app;
}

} // namespace quorrin::bench
