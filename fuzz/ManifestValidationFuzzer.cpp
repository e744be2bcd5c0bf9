// Feeds arbitrary bytes to the manifest's validation; see checkManifestValidation for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkManifestValidation(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
