#pragma once

namespace quorrin::sessionbus {

// Without a bus address in the environment, connecting to the session bus
// first starts a bus (a tenth of a second or more), and whoever asks for the
// bus first waits for that: Qt's accessibility bridge does as the event loop
// starts. This connects on a thread of its own as soon as the application
// exists, and has Qt make its accessibility bridge when something first
// needs it rather than when the event loop starts, so the launch runs while
// the bus is being connected. Call once, after the application is made.
void connectInBackground();

} // namespace quorrin::sessionbus
