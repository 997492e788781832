#include "files/lockedfile.h"

#include "files/wholefile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <algorithm>
#include <limits>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#endif

namespace {

#ifdef Q_OS_WIN
// A spreadsheet keeps the file it shows open and refuses to share it, so
// nothing may take its name.
bool heldOpen(const QString &fileName)
{
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(fileName.utf16()), GENERIC_READ, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}
#endif

// Whether the process `pid` of this computer runs, whoever's it is: a
// process of another account is running too (QLockFile's own test takes it
// for gone, as it may not read its program's name).
bool processRunning(qint64 pid)
{
#if defined(Q_OS_UNIX)
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return kill(pid_t(pid), 0) == 0 || errno != ESRCH;
#elif defined(Q_OS_WIN)
    if (pid <= 0 || pid > qint64(MAXDWORD))
        return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD status = 0;
    const bool running = !GetExitCodeProcess(process, &status) || status == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

// This computer's name as QLockFile writes it into its locks.
QString lockHostName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

// Whether no running copy of the program holds the lock it could not take:
// one of this computer whose process is gone, or, written on another
// computer (a shared folder) or unreadable, a lock older than a write takes.
bool heldByNone(const QLockFile &lock)
{
    qint64 pid = 0;
    QString host;
    if (lock.getLockInfo(&pid, &host, nullptr) && (host.isEmpty() || host == lockHostName()))
        return !processRunning(pid);
    const QFileInfo file(lock.fileName());
    return file.exists() && file.lastModified().msecsTo(QDateTime::currentDateTime()) > writerLockStaleAfter;
}

// Another copy of the program in the same folder reads, rebuilds and
// writes the file too: without the lock, one of two prints at the same
// moment would write over the other's row.
QString lockRefusal(const QLockFile &lock)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        // QLockFile removes the lock of a copy that died holding it, unless
        // it may not: a copy killed under another account of the computer
        // leaves a file that this one cannot open to remove it.
        if (heldByNone(lock))
            return QStringLiteral("Son verrou %1 est resté après l'arrêt brutal d'une fenêtre de Prix général, et "
                                  "le programme ne peut pas le supprimer\u00a0: le journal a été laissé tel quel. "
                                  "Supprimez ce fichier (au besoin depuis le compte qui l'a créé), puis imprimez "
                                  "de nouveau.")
                .arg(QDir::toNativeSeparators(QFileInfo(lock.fileName()).absoluteFilePath()));
        return QStringLiteral("Une autre fenêtre de Prix général est en train de l'écrire\u00a0: il a été laissé "
                              "tel quel. Imprimez de nouveau dans un instant.");
    case QLockFile::PermissionError:
        return QStringLiteral("Le dossier n'accepte pas de nouveau fichier (son verrou %1 n'a pas pu être "
                              "créé)\u00a0: il a été laissé tel quel.")
            .arg(QFileInfo(lock.fileName()).fileName());
    default:
        return QStringLiteral("Son verrou %1 n'a pas pu être écrit (le disque est peut-être plein)\u00a0: il a été "
                              "laissé tel quel.")
            .arg(QFileInfo(lock.fileName()).fileName());
    }
}

} // namespace

QString lockFileName(const QString &fileName) { return fileName + QStringLiteral(".lock"); }

bool lockHolderGone(const QString &lockName)
{
    qint64 pid = 0;
    QString host;
    const QLockFile lock(lockName);
    return lock.getLockInfo(&pid, &host, nullptr) && (host.isEmpty() || host == lockHostName())
        && !processRunning(pid);
}

void removeUnfinished(const QString &fileName, int olderThanSeconds)
{
    const QFileInfo target(fileName);
    QDir dir = target.absoluteDir();
    const QString start = target.fileName() + QLatin1Char('.');
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo &file : dir.entryInfoList({start + QStringLiteral("??????")}, QDir::Files | QDir::Hidden)) {
        // Six letters or digits, as QSaveFile names its file.
        const QString name = file.fileName();
        const QStringView suffix = QStringView(name).sliced(start.size());
        if (std::all_of(suffix.begin(), suffix.end(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; })
            && file.lastModified().secsTo(now) >= olderThanSeconds)
            dir.remove(name);
    }
}

bool takeWriterLock(QLockFile &lock, QString *error)
{
    // A copy killed while writing leaves its lock; on this computer it is
    // known dead at once, from another one (a shared folder) by its age.
    lock.setStaleLockTime(writerLockStaleAfter);
    if (lock.tryLock(writerLockWait))
        return true;
    *error = lockRefusal(lock);
    return false;
}

bool rewriteLocked(const QString &fileName, FileReplacement &file, const QString &lockName, qint64 maxSize,
                   const Rebuild &rebuild, QString *error, const std::function<void()> &unwritten)
{
    QLockFile lock(lockName);
    if (!takeWriterLock(lock, error))
        return false;
    const std::optional<QByteArray> bytes = rebuild(readPlainFile(fileName, maxSize), error);
    if (bytes && replaceWhole(file, *bytes, error))
        return true;
    if (bytes && unwritten)
        unwritten();
#ifdef Q_OS_WIN
    if (heldOpen(fileName))
        *error = QStringLiteral("Il est ouvert dans un autre programme, sans doute un tableur\u00a0: "
                                "fermez-le, puis imprimez de nouveau.");
#endif
    return false;
}
