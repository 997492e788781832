#include "settings/settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QByteArray readSettingsFile(const QString &fileName)
{
    // A named pipe would block the start until some writer came, a device
    // could feed it without end: only a plain file of sane size is settings.
    if (!QFileInfo(fileName).isFile())
        return {};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(maxSettingsFileSize + 1);
    if (bytes.size() > maxSettingsFileSize)
        return {};
    return bytes;
}

bool writeSettingsFile(const QString &fileName, const QByteArray &bytes, QString *error)
{
    // Written beside the old file and renamed over it only once complete, so
    // a full disk or a locked file never leaves the club without settings.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    // flush() reports a short write that commit() would let through.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
