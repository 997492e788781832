#include "settings/settingsfile.h"

#include "files/plainfile.h"

QByteArray readSettingsFile(const QString &fileName)
{
    return readPlainFile(fileName, maxSettingsFileSize).bytes;
}

QString clubFileName() { return QStringLiteral("nom_club.txt"); }

QString readClubName(const QString &fileName)
{
    // A line of a name; a file past this is none of the program's.
    constexpr qint64 maxClubFileSize = 4096;
    return QString::fromUtf8(readPlainFile(fileName, maxClubFileSize).bytes).section(QLatin1Char('\n'), 0, 0).trimmed();
}

QByteArray clubFileBytes(const QString &name) { return name.trimmed().toUtf8() + '\n'; }
