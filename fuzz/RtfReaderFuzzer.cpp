// Feeds arbitrary bytes to the RTF reader. Whatever it accepts must write out
// and read back to a fixed point: writing the re-read text gives the same bytes.

#include "Core/Text/Rtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    quorrin::rtf::readWithPictures(input);
    const auto text = quorrin::rtf::read(input);
    if (!text)
        return 0;
    const QByteArray written = quorrin::rtf::write(*text);
    const auto reread = quorrin::rtf::read(written);
    if (!reread || quorrin::rtf::write(*reread) != written)
        std::abort();
    return 0;
}
