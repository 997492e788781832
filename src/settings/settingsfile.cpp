#include "settings/settingsfile.h"

#include <QFile>
#include <QFileInfo>

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
