#include "prizes/listcheck.h"

#include "prizes/amounttext.h"

#include <QStringList>

namespace prizes {

namespace {

QString euros(int amount)
{
    return QString::number(amount) + euroSuffix();
}

// "3 prix (40 %, 25 %, 15 %)": the number, the values and the prize type at once.
QString prizesText(const PrizeFigures &figures)
{
    const QString unit = figures.mode == PrizeMode::Percentage ? QStringLiteral(" %") : euroSuffix();
    QStringList values;
    for (int value : figures.values)
        values << QString::number(value) + unit;
    return QString::number(figures.values.size()) + QStringLiteral(" prix (") + values.join(QStringLiteral(", "))
        + QLatin1Char(')');
}

QString roundingText(const PrizeFigures &figures)
{
    return euros(figures.roundToFive ? 5 : 1);
}

} // namespace

QString listMismatch(const std::optional<PrizeFigures> &computedFor, const PrizeFigures &shown, bool typedInto,
                     bool emptied)
{
    QStringList why;
    if (emptied) {
        why << QStringLiteral("La liste des prix a été vidée\u00a0; le bilan annonce %1 à distribuer.")
                   .arg(euros(shown.pool));
    } else if (!computedFor) {
        why << QStringLiteral("Aucune liste des prix n'a encore été calculée\u00a0; le bilan annonce %1 à distribuer.")
                   .arg(euros(shown.pool));
    } else {
        const PrizeFigures &was = *computedFor;
        // Other figures that give the very same list (the rounding of fixed
        // prizes, say) leave nothing to correct, within one category.
        if (was.category == shown.category
            && (was == shown || prizeListHtml(distribute(was)) == prizeListHtml(distribute(shown))))
            return QString();
        if (was.category != shown.category)
            why << QStringLiteral("Elle a été calculée pour la catégorie «\u00a0%1\u00a0»\u00a0; la catégorie "
                                  "choisie est maintenant «\u00a0%2\u00a0».")
                       .arg(was.category, shown.category);
        if (was.pool != shown.pool)
            why << QStringLiteral("Elle a été calculée pour %1 à distribuer\u00a0; le bilan annonce maintenant %2.")
                       .arg(euros(was.pool), euros(shown.pool));
        if (was.mode != shown.mode || was.values != shown.values)
            why << QStringLiteral("Elle a été calculée avec %1\u00a0; la configuration donne maintenant %2.")
                       .arg(prizesText(was), prizesText(shown));
        if (was.minimumGain != shown.minimumGain)
            why << QStringLiteral("Elle a été calculée avec un gain minimum de %1\u00a0; la configuration donne "
                                  "maintenant %2.")
                       .arg(euros(was.minimumGain), euros(shown.minimumGain));
        if (was.roundToFive != shown.roundToFive
            && (was.mode == PrizeMode::Percentage || shown.mode == PrizeMode::Percentage))
            why << QStringLiteral("Elle a été calculée avec les sommes arrondies à %1\u00a0; la configuration les "
                                  "arrondit maintenant à %2.")
                       .arg(roundingText(was), roundingText(shown));
    }
    if (typedInto)
        why << QStringLiteral("Recalculer remplace ce que vous avez saisi dans la liste.");
    return why.join(QLatin1Char('\n'));
}

} // namespace prizes
