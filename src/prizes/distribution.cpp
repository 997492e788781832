#include "prizes/distribution.h"

#include "prizes/amounttext.h"
#include "prizes/prizefigures.h"
#include "prizes/rounding.h"

#include <QStringList>

namespace prizes {

namespace {

QString placeLabel(qsizetype place)
{
    return QStringLiteral("<B>") + ordinal(place) + QStringLiteral("</B> (");
}

} // namespace

QString ordinal(qsizetype place)
{
    return place == 1 ? QStringLiteral("1er") : QString::number(place) + QStringLiteral("ème");
}

int poolFromText(const QString &text)
{
    const QString first = text.section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    const int pool = first.toInt(&ok, 10);
    return ok ? pool : 0;
}

// Percentage shares are rounded by the rounding choice; fixed amounts are
// taken as they are.
Distribution distribute(const PrizeFigures &figures)
{
    Distribution d;
    d.mode = figures.mode;
    d.pool = float(figures.pool);
    d.minimumGain = figures.minimumGain;
    const int minimumGain = figures.minimumGain;

    d.prizes.reserve(figures.values.size());
    for (int value : figures.values) {
        const int amount =
            d.mode == PrizeMode::Percentage ? roundAmount(d.pool * value / 100, figures.roundToFive) : value;
        d.prizes.append({value, amount});
        d.total = saturate(qint64(d.total) + amount);
    }

    d.remainder = d.pool - d.total;
    // A minimum gain of 0 pays nobody: the whole remainder is left over.
    d.count = minimumGain == 0 ? 0 : truncateToInt(double(d.remainder / minimumGain));
    d.firstPlace = saturate(qint64(d.prizes.size()) + 1);
    d.lastPlace = saturate(qint64(d.firstPlace) + d.count - 1);
    d.leftover = d.remainder - float(qint64(minimumGain) * d.count);
    return d;
}

QString prizeListHtml(const Distribution &d)
{
    const QString entityLineEnd = QStringLiteral(" &euro;<BR><BR>");
    QString html;
    html.reserve(128 + 64 * d.prizes.size());

    qsizetype place = 1;
    for (const MainPrize &prize : d.prizes) {
        html += placeLabel(place++);
        html += QString::number(prize.value);
        if (d.mode == PrizeMode::Percentage)
            html += QStringLiteral(" %) : ");
        else
            html += euroSuffix() + QStringLiteral(") : ");
        html += amountText(prize.amount);
        html += entityLineEnd;
    }

    html += QStringLiteral("<B>du ") + QString::number(d.firstPlace)
            + QStringLiteral("ème au ") + QString::number(d.lastPlace)
            + QStringLiteral("ème</B> : ") + QString::number(d.minimumGain) + entityLineEnd;

    html += QStringLiteral("Fraction honteux : ") + amountText(double(d.leftover)) + euroSuffix();
    return html;
}

} // namespace prizes
