#include "prizes/distribution.h"

#include "prizes/amounttext.h"

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
