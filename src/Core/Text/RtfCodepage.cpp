#include "Core/Text/RtfCodepage.h"

#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace quorrin::rtf {

namespace {

const iconv_t invalidHandle = reinterpret_cast<iconv_t>(-1);

std::vector<QByteArray> iconvNames(int codepage)
{
    switch (codepage) {
    case 65001: return {"UTF-8"};
    case 10000: return {"MACINTOSH"};
    case 932: return {"CP932", "SHIFT_JIS"};
    case 936: return {"CP936", "GBK", "GB18030"};
    case 949: return {"CP949", "EUC-KR"};
    case 950: return {"CP950", "BIG5"};
    case 20936: return {"GB2312"};
    case 54936: return {"GB18030"};
    default: return {"CP" + QByteArray::number(codepage)};
    }
}

} // namespace

// One open iconv conversion to UTF-16LE, closed with its owner.
class CodepageDecoder::Converter {
public:
    explicit Converter(int codepage)
    {
        for (const QByteArray& name : iconvNames(codepage)) {
            m_handle = iconv_open("UTF-16LE", name.constData());
            if (m_handle != invalidHandle)
                return;
        }
    }
    ~Converter()
    {
        if (isValid())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool isValid() const { return m_handle != invalidHandle; }

    QString decode(const QByteArray& bytes)
    {
        QString result;
        QByteArray input = bytes;
        char* in = input.data();
        size_t inLeft = size_t(input.size());
        std::vector<char> output(std::max<size_t>(64, inLeft * 4));
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* out = output.data();
            size_t outLeft = output.size();
            const size_t status = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            appendUtf16(result, output.data(), output.size() - outLeft);
            if (status != size_t(-1))
                break;
            if (errno == E2BIG)
                continue;
            // An invalid or incomplete sequence: mark it and go on after its first byte.
            result += QChar(QChar::ReplacementCharacter);
            ++in;
            --inLeft;
            iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        }
        return result;
    }

private:
    static void appendUtf16(QString& target, const char* data, size_t size)
    {
        for (size_t offset = 0; offset + 1 < size; offset += 2)
            target += QChar(qFromLittleEndian<quint16>(data + offset));
    }

    iconv_t m_handle = invalidHandle;
};

CodepageDecoder::CodepageDecoder() = default;
CodepageDecoder::~CodepageDecoder() = default;

CodepageDecoder::Converter* CodepageDecoder::converter(int codepage)
{
    auto found = m_converters.find(codepage);
    if (found == m_converters.end())
        found = m_converters.emplace(codepage, std::make_unique<Converter>(codepage)).first;
    return found->second->isValid() ? found->second.get() : nullptr;
}

QString CodepageDecoder::decode(const QByteArray& bytes, int codepage)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; });
    if (ascii)
        return QString::fromLatin1(bytes);
    Converter* chosen = converter(codepage);
    if (!chosen)
        chosen = converter(1252);
    if (!chosen)
        return QString::fromLatin1(bytes);
    return chosen->decode(bytes);
}

int CodepageDecoder::codepageOfCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

} // namespace quorrin::rtf
