#pragma once

#include "day/sheets.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// prix_payes.csv, beside the journal: the prizes paid for sheets whose list
// was typed by hand, as the treasurer typed them on the "Journée" tab. A
// row per typing, appended and never rewritten; a sheet's last row counts.
// The journal's shape: a spreadsheet opens it as it is.

namespace day {

QString typedPrizesFileName();

struct TypedPrizes
{
    QDate day;        // the sheet's
    QString category; // the sheet's
    QString sheet;    // the sheet's "Feuille": which shoot
    Cents prizes = 0;
    QDateTime typedAt; // to the minute, as written
};

QByteArray typedPrizesHeaderRow();
QByteArray typedPrizesRow(const TypedPrizes &typed);

// Nothing, with the French reason naming the line, when `bytes` are not a
// file of this shape. An empty file holds none.
std::optional<QList<TypedPrizes>> parseTypedPrizes(const QByteArray &bytes, QString *refused = nullptr);

// None when there is no file; false, with the reason naming the file, when
// it is not the program's.
bool readTypedPrizes(const QString &fileName, QList<TypedPrizes> *typed, QString *error);

// Appends `typed`, whole or nothing, under the lock of the journal at
// `journalName`. False, with the reason, when the file is left as it was.
bool appendTypedPrizes(const QString &fileName, const QString &journalName, const TypedPrizes &typed,
                       QString *error);

// The sheets whose list was typed by hand take the prizes last typed for them.
void applyTypedPrizes(QList<Sheet> &sheets, const QList<TypedPrizes> &typed);

} // namespace day
