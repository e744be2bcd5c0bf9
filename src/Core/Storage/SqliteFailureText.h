#pragma once

#include <QString>

namespace quorrin {

class SqliteError;

// A failure of the note database as the user reads it: a Chinese sentence
// for SQLite's result code (its primary part decides), followed in
// parentheses by SQLite's own text where the sentence alone would not help
// to find the cause.
QString sqliteFailureText(int extendedCode, const QString& detail);
QString sqliteFailureText(const SqliteError& error);

} // namespace quorrin
