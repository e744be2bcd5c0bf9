// Feeds arbitrary bytes to the quick reader of stored JSON and holds what it
// accepts against QJsonDocument; see checkQuickJson for what must hold.

#include "QuickJsonChecks.h"

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!quorrin::fuzzing::checkQuickJson(quorrin::fuzzing::bytesOf(data, size)))
        std::abort();
    return 0;
}
