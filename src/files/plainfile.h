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
