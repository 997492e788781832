#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The steps that put a file's new bytes in place of the old ones. On a disk
// that fills, any of them can fail, and a write can take part of what it was
// offered without a word: none of them is taken on trust. The program's own
// is a QSaveFile on the real file (replacementFor); tests stand in a disk.
class FileReplacement
{
public:
    virtual ~FileReplacement() = default;

    virtual bool open() = 0;
    // As the system's write: it may take fewer bytes than offered, or none.
    virtual qint64 write(const char *data, qint64 size) = 0;
    virtual bool flush() = 0;
    // To the disk itself: some file systems report a full disk only here.
    virtual bool sync() = 0;
    // Puts the new file in place of the old one in one rename.
    virtual bool commit() = 0;
    // Throws the new file away; the old one stays.
    virtual void cancel() = 0;
    // Why the last step failed, in words a user can act on.
    virtual QString failure() const = 0;
};

std::unique_ptr<FileReplacement> replacementFor(const QString &fileName);

// True only when the file now holds exactly `bytes`. Otherwise the old file
// stays as it was, nothing is left beside it, and `error` says why.
bool replaceWhole(FileReplacement &file, const QByteArray &bytes, QString *error);
bool replaceWhole(const QString &fileName, const QByteArray &bytes, QString *error);
