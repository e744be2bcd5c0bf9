#pragma once

#include <QStringList>

class QWidget;

#include <optional>

namespace quorrin {
class DialogFolder;
}

// The modal questions a note window asks by default; tests install their own
// answers instead. Each opens in front of every note, as a child of `window`
// (the note window asking).
namespace quorrin::notedialogs {

// The background opacity in percent (20...100), or nothing when cancelled.
// Without a compositor (`composited` false) the dialog says that the
// desktop shows the paper opaque.
std::optional<int> askOpacity(QWidget* window, int current, bool composited);

// Whether the user confirms moving the note to the recently deleted notes.
bool askDeletion(QWidget* window);

// The files to insert (of any kind), or none when cancelled; the dialog
// opens where `folder` says and tells it what was chosen.
QStringList askAttachments(QWidget* window, DialogFolder& folder);

} // namespace quorrin::notedialogs
