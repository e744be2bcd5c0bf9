// Feeds arbitrary bytes to the plain-text import; see checkPlainText for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkPlainText(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
