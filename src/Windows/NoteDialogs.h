#pragma once

#include <QStringList>

class QWidget;

#include <optional>

// The modal questions a note window asks by default; tests install their own
// answers instead. Each opens in front of every note, as a child of `window`
// (the note window asking).
namespace quorrin::notedialogs {

// The background opacity in percent (20...100), or nothing when cancelled.
std::optional<int> askOpacity(QWidget* window, int current);

// Whether the user confirms moving the note to the recently deleted notes.
bool askDeletion(QWidget* window);

// The files to insert (of any kind), or none when cancelled.
QStringList askAttachments(QWidget* window);

} // namespace quorrin::notedialogs
