#include "report/shoots.h"

#include "files/lockedfile.h"
#include "files/plainfile.h"
#include "files/wholefile.h"
#include "journal/journalfile.h"
#include "report/sheet.h"

#include <QFile>
#include <QLockFile>

namespace {

QString stem(const QString &category) { return sheetFileName(category).chopped(4); }

QString dayText(const QDate &day) { return day.toString(QStringLiteral("yyyy-MM-dd")); }

} // namespace

QString shootFileName(const QString &category, const QDate &day, int number)
{
    return QStringLiteral("%1_%2_tir%3.pdf").arg(stem(category), dayText(day)).arg(number);
}

int shootNumber(const QString &category, const QDate &day, const QString &sheet)
{
    if (sheet == sheetFileName(category))
        return 1;
    const QString start = QStringLiteral("%1_%2_tir").arg(stem(category), dayText(day));
    if (!sheet.startsWith(start) || !sheet.endsWith(QLatin1String(".pdf")))
        return 0;
    bool ok = false;
    const int number = sheet.mid(start.size(), sheet.size() - start.size() - 4).toInt(&ok);
    return ok && number > 0 ? number : 0;
}

int nextShoot(const QList<journal::Entry> &entries, const QString &category, const QDate &day)
{
    int last = 0, count = 0;
    for (const journal::Entry &entry : journal::shootsOf(entries, day, category)) {
        last = qMax(last, shootNumber(category, day, entry.sheet));
        ++count;
    }
    // Rows a spreadsheet renamed count too: no two shoots share a name.
    return qMax(last, count) + 1;
}

ShootPrint printShoot(const QByteArray &pdf, journal::Entry entry, const std::optional<journal::Shoot> &replacing,
                      const QString &journalName, const Replacement &replacement)
{
    const auto writer = [&replacement](const QString &fileName) {
        return replacement ? replacement(fileName) : replacementFor(fileName);
    };
    ShootPrint done;
    const QString documented = sheetFileName(entry.category);
    const auto writePdf = [&](const QString &fileName) {
        QString why;
        if (replaceWhole(*writer(fileName), pdf, &why))
            return true;
        done.failedFile = fileName;
        done.printError = why;
        return false;
    };
    bool prepared = false, isReplacement = false;
    // Numbered, written and recorded while this copy alone holds the journal's lock.
    const auto prepare = [&](const QList<journal::Entry> &shoots, journal::Entry &row,
                             std::optional<journal::Shoot> &replaced) {
        prepared = true;
        const QDate day = row.printed.date();
        // The shoot corrected keeps its sheet's name; a new one takes the next.
        for (const journal::Entry &shoot : shoots)
            if (replacing && replacing->day == day && shoot.sheet == replacing->sheet)
                replaced = replacing;
        isReplacement = replaced.has_value();
        done.sheet = replaced ? replaced->sheet : shootFileName(row.category, day, nextShoot(shoots, row.category, day));
        row.sheet = done.sheet;
        if (!writePdf(done.sheet))
            return false;
        if (done.sheet != documented && !writePdf(documented)) {
            // A sheet of its own that no row names is no shoot.
            if (!replaced)
                QFile::remove(done.sheet);
            return false;
        }
        done.printed = true;
        return true;
    };
    done.recorded = journal::recordInJournal(journalName, *writer(journalName), entry, prepare, &done.journalError);
    if (prepared) {
        // The row could not be written: the sheet stands, under its documented name alone.
        if (done.printed && !done.recorded && !isReplacement && done.sheet != documented) {
            QFile::remove(done.sheet);
            done.sheet = documented;
        }
        return done;
    }
    // The journal could not be read (or its lock had): the documented sheet
    // alone, which nothing numbers, and the journal's reason.
    done.sheet = documented;
    done.printed = writePdf(documented);
    return done;
}
