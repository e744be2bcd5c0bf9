#include "Platform/QtScreenProvider.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace quorrin {

namespace {

QList<QScreen*> screensPrimaryFirst()
{
    QList<QScreen*> screens = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    return screens;
}

} // namespace

std::optional<ScreenCoordinates> QtScreenProvider::coordinates()
{
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return std::nullopt;
    return ScreenCoordinates(QRectF(primary->geometry()));
}

QList<QRectF> QtScreenProvider::visibleFrames() const
{
    QList<QRectF> frames;
    const auto conversion = coordinates();
    if (!conversion)
        return frames;
    for (QScreen* screen : screensPrimaryFirst())
        frames.append(conversion->toModel(QRectF(screen->availableGeometry())));
    return frames;
}

std::optional<QRectF> QtScreenProvider::mainVisibleFrame() const
{
    const auto conversion = coordinates();
    if (!conversion)
        return std::nullopt;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (QWindow* focus = QGuiApplication::focusWindow(); focus && focus->screen())
        screen = focus->screen();
    return conversion->toModel(QRectF(screen->availableGeometry()));
}

} // namespace quorrin
