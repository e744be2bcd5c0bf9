#pragma once

#include <QStringList>

#include <optional>

// The modal questions a note window asks by default; tests install their own
// answers instead.
namespace quorrin::notedialogs {

// The background opacity in percent (20...100), or nothing when cancelled.
std::optional<int> askOpacity(int current);

// Whether the user confirms moving the note to the recently deleted notes.
bool askDeletion();

// The images or PDFs to insert, or none when cancelled.
QStringList askAttachments();

} // namespace quorrin::notedialogs
