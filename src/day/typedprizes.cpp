#include "day/typedprizes.h"

#include "files/csv.h"
#include "files/lockedfile.h"
#include "files/plainfile.h"
#include "files/wholefile.h"
#include "journal/journalfile.h"

#include <QHash>

namespace day {

namespace {

const csv::Book &book()
{
    static const csv::Book typed{typedPrizesHeaderRow(), 5, QStringLiteral("du fichier"),
                                 QStringLiteral("des prix payés de Prix général")};
    return typed;
}

QString keyOf(const QDate &day, const QString &category, const QString &sheet)
{
    return day.toString(Qt::ISODate) + QLatin1Char(';') + category + QLatin1Char(';') + sheet;
}

QString reasonFor(const QString &fileName, const QString &why) { return QStringLiteral("%1\u00a0: %2").arg(fileName, why); }

QString notOurs(const QString &why)
{
    return QStringLiteral("Le programme ne le reconnaît pas comme son fichier des prix payés (%1)\u00a0: il a été "
                          "laissé tel quel. Renommez-le ou déplacez-le\u00a0: les prix tapés ensuite en commenceront "
                          "un nouveau.")
        .arg(why);
}

} // namespace

QString typedPrizesFileName() { return QStringLiteral("prix_payes.csv"); }

QByteArray typedPrizesHeaderRow()
{
    return csv::row({QStringLiteral("Date"), QStringLiteral("Catégorie"), QStringLiteral("Feuille"),
                     QStringLiteral("Prix payés"), QStringLiteral("Saisi le")});
}

QByteArray typedPrizesRow(const TypedPrizes &typed)
{
    return csv::row({typed.day.toString(QStringLiteral("yyyy-MM-dd")), typed.category, typed.sheet,
                     csvAmount(typed.prizes), typed.typedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm"))});
}

std::optional<QList<TypedPrizes>> parseTypedPrizes(const QByteArray &bytes, QString *refused)
{
    QList<TypedPrizes> typed;
    const QString why = csv::readBook(bytes, book(), [&](const csv::Fields &fields, QByteArrayView) {
        TypedPrizes row;
        row.day = csv::dateOf(fields[0]);
        row.category = fields.text(1);
        row.sheet = fields.text(2);
        const std::optional<Cents> prizes = centsOf(fields[3]);
        const QByteArrayView at = fields[4];
        row.typedAt = at.size() == 16 && at[10] == ' '
            ? csv::asWritten(csv::dateOf(at.first(10)), csv::timeOf(at.sliced(11)))
            : QDateTime();
        if (!row.day.isValid() || !prizes || *prizes < 0 || !row.typedAt.isValid())
            return QStringLiteral("elle n'a pas la forme des lignes que le programme écrit");
        row.prizes = *prizes;
        typed << row;
        return QString();
    });
    if (why.isEmpty())
        return typed;
    if (refused)
        *refused = why;
    return std::nullopt;
}

bool readTypedPrizes(const QString &fileName, QList<TypedPrizes> *typed, QString *error)
{
    typed->clear();
    const PlainFile file = readPlainFile(fileName, journal::maxJournalSize);
    if (file.status == PlainFile::Missing)
        return true;
    QString why;
    std::optional<QList<TypedPrizes>> read;
    if (file.status == PlainFile::Read)
        read = parseTypedPrizes(file.bytes, &why);
    else
        why = QStringLiteral("il ne peut pas être lu");
    if (!read) {
        *error = reasonFor(fileName, notOurs(why));
        return false;
    }
    *typed = std::move(*read);
    return true;
}

bool appendTypedPrizes(const QString &fileName, const QString &journalName, const TypedPrizes &typed,
                       QString *error)
{
    QString why;
    const bool done = rewriteLocked(
        fileName, *replacementFor(fileName), lockFileName(journalName), journal::maxJournalSize,
        [&typed](const PlainFile &old, QString *why) -> std::optional<QByteArray> {
            QString refused;
            if ((old.status != PlainFile::Read && old.status != PlainFile::Missing)
                || !parseTypedPrizes(old.bytes, &refused)) {
                *why = notOurs(refused.isEmpty() ? QStringLiteral("il ne peut pas être lu") : refused);
                return std::nullopt;
            }
            const QByteArray start = old.bytes.isEmpty() ? csv::byteOrderMark + typedPrizesHeaderRow() : old.bytes;
            if (start.size() > journal::maxJournalWriteSize) {
                *why = journal::tooLargeToWrite();
                return std::nullopt;
            }
            return start + typedPrizesRow(typed);
        },
        &why);
    if (!done)
        *error = reasonFor(fileName, why);
    return done;
}

void applyTypedPrizes(QList<Sheet> &sheets, const QList<TypedPrizes> &typed)
{
    if (typed.isEmpty())
        return;
    QHash<QString, Cents> last;
    for (const TypedPrizes &row : typed)
        last.insert(keyOf(row.day, row.category, row.sheet), row.prizes);
    for (Sheet &sheet : sheets) {
        if (sheet.prizes && !sheet.prizesTyped)
            continue;
        const auto found = last.constFind(keyOf(sheet.printed.date(), sheet.category, sheet.file));
        if (found != last.cend()) {
            sheet.prizes = *found;
            sheet.prizesTyped = true;
        }
    }
}

} // namespace day
