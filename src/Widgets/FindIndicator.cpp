#include "Widgets/FindIndicator.h"

#include <QPointer>
#include <QTextEdit>
#include <QTimer>

namespace quorrin::FindIndicator {

namespace {
constexpr const char* indicatorProperty = "quorrinFindIndicator";
} // namespace

void show(QTextEdit& view, const QTextCursor& found, std::chrono::milliseconds shownFor)
{
    QTextEdit::ExtraSelection highlight;
    highlight.cursor = found;
    highlight.format.setBackground(QColor(0xFF, 0xE0, 0x66));
    highlight.format.setForeground(QColor(0x1F, 0x1F, 0x1F));
    view.setExtraSelections({highlight});
    // A newer indicator outlives the timer of an older one.
    const int generation = view.property(indicatorProperty).toInt() + 1;
    view.setProperty(indicatorProperty, generation);
    QTimer::singleShot(shownFor, &view, [target = QPointer<QTextEdit>(&view), generation] {
        if (target && target->property(indicatorProperty).toInt() == generation)
            target->setExtraSelections({});
    });
}

} // namespace quorrin::FindIndicator
