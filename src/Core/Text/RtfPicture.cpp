#include "Core/Text/RtfPicture.h"

#include <utility>

namespace quorrin::rtf {

namespace {

int nibble(char byte)
{
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (byte >= 'a' && byte <= 'f')
        return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'F')
        return byte - 'A' + 10;
    return -1;
}

} // namespace

void PictureBuilder::start()
{
    m_picture = Picture{};
    m_highNibble = -1;
}

void PictureBuilder::textByte(char byte)
{
    const int value = nibble(byte);
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
