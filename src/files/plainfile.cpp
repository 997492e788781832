#include "files/plainfile.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

void preferLargePages(void *data, qsizetype size)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    const auto page = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr begin = (quintptr(data) + page - 1) & ~(page - 1), end = (quintptr(data) + quintptr(size)) & ~(page - 1);
    // Below two large pages there is little to gain.
    if (end > begin && end - begin >= (quintptr(4) << 20))
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

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
    // A buffer of the size told, one byte more to see it grow: QIODevice's
    // read(maxSize) makes one of maxSize, which cost twenty seasons' journal
    // forty times the reading itself.
    // Room for a row, too: a journal appended to is not copied.
    QByteArray bytes;
    bytes.reserve(qMin(info.size(), maxSize) + 1 + 4096);
    bytes.resize(qMin(info.size(), maxSize) + 1);
    preferLargePages(bytes.data(), bytes.capacity());
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxSize)
                return {PlainFile::TooLarge, {}};
            bytes.resize(qMin(2 * got, maxSize + 1));
        }
        const qint64 read = file.read(bytes.data() + got, bytes.size() - got);
        if (read < 0 || file.error() != QFileDevice::NoError)
            return {PlainFile::Unreadable, {}};
        if (read == 0)
            break;
        got += read;
    }
    bytes.truncate(got);
    return {PlainFile::Read, bytes};
}
