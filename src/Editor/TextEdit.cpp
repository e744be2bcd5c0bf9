#include "Editor/TextEdit.h"

namespace quorrin {

bool mergeTyping(TextEdit& edit, const TextEdit& next)
{
    const auto hasBreak = [](const AttributedString& text) { return text.string().contains(QLatin1Char('\n')); };
    if (hasBreak(next.inserted) || hasBreak(next.removed) || hasBreak(edit.inserted) || hasBreak(edit.removed))
        return false;
    const bool typing = edit.removed.isEmpty() && next.removed.isEmpty() && !next.inserted.isEmpty()
        && next.position == edit.position + edit.inserted.length();
    if (typing) {
        edit.inserted.append(next.inserted);
        return true;
    }
    const bool deleting = edit.inserted.isEmpty() && next.inserted.isEmpty() && !next.removed.isEmpty();
    if (deleting && next.position + next.removed.length() == edit.position) { // backspace
        AttributedString removed = next.removed;
        removed.append(edit.removed);
        edit.removed = std::move(removed);
        edit.position = next.position;
        return true;
    }
    if (deleting && next.position == edit.position) { // forward delete
        edit.removed.append(next.removed);
        return true;
    }
    return false;
}

TextEdit wholeParagraphs(const TextEdit& edit, const AttributedString& text)
{
    const QString& characters = text.string();
    const int end = edit.position + edit.inserted.length();
    const int start = edit.position > 0
        ? int(characters.lastIndexOf(QLatin1Char('\n'), edit.position - 1)) + 1
        : 0;
    const qsizetype lineBreak = characters.indexOf(QLatin1Char('\n'), end);
    const int stop = lineBreak < 0 ? int(characters.size()) : int(lineBreak) + 1;
    TextEdit grown{start, text.substring(start, edit.position - start), text.substring(start, stop - start),
                   stop - end};
    grown.removed.append(edit.removed);
    grown.removed.append(text.substring(end, stop - end));
    return grown;
}

} // namespace quorrin
