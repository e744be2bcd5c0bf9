#include "Windows/TitleTextField.h"

#include <QMouseEvent>
#include <QPalette>
#include <QTimer>

namespace quorrin {

TitleTextField::TitleTextField(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette transparent = palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    setPalette(transparent);
}

void TitleTextField::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    // The context object drops the call when the field is gone by then.
    QTimer::singleShot(0, this, [this] {
        if (onEdit)
            onEdit();
    });
}

} // namespace quorrin
