#pragma once

#include <QByteArray>
#include <QString>

// Far above any line the program writes (the crest path alone is capped at
// 32767 characters), far below what would hurt to read.
constexpr qint64 maxSettingsFileSize = 1 << 20;

// All the bytes of the file; none when it is missing, unreadable, not a
// regular file or larger than maxSettingsFileSize.
QByteArray readSettingsFile(const QString &fileName);

// The club's name, beside save.ini: its one line, UTF-8.
QString clubFileName();
// The name it holds, trimmed; empty without one.
QString readClubName(const QString &fileName);
// The file's bytes for `name`.
QByteArray clubFileBytes(const QString &name);
