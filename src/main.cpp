#include "App/AppDelegate.h"
#include "Platform/AlertPresenter.h"
#include "Platform/FreedesktopNotificationCenter.h"
#include "Platform/InstanceChannel.h"
#include "Platform/InterfaceLocale.h"
#include "Platform/QtScreenProvider.h"
#include "Platform/SystemEvents.h"
#include "Platform/TerminationSignals.h"
#include "Platform/Translations.h"

#include <QApplication>
#include <QFileInfo>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <optional>

using namespace quorrin;

int main(int argc, char* argv[])
{
    // The interface is Chinese whatever the desktop's locale: Qt reads the
    // locale of its own widgets while the application object is made.
    std::optional<interfacelocale::SystemLocaleOverride> systemLocale(std::in_place);
    QApplication application(argc, argv);
    systemLocale.reset();
    interfacelocale::makeDefault();
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
        auto center = std::make_unique<FreedesktopNotificationCenter>();
        if (events) {
            // Floating wall-clock triggers are worked out again whenever the
            // machine's sense of time may have changed.
            for (auto signal : {&SystemEvents::woke, &SystemEvents::clockChanged, &SystemEvents::timeZoneChanged})
                QObject::connect(events, signal, center.get(), &FreedesktopNotificationCenter::reschedule);
        }
        return std::unique_ptr<NotificationCenter>(std::move(center));
    };
    environment.handOver = [](const QString& dataDirectory, const QStringList& files) -> std::optional<bool> {
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
    return QApplication::exec();
}
