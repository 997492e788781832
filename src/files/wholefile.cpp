#include "files/wholefile.h"

#include <QCoreApplication>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace {

QString noSpaceLeft() { return QStringLiteral("Plus de place sur le disque"); }

// Qt's own reason, or, where it has none, what it must have been.
QString writeFailure(const QFileDevice &file)
{
    if (file.error() == QFileDevice::ResourceError)
        return noSpaceLeft();
    const QString reason = file.errorString();
    if (!reason.isEmpty() && reason != QCoreApplication::translate("QIODevice", "Unknown error"))
        return reason;
    return QStringLiteral("Le disque est plein ou le fichier trop gros");
}

class SavedFile final : public FileReplacement
{
public:
    explicit SavedFile(const QString &fileName) : file(fileName) {}

    // Unbuffered, so that each write reaches the system at once and the
    // count it returns is the system's own.
    bool open() override { return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    qint64 write(const char *data, qint64 size) override { return file.write(data, size); }
    bool flush() override { return file.flush(); }

    // QSaveFile::commit() syncs too, but ignores what the sync says.
    bool sync() override
    {
#ifdef Q_OS_WIN
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
        if (FlushFileBuffers(handle))
            return true;
        syncError = qt_error_string(int(GetLastError()));
#else
#ifdef Q_OS_MACOS
        if (::fsync(file.handle()) == 0)
#else
        if (::fdatasync(file.handle()) == 0)
#endif
            return true;
        syncError = errno == ENOSPC ? noSpaceLeft() : qt_error_string(errno);
#endif
        return false;
    }

    bool commit() override { return file.commit(); }
    void cancel() override { file.cancelWriting(); }
    QString failure() const override { return syncError.isEmpty() ? writeFailure(file) : syncError; }

private:
    QSaveFile file;
    QString syncError;
};

} // namespace

std::unique_ptr<FileReplacement> replacementFor(const QString &fileName)
{
    return std::make_unique<SavedFile>(fileName);
}

bool replaceWhole(FileReplacement &file, const QByteArray &bytes, QString *error)
{
    if (!file.open()) {
        *error = file.failure();
        return false;
    }
    // A filling disk takes part of a write and says nothing; only the next
    // write is refused, with the reason. So the rest is offered again until
    // all of it is taken or the system says why it takes no more.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    if (done < bytes.size() || !file.flush() || !file.sync()) {
        *error = file.failure();
        file.cancel();
        return false;
    }
    if (!file.commit()) {
        *error = file.failure();
        return false;
    }
    return true;
}

bool replaceWhole(const QString &fileName, const QByteArray &bytes, QString *error)
{
    return replaceWhole(*replacementFor(fileName), bytes, error);
}
