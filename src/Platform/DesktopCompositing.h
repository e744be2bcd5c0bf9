#pragma once

namespace quorrin::desktopcompositing {

// Whether a compositing manager runs on the desktop (on X11: the
// _NET_WM_CM_S<screen> selection has an owner). Only a compositor draws the
// shadows that keep overlapping windows apart; without one, and on platforms
// that cannot say, the answer is no.
bool isRunning();

} // namespace quorrin::desktopcompositing
