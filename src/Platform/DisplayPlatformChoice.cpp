#include "Platform/DisplayPlatformChoice.h"

#include <cstdio>
#include <cstdlib>

#ifdef QUORRIN_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace quorrin {

namespace displayplatform {

namespace {

// Qt reads its own options in either spelling, "-platform" or "--platform".
bool isOption(const QByteArray& argument, const char* name)
{
    const QByteArray single = QByteArray("-") + name;
    return argument == single || argument == "-" + single;
}

// The value of a Qt option on the command line, when given.
QByteArray optionValue(const QList<QByteArray>& arguments, const char* name)
{
    QByteArray value;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (isOption(arguments[i], name))
            value = arguments[i + 1];
    }
    return value;
}

// The plugin a platform setting names: "xcb" in "xcb:option" or the first
// of a fallback list "xcb;wayland".
QByteArray pluginName(const QByteArray& setting)
{
    return setting.split(';').constFirst().split(':').constFirst().trimmed();
}

QByteArray environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? QByteArray(value) : QByteArray();
}

} // namespace

StartEnvironment fromProcess(int argc, const char* const* argv)
{
    StartEnvironment environment;
    environment.qpaPlatform = environmentValue("QT_QPA_PLATFORM");
    environment.waylandDisplay = environmentValue("WAYLAND_DISPLAY");
    environment.sessionType = environmentValue("XDG_SESSION_TYPE");
    environment.display = environmentValue("DISPLAY");
    for (int i = 1; i < argc; ++i)
        environment.arguments << QByteArray(argv[i]);
    return environment;
}

Choice choose(const StartEnvironment& environment)
{
    Choice choice;
    // Qt takes the command line's platform over the environment's, and an
    // empty QT_QPA_PLATFORM as none.
    QByteArray platform = optionValue(environment.arguments, "platform");
    if (platform.isEmpty())
        platform = environment.qpaPlatform;
    if (platform.isEmpty()) {
        const bool waylandSession = !environment.waylandDisplay.isEmpty() || environment.sessionType == "wayland";
        choice.forceXcb = waylandSession;
        platform = "xcb";
    }
    choice.needsXServer = pluginName(platform) == "xcb";
    choice.display = optionValue(environment.arguments, "display");
    if (choice.display.isEmpty())
        choice.display = environment.display;
    return choice;
}

QList<QByteArray> applicationArguments(const QList<QByteArray>& arguments, const Choice& choice)
{
    QList<QByteArray> result = arguments;
    if (!choice.forceXcb)
        return result;
    // Right after the program's name, before anything else on the line.
    const qsizetype at = result.isEmpty() ? 0 : 1;
    result.insert(at, QByteArray("xcb"));
    result.insert(at, QByteArray("-platform"));
    return result;
}

QString noXServerMessage(const QByteArray& display)
{
    const QString reason = display.isEmpty()
                               ? QStringLiteral("没有可用的 X 显示（DISPLAY 未设置）")
                               : QStringLiteral("无法连接到 X 显示“%1”").arg(QString::fromLocal8Bit(display));
    return QStringLiteral("Quorrin 无法启动：%1。\n"
                          "Quorrin 在 X11 上运行，在 Wayland 会话中通过 XWayland 运行；"
                          "请在图形会话中启动它，或启用 XWayland。\n")
        .arg(reason);
}

} // namespace displayplatform

bool xServerAnswers(const QByteArray& display)
{
    if (display.isEmpty())
        return false;
#ifdef QUORRIN_HAVE_XCB
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
#else
    // Without the library the xcb platform finds out for itself.
    return true;
#endif
}

DisplayPlatformStart::DisplayPlatformStart(int argc, char** argv)
{
    using namespace displayplatform;
    const Choice choice = choose(fromProcess(argc, argv));
    if (choice.needsXServer && !xServerAnswers(choice.display)) {
        std::fputs(noXServerMessage(choice.display).toUtf8().constData(), stderr);
        m_canStart = false;
    }
    QList<QByteArray> given;
    for (int i = 0; i < argc; ++i)
        given << QByteArray(argv[i]);
    m_arguments = applicationArguments(given, choice);
    for (QByteArray& argument : m_arguments)
        m_argv << argument.data();
    m_argc = int(m_argv.size());
    // Programs expect the list to end with a null pointer.
    m_argv << nullptr;
}

} // namespace quorrin
