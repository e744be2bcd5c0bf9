#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>

namespace quorrin::rtf {

// Decodes the 8-bit text of an RTF document in the Windows code page the
// document (or its font's character set) names, through iconv. Bytes that
// do not decode become U+FFFD; an unknown code page falls back to 1252.
class CodepageDecoder {
public:
    CodepageDecoder();
    ~CodepageDecoder();
    CodepageDecoder(const CodepageDecoder&) = delete;
    CodepageDecoder& operator=(const CodepageDecoder&) = delete;

    QString decode(const QByteArray& bytes, int codepage);

    // The code page of an RTF \fcharset value; 0 when the charset names none
    // of its own (ANSI, default, symbol), so the document's code page applies.
    static int codepageOfCharset(int charset);

private:
    class Converter;
    Converter* converter(int codepage);

    std::map<int, std::unique_ptr<Converter>> m_converters;
};

} // namespace quorrin::rtf
