#include "day/statement.h"

#include "day/daymodel.h"
#include "day/unknown.h"

#include <QMap>

namespace day {

namespace {

const char tableStart[] = "<table border=1 cellspacing=0 cellpadding=4 width=\"100%\">";

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

QString cell(const QString &text, bool right = false, const char *tag = "td")
{
    return QStringLiteral("<%1%2>%3</%1>")
        .arg(QLatin1String(tag), right ? QStringLiteral(" align=right") : QString(), text);
}

QString line(const QString &label, const QString &value, bool strong = false)
{
    return QStringLiteral("<tr>") + cell(strong ? QStringLiteral("<b>%1</b>").arg(label) : label)
        + cell(strong ? QStringLiteral("<b>%1</b>").arg(value) : value, true) + QStringLiteral("</tr>");
}

QString optionalEuros(const std::optional<Cents> &amount, const QString &unknown)
{
    return amount ? euros(*amount) : unknown;
}

QString head(const QString &crestPath, const QString &title)
{
    // Small enough that eight columns of euros fit across the page.
    return QStringLiteral("<html><body style=\"font-size: 9pt\"><center><img src=\"") + crestPath.toHtmlEscaped()
        + QStringLiteral("\" height=150><h1>") + title + QStringLiteral("</h1>");
}

// The day's table as the window shows it: the same model, the same words.
QString sheetsTable(const QList<Sheet> &daySheets)
{
    DayModel model;
    model.setDay(daySheets, daySheets.isEmpty() ? QDate() : daySheets.first().printed.date());
    QString html = QString::fromLatin1(tableStart) + QStringLiteral("<tr>");
    for (int column = 0; column < DayModel::ColumnCount; ++column)
        html += cell(model.headerData(column, Qt::Horizontal).toString(), false, "th");
    html += QStringLiteral("</tr>");
    for (int row = 0; row < model.rowCount(); ++row) {
        const bool total = model.isTotalsRow(row);
        html += QStringLiteral("<tr>");
        for (int column = 0; column < DayModel::ColumnCount; ++column) {
            const QString text = escaped(model.data(model.index(row, column)).toString());
            html += cell(total ? QStringLiteral("<b>%1</b>").arg(text) : text, column >= DayModel::Bets);
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString countTable(const CashCount &count)
{
    QString html = QString::fromLatin1(tableStart) + QStringLiteral("<tr>") + cell(QStringLiteral("Coupure"), false, "th")
        + cell(QStringLiteral("Nombre"), true, "th") + cell(QStringLiteral("Montant"), true, "th")
        + QStringLiteral("</tr>");
    const auto subtotal = [](const QString &label, Cents amount) {
        return QStringLiteral("<tr>") + cell(QStringLiteral("<b>%1</b>").arg(label)) + cell(QString())
            + cell(QStringLiteral("<b>%1</b>").arg(euros(amount)), true) + QStringLiteral("</tr>");
    };
    for (int i = 0; i < denominationCount; ++i) {
        const int pieces = count.pieces[size_t(i)];
        html += QStringLiteral("<tr>") + cell(denominationName(i)) + cell(QString::number(pieces), true)
            + cell(euros(pieces * denominations[size_t(i)]), true) + QStringLiteral("</tr>");
        if (i == noteCount - 1)
            html += subtotal(QStringLiteral("Total des billets"), notesTotal(count));
    }
    html += subtotal(QStringLiteral("Total des pièces"), coinsTotal(count));
    html += subtotal(QStringLiteral("Total compté"), counted(count));
    return html + QStringLiteral("</table>");
}

QString signatures()
{
    const QString blank = QStringLiteral("<br><br><br>______________________________");
    return QStringLiteral("<br><table width=\"100%\" cellpadding=8><tr><td>Le trésorier") + blank
        + QStringLiteral("</td><td>Le vérificateur aux comptes") + blank + QStringLiteral("</td></tr></table>");
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

QString dayStatementHtml(const QString &crestPath, const QList<Sheet> &daySheets, const CashRecord &record)
{
    const QDate date = record.closed.date();
    const Totals totals = totalsOf(daySheets);
    const CashCount &count = record.count;
    QString html = head(crestPath, QStringLiteral("Bilan de la journée du ") + dayName(date));
    html += QStringLiteral("<p><b>n°\u00a0%1").arg(record.number);
    if (record.number > 1)
        html += QStringLiteral(" (remplace le n°\u00a0%1)").arg(record.number - 1);
    html += QStringLiteral("</b></p></center>");

    if (daySheets.isEmpty()) {
        html += QStringLiteral("<p>Aucune feuille de prix n'a été imprimée ce jour-là\u00a0: ce bilan est celui de la "
                               "caisse seule.</p>");
    } else {
        html += QStringLiteral("<h2>Feuilles de prix imprimées</h2>") + sheetsTable(daySheets);
        html += QStringLiteral("<p>Gardé par le club\u00a0: <b>%1</b> (les frais, avec ce que laissent les arrondis "
                               "et la fraction honteux).</p>")
                    .arg(optionalEuros(totals.kept, unknownOnPaperText()));
    }

    html += QStringLiteral("<h2>Caisse</h2>") + QString::fromLatin1(tableStart);
    html += line(QStringLiteral("Fond de caisse"), euros(count.openingFloat));
    html += line(QStringLiteral("Recette"), euros(totals.receipts));
    html += line(QStringLiteral("Noirs payés"), euros(-totals.blacks));
    html += line(QStringLiteral("Prix payés"), optionalEuros(totals.prizes ? std::optional<Cents>(-*totals.prizes)
                                                                            : std::nullopt,
                                                             unknownOnPaperText()));
    html += line(QStringLiteral("Prix non réclamés"), euros(count.unclaimedPrizes));
    html += line(QStringLiteral("Attendu en caisse"),
                 optionalEuros(record.expected, unknownExpectedOnPaperText()),
                 true);
    html += QStringLiteral("</table><h3>Comptage</h3>") + countTable(count);

    html += QStringLiteral("<br>") + QString::fromLatin1(tableStart);
    html += line(QStringLiteral("Compté"), euros(record.counted), true);
    html += line(QStringLiteral("Attendu"), optionalEuros(record.expected, unknownOnPaperText()));
    html += line(QStringLiteral("Écart (compté moins attendu)"), optionalEuros(record.difference, unknownOnPaperText()),
                 true);
    QString reason = escaped(count.reason);
    if (reason.trimmed().isEmpty())
        reason = record.difference.value_or(0) != 0 ? QStringLiteral("<b>Écart non expliqué</b>") : QString();
    if (!reason.isEmpty())
        html += line(QStringLiteral("Motif de l'écart"), reason);
    html += line(QStringLiteral("Remise en banque"), euros(count.deposit));
    html += line(QStringLiteral("Fond de caisse conservé"), euros(floatKept(count)), true);
    html += QStringLiteral("</table>");

    html += QStringLiteral("<p>Compté par\u00a0: %1<br>Caisse close le %2 à %3.</p>")
                .arg(escaped(count.countedBy), dayName(date), record.closed.time().toString(QStringLiteral("HH:mm")));
    return html + signatures() + QStringLiteral("</body></html>");
}

QString seasonStatementHtml(const QString &crestPath, const QDate &date, const QList<Sheet> &sheets,
                            const QList<CashRecord> &records)
{
    const QDate first = seasonStart(date), last = first.addYears(1).addDays(-1);
    const auto inSeason = [&](const QDate &day) { return day >= first && day <= last; };
    // Each day of the season, in order, with its sheets and its last count.
    QMap<QDate, QList<Sheet>> daySheets;
    QMap<QDate, CashRecord> lastCount;
    for (const Sheet &sheet : sheets)
        if (inSeason(sheet.printed.date()))
            daySheets[sheet.printed.date()] << sheet;
    for (const CashRecord &record : records)
        if (inSeason(record.closed.date())) {
            lastCount[record.closed.date()] = record;
            daySheets[record.closed.date()];
        }

    QString html = head(crestPath, QStringLiteral("Bilan de la saison ") + seasonName(date))
        + QStringLiteral("<p>Du %1 au %2</p></center>").arg(dayName(first), dayName(last));
    if (daySheets.isEmpty())
        return html + QStringLiteral("<p>Aucune journée n'a été enregistrée cette saison.</p></body></html>");

    html += QString::fromLatin1(tableStart) + QStringLiteral("<tr>");
    for (const char *title :
         {"Journée", "Feuilles", "Recette", "Noirs payés", "Prix payés", "Gardé par le club", "Compté", "Écart"})
        html += cell(QString::fromUtf8(title), false, "th");
    html += QStringLiteral("</tr>");
    QList<Sheet> all;
    std::optional<Cents> differences = 0;
    bool anyCount = false;
    const QString unknown = unknownText();
    for (auto it = daySheets.cbegin(); it != daySheets.cend(); ++it) {
        all += it.value();
        const Totals totals = totalsOf(it.value());
        const auto found = lastCount.constFind(it.key());
        const bool hasCount = found != lastCount.cend();
        anyCount = anyCount || hasCount;
        if (hasCount)
            differences = differences && found->difference ? std::optional<Cents>(*differences + *found->difference)
                                                           : std::nullopt;
        // A sheet printed after the day's last count is not in its difference.
        QDateTime lastSheet;
        for (const Sheet &sheet : it.value())
            lastSheet = qMax(lastSheet, sheet.printed);
        const bool countedBefore = hasCount && lastSheet.isValid() && found->closed < lastSheet;
        const QString difference = !hasCount ? noCountText()
            : optionalEuros(found->difference, unknown)
                + (countedBefore ? QStringLiteral("<br>(compté avant la dernière feuille)") : QString());
        html += QStringLiteral("<tr>") + cell(it.key().toString(QStringLiteral("dd/MM/yyyy"))) + cell(QString::number(totals.sheets), true)
            + cell(euros(totals.receipts), true) + cell(euros(totals.blacks), true)
            + cell(optionalEuros(totals.prizes, unknown), true) + cell(optionalEuros(totals.kept, unknown), true)
            + cell(hasCount ? euros(found->counted) : QString(), true) + cell(difference, true)
            + QStringLiteral("</tr>");
    }
    const Totals season = totalsOf(all);
    const auto bold = [](const QString &text) { return QStringLiteral("<b>%1</b>").arg(text); };
    // Counted cash is not summed: each day's box holds the float carried over.
    html += QStringLiteral("<tr>") + cell(bold(QStringLiteral("Total de la saison")))
        + cell(bold(QString::number(season.sheets)), true) + cell(bold(euros(season.receipts)), true)
        + cell(bold(euros(season.blacks)), true) + cell(bold(optionalEuros(season.prizes, unknown)), true)
        + cell(bold(optionalEuros(season.kept, unknown)), true) + cell(QString())
        + cell(bold(anyCount ? optionalEuros(differences, unknown) : noCountText()), true)
        + QStringLiteral("</tr></table>");
    if (!season.prizes)
        html += QStringLiteral("<p>Les prix d'une liste saisie à la main ne sont pas connus\u00a0: les totaux qui en "
                               "dépendent ne peuvent pas être calculés.</p>");
    return html + signatures() + QStringLiteral("</body></html>");
}

} // namespace day
