#pragma once

#include <QByteArray>

#include <chrono>

namespace quorrin::sessionbus {

// Without a bus address in the environment, connecting to the session bus
// first starts a bus (a tenth of a second or more), and whoever asks for the
// bus first waits for that: Qt's accessibility bridge does as the event loop
// starts. This connects on a thread of its own as soon as the application
// exists, and has Qt make its accessibility bridge when something first
// needs it rather than when the event loop starts, so the launch runs while
// the bus is being connected. Call once, after the application is made.
void connectInBackground();

// How a bus met the first word a client says to it.
enum class BusAnswer {
    Answered,
    // It took the connection and said nothing within the time limit: a
    // client would wait for it for ever.
    Silent,
    // No address of the list took the connection: a client fails at once.
    Unreachable,
    // The address is of a kind that is not judged here (tcp, autolaunch, ...).
    Unchecked,
};

// Connects, as a bus client does, to the first unix-socket address of the
// D-Bus address list that takes the connection and waits at most `limit`
// for the bus to answer the opening of the authentication.
BusAnswer probe(const QByteArray& addresses, std::chrono::milliseconds limit);

// What stands for a bus that is not to be used: an address every client
// refuses at once.
inline const QByteArray disabledAddress = QByteArrayLiteral("disabled:");

// The longest the launch waits for each bus to answer.
inline constexpr std::chrono::milliseconds answerLimit{2000};

// Neither Qt nor libdbus puts a time limit on connecting: a bus that takes
// the connection and never answers would hold every thread that asks for it,
// the main thread included (Qt's accessibility bridge, its one D-Bus thread),
// and with it the windows and the quitting on SIGTERM. Before the
// application object exists, the session and the system bus are each given
// `limit` to answer, side by side; one that stays silent is replaced, for
// this process and the programs it starts, by disabledAddress, and the
// application runs without that bus. Says so on stderr.
void avoidSilentBuses(std::chrono::milliseconds limit = answerLimit);

} // namespace quorrin::sessionbus
