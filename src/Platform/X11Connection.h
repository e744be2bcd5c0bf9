#pragma once

#ifdef QUORRIN_HAVE_XCB
#include <xcb/xcb.h>

#include <QByteArray>
#include <QList>

#include <cstdlib>
#include <memory>

namespace quorrin::x11 {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

// An xcb reply, freed with the owner.
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// The application's X connection; none where it runs on another platform
// (offscreen, or before the application exists).
xcb_connection_t* connection();

// The atoms of the names on `c`, the application's connection, in their
// order (none for a name the server could not intern). They are interned once
// per connection; the names not known yet are all sent before the first
// answer is awaited, one round trip for all of them.
QList<xcb_atom_t> atoms(xcb_connection_t* c, const QList<QByteArray>& names);

// The screen the display name chooses (":0.1" is screen 1).
int defaultScreen();

} // namespace quorrin::x11
#endif
