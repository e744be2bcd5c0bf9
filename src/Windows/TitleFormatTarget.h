#pragma once

#include "Domain/NoteTheme.h"

#include <QFont>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextEdit>

namespace quorrin {

// What the title's format bar formats: the title field while it is edited.
class TitleFormatTarget {
public:
    TitleFormatTarget(QTextEdit* editor, NoteTheme noteTheme, QFont defaultFont);

    QPointer<QTextEdit> editor; // the title field being edited
    NoteTheme noteTheme;
    QFont defaultFont;

    // The format the bar shows: that of the selection, or the typing format.
    QTextCharFormat currentFormat() const;
    // Merges a change into the selection, or into the typing format when
    // nothing is selected.
    void apply(const QTextCharFormat& change);
};

} // namespace quorrin
