#pragma once

#include "files/plainfile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class FileReplacement;
class QLockFile;

// A file that several copies of the program rewrite (the journal, the cash
// book): each reads it, rebuilds it and writes it whole while it holds a
// lock beside it, so that no copy writes over another's row.

// Another copy's write takes milliseconds: waiting this long (ms) for it
// means it is stuck, and one whose lock is older than the second figure died.
constexpr int writerLockWait = 5000;
constexpr int writerLockStaleAfter = 30000;

// "journal.csv.lock" beside "journal.csv".
QString lockFileName(const QString &fileName);

// Takes `lock` with the settings above (stale after writerLockStaleAfter,
// waiting writerLockWait). False, with the reason in French, when it cannot
// be had.
bool takeWriterLock(QLockFile &lock, QString *error);

// Whether the copy that wrote the lock `lock` is known to be gone: one of
// this computer whose process no longer runs. A lock that cannot be read,
// or was written on another computer, is not.
bool lockHolderGone(const QString &lockName);

// Removes what copies killed while they wrote `fileName` left beside it:
// QSaveFile's "<file>.XXXXXX" files. Call it only where no running copy can
// be writing that file: holding its lock, or for a slot no copy holds.
// `olderThanSeconds` spares the files of a write that may still be going on.
void removeUnfinished(const QString &fileName, int olderThanSeconds = 0);

// What becomes of the file: its new bytes, or nothing with the reason in
// French. `old` is the file as found (read when a plain file of sane size),
// the rebuild's to keep: a row appended to it copies no journal.
using Rebuild = std::function<std::optional<QByteArray>(PlainFile old, QString *why)>;

// Rewrites `fileName` through `file`, whole or nothing, while holding the
// lock `lockName`: reads it (at most `maxSize` bytes), hands it to
// `rebuild`, writes what that gives. False, with the reason in French, when
// the file is left as it was; on Windows a file a spreadsheet holds open is
// named as such.
// `unwritten`, when given, runs under the lock too if the new bytes could
// not be written: what was written beside them is taken back.
bool rewriteLocked(const QString &fileName, FileReplacement &file, const QString &lockName, qint64 maxSize,
                   const Rebuild &rebuild, QString *error, const std::function<void()> &unwritten = {});
