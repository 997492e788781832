#pragma once

#include <QList>
#include <QString>

class FileReplacement;
class QLockFile;

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

// The lock beside `fileName` ("journal.csv.lock") that every writer of the
// journal, and of the files kept beside it, holds while it reads and writes.
QString lockFileName(const QString &fileName);

// Takes `lock` with the settings above (stale after lockStaleAfter, waiting
// lockWait). False, with the reason in French, when it cannot be had.
bool takeLock(QLockFile &lock, QString *error);

// Every entry of the journal at `fileName`; none when there is no such file.
// False, with the reason in French naming the file (and the line where its
// content is not the program's), when it cannot be read as the program's own.
bool readJournal(const QString &fileName, QList<Entry> *entries, QString *error);

// Records `entry` in the journal at `fileName`, written whole through
// `file` (by default the real file), under a lock that other copies of the
// program respect. False, with the reason in French, when the journal is
// left as it was: a file that is not plainly this program's own journal is
// never written over, nor is a row written that would not read back.
bool recordInJournal(const QString &fileName, const Entry &entry, QString *error);
bool recordInJournal(const QString &fileName, FileReplacement &file, const Entry &entry, QString *error);

} // namespace journal
