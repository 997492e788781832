#pragma once

#include <QList>
#include <QString>

class FileReplacement;

namespace journal {

struct Entry;

// Beside save.ini, in the working folder.
QString journalFileName();

// Far above years of a club's days, far below what would hurt to read.
constexpr qint64 maxJournalSize = 1 << 20;

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
