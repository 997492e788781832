#include "settings/settingsfile.h"

#include "files/plainfile.h"

QByteArray readSettingsFile(const QString &fileName)
{
    return readPlainFile(fileName, maxSettingsFileSize).bytes;
}
