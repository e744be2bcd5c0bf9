// Feeds arbitrary bytes to the import of an RTFD bundle; see checkRtfdBundle for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkRtfdBundle(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
