#include "prizes/prizetrace.h"

#include "prizes/amounttext.h"

#include <QLoggingCategory>

// Literals go in as const char* so QDebug prints them bare; values that are
// texts go in as QString so they come out quoted.

namespace prizes {

namespace {

// Silence it with QT_LOGGING_RULES="prixgeneral.*=false".
Q_LOGGING_CATEGORY(lcPrizes, "prixgeneral.prizes")

QByteArray placePrefix(qsizetype place)
{
    return (ordinal(place) + QStringLiteral(" (")).toUtf8();
}

} // namespace

void traceBets(const QString &betsText)
{
    qCDebug(lcPrizes) << "Nb archers : " << betsText;
}

void tracePool(const QString &poolText, float pool)
{
    qCDebug(lcPrizes) << "Somme à distribuer : " << poolText << " => " << amountText(double(pool));
}

void traceDistribution(const Distribution &d, const QString &prizeList)
{
    const QString euro = euroSuffix();
    for (qsizetype i = 0; i < d.prizes.size(); ++i) {
        qCDebug(lcPrizes) << placePrefix(i + 1).constData() << d.prizes[i].value << ") : "
                          << d.prizes[i].amount << euro;
    }
    qCDebug(lcPrizes) << "Somme restante : " << d.remainder;
    qCDebug(lcPrizes) << d.firstPlace << "ème à " << d.lastPlace << "ème : 3&euro;";
    qCDebug(lcPrizes) << "Fraction Honteux : " << d.leftover;
    if (d.mode == PrizeMode::Percentage)
        qCDebug(lcPrizes) << prizeList;
}

} // namespace prizes
