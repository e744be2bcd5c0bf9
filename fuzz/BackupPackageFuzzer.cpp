// Feeds arbitrary bytes to the reading of a backup package; see checkBackupPackage for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkBackupPackage(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
