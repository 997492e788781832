#include "settings/settingsfile.h"

#include <QFile>
#include <QSaveFile>

QByteArray readSettingsFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeSettingsFile(const QString &fileName, const QByteArray &bytes)
{
    // Written beside the old file and renamed over it only once complete, so
    // a full disk or a locked file never leaves the club without settings.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // flush() reports a short write that commit() would let through.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
