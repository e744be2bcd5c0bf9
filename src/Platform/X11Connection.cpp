#include "Platform/X11Connection.h"

#ifdef QUORRIN_HAVE_XCB
#include <QGuiApplication>

namespace quorrin::x11 {

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace quorrin::x11
#endif
