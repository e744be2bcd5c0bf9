// Feeds arbitrary bytes to the reading of "Preferences.json"; see checkPreferencesJson for what must hold.

#include "ReaderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkPreferencesJson(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
