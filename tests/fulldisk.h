#pragma once

// Disks that fill: one that behaves as the system's write does on a full
// disk, for every step of a replacement, and a real small one.

#include "files/wholefile.h"

#include <QDir>
#include <QFile>

#include <limits>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#endif

namespace fulldisk {

constexpr qint64 endless = std::numeric_limits<qint64>::max();

// Room for `room` bytes. A write takes what still fits (at most `chunk`
// bytes a call, when set) without a word; only the next one is refused.
// `failing` names a later step that fails all the same.
class FillingDisk final : public FileReplacement
{
public:
    FillingDisk(qint64 room, qint64 chunk, const QString &failing) : room(room), chunk(chunk), failing(failing) {}

    bool open() override { return true; }
    qint64 write(const char *data, qint64 size) override
    {
        const qint64 taken = qMin(chunk > 0 ? qMin(size, chunk) : size, room - written.size());
        if (taken <= 0)
            return -1;
        written.append(data, taken);
        return taken;
    }
    bool flush() override { return failing != "flush"; }
    bool sync() override { return failing != "sync"; }
    bool commit() override { return committed = !cancelled && failing != "commit"; }
    void cancel() override { cancelled = true; }
    QString failure() const override { return QStringLiteral("No space left on device"); }

    QByteArray written;
    bool committed = false;
    bool cancelled = false;

private:
    qint64 room, chunk;
    QString failing;
};

#ifdef Q_OS_LINUX
// A real disk of `size` bytes (a tmpfs) on `path`, and the current directory,
// while it lives. Only root may mount one; `why` then says what stopped it.
class TinyDisk
{
public:
    TinyDisk(const QString &path, qint64 size) : path(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        if (::mount("tmpfs", this->path, "tmpfs", MS_NOSUID | MS_NODEV, "size=" + QByteArray::number(size)) != 0)
            why = QString::fromLocal8Bit(strerror(errno));
        // The directory under the mount stays current until entered again.
        QDir::setCurrent(path);
    }
    ~TinyDisk()
    {
        if (why.isEmpty())
            umount2(path, MNT_DETACH);
        QDir::setCurrent(QFile::decodeName(path));
    }
    TinyDisk(const TinyDisk &) = delete;
    TinyDisk &operator=(const TinyDisk &) = delete;

    QString why;

private:
    QByteArray path;
};
#endif

} // namespace fulldisk
