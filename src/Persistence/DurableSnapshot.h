#pragma once

#include "Domain/Note.h"

#include <QSet>
#include <QUuid>

#include <vector>

namespace quorrin {

// File links whose todo is gone from the shown blocks (converted to another
// kind, archived, removed) move to the note's own shelf.
Note withNormalizedFileLinks(Note note);

// A note as it is stored: file links normalized, and its docking dropped when
// the note it docks to is not stored as a live note.
Note durableForm(Note note, bool dockingTargetKept);
// The same without the blocks (which the durable form keeps as they are),
// made without copying them: what a record holds around the blocks.
Note durableShell(const Note& note, bool dockingTargetKept);

// The notes that are stored, in order: every note that is not a blank draft
// (Note::isEmpty), in its durable form.
std::vector<Note> durableSnapshot(const std::vector<Note>& notes);
// The same in place; returns whether any note was dropped or changed.
bool reduceToDurableSnapshot(std::vector<Note>& notes);

} // namespace quorrin
