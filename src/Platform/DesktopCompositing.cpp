#include "Platform/DesktopCompositing.h"

#include <QByteArray>
#include <QGuiApplication>

#ifdef QUORRIN_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace quorrin::desktopcompositing {

#ifdef QUORRIN_HAVE_XCB

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

bool isRunning()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    // The selection of the screen the application's windows are on.
    int screen = 0;
    if (const char* display = std::getenv("DISPLAY")) {
        const QByteArray name(display);
        const qsizetype dot = name.lastIndexOf('.');
        if (dot > name.lastIndexOf(':'))
            screen = name.mid(dot + 1).toInt();
    }
    const QByteArray selection = "_NET_WM_CM_S" + QByteArray::number(screen);
    Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::uint16_t(selection.size()), selection.constData()), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false; // nobody ever named the selection: nobody owns it
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

#else

bool isRunning()
{
    return false;
}

#endif

} // namespace quorrin::desktopcompositing
