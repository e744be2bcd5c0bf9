#include "Core/Text/RtfPicture.h"

#include "Core/Text/RtfFormat.h"

#include <utility>

namespace quorrin::rtf {

void PictureBuilder::start()
{
    m_picture = Picture{};
    m_highNibble = -1;
}

void PictureBuilder::textByte(char byte)
{
    const int value = hexDigitValue(byte);
    if (value < 0)
        return;
    if (m_highNibble < 0) {
        m_highNibble = value;
        return;
    }
    m_picture.data.append(char(m_highNibble * 16 + value));
    m_highNibble = -1;
}

void PictureBuilder::binary(const char* bytes, qsizetype count)
{
    m_picture.data.append(bytes, count);
}

Picture PictureBuilder::finish()
{
    m_highNibble = -1;
    return std::exchange(m_picture, Picture{});
}

} // namespace quorrin::rtf
