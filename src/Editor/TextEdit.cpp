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

} // namespace quorrin
