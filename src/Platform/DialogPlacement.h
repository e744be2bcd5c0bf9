#pragma once

class QWidget;

namespace quorrin {

// Makes a window the user must act on (an alert, a confirmation, a file
// dialog, an auxiliary panel, the attachment preview) reachable in front of
// every note, floating or not:
// - a child of the window it concerns when there is one, so the window
//   manager keeps it above that window;
// - on a level above the notes' own levels while the application is active,
//   among the other applications' windows while another one is;
// - raised and activated when it opens and whenever it is activated or
//   clicked (a note raised meanwhile never keeps covering it);
// - when it closes, the window it concerns is active again with its focus
//   where it was.
// Call before showing the window; calling again is harmless.
void placeInFrontOfNotes(QWidget& window, QWidget* concernedWindow);

} // namespace quorrin
