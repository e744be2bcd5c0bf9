#pragma once

#include <QUuid>

namespace quorrin {

// A new random (version 4) id for a block. Drawn from Qt's global generator,
// seeded once from the system: an import of many lines makes one per line,
// and asking the system (the CPU's random instruction) for each is slow.
QUuid randomID();

} // namespace quorrin
