#include "App/ArrangeLayout.h"

#include "Domain/NoteColor.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace quorrin::arrange {

Order orderForTag(int tag)
{
    return tag >= 1 && tag <= 4 ? Order(tag) : Order::Store;
}

std::vector<Note> sorted(std::vector<Note> notes, Order order)
{
    switch (order) {
    case Order::Store:
        break;
    case Order::Color:
        // By the colour's stored name, not the colours' own order.
        std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
            return noteColor::rawValue(a.color) < noteColor::rawValue(b.color);
        });
        break;
    case Order::Content: {
        // Names as a file manager sorts them: by the interface's language
        // (Chinese), digits by their value.
        QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
        collator.setNumericMode(true);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(notes.begin(), notes.end(), [&collator](const Note& a, const Note& b) {
            return collator.compare(a.title(), b.title()) < 0;
        });
        break;
    }
    case Order::CreationDate:
        std::stable_sort(notes.begin(), notes.end(),
                         [](const Note& a, const Note& b) { return a.createdAt < b.createdAt; });
        break;
    case Order::ScreenPosition:
        // Higher on the screen first, then from the left.
        std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
            if (a.frame.y != b.frame.y)
                return a.frame.y > b.frame.y;
            return a.frame.x < b.frame.x;
        });
        break;
    }
    return notes;
}

QRectF cellFrame(int index, const QRectF& visibleFrame)
{
    const int columns = std::max(1, int(visibleFrame.width() / cellWidth));
    const int rows = std::max(1, int(visibleFrame.height() / cellHeight));
    const int pageSize = columns * rows;
    // Model coordinates: the visible frame's top edge is its maximum y.
    const double top = visibleFrame.y() + visibleFrame.height();
    const double x = visibleFrame.x() + (index % columns) * cellWidth + (index / pageSize) * pageShift;
    const double y = top - noteHeight - ((index / columns) % rows) * cellHeight;
    return QRectF(x, y, noteWidth, noteHeight);
}

} // namespace quorrin::arrange
