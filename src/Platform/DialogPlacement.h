#pragma once

class QWidget;

namespace quorrin {

// Makes a dialog (an alert, a confirmation, a file dialog) open in front of
// every note: a child of the window it concerns when there is one, so the
// window manager keeps it above that window, and on a level above the notes'
// own levels, so a note on the floating level never covers it. When it
// closes, the window it concerns is active again with its focus where it was.
// Call before showing the dialog.
void placeInFrontOfNotes(QWidget& dialog, QWidget* concernedWindow);

} // namespace quorrin
