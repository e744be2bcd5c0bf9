// Provisional plain-text RTF codec; replaced by the full reader and writer.
#include "Platform/Core/Rtf.h"

namespace quorrin::rtf {

QByteArray write(const AttributedString& text)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252 ";
    for (QChar c : text.string()) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\par\n";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + "?";
        }
    }
    out += "}";
    return out;
}

std::optional<AttributedString> read(const QByteArray& document)
{
    if (!document.startsWith("{\\rtf"))
        return std::nullopt;
    QString text;
    int i = 5;
    while (i < document.size() && document[i] != ' ')
        ++i;
    ++i;
    for (; i < document.size() - 1; ++i) {
        const char c = document[i];
        if (c != '\\') {
            text += QChar(c);
            continue;
        }
        const char next = document[++i];
        if (next == 'p') { // \par
            text += QChar(u'\n');
            i += 3;
        } else if (next == 'u') {
            int end = i + 1;
            while (end < document.size() && document[end] != '?')
                ++end;
            text += QChar(ushort(document.mid(i + 1, end - i - 1).toShort()));
            i = end;
        } else {
            text += QChar(next);
        }
    }
    return AttributedString(text);
}

} // namespace quorrin::rtf
