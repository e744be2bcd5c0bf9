// Feeds arbitrary bytes to the reading of a store row or a backup manifest; see checkNoteJson for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkNoteJson(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
