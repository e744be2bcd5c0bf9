#pragma once

#ifdef QUORRIN_HAVE_XCB
#include <xcb/xcb.h>

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

} // namespace quorrin::x11
#endif
