#include "day/statement.h"

#include "day/daymodel.h"
#include "day/unknown.h"

#include <QMap>

namespace day {

namespace {

using paper::Align;
using paper::Table;

// Whole euros as the sheet's "Bilan" prints them: "430 €".
QString sheetEuros(int euros) { return QString::number(euros) + QStringLiteral("\u00a0€"); }

QString knownOr(const std::optional<Cents> &amount, const QString &unknown)
{
    return amount ? euros(*amount) : unknown;
}

Table labelled(const QString &title)
{
    Table table;
    table.header = {title, QStringLiteral("Montant")};
    table.align = {Align::Left, Align::Right};
    table.wraps = {true, false};
    return table;
}

// The notes, or the coins, of a count, and their total.
Table piecesTable(const CashCount &count, bool notes)
{
    Table table;
    table.header = {notes ? QStringLiteral("Billets") : QStringLiteral("Pièces"), QStringLiteral("Nombre"),
                    QStringLiteral("Montant")};
    table.align = {Align::Left, Align::Right, Align::Right};
    for (int i = notes ? 0 : noteCount; i < (notes ? noteCount : denominationCount); ++i) {
        const int pieces = count.pieces[size_t(i)];
        table.addRow({denominationValue(i), QString::number(pieces), euros(pieces * denominations[size_t(i)])});
    }
    table.addRow({notes ? QStringLiteral("Total des billets") : QStringLiteral("Total des pièces"), QString(),
                  euros(notes ? notesTotal(count) : coinsTotal(count))},
                 true);
    return table;
}

// The day's shoots as the tab shows them, with what each sheet printed.
Table sheetsTable(const QList<Sheet> &daySheets, const Totals &totals)
{
    DayModel model;
    model.setDay(daySheets, daySheets.first().printed.date());
    Table table;
    table.header = {QStringLiteral("Catégorie"),        QStringLiteral("Heure"),       QStringLiteral("Mises"),
                    QStringLiteral("Recette (feuille)"), QStringLiteral("Frais (feuille)"), QStringLiteral("Recette"),
                    QStringLiteral("Noirs payés"),      QStringLiteral("Prix payés"),  QStringLiteral("Gardé par le club")};
    table.align = {Align::Left, Align::Left, Align::Right, Align::Right, Align::Right,
                   Align::Right, Align::Right, Align::Right, Align::Right};
    table.wraps = {true};
    const auto cell = [&model](int row, int column) { return model.data(model.index(row, column)).toString(); };
    for (int row = 0; row < daySheets.size(); ++row) {
        const Sheet &sheet = daySheets[row];
        table.addRow({cell(row, DayModel::Category), cell(row, DayModel::Time), cell(row, DayModel::Bets),
                      sheetEuros(sheet.sheetReceipts), sheetEuros(sheet.sheetCosts), cell(row, DayModel::Receipts),
                      cell(row, DayModel::Blacks), cell(row, DayModel::Prizes), cell(row, DayModel::Kept)});
    }
    int receipts = 0, costs = 0;
    for (const Sheet &sheet : daySheets) {
        receipts += sheet.sheetReceipts;
        costs += sheet.sheetCosts;
    }
    const int total = int(daySheets.size());
    table.addRow({QStringLiteral("Total de la journée"), QString(), wholeNumber(totals.bets), sheetEuros(receipts),
                  sheetEuros(costs), cell(total, DayModel::Receipts), cell(total, DayModel::Blacks),
                  cell(total, DayModel::Prizes), cell(total, DayModel::Kept)},
                 true);
    return table;
}

// Which of the day's shoots have prizes nobody has said, and which were typed.
QStringList shootsWhere(const QList<Sheet> &daySheets, bool typed)
{
    DayModel model;
    model.setDay(daySheets, daySheets.isEmpty() ? QDate() : daySheets.first().printed.date());
    QStringList shoots;
    for (int row = 0; row < daySheets.size(); ++row) {
        const Sheet &sheet = daySheets[row];
        if (typed ? sheet.prizesTyped : !sheet.prizes)
            shoots << (typed ? QStringLiteral("«\u00a0%1\u00a0» %2").arg(model.shootName(row), euros(*sheet.prizes))
                             : model.shootName(row));
    }
    return shoots;
}

} // namespace

QString dayStatementFileName(const QDate &date, int number)
{
    return QStringLiteral("bilan_%1_n%2.pdf").arg(date.toString(QStringLiteral("yyyy-MM-dd"))).arg(number);
}

QString seasonStatementFileName(const QDate &date)
{
    return QStringLiteral("bilan_saison_") + seasonName(date) + QStringLiteral(".pdf");
}

paper::Document dayStatement(const Heading &heading, const QList<Sheet> &daySheets, const CashRecord &record)
{
    const QDate date = record.closed.date();
    const Totals totals = totalsOf(daySheets);
    const CashCount &count = record.count;
    paper::Document paper;
    paper.crestPath = heading.crestPath;
    paper.club = heading.club;
    paper.title = QStringLiteral("Bilan de la journée du ") + dayName(date);
    paper.subtitle = QStringLiteral("n°\u00a0%1").arg(record.number);
    if (record.number > 1)
        paper.subtitle += QStringLiteral(" (remplace le n°\u00a0%1)").arg(record.number - 1);

    if (daySheets.isEmpty()) {
        paper.text(QStringLiteral("Aucune feuille de prix n'a été imprimée ce jour-là\u00a0: ce bilan est celui de la "
                                  "caisse seule."));
    } else {
        paper.heading(QStringLiteral("Feuilles de prix imprimées"));
        paper.tables({sheetsTable(daySheets, totals)});
        paper.text(QStringLiteral("Recette (feuille) et Frais (feuille)\u00a0: les euros entiers que chaque feuille a "
                                  "imprimés et que garde le journal. Recette, Noirs payés et Prix payés\u00a0: au "
                                  "centime, des nombres et des tarifs."));
        if (totals.prizesKnown())
            paper.text(QStringLiteral("Gardé par le club\u00a0: %1, soit les frais des feuilles (%2) et %3 que "
                                      "laissent les arrondis et la fraction honteux.")
                           .arg(euros(totals.kept), euros(totals.sheetCosts), euros(totals.kept - totals.sheetCosts)),
                       true);
        else
            paper.text(QStringLiteral("Gardé par le club\u00a0: %1 pour les feuilles aux prix connus. %2")
                           .arg(partlyKnownText(totals.kept), unknownPrizesNote(shootsWhere(daySheets, false))),
                       true);
        const QStringList typed = shootsWhere(daySheets, true);
        if (!typed.isEmpty())
            paper.text(QStringLiteral("Prix payés tapés sur l'onglet Journée (listes saisies à la main)\u00a0: %1.")
                           .arg(typed.join(QStringLiteral(", "))));
    }

    paper.heading(QStringLiteral("Caisse"));
    paper.tables({piecesTable(count, true), piecesTable(count, false)});
    Table due = labelled(QStringLiteral("Ce que la caisse doit contenir"));
    due.addRow({QStringLiteral("Fond de caisse"), euros(count.openingFloat)});
    due.addRow({QStringLiteral("Recette"), euros(totals.receipts)});
    due.addRow({QStringLiteral("Noirs payés"), euros(-totals.blacks)});
    due.addRow({QStringLiteral("Prix payés"), totals.prizesKnown() ? euros(-totals.prizes) : unknownPrizesText()});
    due.addRow({QStringLiteral("Prix non réclamés"), euros(count.unclaimedPrizes)});
    due.addRow({QStringLiteral("Attendu en caisse"), knownOr(record.expected, unknownExpectedText())}, true);
    Table held = labelled(QStringLiteral("Ce qu'elle contient"));
    held.addRow({QStringLiteral("Compté"), euros(record.counted)}, true);
    held.addRow({QStringLiteral("Attendu"), knownOr(record.expected, unknownExpectedText())});
    held.addRow({QStringLiteral("Écart (compté moins attendu)"), knownOr(record.difference, unknownText())}, true);
    QString reason = count.reason;
    if (reason.trimmed().isEmpty())
        reason = record.difference.value_or(0) != 0 ? QStringLiteral("Écart non expliqué") : QStringLiteral("—");
    held.addRow({QStringLiteral("Motif de l'écart"), reason});
    held.wraps = {true, true};
    held.addRow({QStringLiteral("Remise en banque"), euros(count.deposit)});
    held.addRow({QStringLiteral("Fond de caisse conservé"), euros(floatKept(count))}, true);
    paper.tables({due, held});

    paper.text(QStringLiteral("Compté par\u00a0: %1. Caisse close le %2 à %3.")
                   .arg(count.countedBy.trimmed().isEmpty() ? QStringLiteral("—") : count.countedBy, dayName(date),
                        record.closed.time().toString(QStringLiteral("HH:mm"))));
    paper.signatures();
    return paper;
}

paper::Document seasonStatement(const Heading &heading, const QDate &date, const QList<Sheet> &sheets,
                                const QList<CashRecord> &records)
{
    const QDate first = seasonStart(date), last = first.addYears(1).addDays(-1);
    const auto inSeason = [&](const QDate &day) { return day >= first && day <= last; };
    // Each day of the season, in order, with its sheets and its last count;
    // and the float the last count before the season kept.
    QMap<QDate, QList<Sheet>> daySheets;
    QMap<QDate, CashRecord> lastCount;
    std::optional<CashRecord> before;
    for (const Sheet &sheet : sheets)
        if (inSeason(sheet.printed.date()))
            daySheets[sheet.printed.date()] << sheet;
    for (const CashRecord &record : records) {
        const QDate day = record.closed.date();
        if (inSeason(day)) {
            lastCount[day] = record;
            daySheets[day];
        } else if (day < first && (!before || before->closed.date() <= day)) {
            before = record;
        }
    }

    paper::Document paper;
    paper.crestPath = heading.crestPath;
    paper.club = heading.club;
    paper.landscape = true;
    paper.title = QStringLiteral("Bilan de la saison ") + seasonName(date);
    paper.subtitle = QStringLiteral("Du %1 au %2").arg(dayName(first), dayName(last));
    if (daySheets.isEmpty()) {
        paper.text(QStringLiteral("Aucune journée n'a été enregistrée cette saison."));
        paper.signatures();
        return paper;
    }

    Table table;
    table.header = {QStringLiteral("Journée"),         QStringLiteral("Feuilles"),       QStringLiteral("Mises"),
                    QStringLiteral("Recette"),         QStringLiteral("Noirs payés"),    QStringLiteral("Prix payés"),
                    QStringLiteral("Gardé par le club"), QStringLiteral("Fond de caisse"), QStringLiteral("Compté"),
                    QStringLiteral("Remise en banque"), QStringLiteral("Écart"),         QStringLiteral("Remarques")};
    table.align = {Align::Left};
    for (int column = 1; column < 11; ++column)
        table.align << Align::Right;
    table.align << Align::Left;
    table.wraps = {false, false, false, false, false, false, false, false, false, false, false, true};
    QList<Sheet> all;
    Cents differences = 0, deposits = 0;
    bool anyCount = false, allKnown = true;
    QStringList unknownDays;
    // The float the last count kept, which the next counted day should open with.
    bool keptKnown = before.has_value();
    Cents keptBefore = before ? floatKept(before->count) : 0;
    for (auto it = daySheets.cbegin(); it != daySheets.cend(); ++it) {
        all += it.value();
        const Totals totals = totalsOf(it.value());
        const auto found = lastCount.constFind(it.key());
        const bool hasCount = found != lastCount.cend();
        QStringList remarks;
        if (!totals.prizesKnown()) {
            remarks << QStringLiteral("prix inconnus (liste saisie à la main)");
            unknownDays << it.key().toString(QStringLiteral("dd/MM/yyyy"));
        }
        if (hasCount) {
            anyCount = true;
            deposits += found->count.deposit;
            if (found->difference)
                differences += *found->difference;
            else
                allKnown = false;
            // A sheet printed after the day's last count is not in its difference.
            QDateTime lastSheet;
            for (const Sheet &sheet : it.value())
                lastSheet = qMax(lastSheet, sheet.printed);
            if (lastSheet.isValid() && found->closed < lastSheet)
                remarks << QStringLiteral("compté avant la dernière feuille");
            if (keptKnown && found->count.openingFloat != keptBefore)
                remarks << QStringLiteral("fond différent du fond conservé avant (%1)").arg(euros(keptBefore));
            keptKnown = true;
            keptBefore = floatKept(found->count);
        } else {
            remarks << noCountText();
        }
        table.addRow({it.key().toString(QStringLiteral("dd/MM/yyyy")), wholeNumber(totals.sheets),
                      wholeNumber(totals.bets), euros(totals.receipts), euros(totals.blacks),
                      totals.prizesKnown() ? euros(totals.prizes) : partlyKnownText(totals.prizes),
                      totals.prizesKnown() ? euros(totals.kept) : partlyKnownText(totals.kept),
                      hasCount ? euros(found->count.openingFloat) : QString(),
                      hasCount ? euros(found->counted) : QString(), hasCount ? euros(found->count.deposit) : QString(),
                      hasCount ? knownOr(found->difference, unknownText()) : QString(), remarks.join(QStringLiteral("\u00a0; "))});
    }
    const Totals season = totalsOf(all);
    // Counted cash is not summed: each day's box holds the float carried over.
    table.addRow({QStringLiteral("Total de la saison"), wholeNumber(season.sheets), wholeNumber(season.bets),
                  euros(season.receipts), euros(season.blacks),
                  season.prizesKnown() ? euros(season.prizes) : partlyKnownText(season.prizes),
                  season.prizesKnown() ? euros(season.kept) : partlyKnownText(season.kept), QString(), QString(),
                  anyCount ? euros(deposits) : QString(),
                  !anyCount ? noCountText() : allKnown ? euros(differences) : partlyKnownText(differences),
                  QString()},
                 true);
    paper.tables({table});
    paper.text(QStringLiteral("Compté et Écart\u00a0: ceux du dernier comptage du jour. L'argent compté ne s'additionne "
                              "pas d'un jour à l'autre\u00a0: la caisse de chaque jour contient le fond de caisse "
                              "reporté. Les remises en banque, elles, s'additionnent\u00a0: leur total se retrouve sur "
                              "le relevé de la banque."));
    if (!unknownDays.isEmpty())
        paper.text(QStringLiteral("«\u00a0+\u00a0?\u00a0»\u00a0: des prix payés inconnus (liste saisie à la main) les %1. "
                                  "Tapez-les dans la colonne «\u00a0Prix payés\u00a0» de l'onglet Journée de ces jours.")
                       .arg(unknownDays.join(QStringLiteral(", "))));
    paper.signatures();
    return paper;
}

} // namespace day
