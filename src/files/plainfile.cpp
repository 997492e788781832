#include "files/plainfile.h"

#include <QFile>
#include <QFileInfo>

PlainFile readPlainFile(const QString &fileName, qint64 maxSize)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {PlainFile::Missing, {}};
    if (!info.isFile())
        return {PlainFile::NotPlain, {}};
    // Told by its size before a byte is read; it may still grow while read.
    if (info.size() > maxSize)
        return {PlainFile::TooLarge, {}};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {PlainFile::Unreadable, {}};
    QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize)
        return {PlainFile::TooLarge, {}};
    if (file.error() != QFileDevice::NoError)
        return {PlainFile::Unreadable, {}};
    return {PlainFile::Read, bytes};
}
