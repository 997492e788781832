#pragma once

#include "prizes/computedlist.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// journal.csv: one row per printed sheet, in the shape a French spreadsheet
// opens as it is (UTF-8 with a byte-order mark, ";" between fields, decimal
// comma, CRLF), so the treasurer accounts for the day without copying.

namespace journal {

// One printed sheet, as the "Bilan" and the sheet show it.
struct Entry
{
    QDateTime printed;
    QString category;
    int bets = 0;
    double betPrice = 0;
    int receipts = 0;
    int costPercent = 0;
    int costs = 0;
    int blacksPaid = 0;
    double blackPrice = 0;
    float blacks = 0;
    int pool = 0;
    std::optional<prizes::ListAmounts> list; // nothing when no "Calculer" made the printed list
    bool listModified = false;
    QString sheet;                   // the sheet's file name
};

// The first row, with its line end.
QByteArray headerRow();

// The entry's row, with its line end. Nothing when a value would not read
// back as a row of this program (not a number, an infinity): `refused` then
// names the column and the value.
std::optional<QByteArray> row(const Entry &entry, QString *refused = nullptr);

// The whole journal once `entry` is recorded in `journal`: that day's row
// of the same category replaced, or the row appended; every other row kept
// byte for byte. Empty `journal` starts a new one. Nothing when `journal`
// is not one this program wrote, or when the entry has no row.
std::optional<QByteArray> recorded(const QByteArray &journal, const Entry &entry);

// Every entry of a whole journal, in the file's order, its printed date and
// time to the minute as the row writes them (in UTC: no zone converts them).
// Nothing when `journal` is not one this program wrote; `refused` then says
// why in French, naming the line (the header is line 1), e.g. "ligne
// 7\u00a0: 16\u00a0champs au lieu de 17". An empty `journal` holds no entry.
std::optional<QList<Entry>> parse(const QByteArray &journal, QString *refused = nullptr);

} // namespace journal
