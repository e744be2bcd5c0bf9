#pragma once

#include "Core/Text/Rtf.h"

#include <QByteArray>

namespace quorrin::rtf {

// Collects one \pict group: its format word and its data, written as hex
// digits (blanks and line breaks between them ignored) or as raw \bin bytes.
class PictureBuilder {
public:
    void start();
    void setFormat(PictureFormat format) { m_picture.format = format; }
    // A byte of the group's text: hex digits add to the data, anything else
    // is ignored. An odd digit left at the end is dropped.
    void textByte(char byte);
    void binary(const char* bytes, qsizetype count);
    Picture finish();

private:
    Picture m_picture;
    int m_highNibble = -1;
};

} // namespace quorrin::rtf
