#pragma once

#include <QByteArray>
#include <QString>

// Reading a file the program keeps beside itself. A named pipe would block
// until some writer came, a device could feed it without end: only a plain
// file of sane size is read.
struct PlainFile
{
    enum Status { Read, Missing, NotPlain, TooLarge, Unreadable };
    Status status = Missing;
    QByteArray bytes; // all of them when Read, else none
};

PlainFile readPlainFile(const QString &fileName, qint64 maxSize);

// Asks the system to back a large buffer not yet written with large pages:
// Linux otherwise maps it page by page, each page's first write costing
// microseconds on a virtual machine (twenty seasons' journal read four times
// slower). Advice only, and nothing elsewhere.
void preferLargePages(void *data, qsizetype size);
