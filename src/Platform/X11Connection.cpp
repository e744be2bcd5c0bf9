#include "Platform/X11Connection.h"

#ifdef QUORRIN_HAVE_XCB
#include "Platform/X11AtomTable.h"

#include <QGuiApplication>
#include <QVariant>

namespace quorrin::x11 {

xcb_connection_t* connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

QList<xcb_atom_t> atoms(xcb_connection_t* c, const QList<QByteArray>& names)
{
    // The table lives on the application object, which owns the connection.
    constexpr char tableProperty[] = "_quorrin_atomTable";
    auto table = qApp->property(tableProperty).value<std::shared_ptr<X11AtomTable>>();
    if (!table) {
        table = std::make_shared<X11AtomTable>();
        qApp->setProperty(tableProperty, QVariant::fromValue(table));
    }
    return table->atoms(names, [c](const QList<QByteArray>& missing) {
        QList<xcb_intern_atom_cookie_t> cookies;
        cookies.reserve(missing.size());
        for (const QByteArray& name : missing)
            cookies.append(xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.constData()));
        QList<std::uint32_t> interned;
        interned.reserve(missing.size());
        for (const xcb_intern_atom_cookie_t& cookie : cookies) {
            Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookie, nullptr));
            interned.append(reply ? reply->atom : std::uint32_t(XCB_ATOM_NONE));
        }
        return interned;
    });
}


int defaultScreen()
{
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    return screen;
}

} // namespace quorrin::x11
#endif
