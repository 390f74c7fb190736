#pragma once

#include <QString>

// Editing in the list: a long line and many short lines pasted, edited at both ends,
// undone and redone, in the list memo and in a QPlainTextEdit given the same text.

// Runs one case in this process ("memo" or "plain"; "line1m", "line16m", "lines50m")
// and prints one "name value" line per measurement as it goes.
int RunEditCase(const QString& kind, const QString& name);

// Runs every case in child processes of `program` and prints the table.
void PrintEditTable(const QString& program);
