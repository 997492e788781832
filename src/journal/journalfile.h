#pragma once

#include <QString>

class FileReplacement;

namespace journal {

struct Entry;

// Beside save.ini, in the working folder.
QString journalFileName();

// Far above years of a club's days, far below what would hurt to read.
constexpr qint64 maxJournalSize = 1 << 20;

// Another copy's write takes milliseconds: waiting this long (ms) for it
// means it is stuck, and one whose lock is older than the second figure died.
constexpr int lockWait = 5000;
constexpr int lockStaleAfter = 30000;

// Records `entry` in the journal at `fileName`, written whole through
// `file` (by default the real file), under a lock that other copies of the
// program respect. False, with the reason in French, when the journal is
// left as it was: a file that is not plainly this program's own journal is
// never written over, nor is a row written that would not read back.
bool recordInJournal(const QString &fileName, const Entry &entry, QString *error);
bool recordInJournal(const QString &fileName, FileReplacement &file, const Entry &entry, QString *error);

} // namespace journal
