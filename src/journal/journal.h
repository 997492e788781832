#pragma once

#include "prizes/computedlist.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
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

// One shoot of a category on a day: its row is the one whose "Feuille" is
// `sheet` (each shoot's sheet has a name of its own; a journal of older
// versions has one row, and one name, per category and day).
struct Shoot
{
    QDate day;
    QString category;
    QString sheet;

    friend bool operator==(const Shoot &a, const Shoot &b)
    {
        return a.day == b.day && a.category == b.category && a.sheet == b.sheet;
    }
};

// The whole journal once `entry` is recorded in `journal`: the row of the
// shoot `replacing` replaced in place, or, with none (or none found), the
// row appended as a shoot of its own; every other row kept byte for byte.
// Empty `journal` starts a new one. Nothing when `journal` is not one this
// program wrote, or when the entry has no row.
std::optional<QByteArray> recorded(const QByteArray &journal, const Entry &entry,
                                   const std::optional<Shoot> &replacing = std::nullopt);

// Every entry of a whole journal, in the file's order, its printed date and
// time to the minute as the row writes them (in UTC: no zone converts them).
// Nothing when `journal` is not one this program wrote; `refused` then says
// why in French, naming the line (the header is line 1), e.g. "ligne
// 7\u00a0: 16\u00a0champs au lieu de 17". An empty `journal` holds no entry.
std::optional<QList<Entry>> parse(const QByteArray &journal, QString *refused = nullptr);

// The same, each entry handed in turn to `take`, which answers why it
// refuses it (its line is then named), or nothing: a journal of twenty
// seasons need not be held twice. False, with `refused`, when refused.
using EntryTaker = std::function<QString(Entry &&entry)>;
bool forEachEntry(const QByteArray &journal, const EntryTaker &take, QString *refused = nullptr);
// The same, the two halves of a large journal read at once: `second` takes
// the second half's entries, on a thread of its own, `first` the others.
// `secondUsed` then tells whether what `second` took stands: it does not
// when `first` took every entry (a small journal, a quoted field across the
// middle). For the day's account: an entry whose list "Calculer" made comes
// without its sheet's name, which only a list typed by hand needs (twenty
// seasons' names were a quarter of their reading).
bool forEachEntryInTwo(const QByteArray &journal, const EntryTaker &first, const EntryTaker &second, bool *secondUsed,
                       QString *refused = nullptr);
// The same, `take` given only the entries of `category` printed on `day`;
// every other row is checked alike, and refused alike, without being made
// an entry. What a print reads of twenty seasons.
bool forEachShoot(const QByteArray &journal, const QDate &day, const QString &category, const EntryTaker &take,
                  QString *refused = nullptr);

// The entries of `category` printed on `day`, in the journal's order: its
// shoots that day.
QList<Entry> shootsOf(const QList<Entry> &entries, const QDate &day, const QString &category);

// The entries of `day` in a whole journal, found by their first field
// without reading the other rows: a glance, not a check (a row of that day
// that does not read is left out; a print checks the whole journal).
QList<Entry> entriesOn(const QByteArray &journal, const QDate &day);

} // namespace journal
