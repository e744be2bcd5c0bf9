#include "App/AppDelegate.h"
#include "Platform/AlertPresenter.h"
#include "Platform/DeferredNotificationCenter.h"
#include "Platform/DisplayPlatformChoice.h"
#include "Platform/FreedesktopNotificationCenter.h"
#include "Platform/InstanceChannel.h"
#include "Platform/InterfaceLocale.h"
#include "Platform/QtScreenProvider.h"
#include "Platform/SessionBusStart.h"
#include "Platform/SystemEvents.h"
#include "Platform/TerminationSignals.h"
#include "Platform/Translations.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QPointer>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace quorrin;

int main(int argc, char* argv[])
{
    // Qt picks its window system when the application object is made.
    DisplayPlatformStart display(argc, argv);
    if (!display.canStart())
        return 1;
    // The interface is Chinese whatever the desktop's locale: Qt reads the
    // locale of its own widgets while the application object is made.
    // Nothing may wait for a bus that takes connections and never answers.
    sessionbus::avoidSilentBuses();
    std::optional<interfacelocale::SystemLocaleOverride> systemLocale(std::in_place);
    QApplication application(display.argc(), display.argv());
    systemLocale.reset();
    interfacelocale::makeDefault();
    sessionbus::connectInBackground();
    QApplication::setApplicationName(QStringLiteral("Quorrin"));
    // No display name: X11 would append it to every window title, which
    // already names the application ("Quorrin — 设置").
    QApplication::setDesktopFileName(QStringLiteral("quorrin"));
    // Closing the last note window leaves the application running.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own texts in Chinese like the rest of the interface.
    QTranslator qtTexts;
    translations::installQtChinese(application, qtTexts);
    interfacelocale::FileKindTexts fileKindTexts;
    QApplication::installTranslator(&fileKindTexts);

    // Files handed over on the command line, as absolute paths so a running
    // instance in another working directory can open them.
    QStringList request;
    for (const QString& argument : QApplication::arguments().mid(1))
        request << QFileInfo(argument).absoluteFilePath();

    MessageBoxAlertPresenter alerts;
    AppEnvironment environment;
    environment.alerts = &alerts;
    environment.screens = std::make_shared<QtScreenProvider>();
    environment.makeSystemEvents = [] { return std::make_unique<SystemEvents>(); };
    environment.makeNotificationCenter = [](SystemEvents* events) {
        // The session bus is connected on another thread: without a bus
        // address, connecting starts a bus first, and no window waits for it.
        auto connect = [] { QDBusConnection::sessionBus(); };
        auto make = [events = QPointer<SystemEvents>(events)] {
            auto center = std::make_unique<FreedesktopNotificationCenter>();
            if (events) {
                // Floating wall-clock triggers are worked out again whenever the
                // machine's sense of time may have changed.
                for (auto signal : {&SystemEvents::woke, &SystemEvents::clockChanged, &SystemEvents::timeZoneChanged})
                    QObject::connect(events, signal, center.get(), &FreedesktopNotificationCenter::reschedule);
            }
            return std::unique_ptr<NotificationCenter>(std::move(center));
        };
        return std::unique_ptr<NotificationCenter>(std::make_unique<DeferredNotificationCenter>(connect, make));
    };
    environment.handOver = [](const QString& dataDirectory, const QStringList& files) {
        return InstanceChannel::send(InstanceChannel::serverName(dataDirectory), files);
    };
    environment.exit = [](int exitCode) { QCoreApplication::exit(exitCode); };

    AppDelegate delegate(std::move(environment));

    // Every way of quitting runs the same protocol.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &delegate,
                     &AppDelegate::requestQuit);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &delegate,
                     [&delegate](QSessionManager&) { delegate.commitForSessionEnd(); });

    // Launch once the event loop runs, so an exit asked for during launch (a
    // failure, or a hand-over to the running instance) ends the loop.
    QTimer::singleShot(0, &delegate, [&delegate, request] { delegate.launch(request); });
    const int exitCode = QApplication::exec();

    // Every note is saved by now. Once the store and what else others see is
    // closed, the process ends without taking thousands of windows apart one
    // by one: the system frees the memory and the X server the windows.
    delegate.closeForExit();
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
