// Feeds arbitrary bytes to the opening of "Notes.sqlite"; see checkStoreOpening for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkStoreOpening(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
