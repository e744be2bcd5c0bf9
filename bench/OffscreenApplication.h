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

} // namespace quorrin::bench
