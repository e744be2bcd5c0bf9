// Feeds arbitrary bytes to the plain-text import and its choice of encoding.
// Text that is valid UTF-8 without a byte-order mark must read as UTF-8.

#include "FuzzSupport.h"

#include "Features/DocumentFormats.h"

#include <QStringConverter>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    const AttributedString text = documents::decodePlainText(bytes);
    if (!QStringConverter::encodingForData(bytes)) {
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString expected = utf8.decode(bytes);
        if (!utf8.hasError() && text.string() != expected)
            std::abort();
    }
    return 0;
}
