#include "day/sheets.h"

#include "files/plainfile.h"
#include "journal/journalfile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace day {

namespace {

QString pastLimit(const char *column, const QString &value)
{
    return QStringLiteral("la colonne «\u00a0%1\u00a0» contient %2, ce qu'aucune impression ne donne")
        .arg(QString::fromUtf8(column), value);
}

bool countFits(int count) { return count >= 0 && count <= maxCount; }

// The journal writes tariffs to the cent, so this is exact.
std::optional<Cents> tariff(double euros)
{
    if (!(euros >= 0 && euros * 100 <= double(maxTariff)))
        return std::nullopt;
    return Cents(std::llround(euros * 100));
}

} // namespace

std::optional<Cents> Sheet::kept() const
{
    if (!prizes)
        return std::nullopt;
    return receipts - blacks - *prizes;
}

std::optional<Sheet> sheetOf(const journal::Entry &entry, QString *refused)
{
    const auto refuse = [refused](const QString &why) {
        if (refused)
            *refused = why;
        return std::nullopt;
    };
    Sheet sheet;
    sheet.printed = entry.printed;
    sheet.category = entry.category;
    sheet.file = entry.sheet;
    sheet.sheetReceipts = entry.receipts;
    sheet.sheetCosts = entry.costs;
    if (!countFits(entry.bets))
        return refuse(pastLimit("Mises", QString::number(entry.bets)));
    if (!countFits(entry.blacksPaid))
        return refuse(pastLimit("Noirs payés", QString::number(entry.blacksPaid)));
    const std::optional<Cents> betTariff = tariff(entry.betPrice), blackTariff = tariff(entry.blackPrice);
    if (!betTariff)
        return refuse(pastLimit("Tarif de la mise", QString::number(entry.betPrice, 'f', 2)));
    if (!blackTariff)
        return refuse(pastLimit("Tarif des noirs", QString::number(entry.blackPrice, 'f', 2)));
    sheet.bets = entry.bets;
    sheet.blacksPaid = entry.blacksPaid;
    sheet.betTariff = *betTariff;
    sheet.blackTariff = *blackTariff;
    sheet.receipts = sheet.bets * sheet.betTariff;
    sheet.blacks = sheet.blacksPaid * sheet.blackTariff;
    if (entry.list) {
        const qint64 main = entry.list->mainPrizes, minimum = entry.list->minimumGains;
        if (main < 0 || main > maxPrizeEuros)
            return refuse(pastLimit("Prix principaux", QString::number(main)));
        if (minimum < 0 || minimum > maxPrizeEuros)
            return refuse(pastLimit("Gains minimum", QString::number(minimum)));
        sheet.prizes = (main + minimum) * 100;
    }
    return sheet;
}

bool readSheets(const QString &fileName, QList<Sheet> *sheets, QString *error)
{
    sheets->clear();
    // A row is some 110 bytes.
    sheets->reserve(QFileInfo(fileName).size() / 100);
    preferLargePages(sheets->data(), sheets->capacity() * qsizetype(sizeof(Sheet)));
    const auto into = [](QList<Sheet> *list) {
        return [list](journal::Entry &&entry) {
            QString why;
            if (std::optional<Sheet> sheet = sheetOf(entry, &why))
                *list << std::move(*sheet);
            return why;
        };
    };
    // A large journal's second half is read into a list of its own.
    QList<Sheet> second;
    bool secondUsed = false;
    const bool read = journal::readJournal(fileName, into(sheets), into(&second), &secondUsed, error);
    if (!read)
        sheets->clear();
    else if (secondUsed)
        sheets->append(std::move(second));
    return read;
}

QList<Sheet> sheetsOn(const QList<Sheet> &sheets, const QDate &date)
{
    QList<Sheet> found;
    for (const Sheet &sheet : sheets)
        if (sheet.printed.date() == date)
            found << sheet;
    return found;
}

Totals totalsOf(const QList<Sheet> &sheets)
{
    Totals totals;
    for (const Sheet &sheet : sheets) {
        ++totals.sheets;
        totals.bets += sheet.bets;
        totals.blacksPaid += sheet.blacksPaid;
        totals.receipts += sheet.receipts;
        totals.blacks += sheet.blacks;
        totals.sheetCosts += Cents(sheet.sheetCosts) * 100;
        if (sheet.prizes) {
            totals.prizes += *sheet.prizes;
            totals.kept += *sheet.kept();
        } else {
            ++totals.unknown;
        }
    }
    return totals;
}

QList<QDate> days(const QList<Sheet> &sheets, const QDate &today, const QList<QDate> &moreDays)
{
    QList<QDate> found = moreDays;
    // A day's sheets come together: twenty seasons sort 7,000 days, not 100,000.
    for (const Sheet &sheet : sheets)
        if (const QDate date = sheet.printed.date(); found.size() == moreDays.size() || found.constLast() != date)
            found << date;
    std::sort(found.begin(), found.end(), [](const QDate &a, const QDate &b) { return a > b; });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    found.removeAll(today);
    found.removeAll(QDate());
    found.prepend(today);
    return found;
}

QString dayName(const QDate &date)
{
    // The names QLocale gives in French, written out: twenty seasons list
    // 7,000 days, and QLocale's formatting was a tenth of the tab's first show.
    static const char16_t *const weekdays[] = {u"lundi", u"mardi",  u"mercredi", u"jeudi",
                                               u"vendredi", u"samedi", u"dimanche"};
    static const char16_t *const months[] = {u"janvier", u"février", u"mars",      u"avril",   u"mai",      u"juin",
                                             u"juillet", u"août",    u"septembre", u"octobre", u"novembre", u"décembre"};
    if (!date.isValid() || date.year() < 1)
        return {};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    QString name;
    name.reserve(32);
    name.append(QStringView(weekdays[date.dayOfWeek() - 1])).append(QLatin1Char(' '));
    // French writes the first of the month as an ordinal.
    if (day == 1) {
        name.append(QLatin1String("1er"));
    } else {
        if (day >= 10)
            name.append(QLatin1Char(char('0' + day / 10)));
        name.append(QLatin1Char(char('0' + day % 10)));
    }
    name.append(QLatin1Char(' ')).append(QStringView(months[month - 1])).append(QLatin1Char(' '));
    name.append(QString::number(year).rightJustified(4, QLatin1Char('0')));
    return name;
}

QDate seasonStart(const QDate &date) { return QDate(date.month() >= 9 ? date.year() : date.year() - 1, 9, 1); }

QString seasonName(const QDate &date)
{
    const int first = seasonStart(date).year();
    return QStringLiteral("%1-%2").arg(first).arg(first + 1);
}

} // namespace day
