#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <QString>

class FileReplacement;

namespace journal {

struct Entry;
struct Shoot;

// Beside save.ini, in the working folder.
QString journalFileName();

// The journal, and the cash book beside it, are read up to the first size;
// the program writes neither past the second, so it always reads back what
// it wrote: some 300,000 rows, sixty seasons of a busy club.
constexpr qint64 maxJournalSize = qint64(64) << 20;
constexpr qint64 maxJournalWriteSize = qint64(32) << 20;

// Why a file would grow past maxJournalWriteSize, and what to do, in French.
QString tooLargeToWrite();

// Every entry of the journal at `fileName`; none when there is no such file.
// False, with the reason in French naming the file (and the line where its
// content is not the program's), when it cannot be read as the program's own.
bool readJournal(const QString &fileName, QList<Entry> *entries, QString *error);
// The same, each entry handed to `take` in turn, which may refuse it (journal::forEachEntry).
bool readJournal(const QString &fileName, const std::function<QString(Entry &&entry)> &take, QString *error);
// The same, a large journal's halves read at once (journal::forEachEntryInTwo).
bool readJournal(const QString &fileName, const std::function<QString(Entry &&entry)> &first,
                 const std::function<QString(Entry &&entry)> &second, bool *secondUsed,
                 QString *error);

// Records `entry` in the journal at `fileName`, written whole through
// `file` (by default the real file), under a lock that other copies of the
// program respect. False, with the reason in French, when the journal is
// left as it was: a file that is not plainly this program's own journal is
// never written over, nor is a row written that would not read back.
bool recordInJournal(const QString &fileName, const Entry &entry, QString *error);
bool recordInJournal(const QString &fileName, FileReplacement &file, const Entry &entry, QString *error);

// What a print does while it holds the journal's lock, once the journal is
// read as the program's: given the shoots of the entry's category on its
// day, it says which one the entry replaces (none: a shoot of its own) and
// sets the entry's sheet, writes what goes with the row, and answers false
// to stop, the journal left as it was.
using Preparation = std::function<bool(const QList<Entry> &shoots, Entry &entry, std::optional<Shoot> &replacing)>;
bool recordInJournal(const QString &fileName, FileReplacement &file, Entry entry, const Preparation &prepare,
                     QString *error);

} // namespace journal
