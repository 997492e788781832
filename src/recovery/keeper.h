#pragma once

#include "recovery/work.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// Work kept across a crash, in the working folder beside save.ini. Each
// running copy of the program takes a slot n: it holds the lock
// recuperation-<n>.lock for as long as it runs and keeps its work in
// recuperation-<n>.txt. A lock whose copy no longer runs on this computer
// (killed, crashed, or the computer restarted) is known dead at once, so its
// file is offered at the next start; a copy that runs is never robbed, and
// one on another computer sharing the folder counts as running. A
// damaged file is kept as recuperation-<n>-illisible[-<k>].txt, never
// offered again. Every call fails quietly and says so: a folder where
// nothing can be written leaves the program as it was without this.

namespace recovery {

// The work of a copy that no longer runs. While a Found (or a copy of it)
// lives, this copy holds the dead copy's lock, so a copy started at the
// same moment does not offer the same work. Dropped without release() or
// takeBack(), the file stays, to be offered at the next start.
struct Found
{
    QString fileName; // the recovery file, in the folder given
    Work work;
    // Null in a folder that takes no file (a full disk), where no lock can
    // be written: the work is offered all the same.
    std::shared_ptr<QLockFile> hold;
};

// A recovery file the program could not read: left where it is.
struct Unread
{
    QString fileName;
    QString why; // in French
};

struct LeftBehind
{
    QList<Found> works;   // oldest first, by keptAt
    QStringList setAside; // damaged files, by the names that now keep their bytes
    QList<Unread> unread;
};

// At start: the works left in `folder` by copies that no longer run, and
// what those copies left unfinished (a file cut short by a kill while it
// was written) removed. Files that are not whole or not this program's
// (cut short, foreign, empty, past the size the program writes, a folder by
// that name) are set aside there and then, and never offered; a file that
// cannot be read at all (its rights, the disk) stays as it is.
LeftBehind leftBehind(const QString &folder);

// At start: what copies killed in the middle of a write left in `folder`
// (QSaveFile's "<file>.XXXXXX"): beside the journal and the cash book when
// no copy is writing them (their lock is free), beside sheets, statements
// and save.ini when older than any write takes.
void removeUnfinishedWrites(const QString &folder);

// "Ignorer": removes the found file and its dead lock. False when the file
// could not be removed; it is then offered again at the next start.
bool release(const Found &found);

// Renames `fileName` beside itself to a name that is never offered and was
// free, so no other file is written over; `keptAs` then gets that name.
// False, and nothing moved, when it cannot be renamed.
bool setAside(const QString &fileName, QString *keptAs = nullptr);

// This copy's own slot in the folder ("" or "." for the working folder,
// read at each call, as save.ini is).
class Keeper
{
public:
    explicit Keeper(const QString &folder = QString());
    // Lets the slot go and leaves the file: a copy that ends without
    // discard() has its work offered at the next start.
    ~Keeper();
    Keeper(const Keeper &) = delete;
    Keeper &operator=(const Keeper &) = delete;

    // Takes a free slot, one that holds no work left behind. False when the
    // folder takes no file; every other call then does nothing and fails.
    bool claim();
    bool claimed() const { return lock != nullptr; }
    // The recovery file of this copy's slot; empty before claim().
    QString fileName() const;

    // Replaces this copy's file with `work`, kept now (keptAt is set to the
    // current time): true only when the file holds the whole of it. Else
    // the previous file stays whole and `error` says why, in French.
    bool keep(Work work, QString *error);
    // Removes this copy's file: the window is back to how it started, or
    // closes normally. False when a file stays.
    bool discard();

    // Taking a found work back: it becomes this copy's own (written to this
    // copy's file, keptAt unchanged), then the found file and lock go. False,
    // with the reason, when it could not be written: the found file then
    // stays, to be offered again at the next start.
    bool takeBack(const Found &found, QString *error);

private:
    bool write(const Work &work, QString *error);

    QString folder;
    int slot = 0;
    std::unique_ptr<QLockFile> lock;
};

} // namespace recovery
