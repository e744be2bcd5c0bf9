#pragma once

namespace quorrin {

class NoteWindowController;

// Gives a note window its file shelves and drop overlay: the shelf widgets
// of this folder, hosted by FileShelfHosting. Meant for
// NoteWindowParts::installFileShelves.
void installFileShelfWidgets(NoteWindowController& window);

} // namespace quorrin
