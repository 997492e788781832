#include "day/unknown.h"

namespace day {

QString unknownText() { return QStringLiteral("inconnu"); }
QString unknownPrizesText() { return QStringLiteral("inconnus"); }
QString unknownExpectedText() { return QStringLiteral("inconnue"); }
QString partlyKnownText(Cents known) { return euros(known) + QStringLiteral(" +\u00a0?"); }

QString unknownPrizesNote(const QStringList &shoots)
{
    QStringList quoted;
    for (const QString &shoot : shoots)
        quoted << QStringLiteral("«\u00a0%1\u00a0»").arg(shoot);
    return QStringLiteral("Prix payés inconnus pour %1 (liste saisie à la main)\u00a0: tapez-les dans la colonne "
                          "«\u00a0Prix payés\u00a0» du tableau de l'onglet Journée.")
        .arg(quoted.join(QStringLiteral(", ")));
}

QString noCountText() { return QStringLiteral("aucun comptage"); }

} // namespace day
