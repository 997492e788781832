#pragma once

#include <QByteArray>
#include <QString>

// All the bytes of the file; none when it is missing or cannot be read.
QByteArray readSettingsFile(const QString &fileName);

// Replaces the file as a whole: on any failure the old file stays as it was.
bool writeSettingsFile(const QString &fileName, const QByteArray &bytes);
