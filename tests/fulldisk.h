#pragma once

// Disks that fill, for the tests of what is printed and saved: one that
// behaves as the system's write does on a full disk, and a real small one.

#include "settings/wholefile.h"

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

// Room for `room` bytes. As on a real disk, a write takes what still fits
// (at most `chunk` bytes a call, when set) without a word, and only the next
// one is refused. `failing` names a later step that fails all the same.
class FillingDisk final : public FileReplacement
{
public:
    FillingDisk(qint64 room, qint64 chunk, const QString &failing) : room(room), chunk(chunk), failing(failing) {}

    bool open() override { return step("open"); }
    qint64 write(const char *data, qint64 size) override
    {
        const qint64 taken = qMin(chunk > 0 ? qMin(size, chunk) : size, room - written.size());
        if (taken <= 0) {
            reason = QStringLiteral("No space left on device");
            return -1;
        }
        written.append(data, taken);
        return taken;
    }
    bool flush() override { return step("flush"); }
    bool sync() override { return step("sync"); }
    bool commit() override { return committed = !cancelled && step("commit"); }
    void cancel() override { cancelled = true; }
    QString failure() const override { return reason; }

    QByteArray written;
    bool committed = false;
    bool cancelled = false;

private:
    bool step(const char *name)
    {
        if (failing != QLatin1String(name))
            return true;
        reason = QStringLiteral("%1: No space left on device").arg(QLatin1String(name));
        return false;
    }

    qint64 room;
    qint64 chunk;
    QString failing;
    QString reason;
};

#ifdef Q_OS_LINUX
// A real disk of `size` bytes (a tmpfs) on `path`, made the current
// directory, for as long as it lives. Only root may mount one.
class TinyDisk
{
public:
    TinyDisk(const QString &path, qint64 size) : path(path)
    {
        QDir().mkpath(path);
        const QByteArray options = "size=" + QByteArray::number(size);
        if (::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData())
            != 0) {
            why = QString::fromLocal8Bit(strerror(errno));
            return;
        }
        // The old directory stays current under the mount until entered again.
        QDir::setCurrent(path);
    }
    ~TinyDisk()
    {
        if (why.isEmpty()) {
            umount2(QFile::encodeName(path).constData(), MNT_DETACH);
            QDir::setCurrent(path);
        }
    }
    TinyDisk(const TinyDisk &) = delete;
    TinyDisk &operator=(const TinyDisk &) = delete;

    // Empty once mounted; otherwise why not.
    QString why;

private:
    QString path;
};
#endif

} // namespace fulldisk
