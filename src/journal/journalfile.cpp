#include "journal/journalfile.h"

#include "files/csv.h"
#include "files/lockedfile.h"
#include "files/plainfile.h"
#include "files/wholefile.h"
#include "journal/journal.h"

#include <optional>

namespace journal {

namespace {

const char startAnew[] = " Renommez-le ou déplacez-le\u00a0: l'impression suivante commencera un nouveau journal.";

QString unreadable(PlainFile::Status status)
{
    switch (status) {
    case PlainFile::NotPlain:
        return QStringLiteral("Un dossier, ou un autre élément qui n'est pas un fichier, porte ce nom. Renommez "
                              "ou déplacez cet élément\u00a0: l'impression suivante commencera un nouveau journal.");
    case PlainFile::TooLarge:
        return QStringLiteral("Il dépasse %1\u00a0Mo\u00a0: il a été laissé tel quel.").arg(maxJournalSize >> 20)
            + QString::fromUtf8(startAnew);
    default:
        return QStringLiteral("Il n'a pas pu être lu\u00a0: il a été laissé tel quel.");
    }
}

} // namespace

QString journalFileName() { return QStringLiteral("journal.csv"); }

QString tooLargeToWrite()
{
    return QStringLiteral("Il atteindrait %1\u00a0Mo, la taille que le programme ne dépasse pas afin de toujours "
                          "pouvoir le relire\u00a0: il a été laissé tel quel. Renommez-le pour le garder (par "
                          "exemple en y ajoutant les années qu'il couvre)\u00a0: le suivant commencera un nouveau "
                          "fichier.")
        .arg(maxJournalWriteSize >> 20);
}

namespace {

bool readJournalWith(const QString &fileName, const std::function<bool(const QByteArray &, QString *)> &read,
                     QString *error)
{
    const PlainFile file = readPlainFile(fileName, maxJournalSize);
    QString why;
    if (file.status == PlainFile::Missing)
        return true;
    if (file.status != PlainFile::Read)
        why = unreadable(file.status);
    else if (read(file.bytes, &why))
        return true;
    else
        why = QStringLiteral("Le programme ne le reconnaît pas comme son journal (%1).").arg(why);
    *error = QStringLiteral("%1\u00a0: %2").arg(fileName, why);
    return false;
}

} // namespace

bool readJournal(const QString &fileName, const std::function<QString(Entry &&entry)> &take, QString *error)
{
    return readJournalWith(
        fileName, [&take](const QByteArray &bytes, QString *why) { return forEachEntry(bytes, take, why); }, error);
}

bool readJournal(const QString &fileName, const EntryTaker &first, const EntryTaker &second, bool *secondUsed,
                 QString *error)
{
    *secondUsed = false;
    return readJournalWith(
        fileName,
        [&](const QByteArray &bytes, QString *why) { return forEachEntryInTwo(bytes, first, second, secondUsed, why); },
        error);
}

bool readJournal(const QString &fileName, QList<Entry> *entries, QString *error)
{
    entries->clear();
    const bool read = readJournal(
        fileName,
        [entries](Entry &&entry) {
            *entries << std::move(entry);
            return QString();
        },
        error);
    if (!read)
        entries->clear();
    return read;
}

bool recordInJournal(const QString &fileName, FileReplacement &file, Entry entry, const Preparation &prepare,
                     QString *error)
{
    QString refused;
    if (!row(entry, &refused)) {
        *error = QStringLiteral("Une valeur de cette feuille ne s'écrit pas comme un nombre (%1)\u00a0: le journal a "
                                "été laissé tel quel.")
                     .arg(refused);
        return false;
    }
    return rewriteLocked(fileName, file, lockFileName(fileName), maxJournalSize,
                         [&](PlainFile old, QString *why) -> std::optional<QByteArray> {
                             if (old.status != PlainFile::Read && old.status != PlainFile::Missing) {
                                 *why = unreadable(old.status);
                                 return std::nullopt;
                             }
                             QList<Entry> shoots;
                             const bool ours =
                                 forEachShoot(old.bytes, entry.printed.date(), entry.category, [&](Entry &&read) {
                                     shoots << std::move(read);
                                     return QString();
                                 });
                             if (!ours) {
                                 *why = QStringLiteral("Il a été enregistré sous une autre forme que celle de Prix "
                                                       "général, sans doute par un tableur, et le programme ne le "
                                                       "reconnaît plus\u00a0: il a été laissé tel quel.")
                                        + QString::fromUtf8(startAnew);
                                 return std::nullopt;
                             }
                             std::optional<Shoot> replacing;
                             if (prepare && !prepare(shoots, entry, replacing)) {
                                 why->clear();
                                 return std::nullopt;
                             }
                             // Read whole above: a new shoot's row goes at the end, as it is.
                             std::optional<QByteArray> bytes;
                             if (replacing) {
                                 bytes = recorded(old.bytes, entry, replacing);
                             } else {
                                 bytes = old.bytes.isEmpty() ? csv::byteOrderMark + headerRow() : std::move(old.bytes);
                                 *bytes += *row(entry);
                             }
                             if (bytes && bytes->size() > maxJournalWriteSize) {
                                 *why = tooLargeToWrite();
                                 return std::nullopt;
                             }
                             return bytes;
                         },
                         error);
}

bool recordInJournal(const QString &fileName, FileReplacement &file, const Entry &entry, QString *error)
{
    return recordInJournal(fileName, file, entry, Preparation(), error);
}

bool recordInJournal(const QString &fileName, const Entry &entry, QString *error)
{
    return recordInJournal(fileName, *replacementFor(fileName), entry, error);
}

} // namespace journal
