#include "Platform/DisplayPlatformChoice.h"

#include <gtest/gtest.h>

#include <QScopeGuard>

using namespace quorrin;
using namespace quorrin::displayplatform;

namespace {

struct Case {
    const char* name;
    StartEnvironment environment;
    bool forceXcb;
    bool needsXServer;
    QByteArray display;
};

StartEnvironment start(QByteArray platform, QByteArray wayland, QByteArray session, QByteArray display,
                       QList<QByteArray> arguments = {})
{
    return {std::move(platform), std::move(wayland), std::move(session), std::move(display), std::move(arguments)};
}

} // namespace

TEST(DisplayPlatformChoice, AWaylandSessionRunsThroughXWaylandUnlessAPlatformWasChosen)
{
    const Case cases[] = {
        {"plain X11", start("", "", "x11", ":0"), false, true, ":0"},
        {"Wayland display", start("", "wayland-0", "", ":0"), true, true, ":0"},
        {"Wayland session type", start("", "", "wayland", ":1"), true, true, ":1"},
        {"Wayland without XWayland", start("", "wayland-0", "wayland", ""), true, true, ""},
        {"offscreen chosen", start("offscreen", "wayland-0", "wayland", ""), false, false, ""},
        {"Wayland chosen", start("wayland", "wayland-0", "wayland", ""), false, false, ""},
        {"xcb with options chosen", start("xcb:nograb", "wayland-0", "", ":2"), false, true, ":2"},
        {"fallback list starting with Wayland", start("wayland;xcb", "wayland-0", "", ":0"), false, false, ":0"},
        {"command line platform", start("", "wayland-0", "", ":0", {"-platform", "offscreen"}), false, false, ":0"},
        {"command line platform, two dashes", start("", "wayland-0", "", "", {"--platform", "xcb"}), false, true, ""},
        {"command line platform over the environment's", start("offscreen", "", "", ":0", {"-platform", "xcb"}),
         false, true, ":0"},
        {"command line display", start("", "", "", ":0", {"note.txt", "-display", ":7"}), false, true, ":7"},
        {"an option without value is a file name", start("", "wayland-0", "", ":0", {"-platform"}), true, true, ":0"},
    };
    for (const Case& c : cases) {
        const Choice choice = choose(c.environment);
        EXPECT_EQ(choice.forceXcb, c.forceXcb) << c.name;
        EXPECT_EQ(choice.needsXServer, c.needsXServer) << c.name;
        EXPECT_EQ(choice.display, c.display) << c.name;
    }
}

TEST(DisplayPlatformChoice, TheForcedPlatformFollowsTheProgramNameAndNothingElseChanges)
{
    const QList<QByteArray> given{"quorrin", "a.txt", "b.rtf"};
    Choice forced;
    forced.forceXcb = true;
    EXPECT_EQ(applicationArguments(given, forced),
              (QList<QByteArray>{"quorrin", "-platform", "xcb", "a.txt", "b.rtf"}));
    EXPECT_EQ(applicationArguments(given, Choice{}), given);
}

TEST(DisplayPlatformChoice, NoXServerIsReportedInChineseNamingTheDisplay)
{
    EXPECT_FALSE(xServerAnswers(""));
    EXPECT_FALSE(xServerAnswers("not a display name"));
    EXPECT_TRUE(noXServerMessage("").contains(QStringLiteral("DISPLAY 未设置")));
    EXPECT_TRUE(noXServerMessage(":5").contains(QStringLiteral("无法连接到 X 显示“:5”")));
    EXPECT_TRUE(noXServerMessage(":5").contains(QStringLiteral("XWayland")));

    // Only the xcb platform asks for the X server: an offscreen start goes on without one.
    const auto restore = [](const char* name) {
        return qScopeGuard([name, set = qEnvironmentVariableIsSet(name), value = qgetenv(name)] {
            set ? qputenv(name, value) : qunsetenv(name);
        });
    };
    const auto platform = restore("QT_QPA_PLATFORM");
    const auto display = restore("DISPLAY");
    qputenv("DISPLAY", "not a display name");
    char program[] = "quorrin";
    char* argv[] = {program, nullptr};
    for (const auto& [chosen, starts] : {std::pair("offscreen", true), std::pair("xcb", false)}) {
        qputenv("QT_QPA_PLATFORM", chosen);
        EXPECT_EQ(DisplayPlatformStart(1, argv).canStart(), starts) << chosen;
    }
}
