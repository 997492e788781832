#include "recovery/keeper.h"

#include "day/cash.h"
#include "files/lockedfile.h"
#include "journal/journalfile.h"
#include "files/plainfile.h"
#include "files/wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#include <algorithm>

namespace recovery {

namespace {

// More copies than anyone runs at once; a slot is taken in microseconds.
constexpr int maxSlots = 64;

// A copy writes its lock the moment it creates it: one still blank after
// this many seconds was cut off by a power cut, and no copy holds it.
constexpr int blankLockAge = 30;

QString workName(int slot) { return QStringLiteral("recuperation-%1.txt").arg(slot); }
QString lockName(int slot) { return QStringLiteral("recuperation-%1.lock").arg(slot); }

bool isOldBlank(const QLockFile &lock)
{
    qint64 pid = 0;
    QString host, app;
    const QFileInfo info(lock.fileName());
    return !lock.getLockInfo(&pid, &host, &app) && info.exists()
        && qAbs(info.lastModified().secsTo(QDateTime::currentDateTime())) > blankLockAge;
}

// A slot is held for a whole run, so a lock is never stale by age (0): only
// when Qt knows its copy gone, by its pid on this computer or a restart
// since. A lock from another computer (a shared folder) is left alone.
bool takeSlotLock(QLockFile &lock)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError || !isOldBlank(lock))
        return false;
    // Qt cannot judge a blank lock and would keep it for ever. Under the
    // guard Qt's own removal takes, so two copies never both remove it.
    QLockFile guard(lock.fileName() + QStringLiteral(".rmlock"));
    if (!guard.tryLock(0) || !isOldBlank(lock) || !lock.removeStaleLockFile())
        return false;
    return lock.tryLock(0);
}

bool removed(const QString &fileName) { return QFile::remove(fileName) || !QFileInfo(fileName).exists(); }

} // namespace

LeftBehind leftBehind(const QString &folder)
{
    static const QRegularExpression recoveryName(QStringLiteral("^recuperation-([1-9][0-9]?)\\.txt$"));
    const QDir dir(folder);
    LeftBehind left;
    const QStringList names = dir.entryList({QStringLiteral("recuperation-*.txt")},
                                            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = recoveryName.match(name);
        if (!match.hasMatch())
            continue;
        const QString lock = dir.filePath(lockName(match.captured(1).toInt()));
        const QString fileName = dir.filePath(name);
        // A running copy always holds its slot's lock.
        const bool gone = !QFileInfo::exists(lock) || lockHolderGone(lock);
        auto hold = std::make_shared<QLockFile>(lock);
        if (takeSlotLock(*hold)) {
            removeUnfinished(fileName);
        } else if (gone && hold->error() != QLockFile::LockFailedError) {
            // The folder takes no lock: offered without one.
            hold.reset();
        } else {
            continue; // its copy still runs, or another copy starting now offers it
        }
        const PlainFile file = readPlainFile(fileName, maxWorkFileSize);
        if (file.status == PlainFile::Missing) // released by that other copy just now
            continue;
        if (file.status == PlainFile::Unreadable) {
            left.unread.append({fileName, QFileInfo(fileName).isReadable()
                                              ? QStringLiteral("le disque ne l'a pas rendu")
                                              : QStringLiteral("ce compte n'a pas le droit de le lire")});
            continue;
        }
        if (const std::optional<Work> work = file.status == PlainFile::Read ? fromBytes(file.bytes) : std::nullopt) {
            left.works.append({fileName, *work, hold});
            continue;
        }
        QString keptAs;
        if (setAside(fileName, &keptAs))
            left.setAside.append(keptAs);
    }
    std::stable_sort(left.works.begin(), left.works.end(),
                     [](const Found &a, const Found &b) { return a.work.keptAt < b.work.keptAt; });
    return left;
}

void removeUnfinishedWrites(const QString &folder)
{
    const QDir dir(folder);
    // Both are written under the journal's lock: free, no copy is writing them.
    QLockFile books(lockFileName(dir.filePath(journal::journalFileName())));
    if (books.tryLock(0)) {
        removeUnfinished(dir.filePath(journal::journalFileName()));
        removeUnfinished(dir.filePath(day::cashFileName()));
    }
    // Written in well under a minute; an hour-old one is a kill's.
    constexpr int anHour = 3600;
    removeUnfinished(dir.filePath(QStringLiteral("save.ini")), anHour);
    for (const QString &pdf : dir.entryList({QStringLiteral("prixGeneral_*.pdf.*"), QStringLiteral("bilan_*.pdf.*")},
                                            QDir::Files | QDir::Hidden))
        removeUnfinished(dir.filePath(pdf.section(QLatin1Char('.'), 0, -2)), anHour);
}

bool release(const Found &found)
{
    if (found.hold && !found.hold->isLocked())
        return false;
    const bool done = removed(found.fileName);
    if (found.hold)
        found.hold->unlock();
    return done;
}

bool setAside(const QString &fileName, QString *keptAs)
{
    const QFileInfo info(fileName);
    if (!info.exists() && !info.isSymLink())
        return false;
    const QString stem = info.completeBaseName() + QStringLiteral("-illisible");
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int k = 1; k <= 1000; ++k) {
        const QString name = info.dir().filePath(stem + (k > 1 ? QStringLiteral("-%1").arg(k) : QString()) + suffix);
        const QFileInfo target(name);
        if (target.exists() || target.isSymLink())
            continue;
        // Qt's rename refuses to replace an existing name, also one made
        // between the check above and this line.
        if (QDir().rename(fileName, name)) {
            if (keptAs)
                *keptAs = name;
            return true;
        }
        if (!QFileInfo(name).exists())
            return false;
    }
    return false;
}

Keeper::Keeper(const QString &folder) : folder(folder) {}

Keeper::~Keeper() = default;

bool Keeper::claim()
{
    const QDir dir(folder);
    for (int n = 1; !lock && n <= maxSlots; ++n) {
        auto candidate = std::make_unique<QLockFile>(dir.filePath(lockName(n)));
        if (!takeSlotLock(*candidate)) {
            if (candidate->error() == QLockFile::LockFailedError)
                continue; // a running copy's
            return false;
        }
        // Work left behind by a copy that died there waits to be offered.
        const QFileInfo left(dir.filePath(workName(n)));
        if (left.exists() || left.isSymLink())
            continue;
        slot = n;
        lock = std::move(candidate);
        removeUnfinished(dir.filePath(workName(n)));
    }
    return claimed();
}

QString Keeper::fileName() const { return claimed() ? QDir(folder).filePath(workName(slot)) : QString(); }

bool Keeper::write(const Work &work, QString *error)
{
    if (!claimed()) {
        *error = QStringLiteral("Le dossier n'accepte pas de nouveau fichier.");
        return false;
    }
    const QByteArray bytes = toBytes(work);
    // Past this the next start would refuse it.
    if (bytes.size() > maxWorkWriteSize) {
        *error = QStringLiteral("Le travail en cours dépasse %1\u00a0Mo, ce que le programme ne garde pas.")
                     .arg(maxWorkWriteSize >> 20);
        return false;
    }
    return replaceWhole(fileName(), bytes, error);
}

bool Keeper::keep(Work work, QString *error)
{
    work.keptAt = QDateTime::currentDateTime();
    return write(work, error);
}

bool Keeper::discard() { return claimed() && removed(fileName()); }

bool Keeper::takeBack(const Found &found, QString *error)
{
    if (found.hold && !found.hold->isLocked()) {
        *error = QStringLiteral("Ce travail a déjà été repris ou ignoré.");
        return false;
    }
    if (!write(found.work, error))
        return false;
    release(found);
    return true;
}

} // namespace recovery
