#pragma once

#include <QLineEdit>

#include <functional>

namespace quorrin {

// The note's name: a borderless single-line field on the header. After a
// click has gone to the field (which starts editing) `onEdit` runs, one
// event-loop turn later.
class TitleTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit TitleTextField(QWidget* parent = nullptr);

    std::function<void()> onEdit;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace quorrin
